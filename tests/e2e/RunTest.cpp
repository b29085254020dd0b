// Presses that run: the machine facts there at first sight and unchanged, the six
// scenes in order at idle priority with the lines the game must get, the result window's and the details
// list's texts at the rounding edges of the score, a second press of one scene, hiding the result window, the
// options choosing the line; and Korvane writing nothing but what the game writes.
#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>

#include "KorvaneFixture.h"
#include "SourceTree.h"
#include "driver/Snapshot.h"

namespace e2e {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

// Keys Wine itself writes now and then when a program first uses the display.
bool IsWinesOwn(const std::string& path) {
    return path.rfind("hklm\\system\\currentcontrolset\\control\\video", 0) == 0 ||
           path.rfind("hklm\\hardware\\devicemap\\video", 0) == 0;
}

// The machine facts as the system holds them (read without a message to Korvane), or as Korvane answers.
std::map<int, std::string> Labels(HWND main, bool stored) {
    std::map<int, std::string> labels;
    for (const int id : {IDC_MAIN_PROCESSOR, IDC_MAIN_FREQUENCY, IDC_MAIN_CACHE, IDC_MAIN_RAM,
                         IDC_MAIN_OS_NAME, IDC_MAIN_VIDEO_CARD}) {
        labels[id] = stored ? StoredWindowText(::GetDlgItem(main, id)) : ControlText(main, id).value_or("?");
    }
    return labels;
}

// The details list's rows a line each: the item, a tab and the description ("-": none).
std::string DetailsText(const DetailsRows& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        text += row.at(0) + "\t" + (row.at(1).empty() ? "-" : row[1]) + "\n";
    }
    return text;
}

// A key this test writes between the snapshots, so that the comparison is seen to catch a write.
constexpr char kControlKey[] = "Software\\Korvane end-to-end tests";

class Run : public KorvaneTest {
protected:
    void TearDown() override {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kControlKey);
        KorvaneTest::TearDown();
    }
    // Starts Korvane's own copy, runs both presses and ends it; returns what
    // changed on C: and in the registry besides the game's own files.
    std::set<std::string> RunBothPressesAndExit(int run);
};

