// The option tables and the game command lines: exact texts, the order of the
// three inserted values, and the command-line buffer's limit.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"

namespace {

using bench::ComposeCommandLine;
using bench::Detail;
using bench::FormatIniArguments;
using bench::IniArgumentsTemplate;
using bench::Renderer;
using bench::SceneTable;

const std::string kExecSuffix = "\\system\\UT2003.exe";

std::string ExecutableIn(const std::string& gameFolder) {
    return gameFolder + kExecSuffix;
}

// --- Tables ---------------------------------------------------------------

struct ResolutionCase {
    const char* name;
    std::size_t order;
    int controlId;
    const char* text;
};

const ResolutionCase kResolutionCases[] = {
    {"First640", 0, 1011, "640x480"},    {"Second800", 1, 1015, "800x600"},
    {"Third1024", 2, 1016, "1024x768"},  {"Fourth1280", 3, 1017, "1280x1024"},
    {"Fifth1600", 4, 1018, "1600x1200"},
};

class ResolutionTableTest : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(ResolutionTableTest, RowInOrder) {
    const ResolutionCase& c = GetParam();
    const bench::ResolutionRow& row = bench::ResolutionTable().at(c.order);
    EXPECT_EQ(row.controlId, c.controlId);
    EXPECT_STREQ(row.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, ResolutionTableTest, ::testing::ValuesIn(kResolutionCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct SceneCase {
    const char* name;
    int index;
    int checkBoxId;
    const char* checkBoxText;
    bool isFlyby;
    const char* commandLineTemplate;
    const char* detailsRowText;
    const char* argumentName;
};

const SceneCase kSceneCases[] = {
    {"Flyby1", 0, 1002, "Flyby 1 - DM-Antalus", true,
     "%s dm-antalus?game=engine.gameinfo -benchmark -seconds=77 -exec=..\\Benchmark\\Stuff\\flybyexec.txt "
     "%s -%s",
     "Flyby Scene 1: dm-Antalus", "flyby1"},
    {"Flyby2", 1, 1003, "Flyby 2 - DM-Asbestos", true,
     "%s dm-asbestos?game=engine.gameinfo -benchmark -seconds=77 -exec=..\\Benchmark\\Stuff\\flybyexec.txt "
     "%s -%s",
     "Flyby Scene 2: dm-Asbestos", "flyby2"},
    {"Flyby3", 2, 1005, "Flyby 3 - CTF-Citadel", true,
     "%s ctf-citadel?game=engine.gameinfo -benchmark -seconds=77 -exec=..\\Benchmark\\Stuff\\flybyexec.txt "
     "%s -%s",
     "Flyby Scene 3: CTF-Citadel", "flyby3"},
    {"Botmatch1", 3, 1004, "Botmatch1 - DM-Antalus", false,
     "%s dm-antalus?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
     "Botmatch Scene 1: dm-Antalus", "botmatch1"},
    {"Botmatch2", 4, 1006, "Botmatch2 - DM-Asbestos", false,
     "%s dm-asbestos?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
     "Botmatch Scene 2: dm-Asbestos", "botmatch2"},
    {"Botmatch3", 5, 1007, "Botmatch3 - CTF-Citadel", false,
     "%s ctf-citadel?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
     "Botmatch Scene 3: CTF-Citadel", "botmatch3"},
};

class SceneTableTest : public ::testing::TestWithParam<SceneCase> {};

TEST_P(SceneTableTest, RowAtItsIndex) {
    const SceneCase& c = GetParam();
    const bench::SceneRow& row = SceneTable().at(static_cast<std::size_t>(c.index));
    EXPECT_EQ(row.index, c.index);
    EXPECT_EQ(row.checkBoxId, c.checkBoxId);
    EXPECT_STREQ(row.checkBoxText, c.checkBoxText);
    EXPECT_EQ(row.isFlyby, c.isFlyby);
    EXPECT_STREQ(row.commandLineTemplate, c.commandLineTemplate);
    EXPECT_STREQ(row.detailsRowText, c.detailsRowText);
    EXPECT_STREQ(row.argumentName, c.argumentName);
}

INSTANTIATE_TEST_SUITE_P(Rows, SceneTableTest, ::testing::ValuesIn(kSceneCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct IniCase {
    const char* name;
    Renderer renderer;
    Detail detail;
    const char* templateText;
};

const IniCase kIniCases[] = {
    {"OpenGLHigh", Renderer::OpenGL, Detail::High,
     "ini=%s\\MaxDetailOGL.ini userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT"},
    {"OpenGLLow", Renderer::OpenGL, Detail::Low,
     "ini=%s\\MinDetailOGL.ini userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT"},
    {"Direct3DHigh", Renderer::Direct3D, Detail::High,
     "ini=%s\\MaxDetailD3D.ini userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT"},
    {"Direct3DLow", Renderer::Direct3D, Detail::Low,
     "ini=%s\\MinDetailD3D.ini userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT"},
};

class IniArgumentsTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniArgumentsTest, TemplateIsExact) {
    const IniCase& c = GetParam();
    EXPECT_STREQ(IniArgumentsTemplate(c.renderer, c.detail), c.templateText);
}

TEST_P(IniArgumentsTest, CurrentDirectoryTakesThePlaceholder) {
    const IniCase& c = GetParam();
    const std::string expected = std::string(c.templateText).replace(4, 2, "D:\\Tools\\Bench");
    EXPECT_EQ(FormatIniArguments(c.renderer, c.detail, "D:\\Tools\\Bench"), expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, IniArgumentsTest, ::testing::ValuesIn(kIniCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(IniArgumentsTest, AllFourTemplatesHaveTheSameLength) {
    const std::size_t length = std::string(IniArgumentsTemplate(Renderer::OpenGL, Detail::High)).size();
    for (const IniCase& c : kIniCases) {
        EXPECT_EQ(std::string(IniArgumentsTemplate(c.renderer, c.detail)).size(), length) << c.name;
    }
}

TEST(BenchOptionsTest, BufferSizes) {
    EXPECT_EQ(bench::kCommandLineBytes, 280u);
    EXPECT_EQ(bench::kCurrentDirectoryBytes, 200u);
}

// --- Command lines --------------------------------------------------------

TEST(CommandLineTest, ExampleLineWithOpenGLHighAt1024) {
    const std::string expected =
        "D:\\Games\\UT2003Demo\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
        "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=D:\\Tools\\Bench\\MaxDetailOGL.ini "
        "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -1024x768";
    const auto line = ComposeCommandLine(
        SceneTable()[0], ExecutableIn("D:\\Games\\UT2003Demo"),
        FormatIniArguments(Renderer::OpenGL, Detail::High, "D:\\Tools\\Bench"), "1024x768");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, expected);
    EXPECT_EQ(line->size(), 236u);
}

struct DefaultLineCase {
    const char* name;
    std::size_t index;
    const char* mapUrl;
    const char* execScript;
};

const DefaultLineCase kDefaultLineCases[] = {
    {"Flyby1", 0, "dm-antalus?game=engine.gameinfo", "flybyexec.txt"},
    {"Flyby2", 1, "dm-asbestos?game=engine.gameinfo", "flybyexec.txt"},
    {"Flyby3", 2, "ctf-citadel?game=engine.gameinfo", "flybyexec.txt"},
    {"Botmatch1", 3, "dm-antalus?spectatoronly=true?numbots=12?quickstart=true", "botmatchexec.txt"},
    {"Botmatch2", 4, "dm-asbestos?spectatoronly=true?numbots=12?quickstart=true", "botmatchexec.txt"},
    {"Botmatch3", 5, "ctf-citadel?spectatoronly=true?numbots=12?quickstart=true", "botmatchexec.txt"},
};

class DefaultLineTest : public ::testing::TestWithParam<DefaultLineCase> {};

// Start-up defaults: Direct3D, High, 1024x768.
TEST_P(DefaultLineTest, Direct3DHighAt1024) {
    const DefaultLineCase& c = GetParam();
    const std::string expected = std::string("C:\\UT2003Demo\\system\\UT2003.exe ") + c.mapUrl +
                                 " -benchmark -seconds=77 -exec=..\\Benchmark\\Stuff\\" + c.execScript +
                                 " ini=C:\\Korvane\\MaxDetailD3D.ini"
                                 " userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -1024x768";
    const auto line =
        ComposeCommandLine(SceneTable()[c.index], ExecutableIn("C:\\UT2003Demo"),
                           FormatIniArguments(Renderer::Direct3D, Detail::High, "C:\\Korvane"), "1024x768");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, expected);
}

INSTANTIATE_TEST_SUITE_P(Scenes, DefaultLineTest, ::testing::ValuesIn(kDefaultLineCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(CommandLineTest, OpenGLLowNamesTheMinDetailFiles) {
    const auto line =
        ComposeCommandLine(SceneTable()[4], ExecutableIn("C:\\UT2003Demo"),
                           FormatIniArguments(Renderer::OpenGL, Detail::Low, "C:\\Korvane"), "800x600");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, "C:\\UT2003Demo\\system\\UT2003.exe "
                     "dm-asbestos?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
                     "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt ini=C:\\Korvane\\MinDetailOGL.ini "
                     "userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT -800x600");
}

TEST(CommandLineTest, CheckedScenesRunInIndexOrder) {
    // Only "Botmatch1 - DM-Antalus" (1004) and "Flyby 3 - CTF-Citadel" (1005) checked.
    const std::set<int> checked = {1004, 1005};
    std::vector<int> runOrder;
    for (const bench::SceneRow& scene : SceneTable()) {
        if (checked.count(scene.checkBoxId) != 0) {
            runOrder.push_back(scene.index);
        }
    }
    EXPECT_EQ(runOrder, (std::vector<int>{2, 3}));
}

struct InsertedTextCase {
    const char* name;
    std::string gameFolder;
    std::string currentDirectory;
    std::string resolution;
    std::string expected;
};

const InsertedTextCase kInsertedTextCases[] = {
    {"BlanksInGameFolderStayUnquoted", "C:\\Program Files\\UT2003 Demo", "C:\\Korvane", "640x480",
     "C:\\Program Files\\UT2003 Demo\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark "
     "-seconds=77 -exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\Korvane\\MaxDetailD3D.ini "
     "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -640x480"},
    {"BlanksInCurrentDirectoryStayUnquoted", "C:\\UT2003Demo", "C:\\My Tools\\Korvane", "640x480",
     "C:\\UT2003Demo\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\My Tools\\Korvane\\MaxDetailD3D.ini "
     "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -640x480"},
    {"DriveRootGivesTwoBackslashes", "C:\\UT2003Demo", "E:\\", "1280x1024",
     "C:\\UT2003Demo\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=E:\\\\MaxDetailD3D.ini "
     "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -1280x1024"},
    {"NoResolutionEndsInDash", "C:\\UT2003Demo", "C:\\Korvane", "",
     "C:\\UT2003Demo\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\Korvane\\MaxDetailD3D.ini "
     "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -"},
    {"PercentSignsAreInsertedLiterally", "C:\\100%s\\%d%%", "C:\\50%s", "%s",
     "C:\\100%s\\%d%%\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
     "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\50%s\\MaxDetailD3D.ini "
     "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -%s"},
};

class InsertedTextTest : public ::testing::TestWithParam<InsertedTextCase> {};

TEST_P(InsertedTextTest, ValuesAreInsertedUnchanged) {
    const InsertedTextCase& c = GetParam();
    const auto line = ComposeCommandLine(
        SceneTable()[0], ExecutableIn(c.gameFolder),
        FormatIniArguments(Renderer::Direct3D, Detail::High, c.currentDirectory), c.resolution);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InsertedTextTest, ::testing::ValuesIn(kInsertedTextCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- The 280-byte buffer --------------------------------------------------

struct RoomCase {
    const char* name;
    std::size_t index;
    std::size_t folderAndDirectoryChars; // game folder and current directory together
    Renderer renderer;
    Detail detail;
    bool fits;
};

// With the longest templates (scenes 4 and 5) and 1600x1200, 46 characters remain
// for the game folder and the current directory: 279 characters fit, 280 do not.
const RoomCase kRoomCases[] = {
    {"Scene4With46Fits", 4, 46, Renderer::Direct3D, Detail::High, true},
    {"Scene4With47DoesNotFit", 4, 47, Renderer::Direct3D, Detail::High, false},
    {"Scene5With46Fits", 5, 46, Renderer::OpenGL, Detail::Low, true},
    {"Scene5With47DoesNotFit", 5, 47, Renderer::OpenGL, Detail::Low, false},
    {"Scene5OpenGLHighWith47DoesNotFit", 5, 47, Renderer::OpenGL, Detail::High, false},
    {"Scene4Direct3DLowWith46Fits", 4, 46, Renderer::Direct3D, Detail::Low, true},
    {"Scene3IsOneShorterAndFitsWith47", 3, 47, Renderer::Direct3D, Detail::High, true},
    {"Scene3With48DoesNotFit", 3, 48, Renderer::Direct3D, Detail::High, false},
    {"Scene1IsOneShorterAndFitsWith47", 1, 47, Renderer::Direct3D, Detail::High, true},
    {"Scene5With200DoesNotFit", 5, 200, Renderer::Direct3D, Detail::High, false},
};

class CommandLineRoomTest : public ::testing::TestWithParam<RoomCase> {};

TEST_P(CommandLineRoomTest, FitsWholeOrNotAtAll) {
    const RoomCase& c = GetParam();
    // Split the characters between the two paths; only their sum matters.
    const std::size_t folderChars = c.folderAndDirectoryChars / 2;
    const std::string gameFolder = "G:" + std::string(folderChars - 2, 'g');
    const std::string currentDirectory = "C:" + std::string(c.folderAndDirectoryChars - folderChars - 2, 'c');
    const std::string iniArguments = FormatIniArguments(c.renderer, c.detail, currentDirectory);
    const auto line =
        ComposeCommandLine(SceneTable()[c.index], ExecutableIn(gameFolder), iniArguments, "1600x1200");
    ASSERT_EQ(line.has_value(), c.fits);
    if (line) {
        EXPECT_LE(line->size(), 279u);
        EXPECT_EQ(line->rfind(ExecutableIn(gameFolder), 0), 0u) << "starts with the executable";
        EXPECT_NE(line->find(" " + iniArguments + " -1600x1200"), std::string::npos);
        const std::string ending = " -1600x1200";
        EXPECT_EQ(line->compare(line->size() - ending.size(), ending.size(), ending), 0) << "ends whole";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineRoomTest, ::testing::ValuesIn(kRoomCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(CommandLineRoomTest, LongestLineThatFitsIs279Characters) {
    const auto line = ComposeCommandLine(
        SceneTable()[5], ExecutableIn("G:" + std::string(21, 'g')),
        FormatIniArguments(Renderer::Direct3D, Detail::High, "C:" + std::string(21, 'c')), "1600x1200");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->size(), 279u);
}

TEST(CommandLineRoomTest, ZeroByteInAValueIsRejected) {
    const std::string folderWithZero("C:\\UT\0Demo", 10);
    EXPECT_FALSE(ComposeCommandLine(SceneTable()[0], ExecutableIn(folderWithZero),
                                    FormatIniArguments(Renderer::Direct3D, Detail::High, "C:\\Korvane"),
                                    "640x480")
                     .has_value());
}

} // namespace
