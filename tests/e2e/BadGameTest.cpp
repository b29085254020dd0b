// A game that misbehaves: a failure code after a result, a failure code without
// one, a log written again unchanged; and a later scene that fails after earlier
// scenes of the same press have stored new values.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "BadInput.h"
#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Paths.h"
#include "res/resource.h"

namespace e2e {
namespace {

constexpr ULONGLONG kPauseAfterSceneMs = 3000;

// What a two-scene press ("Flyby 1", then "Flyby 2") must end in.
enum class Ending {
    Results,     // both scenes ran; the result window shows
    NoNewResult, // Korvane's box for a log the game did not change, after scene 0
};

struct GameCase {
    const char* name;
    const char* logBefore; // the log's bytes before the press; null: no log
    const char* settings;  // the stand-in's settings
    Ending ending;
    const char* flyby1Fps; // the details rows of scenes 0 and 1 (Results only)
    const char* flyby2Fps;
    std::size_t logLines; // the log's lines after the press
};

const GameCase kGameCases[] = {
    // Exit code 3 after a result line: the value counts and the run goes on.
    {"FailureCodeAfterWriting", nullptr,
     "[start 1]\r\nfps=25.5\r\nfault=fail-exit\r\nexitcode=3\r\n[start 2]\r\nfps=26.5\r\n", Ending::Results,
     "25.50 fps", "26.50 fps", 2},
    // Exit code 4 and no line: the log holds only an older run's result.
    {"FailureCodeWithoutWriting",
     "40.000000 / 40.000000 / 40.000000 fps -- Score = 40.000000        rand[1]\r\n",
     "[all]\r\nfault=fail-no-write\r\nexitcode=4\r\n", Ending::NoNewResult, nullptr, nullptr, 1},
    // The second start writes the log's bytes back: only its time changes. The
    // game did write, so its (unchanged) last line is taken.
    {"SameLogWrittenAgain", nullptr, "[start 1]\r\nfps=40\r\n[start 2]\r\nfault=rewrite-same\r\n",
     Ending::Results, "40.00 fps", "40.00 fps", 1},
};

class BadGame : public KorvaneTest {
protected:
    void ExpectNormalExit() {
        const std::optional<DWORD> code = ExitKorvane();
        ASSERT_TRUE(code.has_value()) << "Korvane did not end after \"Exit\"";
        EXPECT_EQ(*code, kNormalExitCode);
    }
};

class BadGameRun : public BadGame, public ::testing::WithParamInterface<GameCase> {};

TEST_P(BadGameRun, EndsAsExpected) {
    const GameCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    if (test.logBefore != nullptr) {
        ASSERT_TRUE(WriteTextFile(Demo().LogFile(), test.logBefore));
    }
    ASSERT_TRUE(WriteStandInSettings(Demo(), test.settings));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2}));

    const RunOutcome outcome = PressBenchmarkNow(2);
    if (test.ending == Ending::Results) {
        ASSERT_TRUE(outcome.finished) << outcome;
        ASSERT_TRUE(outcome.resultsShown) << outcome;
        EXPECT_EQ(GameStarts().size(), 2u);
        const DetailsRows rows = OpenDetails();
        ASSERT_EQ(rows.size(), 13u);
        EXPECT_EQ(rows[7][1], test.flyby1Fps) << Scene(0).detailsRow;
        EXPECT_EQ(rows[8][1], test.flyby2Fps) << Scene(1).detailsRow;
    } else {
        ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
        EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
        EXPECT_EQ(outcome.messageBox->text,
                  std::string("The game wrote no new result for the scene \"") + Scene(0).checkBoxText +
                      "\".\n\nThe benchmark log was not changed:\n" + LogPathAsKorvaneNamesIt(Demo()));
        ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
        ::Sleep(kPauseAfterSceneMs + 1000);
        EXPECT_EQ(GameStarts().size(), 1u) << "the scene after the error ran";
        EXPECT_FALSE(IsVisible(ResultWindow()));
    }
    EXPECT_EQ(ReadLogLines(Demo()).size(), test.logLines) << "the stand-in did not leave the log as planned";
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