std::set<std::string> Run::RunBothPressesAndExit(int run) {
    std::set<std::string> changed;
    // One-letter folders: the game's line holds both and fits only 279 characters.
    InstallDemo(JoinPath(Root(), std::string(1, static_cast<char>('a' + run))));
    const std::string bin = JoinPath(Root(), "bin" + std::to_string(run));
    const std::string working = JoinPath(Root(), std::string(1, static_cast<char>('x' + run)));
    EXPECT_TRUE(MakeFolders(bin) && CopyFileTo(Programs().korvane, JoinPath(bin, "korvane.exe")));
    // Before the snapshots: the definitions file is the user's, not Korvane's writing.
    EXPECT_TRUE(MakeFolders(working) &&
                CopyFileTo(Programs().cpuDefinitions, JoinPath(working, "cpudef.dat")));
    // Frame rates at the rounding edges of the score arithmetic, then 50 for the second press.
    EXPECT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfps=102.839365\r\n[start 2]\r\nfps=32.142131\r\n"
                                             "[start 3]\r\nfps=148.563505\r\n[start 4]\r\nfps=95.946027\r\n"
                                             "[start 5]\r\nfps=74.610574\r\n[start 6]\r\nfps=30.308400\r\n"
                                             "[start 7]\r\nfps=50\r\n"));
    const FileTree filesBefore = SnapshotFiles("C:\\");
    const RegistryTree registryBefore = SnapshotRegistry();
    // The machine facts are there when the main window first shows, formatted, and never change.
    std::map<int, std::string> facts;
    StartKorvaneAndWaitForMainWindow(working, JoinPath(bin, "korvane.exe"), [&](HWND main) {
        // Wine keeps every control's text where another process can read it; Windows only captions.
        facts = Labels(main, StoredWindowText(::GetDlgItem(main, IDCANCEL)) == "Exit");
    });
    if (HasFatalFailure()) {
        return changed;
    }
    MEMORYSTATUSEX memory = {sizeof memory, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(::GlobalMemoryStatusEx(&memory));
    EXPECT_TRUE(std::regex_match(facts[IDC_MAIN_FREQUENCY], std::regex("[1-9][0-9]*\\.[0-9]{2} MHz")) &&
                std::regex_match(facts[IDC_MAIN_CACHE], std::regex("-?[0-9]+k L1, -?[0-9]+k L2")) &&
                !facts[IDC_MAIN_PROCESSOR].empty() && !facts[IDC_MAIN_VIDEO_CARD].empty())
        << ::testing::PrintToString(facts);
    EXPECT_EQ(facts[IDC_MAIN_RAM], std::to_string((memory.ullTotalPhys >> 20) + 1) + " MByte");
    EXPECT_EQ(facts[IDC_MAIN_OS_NAME], "Next Generation Windows") << "Wine plays Windows 7 or later";
    EXPECT_EQ(Labels(Main(), false), facts) << "Korvane answers with other texts";
    int factChanges = 0;
    EXPECT_EQ(PriorityClassOf(Korvane().Id()), std::optional<DWORD>(NORMAL_PRIORITY_CLASS));

    const PressOutcome first =
        PressBenchmarkNow(kSceneCount, [&] { factChanges += Labels(Main(), true) != facts; });
    EXPECT_EQ(factChanges, 0) << "the machine facts changed while the game ran";
    EXPECT_TRUE(first.finished && first.resultsShown) << first;
    EXPECT_TRUE(first.sawBusy) << "the main window answered while the game ran";
    EXPECT_GE(first.elapsedMs, kSceneCount * kPauseAfterSceneMs) << "six scenes need six pauses of 3000 ms";
    EXPECT_EQ(PriorityClassOf(Korvane().Id()), std::optional<DWORD>(IDLE_PRIORITY_CLASS));
    const std::vector<GameStart> starts = GameStarts();
    EXPECT_EQ(starts.size(), static_cast<std::size_t>(kSceneCount));
    for (std::size_t i = 0; i < starts.size() && i < kSceneCount; ++i) {
        EXPECT_EQ(starts[i].commandLine, Line(static_cast<int>(i))) << i;
        EXPECT_EQ(Lower(starts[i].currentDirectory), Lower(Demo().folder + "\\system"));
    }
    // The float sums decide the last digit: unrounded, each would come out one step higher.
    EXPECT_EQ(ResultText(IDC_RESULT_SCORE), std::optional<std::string>("8073 "));
    EXPECT_EQ(ResultText(IDC_RESULT_FLYBY), std::optional<std::string>("94.51 fps"));
    EXPECT_EQ(ResultText(IDC_RESULT_BOTMATCH), std::optional<std::string>("66.95 fps "));
    EXPECT_EQ(ResultText(IDC_RESULT_UNIT), std::optional<std::string>("Korvanes"));
    EXPECT_FALSE(IsVisible(DetailsWindow())) << "the details window opened by itself";
    sourcetree::ExpectFile("e2e/full-run-details.txt", DetailsText(OpenDetails()));
    std::string columns; // each column's heading and width
    for (const ListViewColumn& column : ListViewColumns(::GetDlgItem(DetailsWindow(), IDC_DETAILS_LIST))
                                            .value_or(std::vector<ListViewColumn>{{"(unreadable)", 0}})) {
        columns += column.heading + " " + std::to_string(column.widthPx) + "; ";
    }
    EXPECT_EQ(columns, "Item 175; Description 163; ");
    // The close box only hides the result window; the details window stays.
    HWND result = ResultWindow();
    EXPECT_TRUE(PostSysCommand(result, SC_CLOSE));
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(result); }, kWindowTimeoutMs)) << "the result window stays";
    EXPECT_TRUE(::IsWindow(result) && IsVisible(DetailsWindow()));

    // One scene: the window says "N/A ", the list keeps the other scenes' values
    // and is rebuilt, not added to; Esc hides the result window.
    ChooseScenes({IDC_MAIN_FLYBY1});
    const PressOutcome second = PressBenchmarkNow(1);
    EXPECT_TRUE(second.finished && second.resultsShown) << second;
    for (const int id : {IDC_RESULT_SCORE, IDC_RESULT_FLYBY, IDC_RESULT_BOTMATCH}) {
        EXPECT_EQ(ResultText(id), std::optional<std::string>("N/A ")) << id;
    }
    sourcetree::ExpectFile("e2e/one-scene-details.txt", DetailsText(OpenDetails()));
    EXPECT_TRUE(PostCommand(result, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(result); }, kWindowTimeoutMs));
    EXPECT_TRUE(IsVisible(DetailsWindow()) && IsResponsive(Main()));
    ExpectNormalExit();

    HKEY control = nullptr;
    EXPECT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kControlKey, &control), ERROR_SUCCESS);
    ::RegCloseKey(control);
    const FileTree filesAfter = SnapshotFiles("C:\\");
    const RegistryTree registryAfter = SnapshotRegistry();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kControlKey);
    const std::set<std::string> gamesOwn = {Lower(Demo().RecordFile()), Lower(Demo().LogFile()),
                                            Lower(Demo().SystemFolder()),
                                            Lower(ParentFolder(Demo().LogFile()))};
    std::vector<Change> changes = CompareFiles(filesBefore, filesAfter);
    const std::size_t fileChanges = changes.size();
    for (const Change& change : CompareRegistry(registryBefore, registryAfter)) {
        changes.push_back(change);
    }
    const std::string controlEnd = Lower(std::string("\\") + kControlKey);
    const auto controlChange = std::find_if(changes.begin(), changes.end(), [&](const Change& change) {
        return Contains(change.path, controlEnd);
    });
    EXPECT_TRUE(controlChange != changes.end()) << "the comparison missed the control key";
    const std::string controlParent =
        controlChange == changes.end() ? "(none)" : ParentFolder(controlChange->path);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Change& change = changes[i];
        // The control key's parent changes its time as the key is made.
        const bool isControl =
            Contains(change.path, controlEnd) || (change.what == "time" && change.path == controlParent);
        if (!isControl && (i >= fileChanges || gamesOwn.count(change.path) == 0) &&
            !IsWinesOwn(change.path)) {
            changed.insert(change.what + " " + change.path + ": " + change.detail);
        }
    }
    EXPECT_EQ(std::count_if(changes.begin(), changes.begin() + fileChanges,
                            [&](const Change& change) { return change.path == Lower(Demo().LogFile()); }),
              1)
        << "the comparison missed the game's log";
    return changed;
}

