// The fixture of the end-to-end tests.
#include "KorvaneFixture.h"

#include <cctype>
#include <ostream>

#include "GameLines.h"
#include "driver/Paths.h"
#include "driver/Timing.h"
#include "res/resource.h"

namespace e2e {

namespace {

// The test's folder name: the capitals and digits of its name, at most six. The
// game's command line holds the demo's folder and Korvane's folder and fits only
// 279 characters, so the folders of a test must stay short.
constexpr std::size_t kShortNameLength = 6;

std::string ShortTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name;
    for (const char c : std::string(info->name())) {
        if (name.size() < kShortNameLength &&
            (std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)))) {
            name.push_back(c);
        }
    }
    return name.empty() ? std::string("T") : name;
}

} // namespace

std::string SavedDemoKeyPath() {
    return JoinPath(kTestRoot, "demo-key.saved");
}

TestPrograms& Programs() {
    static TestPrograms programs;
    return programs;
}

std::ostream& operator<<(std::ostream& out, const RunOutcome& outcome) {
    out << "after " << outcome.elapsedMs << " ms: ";
    if (outcome.messageBox) {
        out << "message box \"" << outcome.messageBox->caption << "\": \"" << outcome.messageBox->text
            << "\"";
    } else if (outcome.korvaneEnded) {
        out << "Korvane ended";
    } else if (outcome.timedOut) {
        out << "time-out; the main window " << (outcome.answersAtTimeOut ? "answers" : "does not answer");
    } else if (outcome.finished) {
        out << "finished";
    }
    out << (outcome.resultsShown ? ", result window visible" : ", no result window");
    return out;
}

void KorvaneTest::SetUp() {
    ASSERT_TRUE(FileExists(Programs().korvane)) << "korvane.exe not found: " << Programs().korvane;
    ASSERT_TRUE(FileExists(Programs().game)) << "the stand-in game not found: " << Programs().game;
    registry_ = std::make_unique<DemoKeySnapshot>();
    ASSERT_TRUE(registry_->IsUsable()) << registry_->Problem();
    ASSERT_TRUE(MakeFolders(kTestRoot) && SaveDemoKeyState(*registry_, SavedDemoKeyPath()))
        << "cannot save the demo key's state in " << SavedDemoKeyPath();
    root_ = JoinPath(kTestRoot, ShortTestName());
    ASSERT_TRUE(DeleteTree(root_)) << "cannot clear " << root_;
    ASSERT_TRUE(MakeFolders(root_)) << "cannot make " << root_;
}

void KorvaneTest::TearDown() {
    const DWORD korvaneId = korvane_.Id();
    korvane_.Kill();
    if (!root_.empty()) {
        KillProcesses("UT2003.exe", root_, korvaneId);
        EXPECT_TRUE(DeleteTree(root_)) << "cannot delete " << root_;
    }
    if (registry_) {
        std::string error;
        const bool restored = registry_->Restore(&error);
        EXPECT_TRUE(restored) << "the demo key was not restored: " << error;
        if (restored) {
            DeleteFileAt(SavedDemoKeyPath());
        }
    }
}

std::string KorvaneTest::KorvaneFolder() const {
    return JoinPath(root_, "k");
}

std::string KorvaneTest::GameFolder() const {
    return JoinPath(root_, "g");
}

void KorvaneTest::InstallDemo(const std::string& folder, bool withGame, bool registerFolder) {
    std::string error;
    demo_ = MakeDemoInstall(folder.empty() ? GameFolder() : folder,
                            withGame ? Programs().game : std::string(), &error);
    ASSERT_TRUE(demo_.has_value()) << error;
    if (registerFolder) {
        ASSERT_TRUE(demo_key::SetFolder(demo_->folder, &error)) << error;
    }
}

