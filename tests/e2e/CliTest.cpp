// korvane-cli under Wine with the stand-in game: a resolution sweep of repeated
// runs with the 3.5 % rule adding runs and the files it writes, a hanging game
// ended by the time-out while the run goes on, and Ctrl-C.
#include <algorithm>
#include <iterator>

#include "KorvaneFixture.h"
#include "driver/SystemText.h"

namespace e2e {
namespace {

class Cli : public KorvaneTest {
protected:
    void SetUp() override {
        KorvaneTest::SetUp();
        ASSERT_TRUE(MakeFolders(Path("out")));
    }
};

// One call does it all: two resolutions, two runs of two scenes each, and Flyby 1
// at 640x480 giving 100 and 110 (6.73 %), then 105 (4.76 %), then 105 (3.89 %),
// so that it runs again up to twice the runs (what it prints and writes for that:
// tests/data/e2e/cli-texts.txt). Starts 1 to 6 are 640x480's.
TEST_F(Cli, RepeatsSweepsAndRunsAVaryingSceneAgainWritingOnlyTheFilesAsked) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(
        Demo(), "[start 1]\r\nfps=100\r\n[start 2]\r\nfps=60\r\nrand=777\r\n[start 3]\r\nfps=110\r\n"
                "[start 4]\r\nfps=60.5\r\nrand=777\r\n[start 5]\r\nfps=105\r\n[start 6]\r\nfps=105\r\n"));
    const CliResult result =
        RunCli("--scenes flyby1,botmatch2 --runs 2 --resolution 1600x1200,640x480 --json " +
                   Path("out\\r.json") + " --csv=" + Path("out\\r.csv") + " --html " + Path("out\\r.html"),
               10);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    EXPECT_EQ(result.errors, "");
    EXPECT_GE(result.elapsedMs, 10 * kPauseAfterSceneMs) << "ten scene runs need ten pauses of 3000 ms";
    const std::vector<GameStart> starts = GameStarts();
    const int scenes[] = {0, 4, 0, 4, 0, 0, 0, 4, 0, 4};
    ASSERT_EQ(starts.size(), std::size(scenes));
    for (std::size_t i = 0; i < starts.size(); ++i) {
        LineOptions line;
        line.resolution = i < 6 ? "640x480" : "1600x1200";
        EXPECT_EQ(starts[i].commandLine, ExpectedGameLine(Demo().folder, KorvaneFolder(), scenes[i], line))
            << i;
    }
    EXPECT_EQ(result.output.rfind("korvane-cli 1.00 Alpha1\nProcessor:   ", 0), 0u) << result;
    ExpectTexts("sweep", result);
    const std::string csv = Read("out\\r.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 11) << csv;
    for (const char* name : {"r.json", "r.csv", "r.html"}) {
        EXPECT_FALSE(FileExists(JoinPath(KorvaneFolder(), name))) << name;
    }
}

// Also when korvane-cli itself runs inside a job, as under some launchers; then
// Windows before 8 cannot put the game into a job of its own, and the time-out
// ends the game's own process instead.
class CliTimeout : public Cli, public ::testing::WithParamInterface<bool> {};

TEST_P(CliTimeout, EndsAHangingGameAndTheRunGoesOn) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfault=hang\r\n[all]\r\nfps=77.5\r\n"));
    const CliResult result = RunCli("--scenes flyby1,flyby2 --runs 1 --timeout 3 --json " +
                                        Path("out\\r.json") + " --csv " + Path("out\\r.csv"),
                                    3, GetParam());
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(3)) << result;
    EXPECT_EQ(GameStarts().size(), 2u) << "the run went on with the next scene";
    EXPECT_TRUE(WaitUntil([&] { return CountProcessesIn("UT2003.exe", Demo().folder) == 0; }, 5000))
        << "a stand-in game still runs";
    // Only the note that the game could not get a job of its own may appear.
    EXPECT_TRUE(result.errors.empty() ||
                (GetParam() && result.errors.rfind(
                                   "korvane-cli: the game could not be put into a job of its own (", 0) == 0))
        << result;
    ExpectTexts("time-out", result);
}
INSTANTIATE_TEST_SUITE_P(Cli, CliTimeout, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& test) {
    return std::string(test.param ? "InAJob" : "OnItsOwn");
});

TEST_F(Cli, CtrlCEndsTheGameStopsAndWritesWhatWasMeasured) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfps=91.25\r\n[start 2]\r\nseconds=60\r\n"));
    // korvane-cli shares this program's console, and control events go through
    // it. Under CTest this program has Wine's stand-in for a console, which
    // takes no control events: it is given up for a real one.
    ::FreeConsole();
    ASSERT_TRUE(::AllocConsole()) << LastErrorText();
    ASSERT_NO_FATAL_FAILURE(StartCli("--scenes flyby1,flyby2,flyby3 --runs 1 --json " + Path("out\\r.json")));
    ASSERT_TRUE(WaitUntil([&] { return GameStarts().size() >= 2; }, 40000))
        << "the second game never started";
    ASSERT_TRUE(WaitUntil([&] { return CountProcessesIn("UT2003.exe", Demo().folder) == 1; }, 5000));
    EXPECT_EQ(PriorityClassOf(CliProgram().Id()), std::optional<DWORD>(IDLE_PRIORITY_CLASS))
        << "korvane-cli waits at idle";
    ASSERT_EQ(CliProgram().SendControl(CTRL_C_EVENT), 0u);
    const CliResult result = FinishCli(15000);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(3)) << result;
    EXPECT_LT(result.elapsedMs, 40000u) << "the 60 s game was waited for";
    EXPECT_EQ(GameStarts().size(), 2u) << "a scene started after Ctrl-C";
    EXPECT_TRUE(WaitUntil([&] { return CountProcessesIn("UT2003.exe", Demo().folder) == 0; }, 5000));
    ExpectTexts("ctrl-c", result);
}

} // namespace
} // namespace e2e
