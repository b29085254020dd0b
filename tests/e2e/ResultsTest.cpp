// What a finished run shows: the result window's score and averages, the details
// list with its 13 rows, and how the result and details windows hide.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Timing.h"
#include "res/resource.h"

namespace e2e {
namespace {

// The frame rates the stand-in reports for scenes 0 to 5.
constexpr int kSceneFps[kSceneCount] = {40, 42, 44, 30, 32, 34};

std::string SceneSettings() {
    std::string settings;
    for (int index = 0; index < kSceneCount; ++index) {
        settings += SettingsSection(index) + "\r\nfps=" + std::to_string(kSceneFps[index]) + "\r\n";
    }
    return settings;
}

class Results : public KorvaneTest {
protected:
    // A full run with the frame rates above; the result window is then visible.
    void RunAllScenes() {
        ASSERT_NO_FATAL_FAILURE(InstallDemo());
        ASSERT_TRUE(WriteStandInSettings(Demo(), SceneSettings()));
        ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
        const RunOutcome outcome = PressBenchmarkNow(kSceneCount);
        ASSERT_TRUE(outcome.finished) << outcome;
        ASSERT_TRUE(outcome.resultsShown) << "the result window is not visible after the run";
        ASSERT_EQ(ReadLogLines(Demo()).size(), static_cast<std::size_t>(kSceneCount))
            << "the stand-in did not write one line per scene";
    }

    std::optional<std::string> ResultText(int id) { return ControlText(ResultWindow(), id); }
};

TEST_F(Results, FullRunShowsScoreAndAverages) {
    ASSERT_NO_FATAL_FAILURE(RunAllScenes());
    EXPECT_EQ(ResultText(IDC_RESULT_SCORE), std::optional<std::string>("3700 "));
    EXPECT_EQ(ResultText(IDC_RESULT_FLYBY), std::optional<std::string>("42.00 fps"));
    EXPECT_EQ(ResultText(IDC_RESULT_BOTMATCH), std::optional<std::string>("32.00 fps "));
    EXPECT_EQ(ResultText(IDC_RESULT_UNIT), std::optional<std::string>("Korvanes"));
    EXPECT_FALSE(IsVisible(DetailsWindow())) << "the details window opened by itself";
}

TEST_F(Results, RoundingEdgesGiveTheSpecifiedTexts) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), RoundingEdgeSettings()));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    const RunOutcome outcome = PressBenchmarkNow(kSceneCount);
    ASSERT_TRUE(outcome.resultsShown) << outcome;
    EXPECT_EQ(ResultText(IDC_RESULT_SCORE), std::optional<std::string>(kRoundingEdgeScore));
    EXPECT_EQ(ResultText(IDC_RESULT_FLYBY), std::optional<std::string>(kRoundingEdgeFlyby));
    EXPECT_EQ(ResultText(IDC_RESULT_BOTMATCH), std::optional<std::string>(kRoundingEdgeBotmatch));
    EXPECT_EQ(OpenDetails(),
              ExpectedDetailsRows(kRoundingEdgeOverall,
                                  std::vector<std::string>(std::begin(kRoundingEdgeSceneTexts),
                                                           std::end(kRoundingEdgeSceneTexts))));
}

TEST_F(Results, DetailsListHas13RowsAndStays13WhenPressedTwice) {
    ASSERT_NO_FATAL_FAILURE(RunAllScenes());
    const DetailsRows expected = ExpectedDetailsRows(
        "3700 Korvanes", {"40.00 fps", "42.00 fps", "44.00 fps", "30.00 fps", "32.00 fps", "34.00 fps"});
    EXPECT_EQ(OpenDetails(), expected);

    const std::optional<std::vector<ListViewColumn>> columns =
        ListViewColumns(::GetDlgItem(DetailsWindow(), IDC_DETAILS_LIST));
    ASSERT_TRUE(columns.has_value());
    ASSERT_EQ(columns->size(), 2u);
    EXPECT_EQ((*columns)[0].heading, "Item");
    EXPECT_EQ((*columns)[0].widthPx, 175);
    EXPECT_EQ((*columns)[1].heading, "Description");
    EXPECT_EQ((*columns)[1].widthPx, 163);

    EXPECT_EQ(OpenDetails(), expected) << "a second press must rebuild the list, not add to it";
    const std::optional<std::vector<ListViewColumn>> columnsAgain =
        ListViewColumns(::GetDlgItem(DetailsWindow(), IDC_DETAILS_LIST));
    ASSERT_TRUE(columnsAgain.has_value());
    EXPECT_EQ(columnsAgain->size(), 2u);
}

TEST_F(Results, SecondRunOfOneSceneShowsNotAvailableAndKeepsOlderValues) {
    ASSERT_NO_FATAL_FAILURE(RunAllScenes());
    // The seventh start is the second run's only one.
    ASSERT_TRUE(WriteStandInSettings(Demo(), SceneSettings() + "[start 7]\r\nfps=50\r\n"));
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));
    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.finished) << outcome;
    ASSERT_TRUE(outcome.resultsShown);
    EXPECT_EQ(ResultText(IDC_RESULT_SCORE), std::optional<std::string>("N/A "));
    EXPECT_EQ(ResultText(IDC_RESULT_FLYBY), std::optional<std::string>("N/A "));
    EXPECT_EQ(ResultText(IDC_RESULT_BOTMATCH), std::optional<std::string>("N/A "));
    EXPECT_EQ(OpenDetails(), ExpectedDetailsRows("0 Korvanes", {"50.00 fps", "42.00 fps", "44.00 fps",
                                                                "30.00 fps", "32.00 fps", "34.00 fps"}));
}

TEST_F(Results, NoSceneChosenLeavesResultWindowHidden) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_NE(ResultWindow(), nullptr) << "the result window is made, hidden, at start-up";
    EXPECT_FALSE(IsVisible(ResultWindow()));
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({}));
    const RunOutcome outcome = PressBenchmarkNow(0);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kWarningCaption);
    ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
    ::Sleep(1000);
    EXPECT_FALSE(IsVisible(ResultWindow()));
}

struct HideCase {
    const char* name;
    bool viaCloseBox; // the caption's close box, otherwise Esc
};

const HideCase kHideCases[] = {{"Escape", false}, {"CloseBox", true}};

class HidingResults : public Results, public ::testing::WithParamInterface<HideCase> {};

TEST_P(HidingResults, HidesResultWindowAndLeavesDetailsOpen) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));
    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.finished) << outcome;
    ASSERT_TRUE(outcome.resultsShown);
    ASSERT_EQ(OpenDetails().size(), 13u);

    HWND result = ResultWindow();
    if (GetParam().viaCloseBox) {
        ASSERT_TRUE(PostSysCommand(result, SC_CLOSE));
    } else {
        ASSERT_TRUE(PostCommand(result, IDCANCEL));
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(result); }, kWindowTimeoutMs)) << "the result window stays";
    EXPECT_TRUE(::IsWindow(result)) << "the result window must only hide";
    ::Sleep(500);
    EXPECT_TRUE(IsVisible(DetailsWindow())) << "the details window closed with the result window";
    EXPECT_TRUE(IsResponsive(Main()));
}

INSTANTIATE_TEST_SUITE_P(Results, HidingResults, ::testing::ValuesIn(kHideCases), CaseName());

} // namespace
} // namespace e2e
