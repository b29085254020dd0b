// A press that cannot go on: Korvane's own error boxes, their exact texts, and
// that nothing runs after them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Paths.h"
#include "res/resource.h"

namespace e2e {
namespace {

// How long to watch, after an error box was closed, that no further game starts.
constexpr DWORD kQuietAfterErrorMs = 4000;

class RunErrors : public KorvaneTest {
protected:
    // Asserts that the run ended in Korvane's error box and that the box's text
    // begins with `expectedStart`; returns the rest (the system's reason, if any).
    std::string ExpectErrorBox(const RunOutcome& outcome, const std::string& expectedStart) {
        EXPECT_TRUE(outcome.messageBox.has_value()) << outcome;
        if (!outcome.messageBox) {
            return std::string();
        }
        EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
        const std::string& text = outcome.messageBox->text;
        EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart) << "the whole text: " << text;
        return text.size() > expectedStart.size() ? text.substr(expectedStart.size()) : std::string();
    }

    // Closes the box, then checks that the main window answers, that the game's
    // starts stay at `starts` and that no result window shows up.
    void CloseAndExpectRunOver(const RunOutcome& outcome, std::size_t starts) {
        ASSERT_TRUE(outcome.messageBox.has_value());
        ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
        ::Sleep(kQuietAfterErrorMs);
        EXPECT_TRUE(IsResponsive(Main(), kSendTimeoutMs))
            << "the main window does not answer after the error";
        EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value()) << "another box followed";
        EXPECT_EQ(GameStarts().size(), starts);
        EXPECT_FALSE(IsVisible(ResultWindow()));
    }

    std::string LogPathAsKorvaneNamesIt() const { return Demo().folder + "\\benchmark\\benchmark.log"; }
};

TEST_F(RunErrors, MissingLogAfterTheGameRanStopsTheRun) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nfault=no-write\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());

    const RunOutcome outcome = PressBenchmarkNow(1);
    const std::string reason = ExpectErrorBox(outcome, "The benchmark log could not be read.\n\n" +
                                                           LogPathAsKorvaneNamesIt() + "\n\n");
    EXPECT_FALSE(reason.empty()) << "the box gives no reason";
    EXPECT_FALSE(FileExists(Demo().LogFile())) << "the stand-in wrote a log after all";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, 1));
}

TEST_F(RunErrors, GameThatCannotStartIsReportedAndNothingRuns) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo(std::string(), false));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());

    const RunOutcome outcome = PressBenchmarkNow(0);
    const std::string reason = ExpectErrorBox(outcome, "The game could not be started.\n\n" + Demo().folder +
                                                           "\\system\\UT2003.exe\n\n");
    EXPECT_FALSE(reason.empty()) << "the box gives no reason";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, 0));
}

struct NoNewResultCase {
    const char* name;
    const char* settings; // the stand-in's settings
    bool logBeforeRun;    // a log line from an earlier run exists before the press
    int failingScene;     // the scene whose start writes nothing
};

const NoNewResultCase kNoNewResultCases[] = {
    {"SecondSceneAfterFirstWrote", "[start 2]\r\nfault=no-write\r\n", false, 1},
    {"FirstSceneWithLogOfEarlierRun", "[all]\r\nfault=no-write\r\n", true, 0},
};

class NoNewResult : public RunErrors, public ::testing::WithParamInterface<NoNewResultCase> {};

TEST_P(NoNewResult, StopsTheRunNamingTheScene) {
    const NoNewResultCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), test.settings));
    if (test.logBeforeRun) {
        ASSERT_TRUE(
            WriteTextFile(Demo().LogFile(),
                          "40.000000 / 40.000000 / 40.000000 fps -- Score = 40.000000        rand[1]\r\n"));
    }
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());

    const RunOutcome outcome = PressBenchmarkNow(test.failingScene + 1);
    const std::string expected = std::string("The game wrote no new result for the scene \"") +
                                 Scene(test.failingScene).checkBoxText +
                                 "\".\n\nThe benchmark log was not changed:\n" + LogPathAsKorvaneNamesIt();
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    EXPECT_EQ(outcome.messageBox->text, expected);
    // One line either way: the earlier run's, or the first scene's.
    EXPECT_EQ(ReadLogLines(Demo()).size(), 1u) << "the log is not as the stand-in should have left it";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, static_cast<std::size_t>(test.failingScene) + 1));
}