// Other programs may use the same prefix meanwhile: a change outside the test's
// folders fails only when it comes back in a second run with folders of its own.
TEST_F(Run, FullRunSecondPressAndExitWriteOnlyWhatTheGameWrites) {
    std::set<std::string> inEveryRun;
    for (int run = 0; run < 2; ++run) {
        const std::set<std::string> changed = RunBothPressesAndExit(run);
        ASSERT_FALSE(HasFailure());
        std::set<std::string> again;
        for (const std::string& change : changed) {
            const bool ours = Contains(change, Lower(Root()));
            EXPECT_FALSE(ours) << "Korvane wrote in the test's folders: " << change;
            if (run == 0 || inEveryRun.count(change) > 0) {
                again.insert(change);
            }
        }
        inEveryRun = again;
        if (inEveryRun.empty()) {
            return;
        }
    }
    for (const std::string& change : inEveryRun) {
        ADD_FAILURE() << "changed in both runs: " << change;
    }
}

struct OptionsCase {
    std::string name;
    LineOptions line;
    std::string scenes, folder;
};

std::vector<OptionsCase> OptionsCases() {
    std::vector<OptionsCase> cases;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("e2e/run-options.txt")) {
        const LineOptions line{row.at(1) == "OpenGL" ? Renderer::OpenGL : Renderer::Direct3D,
                               row.at(2) == "Low" ? Detail::Low : Detail::High, row.at(3)};
        cases.push_back({row[0], line, row.at(4), row.at(5)});
    }
    return cases;
}

// The main window's buttons of each renderer, detail and resolution, in bench's orders.
constexpr int kRendererButtons[] = {IDC_MAIN_OPENGL, IDC_MAIN_DIRECT3D};
constexpr int kDetailButtons[] = {IDC_MAIN_DETAIL_HIGH, IDC_MAIN_DETAIL_LOW};
constexpr int kResolutionButtons[] = {IDC_MAIN_RES_640, IDC_MAIN_RES_800, IDC_MAIN_RES_1024,
                                      IDC_MAIN_RES_1280, IDC_MAIN_RES_1600};

class RunOptions : public Run, public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(RunOptions, ChooseTheLineOfEveryChosenScene) {
    const OptionsCase& test = GetParam();
    std::string folder = JoinPath(Root(), test.folder);
    if (test.folder == "-") {
        const std::size_t shortest = ExpectedGameLine(GameFolder(), KorvaneFolder(), 0, test.line).size();
        folder = GameFolder() + std::string(279 - shortest, 'g');
    }
    const bool trailing = folder.back() == '\\';
    ASSERT_NO_FATAL_FAILURE(InstallDemo(trailing ? folder.substr(0, folder.size() - 1) : folder));
    ASSERT_TRUE(demo_key::SetFolder(folder));
    ASSERT_TRUE(CopyFileTo(Programs().game, JoinPath(Root(), "g.exe")));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    const auto& resolutions = bench::ResolutionTable();
    const auto resolution = std::find(resolutions.begin(), resolutions.end(), test.line.resolution);
    ASSERT_NE(resolution, resolutions.end()) << test.line.resolution;
    ASSERT_NO_FATAL_FAILURE(SetChecked(kRendererButtons[static_cast<int>(test.line.renderer)], true));
    ASSERT_NO_FATAL_FAILURE(SetChecked(kDetailButtons[static_cast<int>(test.line.detail)], true));
    ASSERT_NO_FATAL_FAILURE(SetChecked(kResolutionButtons[resolution - resolutions.begin()], true));
    ChooseScenes({});
    for (const char scene : test.scenes) {
        ASSERT_NO_FATAL_FAILURE(SetChecked(kSceneCheckBoxes[scene - '1'], true));
    }
    const PressOutcome outcome = PressBenchmarkNow(static_cast<int>(test.scenes.size()));
    ASSERT_TRUE(outcome.finished) << outcome;
    std::string order = test.scenes;
    std::sort(order.begin(), order.end());
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::string expected =
            ExpectedGameLine(folder, KorvaneWorkingFolder(), order[i] - '1', test.line);
        EXPECT_EQ(starts[i].commandLine, expected);
        // The system may or may not fold a doubled separator of the working folder.
        EXPECT_TRUE(Lower(starts[i].currentDirectory) == Lower(Demo().folder + "\\system") ||
                    Lower(starts[i].currentDirectory) == Lower(folder + "\\system"))
            << starts[i].currentDirectory;
    }
    EXPECT_FALSE(FileExists(JoinPath(Root(), "standin-record.txt"))) << "the decoy g.exe ran";
}
INSTANTIATE_TEST_SUITE_P(Run, RunOptions, ::testing::ValuesIn(OptionsCases()), CaseName());

} // namespace
} // namespace e2e
