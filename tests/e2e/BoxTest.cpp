// Bad input met by a press, one row per case: what the game, its log, the
// registry or the folders do wrong, and what the press must end in: the box
// with its exact text, or the result values when the run may go on. After a
// box the main window answers, no further scene runs and no result shows.
#include <cstdio>

#include "KorvaneFixture.h"
#include "driver/SystemText.h"

namespace e2e {
namespace {

// "<min> / <avg> / <max> fps -- Score = <avg>        rand[<seed>]", as the engine writes a result.
std::string EngineLine(double fps) {
    char line[160];
    std::snprintf(line, sizeof line, "%.6f / %.6f / %.6f fps -- Score = %.6f        rand[1]\r\n", fps / 2,
                  fps, fps * 2, fps);
    return line;
}

// The system's wording for `code`, without the code itself.
std::string SystemMessage(DWORD code) {
    const std::string text = ErrorText(code);
    return text.substr(0, text.rfind(" (error "));
}

class Box;

struct BoxCase {
    const char* name;
    std::vector<int> scenes;                  // checked for the press
    std::function<void(Box&)> arrange;        // the fault, before Korvane starts
    int starts;                               // the game's starts the press ends with
    const char* caption;                      // the box; null: the run goes on to the results
    std::function<std::string(Box&)> text;    // the box's text, or its start when `reason` is set
    std::string reason = {};                  // "*": any reason from the system must follow the text
    std::vector<std::string> detailsFps = {}; // results: the details list's rows of the chosen scenes
};

class Box : public KorvaneTest, public ::testing::WithParamInterface<BoxCase> {
public:
    using KorvaneTest::Demo;
    using KorvaneTest::GameFolder;
    using KorvaneTest::InstallDemo;
    using KorvaneTest::KorvaneFolder;
    using KorvaneTest::Root;
    std::string LogPath() const { return Demo().folder + "\\benchmark\\benchmark.log"; }
    std::string NoNewResult(int scene) const {
        return std::string("The game wrote no new result for the scene \"") + Scene(scene).checkBoxText +
               "\".\n\nThe benchmark log was not changed:\n" + LogPath();
    }
    std::string LogUnreadable() const {
        return "The benchmark log could not be read.\n\n" + LogPath() + "\n\n";
    }
    std::string CannotStart() const {
        return "The game could not be started.\n\n" + demoFolder + "\\system\\UT2003.exe\n\n";
    }
    std::string LineTooLong(int scene) const {
        return std::string("The game's command line for the scene \"") + Scene(scene).checkBoxText +
               "\" would be " + std::to_string(Line(scene).size()) +
               " characters long; at most 279 fit.\n\nInstall the demo or Korvane in a folder with a shorter "
               "path.";
    }
    // A demo folder that makes scene `scene`'s line `length` characters long.
    std::string FolderForLine(int scene, std::size_t length) const {
        return GameFolder() +
               std::string(length - ExpectedGameLine(GameFolder(), KorvaneFolder(), scene).size(), 'g');
    }
    void Settings(const std::string& text) { ASSERT_TRUE(WriteStandInSettings(Demo(), text)); }
    void Log(const std::string& text) { ASSERT_TRUE(WriteTextFile(Demo().LogFile(), text)); }