INSTANTIATE_TEST_SUITE_P(BadGame, BadGameRun, ::testing::ValuesIn(kGameCases), CaseName());

TEST_F(BadGame, FolderThatDoesNotExistIsReportedWhenTheGameCannotStart) {
    // The key names a folder that is not there: start-up does not look, the press does.
    const std::string missing = JoinPath(Root(), "nowhere");
    std::string error;
    ASSERT_TRUE(demo_key::SetFolder(missing, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));

    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    const std::string start = "The game could not be started.\n\n" + missing + "\\system\\UT2003.exe\n\n";
    const std::string& text = outcome.messageBox->text;
    ASSERT_EQ(text.substr(0, start.size()), start) << "the whole text: " << text;
    EXPECT_FALSE(text.substr(start.size()).empty()) << "the box gives no reason";
    ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
    EXPECT_TRUE(IsResponsive(Main(), kSendTimeoutMs));
    EXPECT_FALSE(FolderExists(missing)) << "something made the folder";
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

// The six scenes at 40, 42, 44, 30, 32 and 34 frames per second.
std::string SixSceneSettings() {
    const int fps[kSceneCount] = {40, 42, 44, 30, 32, 34};
    std::string settings;
    for (int index = 0; index < kSceneCount; ++index) {
        settings += SettingsSection(index) + "\r\nfps=" + std::to_string(fps[index]) + "\r\n";
    }
    return settings;
}

TEST_F(BadGame, FileErrorInALaterSceneKeepsTheEarlierScenesNewValues) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), SixSceneSettings()));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    const RunOutcome first = PressBenchmarkNow(kSceneCount);
    ASSERT_TRUE(first.finished) << first;
    ASSERT_TRUE(first.resultsShown) << first;

    // The second press: scenes 0 and 1 give new values; while scene 2's game runs,
    // another program writes the log and keeps it locked.
    ASSERT_TRUE(WriteStandInSettings(Demo(), SixSceneSettings() +
                                                 "[start 7]\r\nfps=50\r\n[start 8]\r\nfps=51\r\n"
                                                 "[start 9]\r\nseconds=3\r\nfault=no-write\r\n"));
    LogHolder holder(Demo(), 9, 77.0);
    const RunOutcome second = PressBenchmarkNow(3, [&] { holder.Poll(GameStarts().size()); });
    ASSERT_TRUE(holder.Held()) << holder.Problem();
    ASSERT_TRUE(second.messageBox.has_value()) << second;
    EXPECT_EQ(second.messageBox->caption, kErrorCaption);
    EXPECT_EQ(second.messageBox->text.substr(0, LogUnreadableStart(Demo()).size()),
              LogUnreadableStart(Demo()))
        << "the whole text: " << second.messageBox->text;
    ASSERT_TRUE(CloseMessageBox(*second.messageBox));
    holder.Release();
    ::Sleep(kPauseAfterSceneMs + 1000);
    EXPECT_EQ(GameStarts().size(), 9u) << "scenes after the error ran";

    // The result window keeps the first press's texts; the details list shows the
    // second press's values for scenes 0 and 1 and the first press's for the rest.
    // All six ran in the last finished press, so row 3 is 100 times the mean of
    // the six values now stored: (50 + 51 + 44 + 30 + 32 + 34) / 6 * 100 = 4016.7.
    EXPECT_EQ(ControlText(ResultWindow(), IDC_RESULT_SCORE), std::optional<std::string>("3700 "));
    EXPECT_EQ(OpenDetails(), ExpectedDetailsRows("4017 Korvanes", {"50.00 fps", "51.00 fps", "44.00 fps",
                                                                   "30.00 fps", "32.00 fps", "34.00 fps"}));
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

} // namespace
} // namespace e2e