void KorvaneTest::StartKorvane(const std::string& workingFolder) {
    korvaneFolder_ = workingFolder.empty() ? KorvaneFolder() : workingFolder;
    ASSERT_TRUE(MakeFolders(korvaneFolder_)) << "cannot make " << korvaneFolder_;
    const std::string definitions = JoinPath(korvaneFolder_, "cpudef.dat");
    switch (startOptions_.cpuDefinitions) {
    case CpuDefinitionsFile::Shipped:
        if (!Programs().cpuDefinitions.empty() && FileExists(Programs().cpuDefinitions)) {
            ASSERT_TRUE(CopyFileTo(Programs().cpuDefinitions, definitions));
        }
        break;
    case CpuDefinitionsFile::Given:
        ASSERT_TRUE(WriteTextFile(definitions, startOptions_.cpuDefinitionsBytes))
            << "cannot write " << definitions;
        break;
    case CpuDefinitionsFile::None:
        ASSERT_TRUE(DeleteFileAt(definitions)) << "cannot delete " << definitions;
        break;
    }
    const std::string executable =
        startOptions_.executable.empty() ? Programs().korvane : startOptions_.executable;
    std::string error;
    korvane_ = Process::Start(executable, std::string(), korvaneFolder_, &error);
    ASSERT_TRUE(korvane_) << error;
}

void KorvaneTest::StartKorvaneAndWaitForMainWindow(const std::string& workingFolder,
                                                   const std::function<void(HWND)>& atFirstSight) {
    ASSERT_NO_FATAL_FAILURE(StartKorvane(workingFolder));
    WindowQuery query;
    query.caption = kMainCaption;
    if (atFirstSight) {
        // The window exists, hidden, while it initialises: find it, then watch it.
        query.visibleOnly = false;
        HWND window = nullptr;
        WaitUntil(
            [&] {
                if (window == nullptr || !::IsWindow(window)) {
                    window = FindTopLevelWindow(korvane_.Id(), query);
                }
                return window != nullptr && ::IsWindowVisible(window);
            },
            kStartTimeoutMs, 1);
        if (window != nullptr && ::IsWindowVisible(window)) {
            main_ = window;
            atFirstSight(window);
        }
    } else {
        main_ = WaitForTopLevelWindow(korvane_.Id(), query, kStartTimeoutMs);
    }
    if (main_ == nullptr) {
        const std::optional<MessageBoxInfo> box = FindMessageBox(korvane_.Id());
        FAIL() << "no visible main window within " << kStartTimeoutMs << " ms"
               << (box ? "; a message box \"" + box->caption + "\" says: " + box->text : std::string())
               << (korvane_.IsRunning() ? "" : "; Korvane has ended");
    }
}

std::optional<DWORD> KorvaneTest::ExitKorvane() {
    if (!PostCommand(main_, IDCANCEL)) {
        return std::nullopt;
    }
    return korvane_.WaitForExit(kExitTimeoutMs);
}

void KorvaneTest::SetChecked(int id, bool checked) {
    const std::optional<bool> before = IsChecked(main_, id);
    ASSERT_TRUE(before.has_value()) << "control " << id << " does not answer BM_GETCHECK";
    if (*before != checked) {
        ASSERT_TRUE(SendClick(main_, id)) << "control " << id << " did not take the click";
    }
    ASSERT_EQ(IsChecked(main_, id), std::optional<bool>(checked)) << "control " << id;
}

void KorvaneTest::ChooseScenes(std::initializer_list<int> sceneIds) {
    for (const int id : {IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2, IDC_MAIN_FLYBY3, IDC_MAIN_BOTMATCH1,
                         IDC_MAIN_BOTMATCH2, IDC_MAIN_BOTMATCH3}) {
        bool wanted = false;
        for (const int chosen : sceneIds) {
            wanted = wanted || chosen == id;
        }
        ASSERT_NO_FATAL_FAILURE(SetChecked(id, wanted));
    }
}

// How long the main window must keep answering before a press counts as over.
constexpr DWORD kSettleMs = 500;

