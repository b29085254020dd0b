// The game command lines: every scene's exact line, the ini files of each renderer
// and detail, the inserted values taken unchanged, and the 280-byte buffer,
// filled whole or not at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "bench/BenchOptions.h"

namespace {

using bench::Detail;
using bench::Renderer;

std::optional<std::string> Line(std::size_t scene, const std::string& gameFolder, Renderer renderer,
                                Detail detail, const std::string& currentDirectory,
                                const std::string& resolution) {
    return bench::ComposeCommandLine(bench::SceneTable().at(scene), gameFolder + "\\system\\UT2003.exe",
                                     bench::FormatIniArguments(renderer, detail, currentDirectory),
                                     resolution);
}

TEST(CommandLineTest, EachSceneAndOptionGivesItsLine) {
    const std::string flyby =
        "?game=engine.gameinfo -benchmark -seconds=77 -exec=..\\Benchmark\\Stuff\\flybyexec.txt ";
    const std::string botmatch = "?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
                                 "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt ";
    const std::string user = ".ini userini=..\\Benchmark\\Stuff\\";
    const std::string high = "MaxDetailD3D" + user + "MaxDetailUser.ini -nosound -UPT -";
    const std::string game = "C:\\UT\\system\\UT2003.exe ";
    const struct {
        std::size_t scene;
        const char *folder, *directory;
        Renderer renderer;
        Detail detail;
        const char* resolution;
        std::string line;
    } cases[] = {
        // clang-format off
        {0, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::High, "1024x768", game + "dm-antalus" + flyby + "ini=C:\\K\\" + high + "1024x768"},
        {1, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::High, "1024x768", game + "dm-asbestos" + flyby + "ini=C:\\K\\" + high + "1024x768"},
        {2, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::High, "1024x768", game + "ctf-citadel" + flyby + "ini=C:\\K\\" + high + "1024x768"},
        {3, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::High, "1024x768", game + "dm-antalus" + botmatch + "ini=C:\\K\\" + high + "1024x768"},
        {4, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::High, "1024x768", game + "dm-asbestos" + botmatch + "ini=C:\\K\\" + high + "1024x768"},
        {5, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::High, "1024x768", game + "ctf-citadel" + botmatch + "ini=C:\\K\\" + high + "1024x768"},
        {0, "C:\\UT", "C:\\K", Renderer::OpenGL, Detail::High, "640x480", game + "dm-antalus" + flyby + "ini=C:\\K\\MaxDetailOGL" + user + "MaxDetailUser.ini -nosound -UPT -640x480"},
        {0, "C:\\UT", "C:\\K", Renderer::OpenGL, Detail::Low, "800x600", game + "dm-antalus" + flyby + "ini=C:\\K\\MinDetailOGL" + user + "MinDetailUser.ini -nosound -UPT -800x600"},
        {0, "C:\\UT", "C:\\K", Renderer::Direct3D, Detail::Low, "", game + "dm-antalus" + flyby + "ini=C:\\K\\MinDetailD3D" + user + "MinDetailUser.ini -nosound -UPT -"},
        {0, "C:\\Program Files\\UT", "E:\\", Renderer::Direct3D, Detail::High, "1600x1200", "C:\\Program Files\\UT\\system\\UT2003.exe dm-antalus" + flyby + "ini=E:\\\\" + high + "1600x1200"},
        {0, "C:\\1%s\\%d%%", "C:\\5%s", Renderer::Direct3D, Detail::High, "%s", "C:\\1%s\\%d%%\\system\\UT2003.exe dm-antalus" + flyby + "ini=C:\\5%s\\" + high + "%s"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Line(c.scene, c.folder, c.renderer, c.detail, c.directory, c.resolution), c.line);
        EXPECT_EQ(bench::SceneTable()[c.scene].index, static_cast<int>(c.scene));
        EXPECT_EQ(bench::SceneTable()[c.scene].isFlyby, c.scene < 3);
    }
}

// With the longest templates (scenes 4 and 5) and 1600x1200, 46 characters are
// left for the game folder and the current directory together: the line is then
// 279 characters, and with its terminating zero fills the buffer.
TEST(CommandLineTest, FitsTheBufferWholeOrNotAtAll) {
    const std::tuple<std::size_t, std::size_t, Renderer, Detail, bool> cases[] = {
        {4, 46, Renderer::Direct3D, Detail::High, true}, {4, 47, Renderer::Direct3D, Detail::High, false},
        {5, 46, Renderer::OpenGL, Detail::Low, true},    {5, 47, Renderer::OpenGL, Detail::Low, false},
        {3, 47, Renderer::Direct3D, Detail::High, true}, {3, 48, Renderer::Direct3D, Detail::High, false},
    };
    for (const auto& [scene, chars, renderer, detail, fits] : cases) {
        const std::string folder = "G:" + std::string(chars / 2 - 2, 'g');
        const std::string directory = "C:" + std::string(chars - chars / 2 - 2, 'c');
        const auto line = Line(scene, folder, renderer, detail, directory, "1600x1200");
        EXPECT_EQ(line ? line->size() : 0, fits ? 279u : 0u)
            << "scene " << scene << ", " << chars << " characters";
    }
    EXPECT_FALSE(
        Line(0, std::string("C:\\UT\0Demo", 10), Renderer::Direct3D, Detail::High, "C:\\K", "640x480"))
        << "a zero byte would end the line early";
}

} // namespace