INSTANTIATE_TEST_SUITE_P(RunErrors, NoNewResult, ::testing::ValuesIn(kNoNewResultCases), CaseName());

// A folder path of exactly `length` characters: `base` and one padding folder.
std::string FolderOfLength(const std::string& base, std::size_t length, char padding) {
    const std::string prefix = JoinPath(base, "");
    return prefix + std::string(length - prefix.size(), padding);
}

struct LongFolderCase {
    const char* name;
    std::size_t length;
};

const LongFolderCase kLongFolderCases[] = {{"Exactly200", 200}, {"Of240", 240}};

class LongKorvaneFolder : public RunErrors, public ::testing::WithParamInterface<LongFolderCase> {};

TEST_P(LongKorvaneFolder, IsReportedAndTheGameNeverStarts) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string folder = FolderOfLength(KorvaneFolder(), GetParam().length, 'k');
    ASSERT_EQ(folder.size(), GetParam().length);
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(folder));

    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    EXPECT_EQ(outcome.messageBox->text,
              "Korvane's folder is too long for the game's command line (at most 199 characters):\n\n" +
                  folder);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, 0));
}

INSTANTIATE_TEST_SUITE_P(RunErrors, LongKorvaneFolder, ::testing::ValuesIn(kLongFolderCases), CaseName());

std::string LineTooLongText(int scene, std::size_t length) {
    return std::string("The game's command line for the scene \"") + Scene(scene).checkBoxText +
           "\" would be " + std::to_string(length) +
           " characters long; at most 279 fit.\n\nInstall the demo or Korvane in a folder with a shorter "
           "path.";
}

// The demo's folder padded so that scene `scene`'s line has `lineLength` characters.
std::string GameFolderForLine(const std::string& base, const std::string& korvaneFolder, int scene,
                              std::size_t lineLength) {
    const std::size_t shortest = ExpectedGameLine(JoinPath(base, "g"), korvaneFolder, scene).size();
    return FolderOfLength(base, JoinPath(base, "g").size() + (lineLength - shortest), 'g');
}

TEST_F(RunErrors, LineOf199CharacterFolderIsTooLongNotTheFolder) {
    // Korvane's folder just fits; the line it makes does not.
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string folder = FolderOfLength(KorvaneFolder(), 199, 'k');
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(folder));
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));

    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    EXPECT_EQ(outcome.messageBox->text,
              LineTooLongText(0, ExpectedGameLine(Demo().folder, folder, 0).size()));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, 0));
}

TEST_F(RunErrors, LineOf279CharactersRunsAsComposed) {
    const std::string gameFolder = GameFolderForLine(Root(), KorvaneFolder(), 0, 279);
    ASSERT_NO_FATAL_FAILURE(InstallDemo(gameFolder));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));
    const std::string expected = ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 0);
    ASSERT_EQ(expected.size(), 279u);

    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.finished) << outcome;
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, expected);
}

TEST_F(RunErrors, LineOf280CharactersIsReportedAndNotRun) {
    const std::string gameFolder = GameFolderForLine(Root(), KorvaneFolder(), 0, 280);
    ASSERT_NO_FATAL_FAILURE(InstallDemo(gameFolder));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));
    ASSERT_EQ(ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 0).size(), 280u);

    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    EXPECT_EQ(outcome.messageBox->text, LineTooLongText(0, 280));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, 0));
}

TEST_F(RunErrors, LineTooLongForALaterSceneRunsNothing) {
    // The bot-match line is 29 characters longer than the fly-by's: with the fly-by
    // at 279 characters only the bot match is too long. A press that cannot run
    // every chosen scene runs none, not even the fly-by before it.
    const std::string gameFolder = GameFolderForLine(Root(), KorvaneFolder(), 2, 279);
    ASSERT_NO_FATAL_FAILURE(InstallDemo(gameFolder));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY3, IDC_MAIN_BOTMATCH1, IDC_MAIN_BOTMATCH3}));
    ASSERT_EQ(ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 2).size(), 279u);
    const std::size_t botMatchLength = ExpectedGameLine(Demo().folder, KorvaneWorkingFolder(), 3).size();
    ASSERT_GT(botMatchLength, 279u);

    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    EXPECT_EQ(outcome.messageBox->text, LineTooLongText(3, botMatchLength));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectRunOver(outcome, 0));
}

} // namespace
} // namespace e2e