    std::string demoFolder;      // the folder the registry names
    std::string korvaneFolder;   // Korvane's working folder, when not the usual one
    KernelHandle heldLog;        // another program's hold on the log during the press
    std::size_t holdAtStart = 0; // take the log without any sharing once this start shows
};

const BoxCase kBoxCases[] = {
    {"NoSceneChosen",
     {},
     [](Box& t) { t.InstallDemo(); },
     0,
     kWarningCaption,
     [](Box&) {
         return std::string("Please select at least a scene first!");
     }},
    {"GameMissing",
     {IDC_MAIN_FLYBY1},
     [](Box& t) { t.InstallDemo("", false); },
     0,
     kErrorCaption,
     [](Box& t) { return t.CannotStart(); },
     "*"},
    // Start-up does not look at the folder; the press does, and makes nothing.
    {"FolderMissing",
     {IDC_MAIN_FLYBY1},
     [](Box& t) { ASSERT_TRUE(demo_key::SetFolder(t.demoFolder = JoinPath(t.Root(), "nowhere"))); },
     0,
     kErrorCaption,
     [](Box& t) { return t.CannotStart(); },
     "*"},
    {"LogMissingAfterTheGameRan",
     {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2},
     [](Box& t) { t.InstallDemo(), t.Settings("[all]\r\nfault=no-write\r\n"); },
     1,
     kErrorCaption,
     [](Box& t) { return t.LogUnreadable(); },
     "*"},
    {"NoNewResultInTheSecondScene",
     {},
     [](Box& t) { t.InstallDemo(), t.Settings("[start 2]\r\nfault=no-write\r\n"); },
     2,
     kErrorCaption,
     [](Box& t) {
         return t.NoNewResult(1);
     }},
    // A failure code without a line: the log holds only an older run's result.
    {"FailureCodeAndOnlyAnOlderResult",
     {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2},
     [](Box& t) {
         t.InstallDemo(), t.Log(EngineLine(40)), t.Settings("[all]\r\nfault=fail-no-write\r\nexitcode=4\r\n");
     },
     1,
     kErrorCaption,
     [](Box& t) {
         return t.NoNewResult(0);
     }},
    // A failure code after a result line: the value counts and the run goes on.
    {"FailureCodeAfterWriting",
     {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2},
     [](Box& t) {
         t.InstallDemo(),
             t.Settings(
                 "[start 1]\r\nfps=25.5\r\nfault=fail-exit\r\nexitcode=3\r\n[start 2]\r\nfps=26.5\r\n");
     },
     2,
     nullptr,
     nullptr,
     "",
     {"25.50 fps", "26.50 fps"}},
    // The game writes the log's bytes back: it did write, so its unchanged last line counts.
    {"SameLogWrittenAgain",
     {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2},
     [](Box& t) {
         t.InstallDemo(), t.Settings("[start 1]\r\nfps=40\r\n[start 2]\r\nfault=rewrite-same\r\n");
     },
     2,
     nullptr,
     nullptr,
     "",
     {"40.00 fps", "40.00 fps"}},
    {"EmptyLogCountsAsZero",
     {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2},
     [](Box& t) {
         t.InstallDemo(), t.Log(""), t.Settings("[start 1]\r\nfault=rewrite-same\r\n[all]\r\nfps=42\r\n");
     },
     2,
     nullptr,
     nullptr,
     "",
     {"0.00 fps", "42.00 fps"}},
    // Another program writes the log during the game and keeps it locked: the
    // scenes before keep their new values (after a first press of Flyby 1 at 40).
    {"LogLockedAfterTheGameRan",
     {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2, IDC_MAIN_FLYBY3},
     [](Box& t) {
         t.InstallDemo(), t.Settings("[start 1]\r\nfps=40\r\n[start 2]\r\nfps=50\r\n[start 3]\r\nfps=51\r\n"
                                     "[start 4]\r\nseconds=3\r\nfault=no-write\r\n");
         t.holdAtStart = 4;
     },
     4,
     kErrorCaption,
     [](Box& t) { return t.LogUnreadable(); },
     SystemMessage(ERROR_SHARING_VIOLATION),
     {"50.00 fps", "51.00 fps", "0.00 fps"}},
    // Another program reads the log and lets others write it, but not read it.
    {"LogHeldAgainstReading",
     {IDC_MAIN_FLYBY1},
     [](Box& t) {
         t.InstallDemo(), t.Log(EngineLine(40)), t.Settings("[all]\r\nfps=45\r\n");
         ASSERT_TRUE(t.heldLog = HoldFile(t.Demo().LogFile(), GENERIC_READ, FILE_SHARE_WRITE));
     },
     1,
     kErrorCaption,
     [](Box& t) { return t.LogUnreadable(); },
     SystemMessage(ERROR_SHARING_VIOLATION)},
    {"KorvaneFolderOf200Characters",
     {},
     [](Box& t) {
         t.InstallDemo();
         t.korvaneFolder = t.KorvaneFolder() + "\\" + std::string(200 - t.KorvaneFolder().size() - 1, 'k');
     },
     0,
     kErrorCaption,
     [](Box& t) {
         return "Korvane's folder is too long for the game's command line (at most 199 characters):\n\n" +
                t.korvaneFolder;
     }},
    // Korvane's folder of 199 characters fits; the line it makes does not.
    {"KorvaneFolderOf199Characters",
     {IDC_MAIN_FLYBY1},
     [](Box& t) {
         t.InstallDemo();
         t.korvaneFolder = t.KorvaneFolder() + "\\" + std::string(199 - t.KorvaneFolder().size() - 1, 'k');
     },
     0,
     kErrorCaption,
     [](Box& t) {
         return t.LineTooLong(0);
     }},
    {"LineOf280Characters",
     {IDC_MAIN_FLYBY1},
     [](Box& t) { t.InstallDemo(t.FolderForLine(0, 280)); },
     0,
     kErrorCaption,
     [](Box& t) {
         return t.LineTooLong(0);
     }},
    // The bot match's line is longer than the fly-by's at 279: a press that cannot
    // run every chosen scene runs none.
    {"LineTooLongForALaterScene",
     {IDC_MAIN_FLYBY3, IDC_MAIN_BOTMATCH1},
     [](Box& t) { t.InstallDemo(t.FolderForLine(2, 279)); },
     0,
     kErrorCaption,
     [](Box& t) {
         return t.LineTooLong(3);
     }},
};

TEST_P(Box, PressEndsAsExpected) {
    const BoxCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(test.arrange(*this));
    demoFolder = demoFolder.empty() ? Demo().folder : demoFolder;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(korvaneFolder));
    // A box after which the details are read needs an earlier press with results.
    if (test.caption && !test.detailsFps.empty()) {
        ChooseScenes({IDC_MAIN_FLYBY1});
        ASSERT_TRUE(PressBenchmarkNow(1).resultsShown);
    }
    if (!test.scenes.empty() || std::string(test.name) == "NoSceneChosen") {
        ChooseScenes({});
        for (const int id : test.scenes) {
            ASSERT_NO_FATAL_FAILURE(SetChecked(id, true));
        }
    }
    KernelHandle lockedLog;
    const RunOutcome outcome = PressBenchmarkNow(test.caption ? 0 : test.starts, [&] {
        if (holdAtStart > 0 && !lockedLog && GameStarts().size() >= holdAtStart) {
            // Without any sharing, after a result line of its own: the log has changed but cannot be read.
            lockedLog = HoldFile(Demo().LogFile(), GENERIC_READ | GENERIC_WRITE, 0);
            const std::string line = EngineLine(77);
            DWORD written = 0;
            ::SetFilePointer(lockedLog.get(), 0, nullptr, FILE_END);
            ::WriteFile(lockedLog.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        }
    });
    if (test.caption == nullptr) {
        ASSERT_TRUE(outcome.finished && outcome.resultsShown) << outcome;
    } else {
        ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
        EXPECT_EQ(outcome.messageBox->caption, test.caption);
        const std::string expected = test.text(*this);
        const std::string& text = outcome.messageBox->text;
        if (test.reason.empty()) {
            EXPECT_EQ(text, expected);
        } else {
            EXPECT_EQ(text.substr(0, expected.size()), expected) << text;
            EXPECT_TRUE(test.reason == "*" ? text.size() > expected.size()
                                           : text.substr(expected.size()) == test.reason)
                << text;
        }
        ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
        lockedLog.reset();
        heldLog.reset();
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