RunOutcome KorvaneTest::PressBenchmarkNow(int expectedStarts, const std::function<void()>& eachPoll) {
    RunOutcome outcome;
    HWND result = ResultWindow();
    if (IsVisible(result)) {
        PostCommand(result, IDCANCEL);
        WaitUntil([&] { return !IsVisible(result); }, kWindowTimeoutMs);
    }
    const std::size_t startsBefore = GameStarts().size();
    const DWORD timeoutMs = kWindowTimeoutMs + static_cast<DWORD>(expectedStarts) * kPerSceneTimeoutMs;
    const ULONGLONG start = NowMs();
    if (!PostClick(main_, IDC_MAIN_BENCHMARK)) {
        outcome.timedOut = true;
        return outcome;
    }
    const Deadline deadline(timeoutMs);
    for (;;) {
        if (eachPoll) {
            eachPoll();
        }
        if (!korvane_.IsRunning()) {
            outcome.korvaneEnded = true;
            break;
        }
        outcome.messageBox = FindMessageBox(korvane_.Id());
        if (outcome.messageBox) {
            break;
        }
        // The run blocks the main window's thread until its very end, so an answer
        // after the last expected start means the press is over. Without a start
        // an answer proves nothing (it may come before the posted click is even
        // taken): such a press must end in a message box.
        const bool startsDone =
            expectedStarts > 0 &&
            GameStarts().size() >= startsBefore + static_cast<std::size_t>(expectedStarts);
        const bool resultsVisible = IsVisible(ResultWindow());
        if (startsDone || resultsVisible) {
            // A message box's own loop answers before the box is on screen: the
            // press is over only when the thread still answers a moment later
            // and no box has come.
            if (IsResponsive(main_)) {
                ::Sleep(kSettleMs);
                outcome.messageBox = FindMessageBox(korvane_.Id());
                if (outcome.messageBox) {
                    break;
                }
            }
            if (IsResponsive(main_)) {
                outcome.finished = true;
                outcome.resultsShown = IsVisible(ResultWindow());
                break;
            }
            outcome.sawBusy = true;
        } else if (!IsResponsive(main_)) {
            outcome.sawBusy = true;
        }
        if (deadline.Expired()) {
            outcome.timedOut = true;
            outcome.answersAtTimeOut = IsResponsive(main_);
            outcome.resultsShown = IsVisible(ResultWindow());
            break;
        }
        ::Sleep(50);
    }
    outcome.elapsedMs = NowMs() - start;
    return outcome;
}

std::vector<GameStart> KorvaneTest::GameStarts() {
    if (!demo_) {
        return {};
    }
    std::optional<std::vector<GameStart>> starts;
    // A line the game is still writing reads as not yet there.
    WaitUntil([&] { return (starts = ReadGameStarts(*demo_)).has_value(); }, kWindowTimeoutMs);
    return starts.value_or(std::vector<GameStart>());
}

HWND KorvaneTest::ResultWindow() const {
    WindowQuery query;
    query.caption = kResultCaption;
    query.visibleOnly = false;
    return FindTopLevelWindow(korvane_.Id(), query);
}

HWND KorvaneTest::DetailsWindow() const {
    WindowQuery query;
    query.caption = kDetailsCaption;
    query.visibleOnly = false;
    return FindTopLevelWindow(korvane_.Id(), query);
}

DetailsRows KorvaneTest::OpenDetails() {
    HWND result = ResultWindow();
    EXPECT_TRUE(PostClick(result, IDC_RESULT_DETAILS));
    HWND details = nullptr;
    WaitUntil([&] { return IsVisible(details = DetailsWindow()) && IsResponsive(details); },
              kWindowTimeoutMs);
    EXPECT_TRUE(IsVisible(details)) << "the details window did not show";
    if (!IsVisible(details)) {
        return {};
    }
    const std::optional<DetailsRows> rows = ListViewRows(::GetDlgItem(details, IDC_DETAILS_LIST));
    EXPECT_TRUE(rows.has_value()) << "the details list cannot be read";
    return rows.value_or(DetailsRows());
}

DetailsRows ExpectedDetailsRows(const std::string& overall, const std::vector<std::string>& sceneTexts) {
    DetailsRows rows = {
        {"", ""},
        {"Korvane Version", "1.00 Alpha1"},
        {"UT2003 Demo Version", "1077"},
        {"Korvane Overall", overall},
        {"", ""},
        {"BENCHMARK DETAILS", ""},
        {"", ""},
    };
    for (int index = 0; index < kSceneCount; ++index) {
        rows.push_back({Scene(index).detailsRow, sceneTexts.at(static_cast<std::size_t>(index))});
    }
    return rows;
}

} // namespace e2e
