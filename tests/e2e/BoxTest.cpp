// Bad input met by a press, one row per case (tests/data/e2e/box-presses.txt): what
// the game, its log, the registry or the folders do wrong, and what the press must
// end in: the box with its exact text, or the values the run goes on with. After a
// box the main window answers, no further scene runs and no result shows.
#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "KorvaneFixture.h"
#include "SourceTree.h"
#include "driver/SystemText.h"

namespace e2e {
namespace {

enum class Fault { None, NoGame, NoFolder, HeldLog, KorvaneFolder200, LineOf280, LaterLineTooLong };
const char* const kFaultNames[] = {
    "-", "no game", "no folder", "held log", "Korvane's folder of 200", "line of 280", "later line of 279"};

struct BoxCase {
    std::string name;
    Fault fault;
    std::string scenes, settings;
    std::string logBefore; // "-": no log
    int starts;
    std::string caption, text; // no caption: no box
    std::vector<std::string> detailsFps;
    int lengthOf, reason;
};

std::vector<BoxCase> BoxCases() {
    std::vector<BoxCase> cases;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("e2e/box-presses.txt")) {
        const auto fault = std::find(std::begin(kFaultNames), std::end(kFaultNames), row.at(1));
        if (fault == std::end(kFaultNames)) {
            throw std::invalid_argument("box-presses.txt: no fault \"" + row[1] + "\"");
        }
        cases.push_back({row[0], static_cast<Fault>(fault - std::begin(kFaultNames)), row.at(2),
                         Unescaped(row.at(3)), row.at(4), std::stoi(row.at(5)), Unescaped(row.at(6)),
                         Unescaped(row.at(7)), Split(row.at(8), ", "), std::atoi(row.at(9).c_str()),
                         std::atoi(row.at(10).c_str())});
    }
    return cases;
}

class Box : public KorvaneTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(Box, PressEndsAsExpected) {
    const BoxCase& test = GetParam();
    const Fault fault = test.fault;
    std::string korvaneFolder;
    std::string demoFolder = JoinPath(Root(), "nowhere");
    if (fault == Fault::KorvaneFolder200) {
        korvaneFolder = KorvaneFolder() + "\\" + std::string(200 - KorvaneFolder().size() - 1, 'k');
    }
    if (fault != Fault::NoFolder) {
        // Flyby 1's line at 280 characters, or Flyby 3's at 279.
        const int scene = fault == Fault::LineOf280 ? 0 : 2;
        const std::size_t length = fault == Fault::LineOf280 ? 280 : 279;
        const std::size_t shortest = ExpectedGameLine(GameFolder(), KorvaneFolder(), scene).size();
        const bool longFolder = fault == Fault::LineOf280 || fault == Fault::LaterLineTooLong;
        ASSERT_NO_FATAL_FAILURE(InstallDemo(
            GameFolder() + std::string(longFolder ? length - shortest : 0, 'g'), fault != Fault::NoGame));
        demoFolder = Demo().folder;
        ASSERT_TRUE(WriteStandInSettings(Demo(), test.settings));
        ASSERT_TRUE(test.logBefore == "-" || WriteTextFile(Demo().LogFile(), Unescaped(test.logBefore)));
    } else {
        ASSERT_TRUE(demo_key::SetFolder(demoFolder));
    }
    KernelHandle heldLog;
    if (fault == Fault::HeldLog) {
        ASSERT_TRUE(heldLog = HoldFile(Demo().LogFile(), GENERIC_READ, FILE_SHARE_WRITE));
    }
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(korvaneFolder));
    // A box after which the details are read needs an earlier press with results.
    if (!test.caption.empty() && !test.detailsFps.empty()) {
        ChooseScenes({IDC_MAIN_FLYBY1});
        ASSERT_TRUE(PressBenchmarkNow(1).resultsShown);
    }
    if (test.scenes != "-") {
        ChooseScenes({});
        for (const char scene : test.scenes) {
            if (scene >= '1' && scene <= '6') {
                ASSERT_NO_FATAL_FAILURE(SetChecked(kSceneCheckBoxes[scene - '1'], true));
            }
        }
    }
    const PressOutcome outcome = PressBenchmarkNow(test.caption.empty() ? test.starts : 0);
    if (test.caption.empty()) {
        ASSERT_TRUE(outcome.finished && outcome.resultsShown) << outcome;
    } else {
        ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
        EXPECT_EQ(outcome.messageBox->caption, test.caption);
        std::string expected =
            sourcetree::Replaced(test.text, "{log}", demoFolder + "\\benchmark\\benchmark.log");
        expected = sourcetree::Replaced(expected, "{exe}", demoFolder + "\\system\\UT2003.exe");
        expected = sourcetree::Replaced(expected, "{folder}", korvaneFolder);
        expected = sourcetree::Replaced(expected, "{length}",
                                        std::to_string(test.lengthOf ? Line(test.lengthOf - 1).size() : 0));
        const std::string& text = outcome.messageBox->text;
        if (expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0) {
            expected.resize(expected.size() - 3);
            EXPECT_EQ(text.substr(0, expected.size()), expected) << text;
            const std::string reason = text.size() > expected.size() ? text.substr(expected.size()) : "";
            const std::string system = ErrorText(test.reason);
            EXPECT_EQ(test.reason ? system.substr(0, system.rfind(" (error ")) : reason, reason) << text;
            EXPECT_FALSE(reason.empty()) << "the box gives no reason";
        } else {
            EXPECT_EQ(text, expected);
        }
        ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
        heldLog.reset();
        // Long enough for a next scene to start after the pause.
        ::Sleep(kPauseAfterSceneMs + 1000);
        EXPECT_TRUE(IsResponsive(Main(), kSendTimeoutMs));
        EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value()) << "another box followed";
        EXPECT_FALSE(IsVisible(ResultWindow()));
    }
    EXPECT_EQ(GameStarts().size(), static_cast<std::size_t>(test.starts)) << "the game's starts";
    EXPECT_FALSE(FolderExists(JoinPath(Root(), "nowhere"))) << "something made the missing folder";
    if (!test.detailsFps.empty()) {
        const DetailsRows rows = OpenDetails();
        ASSERT_EQ(rows.size(), 13u);
        for (std::size_t i = 0; i < test.detailsFps.size(); ++i) {
            EXPECT_EQ(rows[7 + i][1], test.detailsFps[i]) << rows[7 + i][0];
        }
    }
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}
INSTANTIATE_TEST_SUITE_P(Box, Box, ::testing::ValuesIn(BoxCases()), CaseName());

} // namespace
} // namespace e2e
