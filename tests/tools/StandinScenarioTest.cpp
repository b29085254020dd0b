// Tests of the stand-in game's command-line reading, settings precedence and texts.
#include <gtest/gtest.h>

#include <string>

#include "tools/standin-game/Scenario.h"

namespace standin {
namespace {

constexpr const char* kFlybyTail =
    " dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
    "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=D:\\Tools\\Bench\\MaxDetailOGL.ini "
    "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -1024x768";

struct ArgumentsCase {
    const char* name;
    std::string commandLine;
    std::string ownPath;
    std::string map;
    SceneKind kind;
    int widthPx;
    int heightPx;
    bool highDetail;
    Renderer renderer;
};

class ParseGameArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(ParseGameArgumentsTest, ReadsWhatTheGameIsAskedFor) {
    const ArgumentsCase& c = GetParam();
    const GameArguments arguments = ParseGameArguments(c.commandLine, c.ownPath);
    EXPECT_EQ(arguments.map, c.map);
    EXPECT_EQ(arguments.kind, c.kind);
    EXPECT_EQ(arguments.widthPx, c.widthPx);
    EXPECT_EQ(arguments.heightPx, c.heightPx);
    EXPECT_EQ(arguments.highDetail, c.highDetail);
    EXPECT_EQ(arguments.renderer, c.renderer);
}

const std::string kGame = "D:\\Games\\UT2003Demo\\system\\UT2003.exe";
const std::string kBlankGame = "C:\\Program Files\\UT 2003 Demo\\System\\UT2003.exe";

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseGameArgumentsTest,
    ::testing::Values(
        ArgumentsCase{"KorvaneFlyby", kGame + kFlybyTail, kGame, "dm-antalus", SceneKind::Flyby, 1024, 768,
                      true, Renderer::OpenGL},
        ArgumentsCase{"UnquotedPathWithBlanks", kBlankGame + kFlybyTail, kBlankGame, "dm-antalus",
                      SceneKind::Flyby, 1024, 768, true, Renderer::OpenGL},
        ArgumentsCase{"PathWithBlanksOtherSpelling", kBlankGame + kFlybyTail,
                      "C:\\PROGRA~1\\UT2003~1\\UT2003.exe", "dm-antalus", SceneKind::Flyby, 1024, 768, true,
                      Renderer::OpenGL},
        ArgumentsCase{"QuotedPath", "\"" + kBlankGame + "\"" + kFlybyTail, kBlankGame, "dm-antalus",
                      SceneKind::Flyby, 1024, 768, true, Renderer::OpenGL},
        ArgumentsCase{"BotmatchLowD3D",
                      kGame +
                          " CTF-Citadel?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
                          "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt ini=C:\\K\\MinDetailD3D.ini "
                          "userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT -1600x1200",
                      kGame, "ctf-citadel", SceneKind::Botmatch, 1600, 1200, false, Renderer::Direct3D},
        ArgumentsCase{
            "IniFolderWithBlanks",
            kGame + " dm-asbestos?game=engine.gameinfo -benchmark -seconds=77 "
                    "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\My Tools\\Min Max\\MinDetailOGL.ini "
                    "userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT -640x480",
            kGame, "dm-asbestos", SceneKind::Flyby, 640, 480, false, Renderer::OpenGL},
        ArgumentsCase{"DriveRootTwoBackslashes",
                      kGame + " dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
                              "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\\\MaxDetailD3D.ini "
                              "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -800x600",
                      kGame, "dm-antalus", SceneKind::Flyby, 800, 600, true, Renderer::Direct3D},
        ArgumentsCase{"NoResolutionKeepsDefault",
                      kGame + " dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
                              "-exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=C:\\K\\MaxDetailD3D.ini "
                              "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -",
                      kGame, "dm-antalus", SceneKind::Flyby, 1024, 768, true, Renderer::Direct3D},
        ArgumentsCase{"UserIniDoesNotChooseDetail",
                      kGame + " dm-antalus -exec=..\\Benchmark\\Stuff\\flybyexec.txt "
                              "userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -1280x1024",
                      kGame, "dm-antalus", SceneKind::Flyby, 1280, 1024, true, Renderer::Direct3D},
        ArgumentsCase{"NothingButTheProgram", kGame, kGame, "", SceneKind::Other, 1024, 768, true,
                      Renderer::Direct3D}),
    [](const ::testing::TestParamInfo<ArgumentsCase>& row) { return std::string(row.param.name); });

GameArguments Scene(SceneKind kind, const char* map) {
    GameArguments arguments;
    arguments.kind = kind;
    arguments.map = map;
    return arguments;
}

struct BehaviourCase {
    const char* name;
    std::string settings;
    GameArguments arguments;
    int startNumber;
    double fps; // negative: the default frame rate
    double seconds;
    Fault fault;
    int exitCode;
    long long randSeed; // negative: the default seed
};

class ChooseBehaviourTest : public ::testing::TestWithParam<BehaviourCase> {};

TEST_P(ChooseBehaviourTest, AppliesTheSectionsInOrder) {
    const BehaviourCase& c = GetParam();
    const Behaviour behaviour = ChooseBehaviour(c.settings, c.arguments, c.startNumber);
    EXPECT_DOUBLE_EQ(behaviour.fps, c.fps < 0 ? DefaultFps(c.arguments) : c.fps);
    EXPECT_DOUBLE_EQ(behaviour.seconds, c.seconds);
    EXPECT_EQ(behaviour.fault, c.fault);
    EXPECT_EQ(behaviour.exitCode, c.exitCode);
    EXPECT_EQ(behaviour.randSeed,
              c.randSeed < 0 ? DefaultRandSeed(c.startNumber) : static_cast<unsigned>(c.randSeed));
}

const std::string kLayers = "[all]\r\nfps=10\r\nseconds=1.5\r\nrand=77\r\n"
                            "[flyby dm-antalus]\r\nfps=20\r\nfault=empty-line\r\n"
                            "[start 3]\r\nfps=30\r\n";

INSTANTIATE_TEST_SUITE_P(
    Settings, ChooseBehaviourTest,
    ::testing::Values(
        BehaviourCase{"NoSettings", "", Scene(SceneKind::Flyby, "dm-antalus"), 1, -1, 0, Fault::None, 1, -1},
        BehaviourCase{"AllOnly", kLayers, Scene(SceneKind::Botmatch, "dm-antalus"), 1, 10, 1.5, Fault::None,
                      1, 77},
        BehaviourCase{"SceneOverAll", kLayers, Scene(SceneKind::Flyby, "dm-antalus"), 1, 20, 1.5,
                      Fault::EmptyLine, 1, 77},
        BehaviourCase{"StartOverScene", kLayers, Scene(SceneKind::Flyby, "dm-antalus"), 3, 30, 1.5,
                      Fault::EmptyLine, 1, 77},
        BehaviourCase{"StartOverAll", kLayers, Scene(SceneKind::Botmatch, "ctf-citadel"), 3, 30, 1.5,
                      Fault::None, 1, 77},
        BehaviourCase{"OtherStartNotApplied", kLayers, Scene(SceneKind::Botmatch, "ctf-citadel"), 13, 10, 1.5,
                      Fault::None, 1, 77},
        BehaviourCase{"NamesIgnoreCaseAndBlanks",
                      "[ FlyBy   DM-Antalus ]\nFPS = 40\nFault = Fail-Exit\nExitCode=-2\n",
                      Scene(SceneKind::Flyby, "dm-antalus"), 1, 40, 0, Fault::FailExit, -2, -1},
        BehaviourCase{"CommentsSkipped", "; fps=1\n# fps=2\n[all]\n;fps=3\nfps=4\n",
                      Scene(SceneKind::Flyby, "x"), 1, 4, 0, Fault::None, 1, -1},
        BehaviourCase{"UnreadableValuesKeepDefaults", "[all]\nfps=fast\nseconds=-3\nexitcode=x\nrand=0x10\n",
                      Scene(SceneKind::Flyby, "dm-antalus"), 2, -1, 0, Fault::None, 1, -1},
        BehaviourCase{"UnknownFaultIsNone", "[all]\nfault=explode\n", Scene(SceneKind::Flyby, "dm-antalus"),
                      1, -1, 0, Fault::None, 1, -1},
        BehaviourCase{
            "EveryFaultName",
            "[start 1]\nfault=no-write\n[start 2]\nfault=no-number\n[start 3]\nfault=fail-no-write\n"
            "[start 4]\nfault=hang\n[start 5]\nfault=rewrite-same\n",
            Scene(SceneKind::Flyby, "dm-antalus"), 5, -1, 0, Fault::RewriteSame, 1, -1}),
    [](const ::testing::TestParamInfo<BehaviourCase>& row) { return std::string(row.param.name); });

TEST(ChooseBehaviourFaults, EachNameGivesItsFault) {
    const std::pair<const char*, Fault> names[] = {
        {"none", Fault::None},
        {"no-write", Fault::NoWrite},
        {"empty-line", Fault::EmptyLine},
        {"no-number", Fault::NoNumber},
        {"fail-exit", Fault::FailExit},
        {"fail-no-write", Fault::FailNoWrite},
        {"hang", Fault::Hang},
        {"rewrite-same", Fault::RewriteSame},
    };
    for (const auto& [name, fault] : names) {
        EXPECT_EQ(ChooseBehaviour(std::string("[all]\nfault=") + name, Scene(SceneKind::Flyby, "m"), 1).fault,
                  fault)
            << name;
    }
}

TEST(DefaultFps, FollowsTheOptions) {
    GameArguments base = Scene(SceneKind::Flyby, "dm-antalus");
    const double flyby = DefaultFps(base);
    EXPECT_GT(flyby, 60.0);
    EXPECT_LT(flyby, 250.0);

    GameArguments botmatch = Scene(SceneKind::Botmatch, "dm-antalus");
    EXPECT_GT(DefaultFps(botmatch), 30.0);
    EXPECT_LT(DefaultFps(botmatch), 120.0);
    EXPECT_LT(DefaultFps(botmatch), flyby);

    GameArguments large = base;
    large.widthPx = 1600;
    large.heightPx = 1200;
    EXPECT_LT(DefaultFps(large), flyby);
    EXPECT_GT(DefaultFps(large), 60.0);

    GameArguments low = base;
    low.highDetail = false;
    EXPECT_GT(DefaultFps(low), flyby);

    GameArguments openGl = base;
    openGl.renderer = Renderer::OpenGL;
    EXPECT_NE(DefaultFps(openGl), flyby);
}

struct ResultLineCase {
    const char* name;
    double fps;
    unsigned randSeed;
    std::string scoreAndSeed; // the line after " fps -- "
    std::string valueText;    // what Korvane reads: at most eleven characters after the first "="
};

class FormatResultLineTest : public ::testing::TestWithParam<ResultLineCase> {};

TEST_P(FormatResultLineTest, HasTheEngineShape) {
    const ResultLineCase& c = GetParam();
    const std::string line = FormatResultLine(c.fps, c.randSeed);
    const std::size_t fpsMark = line.find(" fps -- ");
    ASSERT_NE(fpsMark, std::string::npos) << line;
    EXPECT_EQ(line.substr(fpsMark + 8), c.scoreAndSeed);
    EXPECT_EQ(line.substr(line.find('=') + 1, 11), c.valueText);

    double minFps = 0;
    double averageFps = 0;
    double maxFps = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf / %lf / %lf fps", &minFps, &averageFps, &maxFps), 3) << line;
    EXPECT_DOUBLE_EQ(averageFps, c.fps);
    if (c.fps > 0) {
        EXPECT_LT(minFps, averageFps);
        EXPECT_GT(maxFps, averageFps);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FormatResultLineTest,
    ::testing::Values(
        ResultLineCase{"Forty", 40.0, 6284, "Score = 40.000000        rand[6284]", " 40.000000 "},
        ResultLineCase{"SixDecimals", 41.762527, 0, "Score = 41.762527        rand[0]", " 41.762527 "},
        ResultLineCase{"ThreeDigits", 118.43, 16838, "Score = 118.430000        rand[16838]", " 118.430000"},
        ResultLineCase{"Zero", 0.0, 1, "Score = 0.000000        rand[1]", " 0.000000  "}),
    [](const ::testing::TestParamInfo<ResultLineCase>& row) { return std::string(row.param.name); });

TEST(FormatRecordLine, JoinsTheFieldsWithBars) {
    EXPECT_EQ(
        FormatRecordLine(0x80, "C:\\Games\\UT 2003\\System", "C:\\Games\\UT 2003\\System\\UT2003.exe a -b"),
        "start|00000080|C:\\Games\\UT 2003\\System|C:\\Games\\UT 2003\\System\\UT2003.exe a -b");
    EXPECT_EQ(FormatRecordLine(0x4000, "", ""), "start|00004000||");
}

TEST(CountLines, CountsEveryLine) {
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"a\r\n", 1}, {"a\r\nb\r\n", 2}, {"a\r\nb", 2}, {"\r\n\r\n", 2},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(CountLines(text), lines) << text;
    }
}

TEST(DefaultRandSeed, DiffersBetweenStarts) {
    EXPECT_NE(DefaultRandSeed(1), DefaultRandSeed(2));
    EXPECT_EQ(DefaultRandSeed(4), DefaultRandSeed(4));
    EXPECT_LT(DefaultRandSeed(9), 32768u);
}

} // namespace
} // namespace standin
