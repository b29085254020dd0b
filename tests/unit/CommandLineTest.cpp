// The game command lines: every scene's exact line with the ini files of each
// renderer and detail, the inserted values taken unchanged, and the 280-byte buffer,
// filled whole or not at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "SourceTree.h"
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

// Every scene with every renderer and detail, and Flyby 1 at each resolution and
// none, then with values with blanks, a root folder's separator and printf's own
// signs, inserted unchanged: the lines of tests/data/command-lines.txt.
TEST(CommandLineTest, EachSceneAndOptionGivesItsLine) {
    std::string lines;
    const auto add = [&lines](std::size_t scene, Renderer renderer, Detail detail,
                              const std::string& resolution, const std::string& gameFolder = "C:\\UT",
                              const std::string& current = "C:\\K") {
        lines += Line(scene, gameFolder, renderer, detail, current, resolution).value_or("(none)") + "\n";
    };
    for (const bench::SceneRow& scene : bench::SceneTable()) {
        EXPECT_EQ(scene.isFlyby, scene.index < 3);
        for (const Renderer renderer : {Renderer::Direct3D, Renderer::OpenGL}) {
            for (const Detail detail : {Detail::High, Detail::Low}) {
                add(static_cast<std::size_t>(scene.index), renderer, detail, "1024x768");
                // The renderer's ini file as the line names it, and as the release holds it.
                const std::string ini = bench::RendererIniFile(renderer, detail);
                EXPECT_NE(bench::FormatIniArguments(renderer, detail, "C").find("C\\" + ini + " "),
                          std::string::npos)
                    << ini;
                EXPECT_TRUE(sourcetree::ReadBytes(sourcetree::SourcePath("res/renderer/" + ini))) << ini;
            }
        }
    }
    for (const char* resolution : bench::ResolutionTable()) {
        add(0, Renderer::Direct3D, Detail::High, resolution);
    }
    add(0, Renderer::Direct3D, Detail::High, "");
    add(0, Renderer::Direct3D, Detail::High, "1600x1200", "C:\\Program Files\\UT", "E:\\");
    add(0, Renderer::Direct3D, Detail::High, "%s", "C:\\1%s\\%d%%", "C:\\5%s");
    sourcetree::ExpectFile("command-lines.txt", lines);
}

// tests/data/command-line-lengths.txt, and a value with a zero byte.
TEST(CommandLineTest, FitsTheBufferWholeOrNotAtAll) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("command-line-lengths.txt")) {
        const std::size_t chars = std::stoul(row.at(1));
        const std::string folder = "G:" + std::string(chars / 2 - 2, 'g');
        const std::string directory = "C:" + std::string(chars - chars / 2 - 2, 'c');
        const auto line =
            Line(std::stoul(row[0]), folder, row.at(2) == "OpenGL" ? Renderer::OpenGL : Renderer::Direct3D,
                 row.at(3) == "Low" ? Detail::Low : Detail::High, directory, "1600x1200");
        EXPECT_EQ(line ? std::to_string(line->size()) : "-", row.at(4))
            << "scene " << row[0] << ", " << chars << " characters";
    }
    EXPECT_FALSE(
        Line(0, std::string("C:\\UT\0Demo", 10), Renderer::Direct3D, Detail::High, "C:\\K", "640x480"))
        << "a zero byte would end the line early";
}

} // namespace
