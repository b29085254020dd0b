// The fixture of the end-to-end tests.
#include "KorvaneFixture.h"
#include "SourceTree.h"

#include <algorithm>
#include <ostream>
#include <regex>

namespace driver {

std::ostream& operator<<(std::ostream& out, const PressOutcome& outcome) {
    out << "after " << outcome.elapsedMs << " ms: "
        << (outcome.messageBox
                ? "message box \"" + outcome.messageBox->caption + "\": \"" + outcome.messageBox->text + "\""
            : outcome.timedOut ? std::string("time-out")
            : outcome.finished ? std::string("finished")
                               : std::string("Korvane ended"));
    return out << (outcome.resultsShown ? ", result window visible" : ", no result window");
}

} // namespace driver

namespace e2e {

std::string SavedDemoKeyPath() {
    return JoinPath(kTestRoot, "demo-key.saved");
}

std::string SystemD3d8Path() {
    char folder[MAX_PATH] = {};
    return JoinPath(std::string(folder, ::GetSystemDirectoryA(folder, MAX_PATH)), "d3d8.dll");
}

std::string SavedD3d8Path() {
    return JoinPath(kTestRoot, "d3d8.dll.saved");
}

bool RestoreSystemD3d8(std::string* error) {
    if (!FileExists(SavedD3d8Path())) {
        return true;
    }
    if (!CopyFileTo(SavedD3d8Path(), SystemD3d8Path())) {
        *error = "cannot put " + SavedD3d8Path() + " back as " + SystemD3d8Path();
        return false;
    }
    return DeleteFileAt(SavedD3d8Path());
}

TestPrograms& Programs() {
    static TestPrograms programs;
    return programs;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Unescaped(const std::string& field) {
    return field == "-" ? "" : sourcetree::Unescaped(field);
}

std::vector<std::string> Split(const std::string& field, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; field != "-" && at <= field.size(); at += separator.size()) {
        const std::size_t end = std::min(field.find(separator, at), field.size());
        parts.push_back(field.substr(at, end - at));
        at = end;
    }
    return parts;
}

std::ostream& operator<<(std::ostream& out, const CliResult& result) {
    return out << "exit " << (result.exitStatus ? std::to_string(*result.exitStatus) : "(still running)")
               << " after " << result.elapsedMs << " ms\n--- output:\n"
               << result.output << "--- errors:\n"
               << result.errors;
}

void KorvaneTest::SetUp() {
    registry_ = std::make_unique<DemoKeySnapshot>();
    ASSERT_TRUE(registry_->IsUsable()) << registry_->Problem();
    ASSERT_TRUE(MakeFolders(kTestRoot) && SaveDemoKeyState(*registry_, SavedDemoKeyPath()))
        << "cannot save the demo key's state in " << SavedDemoKeyPath();
    // A number for a name: the game's command line holds the demo's folder and
    // Korvane's folder and fits only 279 characters, so a test's folders stay short.
    static int tests = 0;
    root_ = JoinPath(kTestRoot, std::to_string(++tests));
    ASSERT_TRUE(DeleteTree(root_) && MakeFolders(root_)) << "cannot make " << root_;
}

void KorvaneTest::TearDown() {
    const DWORD korvaneId = korvane_.Id();
    korvane_.Kill();
    cli_.Kill();
    if (!root_.empty()) {
        KillProcesses("UT2003.exe", root_, korvaneId);
        EXPECT_TRUE(DeleteTree(root_)) << "cannot delete " << root_;
    }
    std::string error;
    EXPECT_TRUE(RestoreSystemD3d8(&error)) << error;
    if (registry_) {
        EXPECT_TRUE(registry_->Restore(&error)) << "the demo key was not restored: " << error;
        DeleteFileAt(SavedDemoKeyPath());
    }
}

void KorvaneTest::InstallDemo(const std::string& folder, bool withGame) {
    std::string error;
    demo_ = MakeDemoInstall(folder.empty() ? GameFolder() : folder, withGame ? Programs().game : "", &error);
    ASSERT_TRUE(demo_.has_value()) << error;
    ASSERT_TRUE(demo_key::SetFolder(demo_->folder, &error)) << error;
}

void KorvaneTest::StartKorvane(const std::string& workingFolder, const std::string& executable) {
    korvaneFolder_ = workingFolder.empty() ? KorvaneFolder() : workingFolder;
    const std::string file = JoinPath(korvaneFolder_, "cpudef.dat");
    ASSERT_TRUE(MakeFolders(korvaneFolder_)) << "cannot make " << korvaneFolder_;
    ASSERT_TRUE(FileExists(file) || CopyFileTo(Programs().cpuDefinitions, file)) << file;
    std::string error;
    korvane_ =
        Process::Start(executable.empty() ? Programs().korvane : executable, "", korvaneFolder_, &error);
    ASSERT_TRUE(korvane_) << error;
}

void KorvaneTest::StartKorvaneAndWaitForMainWindow(const std::string& workingFolder,
                                                   const std::string& executable,
                                                   const std::function<void(HWND)>& atFirstSight) {
    ASSERT_NO_FATAL_FAILURE(StartKorvane(workingFolder, executable));
    main_ = WaitForVisibleWindow(korvane_, kMainCaption, kStartTimeoutMs, atFirstSight ? 1 : 50);
    if (main_ == nullptr) {
        const std::optional<MessageBoxInfo> box = FindMessageBox(korvane_.Id());
        FAIL() << "no visible main window within " << kStartTimeoutMs << " ms"
               << (box ? "; a message box \"" + box->caption + "\" says: " + box->text : std::string());
    }
    if (atFirstSight) {
        atFirstSight(main_);
    }
}

void KorvaneTest::ExpectNormalExit() {
    ASSERT_TRUE(PostCommand(main_, IDCANCEL));
    EXPECT_EQ(korvane_.WaitForExit(kWindowTimeoutMs), std::optional<DWORD>(0)) << "after \"Exit\"";
}

void KorvaneTest::SetChecked(int id, bool checked) {
    if (IsChecked(main_, id) != std::optional<bool>(checked)) {
        ASSERT_TRUE(SendClick(main_, id)) << "control " << id << " did not take the click";
    }
    ASSERT_EQ(IsChecked(main_, id), std::optional<bool>(checked)) << "control " << id;
}

void KorvaneTest::ChooseScenes(std::initializer_list<int> sceneIds) {
    for (int index = 0; index < kSceneCount; ++index) {
        const int id = kSceneCheckBoxes[index];
        ASSERT_NO_FATAL_FAILURE(
            SetChecked(id, std::find(sceneIds.begin(), sceneIds.end(), id) != sceneIds.end()));
    }
}

PressOutcome KorvaneTest::PressBenchmarkNow(int expectedStarts, const std::function<void()>& eachPoll) {
    const std::size_t startsBefore = GameStarts().size();
    // Without a start the press must end in a message box.
    return driver::PressBenchmarkNow(
        korvane_.Id(), main_, kWindowTimeoutMs + static_cast<DWORD>(expectedStarts) * kPerSceneTimeoutMs,
        [&] { return expectedStarts > 0 && GameStarts().size() >= startsBefore + expectedStarts; }, eachPoll);
}

std::vector<GameStart> KorvaneTest::GameStarts() {
    std::optional<std::vector<GameStart>> starts;
    // A line the game is still writing reads as not yet there.
    WaitUntil([&] { return !demo_ || (starts = ReadGameStarts(*demo_)).has_value(); }, kWindowTimeoutMs);
    return starts.value_or(std::vector<GameStart>());
}

DetailsRows KorvaneTest::OpenDetails() {
    const std::optional<DetailsRows> rows = driver::OpenDetails(korvane_.Id(), kWindowTimeoutMs);
    EXPECT_TRUE(rows.has_value()) << "the details list did not show or cannot be read";
    return rows.value_or(DetailsRows());
}

std::string ExpectedGameLine(const std::string& gameFolder, const std::string& korvaneFolder, int index,
                             const LineOptions& options) {
    const std::string game = gameFolder + "\\system\\UT2003.exe";
    const std::string ini = bench::FormatIniArguments(options.renderer, options.detail, korvaneFolder);
    return bench::FillTemplate(bench::SceneTable().at(static_cast<std::size_t>(index)).commandLineTemplate,
                               {&game, &ini, &options.resolution});
}

void KorvaneTest::StartCli(const std::string& arguments, bool inJob, bool withIniFiles,
                           const std::string& executable) {
    ASSERT_TRUE(MakeFolders(KorvaneFolder()) &&
                CopyFileTo(Programs().cpuDefinitions, JoinPath(KorvaneFolder(), "cpudef.dat")));
    for (const Renderer renderer : {Renderer::OpenGL, Renderer::Direct3D}) {
        for (const Detail detail : {Detail::High, Detail::Low}) {
            const std::string name = bench::RendererIniFile(renderer, detail);
            ASSERT_TRUE(!withIniFiles || CopyFileTo(JoinPath(ParentFolder(Programs().cli), name),
                                                    JoinPath(KorvaneFolder(), name)))
                << name;
        }
    }
    StartOptions options;
    options.console = true;
    options.inJob = inJob;
    std::string error;
    cliStarted_ = NowMs();
    cli_ = Process::Start(executable.empty() ? Programs().cli : executable, arguments, KorvaneFolder(),
                          &error, options);
    ASSERT_TRUE(cli_) << error;
}

CliResult KorvaneTest::FinishCli(DWORD timeoutMs) {
    CliResult result;
    result.exitStatus = cli_.WaitForExit(timeoutMs);
    result.elapsedMs = NowMs() - cliStarted_;
    cli_.Kill();
    // korvane-cli writes in text mode: CR LF line ends, as a console program does.
    result.output = std::regex_replace(cli_.Output(), std::regex("\r\n"), "\n");
    result.errors = std::regex_replace(cli_.Errors(), std::regex("\r\n"), "\n");
    return result;
}

CliResult KorvaneTest::RunCli(const std::string& arguments, int sceneRuns, bool inJob) {
    StartCli(arguments, inJob);
    return HasFatalFailure() ? CliResult() : FinishCli(30000 + static_cast<DWORD>(sceneRuns) * 10000);
}

void KorvaneTest::ExpectTexts(const std::string& call, const CliResult& result) const {
    int pieces = 0;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("e2e/cli-texts.txt")) {
        if (row.at(0) == call) {
            const std::string text = row.at(1) == "output" ? result.output : Read(row[1]);
            EXPECT_TRUE(Contains(text, Unescaped(row.at(2)))) << row[1] << " lacks " << row[2] << ":\n"
                                                              << text;
            ++pieces;
        }
    }
    EXPECT_GT(pieces, 0) << "no texts for " << call;
}

} // namespace e2e
