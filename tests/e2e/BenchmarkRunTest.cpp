// A press of "BENCHMARK NOW!" seen from the game's side: which scenes start, in
// which order, with which command line and working folder, and Korvane's own
// priority while it waits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Paths.h"
#include "res/resource.h"

namespace e2e {
namespace {

// Korvane's pause after every scene.
constexpr ULONGLONG kPauseAfterSceneMs = 3000;

class BenchmarkRun : public KorvaneTest {
protected:
    // Every start ran in the demo's system folder. The system may report the
    // folder's case as the file system has it, so the case does not count.
    void ExpectGameFolder(const GameStart& start, const std::string& gameFolder) {
        EXPECT_TRUE(EqualsIgnoringCase(start.currentDirectory, gameFolder + "\\system"))
            << "the game ran in " << start.currentDirectory;
    }
};

TEST_F(BenchmarkRun, DefaultRunStartsSixScenesInOrderAtIdlePriority) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_EQ(PriorityClassOf(Korvane().Id()), std::optional<DWORD>(NORMAL_PRIORITY_CLASS))
        << "Korvane must start at normal priority for the idle priority to mean something";

    const RunOutcome outcome = PressBenchmarkNow(kSceneCount);
    ASSERT_TRUE(outcome.finished) << outcome;
    EXPECT_TRUE(outcome.sawBusy) << "the main window answered while the game ran";
    EXPECT_GE(outcome.elapsedMs, kSceneCount * kPauseAfterSceneMs) << "six scenes need six pauses of 3000 ms";

    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), static_cast<std::size_t>(kSceneCount));
    for (int index = 0; index < kSceneCount; ++index) {
        SCOPED_TRACE(Scene(index).checkBoxText);
        EXPECT_EQ(starts[index].commandLine, ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), index));
        ExpectGameFolder(starts[index], Demo().folder);
    }
    EXPECT_EQ(PriorityClassOf(Korvane().Id()), std::optional<DWORD>(IDLE_PRIORITY_CLASS));
}

TEST_F(BenchmarkRun, ChosenScenesRunInSceneOrderNotScreenOrder) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    // "Botmatch1 - DM-Antalus" (1004) stands below "Flyby 3 - CTF-Citadel" (1005) on
    // screen, but the fly-by is scene 2 and the bot match scene 3.
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_BOTMATCH1, IDC_MAIN_FLYBY3}));

    const RunOutcome outcome = PressBenchmarkNow(2);
    ASSERT_TRUE(outcome.finished) << outcome;
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].commandLine, ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 2));
    EXPECT_EQ(starts[1].commandLine, ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 3));
    EXPECT_GE(outcome.elapsedMs, 2 * kPauseAfterSceneMs);
}

TEST_F(BenchmarkRun, NoSceneChosenWarnsAndStartsNothing) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({}));

    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kWarningCaption);
    EXPECT_EQ(outcome.messageBox->text, "Please select at least a scene first!");
    EXPECT_FALSE(IsVisible(ResultWindow()));
    ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
    EXPECT_TRUE(IsResponsive(Main(), kSendTimeoutMs));
    EXPECT_TRUE(GameStarts().empty());
    EXPECT_FALSE(FileExists(Demo().RecordFile()));
    EXPECT_FALSE(IsVisible(ResultWindow()));
}

struct OptionCase {
    const char* name;
    int rendererId;
    int detailId;
    int resolutionId;
    LineOptions line;
};

const OptionCase kOptionCases[] = {
    {"OpenGL Low 640x480",
     IDC_MAIN_OPENGL,
     IDC_MAIN_DETAIL_LOW,
     IDC_MAIN_RES_640,
     {Renderer::OpenGL, Detail::Low, "640x480"}},
    {"OpenGL High 1280x1024",
     IDC_MAIN_OPENGL,
     IDC_MAIN_DETAIL_HIGH,
     IDC_MAIN_RES_1280,
     {Renderer::OpenGL, Detail::High, "1280x1024"}},
    {"Direct3D Low 800x600",
     IDC_MAIN_DIRECT3D,
     IDC_MAIN_DETAIL_LOW,
     IDC_MAIN_RES_800,
     {Renderer::Direct3D, Detail::Low, "800x600"}},
    {"Direct3D High 1600x1200",
     IDC_MAIN_DIRECT3D,
     IDC_MAIN_DETAIL_HIGH,
     IDC_MAIN_RES_1600,
     {Renderer::Direct3D, Detail::High, "1600x1200"}},
};

TEST_F(BenchmarkRun, RendererDetailAndResolutionChooseTheLine) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_BOTMATCH3}));
    std::size_t startsSoFar = 0;
    for (const OptionCase& option : kOptionCases) {
        SCOPED_TRACE(option.name);
        ASSERT_NO_FATAL_FAILURE(SetChecked(option.rendererId, true));
        ASSERT_NO_FATAL_FAILURE(SetChecked(option.detailId, true));
        ASSERT_NO_FATAL_FAILURE(SetChecked(option.resolutionId, true));
        const RunOutcome outcome = PressBenchmarkNow(1);
        ASSERT_TRUE(outcome.finished) << outcome;
        const std::vector<GameStart> starts = GameStarts();
        ASSERT_EQ(starts.size(), ++startsSoFar);
        EXPECT_EQ(starts.back().commandLine,
                  ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 5, option.line));
    }
}

TEST_F(BenchmarkRun, GameFolderWithBlanksStartsThatFoldersGame) {
    // A program where an unquoted path with blanks could lead the system: if the
    // line's executable were searched blank by blank, "...\Game.exe" would run.
    const std::string decoy = JoinPath(Root(), "Game.exe");
    ASSERT_TRUE(CopyFileTo(Programs().game, decoy));
    ASSERT_NO_FATAL_FAILURE(InstallDemo(JoinPath(Root(), "Game With Blanks")));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));

    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.finished) << outcome;
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 0));
    ExpectGameFolder(starts[0], Demo().folder);
    EXPECT_FALSE(FileExists(JoinPath(Root(), "standin-record.txt"))) << "the decoy Game.exe ran";
}

TEST_F(BenchmarkRun, FolderWithTrailingSeparatorDoublesItAndStillRuns) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string folderValue = Demo().folder + "\\";
    std::string error;
    ASSERT_TRUE(demo_key::SetFolder(folderValue, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY2}));

    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.finished) << outcome;
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 1u);
    const std::string expected = ExpectedGameLine(folderValue, KorvaneWorkingFolder(), 1);
    ASSERT_NE(expected.find("\\\\system\\UT2003.exe"), std::string::npos);
    EXPECT_EQ(starts[0].commandLine, expected);
    // The system may or may not fold the doubled separator of the working folder.
    EXPECT_TRUE(EqualsIgnoringCase(starts[0].currentDirectory, Demo().folder + "\\system") ||
                EqualsIgnoringCase(starts[0].currentDirectory, folderValue + "\\system"))
        << "the game ran in " << starts[0].currentDirectory;
}

} // namespace
} // namespace e2e
