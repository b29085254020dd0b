// Bad input met by a press, one row per case: what the game, its log, the
// registry or the folders do wrong, and what the press must end in: the box
// with its exact text, or the values the run goes on with. After a box the main
// window answers, no further scene runs and no result shows.
#include <cstdio>

#include "KorvaneFixture.h"
#include "driver/SystemText.h"

namespace e2e {
namespace {

enum class Fault {
    None,
    NoGame,           // the installation has no UT2003.exe
    NoFolder,         // the registry names a folder that does not exist
    HeldLog,          // another program reads the log and lets others write it, but not read it
    KorvaneFolder200, // Korvane runs in a folder of 200 characters
    LineOf280,        // the demo's folder makes the fly-by's line 280 characters long
    LaterLineTooLong, // ... makes Flyby 3's line 279 long; the bot match's is longer
};

struct BoxCase {
    const char* name;
    Fault fault;
    std::vector<int> scenes; // checked for the press ({0}: none); empty: the window's six defaults
    const char* settings;    // the stand-in's
    const char* logBefore;   // the log's text before the press; null: no log
    int starts;              // the game's starts the press ends with
    const char* caption;     // the box; null: the run goes on to the results
    // The box's text: {exe} the game's path, {log} the log's, {folder} Korvane's,
    // {length} the length of the line of scene `lengthOf`; a text ending in "..."
    // must be followed by the system's reason (`reason` when given).
    const char* text = nullptr;
    std::vector<std::string> detailsFps = {}; // the details rows of the chosen scenes
    int lengthOf = 0;
    DWORD reason = 0;
};

constexpr char kOlderResult[] =
    "40.000000 / 40.000000 / 40.000000 fps -- Score = 40.000000        rand[1]\r\n";
constexpr char kLogUnreadable[] = "The benchmark log could not be read.\n\n{log}\n\n...";
constexpr char kCannotStart[] = "The game could not be started.\n\n{exe}\n\n...";
constexpr char kLineTooLong[] =
    "\" would be {length} characters long; at most 279 fit.\n\nInstall the demo or Korvane "
    "in a folder with a shorter path.";
constexpr int kFlyby1 = IDC_MAIN_FLYBY1;
constexpr int kFlyby2 = IDC_MAIN_FLYBY2;

// clang-format off
const BoxCase kBoxCases[] = {
    {"NoSceneChosen", Fault::None, {0}, "", nullptr, 0, kWarningCaption, "Please select at least a scene first!"},
    {"GameMissing", Fault::NoGame, {IDC_MAIN_FLYBY1}, "", nullptr, 0, kErrorCaption, kCannotStart},
    {"FolderMissing", Fault::NoFolder, {IDC_MAIN_FLYBY1}, "", nullptr, 0, kErrorCaption, kCannotStart},
    {"LogMissingAfterTheGameRan", Fault::None, {kFlyby1, kFlyby2}, "[all]\r\nfault=no-write\r\n", nullptr, 1,
     kErrorCaption, kLogUnreadable},
    // The scene before keeps its new value (after a first press of Flyby 1 at 40).
    {"NoNewResultInTheSecondScene", Fault::None, {kFlyby1, kFlyby2},
     "[start 1]\r\nfps=40\r\n[start 2]\r\nfps=50\r\n[start 3]\r\nfault=no-write\r\n", nullptr, 3, kErrorCaption,
     "The game wrote no new result for the scene \"Flyby 2 - DM-Asbestos\".\n\nThe benchmark log was not changed:\n{log}",
     {"50.00 fps", "0.00 fps"}},
    // A failure code without a line: the log holds only an older run's result.
    {"FailureCodeAndOnlyAnOlderResult", Fault::None, {kFlyby1, kFlyby2}, "[all]\r\nfault=fail-no-write\r\nexitcode=4\r\n",
     kOlderResult, 1, kErrorCaption,
     "The game wrote no new result for the scene \"Flyby 1 - DM-Antalus\".\n\nThe benchmark log was not changed:\n{log}"},
    // A failure code after a result line: the value counts and the run goes on.
    {"FailureCodeAfterWriting", Fault::None, {kFlyby1, kFlyby2},
     "[start 1]\r\nfps=25.5\r\nfault=fail-exit\r\nexitcode=3\r\n[start 2]\r\nfps=26.5\r\n", nullptr, 2, nullptr, nullptr,
     {"25.50 fps", "26.50 fps"}},
    // The game writes the log's bytes back: it did write, so its unchanged last line counts.
    {"SameLogWrittenAgain", Fault::None, {kFlyby1, kFlyby2}, "[start 1]\r\nfps=40\r\n[start 2]\r\nfault=rewrite-same\r\n",
     nullptr, 2, nullptr, nullptr, {"40.00 fps", "40.00 fps"}},
    {"EmptyLogCountsAsZero", Fault::None, {kFlyby1, kFlyby2}, "[start 1]\r\nfault=rewrite-same\r\n[all]\r\nfps=42\r\n", "",
     2, nullptr, nullptr, {"0.00 fps", "42.00 fps"}},
    // A last line just over the bound of a line is a log that cannot be read.
    {"LastLineTooLongToRead", Fault::None, {kFlyby1, kFlyby2}, "[all]\r\nlinebytes=65537\r\n", nullptr, 1, kErrorCaption,
     "The benchmark log could not be read.\n\n{log}\n\nIts last line is longer than 65536 bytes."},
    // An infinity is no frame rate: the line counts as one without a number.
    {"InfiniteValueCountsAsZero", Fault::None, {kFlyby1, kFlyby2},
     "[start 1]\r\nline=a / b / c fps -- Score = 1e999\r\n[all]\r\nfps=42\r\n", nullptr, 2, nullptr, nullptr,
     {"0.00 fps", "42.00 fps"}},
    {"LogHeldAgainstReading", Fault::HeldLog, {kFlyby1}, "[all]\r\nfps=45\r\n", kOlderResult, 1, kErrorCaption,
     kLogUnreadable, {}, 0, ERROR_SHARING_VIOLATION},
    {"KorvaneFolderOf200Characters", Fault::KorvaneFolder200, {}, "", nullptr, 0, kErrorCaption,
     "Korvane's folder is too long for the game's command line (at most 199 characters):\n\n{folder}"},
    {"LineOf280Characters", Fault::LineOf280, {kFlyby1}, "", nullptr, 0, kErrorCaption,
     "The game's command line for the scene \"Flyby 1 - DM-Antalus" },
    // A press that cannot run every chosen scene runs none.
    {"LineTooLongForALaterScene", Fault::LaterLineTooLong, {IDC_MAIN_FLYBY3, IDC_MAIN_BOTMATCH1}, "", nullptr, 0,
     kErrorCaption, "The game's command line for the scene \"Botmatch1 - DM-Antalus", {}, 3},
};
// clang-format on

std::string Replaced(std::string text, const std::string& field, const std::string& value) {
    const std::size_t at = text.find(field);
    return at == std::string::npos ? text : text.replace(at, field.size(), value);
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
        ASSERT_TRUE(!test.logBefore || WriteTextFile(Demo().LogFile(), test.logBefore));
    } else {
        ASSERT_TRUE(demo_key::SetFolder(demoFolder));
    }
    KernelHandle heldLog;
    if (fault == Fault::HeldLog) {
        ASSERT_TRUE(heldLog = HoldFile(Demo().LogFile(), GENERIC_READ, FILE_SHARE_WRITE));
    }
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(korvaneFolder));
    // A box after which the details are read needs an earlier press with results.
    if (test.caption && !test.detailsFps.empty()) {
        ChooseScenes({IDC_MAIN_FLYBY1});
        ASSERT_TRUE(PressBenchmarkNow(1).resultsShown);
    }
    if (!test.scenes.empty()) {
        ChooseScenes({});
        for (const int id : test.scenes) {
            if (id != 0) {
                ASSERT_NO_FATAL_FAILURE(SetChecked(id, true));
            }
        }
    }
    const RunOutcome outcome = PressBenchmarkNow(test.caption ? 0 : test.starts);
    if (test.caption == nullptr) {
        ASSERT_TRUE(outcome.finished && outcome.resultsShown) << outcome;
    } else {
        ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
        EXPECT_EQ(outcome.messageBox->caption, test.caption);
        std::string expected = test.text;
        expected += Contains(expected, "command line for") ? kLineTooLong : "";
        expected = Replaced(Replaced(expected, "{log}", demoFolder + "\\benchmark\\benchmark.log"), "{exe}",
                            demoFolder + "\\system\\UT2003.exe");
        expected = Replaced(Replaced(expected, "{folder}", korvaneFolder), "{length}",
                            std::to_string(Line(test.lengthOf).size()));
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
INSTANTIATE_TEST_SUITE_P(Box, Box, ::testing::ValuesIn(kBoxCases), CaseName());

} // namespace
} // namespace e2e
