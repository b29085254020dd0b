// korvane-cli's arguments: the window's defaults, every option in both spellings,
// the scene list, and the message that names a bad argument.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "cli/CliArguments.h"

namespace {

using cli::Command;
using Scenes = std::array<bool, bench::kSceneCount>;

constexpr Scenes kAllScenes{true, true, true, true, true, true};

struct GoodCase {
    const char* name;
    std::vector<std::string> arguments;
    Command command;
    bench::Renderer renderer;
    bench::Detail detail;
    const char* resolution;
    Scenes scenes;
    int runs;
    int timeoutSeconds; // 0: none given
    const char* json;
    const char* csv;
    bool quiet;
};

constexpr auto D3d = bench::Renderer::Direct3D;
constexpr auto Ogl = bench::Renderer::OpenGL;
constexpr auto High = bench::Detail::High;
constexpr auto Low = bench::Detail::Low;

const GoodCase kGoodCases[] = {
    {"NoArgumentsAreTheWindowsDefaults",
     {},
     Command::Run,
     D3d,
     High,
     "1024x768",
     kAllScenes,
     3,
     0,
     "",
     "",
     false},
    {"RendererDetailResolution",
     {"--renderer", "opengl", "--detail", "low", "--resolution", "640x480"},
     Command::Run,
     Ogl,
     Low,
     "640x480",
     kAllScenes,
     3,
     0,
     "",
     "",
     false},
    {"EqualsSpellingAndCase",
     {"--renderer=OpenGL", "--detail=LOW", "--resolution=1600X1200"},
     Command::Run,
     Ogl,
     Low,
     "1600x1200",
     kAllScenes,
     3,
     0,
     "",
     "",
     false},
    {"D3dAndHighByName",
     {"--renderer", "d3d", "--detail", "high"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     kAllScenes,
     3,
     0,
     "",
     "",
     false},
    {"ScenesByName",
     {"--scenes", "botmatch1,flyby3"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     {false, false, true, true, false, false},
     3,
     0,
     "",
     "",
     false},
    {"ThreeScenes",
     {"--scenes", "flyby2,4,botmatch3"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     {false, true, false, false, true, true},
     3,
     0,
     "",
     "",
     false},
    {"ScenesByIndex",
     {"--scenes=0,5"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     {true, false, false, false, false, true},
     3,
     0,
     "",
     "",
     false},
    {"SceneNamedTwiceRunsOnce",
     {"--scenes", "2,FLYBY3"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     {false, false, true, false, false, false},
     3,
     0,
     "",
     "",
     false},
    {"ScenesAll", {"--scenes", "all"}, Command::Run, D3d, High, "1024x768", kAllScenes, 3, 0, "", "", false},
    {"RunsAndTimeout",
     {"--runs", "1", "--timeout=5"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     kAllScenes,
     1,
     5,
     "",
     "",
     false},
    {"MostRuns", {"--runs=100"}, Command::Run, D3d, High, "1024x768", kAllScenes, 100, 0, "", "", false},
    {"LongestTimeout",
     {"--timeout", "86400"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     kAllScenes,
     3,
     86400,
     "",
     "",
     false},
    {"FilesAndQuiet",
     {"--json", "C:\\out dir\\run.json", "--csv=run.csv", "--quiet"},
     Command::Run,
     D3d,
     High,
     "1024x768",
     kAllScenes,
     3,
     0,
     "C:\\out dir\\run.json",
     "run.csv",
     true},
    {"Help", {"--help"}, Command::Help, D3d, High, "1024x768", kAllScenes, 3, 0, "", "", false},
    {"HelpTheWindowsWay", {"/?"}, Command::Help, D3d, High, "1024x768", kAllScenes, 3, 0, "", "", false},
    {"ShortHelp", {"-h"}, Command::Help, D3d, High, "1024x768", kAllScenes, 3, 0, "", "", false},
    {"Version", {"--version"}, Command::Version, D3d, High, "1024x768", kAllScenes, 3, 0, "", "", false},
    {"HelpBeforeVersion",
     {"--version", "--help"},
     Command::Help,
     D3d,
     High,
     "1024x768",
     kAllScenes,
     3,
     0,
     "",
     "",
     false},
};

class GoodArgumentsTest : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodArgumentsTest, SetTheOptions) {
    const GoodCase& c = GetParam();
    const cli::ParsedArguments parsed = cli::ParseArguments(c.arguments);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.command, c.command);
    EXPECT_EQ(parsed.options.renderer, c.renderer);
    EXPECT_EQ(parsed.options.detail, c.detail);
    EXPECT_EQ(parsed.options.resolutionText, c.resolution);
    EXPECT_EQ(parsed.options.scenes, c.scenes);
    EXPECT_EQ(parsed.options.runs, c.runs);
    EXPECT_EQ(parsed.options.timeoutSeconds.value_or(0), c.timeoutSeconds);
    EXPECT_EQ(parsed.options.jsonPath, c.json);
    EXPECT_EQ(parsed.options.csvPath, c.csv);
    EXPECT_EQ(parsed.options.quiet, c.quiet);
}

INSTANTIATE_TEST_SUITE_P(Cases, GoodArgumentsTest, ::testing::ValuesIn(kGoodCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct BadCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* error;
};

const BadCase kBadCases[] = {
    {"UnknownOption", {"--frobnicate"}, "unknown argument \"--frobnicate\""},
    {"UnknownWord", {"flyby1"}, "unknown argument \"flyby1\""},
    {"SingleDashRuns", {"-runs", "2"}, "unknown argument \"-runs\""},
    {"ZeroRuns", {"--runs", "0"}, "--runs takes a whole number from 1 to 100, not \"0\""},
    {"TooManyRuns", {"--runs", "101"}, "--runs takes a whole number from 1 to 100, not \"101\""},
    {"NegativeRuns", {"--runs=-1"}, "--runs takes a whole number from 1 to 100, not \"-1\""},
    {"FractionalRuns", {"--runs", "2.5"}, "--runs takes a whole number from 1 to 100, not \"2.5\""},
    {"HugeRuns", {"--runs", "99999999999"}, "--runs takes a whole number from 1 to 100, not \"99999999999\""},
    {"RunsWithoutValue", {"--runs"}, "--runs needs a value"},
    {"ZeroTimeout", {"--timeout", "0"}, "--timeout takes whole seconds from 1 to 86400, not \"0\""},
    {"TimeoutPastADay",
     {"--timeout", "86401"},
     "--timeout takes whole seconds from 1 to 86400, not \"86401\""},
    {"TimeoutWithUnit", {"--timeout", "30s"}, "--timeout takes whole seconds from 1 to 86400, not \"30s\""},
    {"UnknownRenderer", {"--renderer", "vulkan"}, "--renderer takes d3d or opengl, not \"vulkan\""},
    {"UnknownDetail", {"--detail=medium"}, "--detail takes high or low, not \"medium\""},
    {"UnknownResolution",
     {"--resolution", "1024x769"},
     "--resolution takes 640x480, 800x600, 1024x768, 1280x1024 or 1600x1200, not \"1024x769\""},
    {"UnknownSceneName",
     {"--scenes", "flyby1,flyby4"},
     "--scenes: \"flyby4\" is no scene; give all, or names (flyby1, flyby2, flyby3, botmatch1, botmatch2, "
     "botmatch3) or indexes (0 to 5) separated by commas"},
    {"SceneIndexPastFive",
     {"--scenes", "6"},
     "--scenes: \"6\" is no scene; give all, or names (flyby1, flyby2, flyby3, botmatch1, botmatch2, "
     "botmatch3) or indexes (0 to 5) separated by commas"},
    {"EmptySceneItem",
     {"--scenes", "flyby1,"},
     "--scenes: \"\" is no scene; give all, or names (flyby1, flyby2, flyby3, botmatch1, botmatch2, "
     "botmatch3) or indexes (0 to 5) separated by commas"},
    {"EmptyJsonName", {"--json="}, "--json needs a file name"},
    {"OptionTwice", {"--runs", "2", "--runs", "3"}, "--runs is given more than once"},
    {"SameFileTwice", {"--json", "out.txt", "--csv", "out.txt"}, "--json and --csv name the same file"},
    {"BadArgumentBeatsHelp", {"--help", "--bogus"}, "unknown argument \"--bogus\""},
};

class BadArgumentsTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadArgumentsTest, AreNamedInTheMessage) {
    const cli::ParsedArguments parsed = cli::ParseArguments(GetParam().arguments);
    EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadArgumentsTest, ::testing::ValuesIn(kBadCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(SceneTimeoutTest, EverySceneRunsSeventySevenSecondsAndGetsThreeTimesThatPlusAMinute) {
    for (const bench::SceneRow& scene : bench::SceneTable()) {
        SCOPED_TRACE(scene.checkBoxText);
        EXPECT_EQ(cli::SceneLengthSeconds(scene), 77);
        EXPECT_EQ(cli::DefaultTimeoutSeconds(scene), 291);
        cli::CliOptions options;
        EXPECT_EQ(cli::TimeoutSeconds(options, scene), 291);
        options.timeoutSeconds = 12;
        EXPECT_EQ(cli::TimeoutSeconds(options, scene), 12);
    }
}

TEST(SceneNameTest, NamesFollowTheSceneOrder) {
    const char* const names[] = {"flyby1", "flyby2", "flyby3", "botmatch1", "botmatch2", "botmatch3"};
    for (int index = 0; index < bench::kSceneCount; ++index) {
        EXPECT_STREQ(cli::SceneArgumentName(index), names[index]);
        const cli::ParsedArguments parsed = cli::ParseArguments({"--scenes", names[index]});
        Scenes only{};
        only[static_cast<std::size_t>(index)] = true;
        EXPECT_EQ(parsed.options.scenes, only) << names[index];
    }
}

TEST(HelpTextTest, NamesEveryOptionAndTheDefaultTimeout) {
    const std::string help = cli::HelpText();
    for (const char* option : {"--renderer", "--detail", "--resolution", "--scenes", "--runs", "--timeout",
                               "--json", "--csv", "--quiet", "--help", "/?", "--version"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_NE(help.find("plus 60: 291)"), std::string::npos);
    EXPECT_EQ(cli::VersionText("1.00 Alpha1"), "korvane-cli 1.00 Alpha1\n");
}

} // namespace
