// The fixture of every end-to-end test: the programs under test, a fresh folder
// per test, the demo's registry key put back afterwards, and the steps a user
// takes (start Korvane, set options, press "BENCHMARK NOW!", wait for what the
// press ends in; start korvane-cli and wait for its end).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/SceneScore.h"
#include "driver/DemoRegistry.h"
#include "driver/Files.h"
#include "driver/KorvaneWindows.h"
#include "driver/Paths.h"
#include "driver/Process.h"
#include "driver/Timing.h"
#include "driver/Ui.h"
#include "res/resource.h"

namespace driver {
// For the failure messages of the tests.
std::ostream& operator<<(std::ostream& out, const PressOutcome& outcome);
} // namespace driver

namespace e2e {

using namespace driver;
using bench::Detail;
using bench::kSceneCount;
using bench::Renderer;

// The main window's check box of each scene, by scene index.
constexpr int kSceneCheckBoxes[kSceneCount] = {IDC_MAIN_FLYBY1,    IDC_MAIN_FLYBY2,    IDC_MAIN_FLYBY3,
                                               IDC_MAIN_BOTMATCH1, IDC_MAIN_BOTMATCH2, IDC_MAIN_BOTMATCH3};

struct LineOptions {
    Renderer renderer = Renderer::Direct3D;
    Detail detail = Detail::High;
    std::string resolution = "1024x768";
};
// The command line scene `index` must get, whatever its length, for a demo in
// `gameFolder` (the registry's "Folder" as it stands) and Korvane running in
// `korvaneFolder`: the scene's template filled in as Korvane fills it (tests/data/command-lines.txt
// pins the filled lines), without the length limit.
std::string ExpectedGameLine(const std::string& gameFolder, const std::string& korvaneFolder, int index,
                             const LineOptions& options = LineOptions());

// The programs and folders handed over on the command line, as Windows paths.
struct TestPrograms {
    std::string korvane, cli, game, cpuDefinitions, fakeD3d8, d3d8Probe, identifyingD3d8;
};
TestPrograms& Programs();
// Where a test keeps the demo key's earlier state while it runs.
std::string SavedDemoKeyPath();

// The system folder's d3d8.dll, and where a test keeps it while it plants
// another there (the folder a 32-bit program sees: Wine's syswow64).
std::string SystemD3d8Path();
std::string SavedD3d8Path();
// Puts back the system folder's d3d8.dll that a test replaced (after each test,
// and at the start after a crash); false, with the reason, when it cannot.
bool RestoreSystemD3d8(std::string* error);

constexpr char kFatalCaption[] = "Korvane Fatal Error";
constexpr char kFatalText[] = "Fatal Error: cannot find the UT2003 demo registry key. Make sure that UT2003 "
                              "demo is installed in your system. The application will now exit";

// Under Wine a program takes a second or two to show its first window; every
// scene takes the game's start plus the 3000 ms pause after it.
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kWindowTimeoutMs = 10000;
constexpr DWORD kPerSceneTimeoutMs = 15000;
constexpr ULONGLONG kPauseAfterSceneMs = 3000;

using DetailsRows = std::vector<std::vector<std::string>>;

// korvane-cli's end: its status (none: still running at the time-out) and output, CR LF as LF.
struct CliResult {
    std::optional<DWORD> exitStatus;
    std::string output, errors;
    ULONGLONG elapsedMs = 0;
};
std::ostream& operator<<(std::ostream& out, const CliResult& result);

// Names a parameterised test's cases after the `name` field of their parameter.
struct CaseName {
    template <typename Case> std::string operator()(const ::testing::TestParamInfo<Case>& test) const {
        return test.param.name;
    }
};

bool Contains(const std::string& text, const std::string& part);
// For the tables of tests/data/e2e: a field with its escapes made the bytes they stand
// for (tests/unit/SourceTree.h's; "-": nothing), and a field cut at each `separator`
// ("-": no part).
std::string Unescaped(const std::string& field);
std::vector<std::string> Split(const std::string& field, const std::string& separator);

class KorvaneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // C:\korvane-e2e\<number of the test>, made fresh for this test.
    const std::string& Root() const { return root_; }
    std::string KorvaneFolder() const { return JoinPath(root_, "k"); }
    std::string GameFolder() const { return JoinPath(root_, "g"); }
    // A file in KorvaneFolder(), and its text ("" when it cannot be read).
    std::string Path(const std::string& name) const { return JoinPath(KorvaneFolder(), name); }
    std::string Read(const std::string& name) const { return ReadTextFile(Path(name)).value_or(""); }

    // A stand-in installation in `folder` (GameFolder() when empty), with the
    // stand-in game unless `withGame` is false, registered as the demo's folder.
    void InstallDemo(const std::string& folder = std::string(), bool withGame = true);
    const DemoInstall& Demo() const { return *demo_; }

    // Starts `executable` (korvane.exe when empty) in `workingFolder`
    // (KorvaneFolder() when empty), with the shipped cpudef.dat there.
    void StartKorvane(const std::string& workingFolder = std::string(),
                      const std::string& executable = std::string());
    // StartKorvane, then waits for the visible main window into Main(). With
    // `atFirstSight` it looks every millisecond and calls it the moment the
    // window is first seen visible.
    void StartKorvaneAndWaitForMainWindow(const std::string& workingFolder = std::string(),
                                          const std::string& executable = std::string(),
                                          const std::function<void(HWND)>& atFirstSight = {});
    // Closes the main window with "Exit" and expects Korvane to end with status 0.
    void ExpectNormalExit();
    Process& Korvane() { return korvane_; }
    HWND Main() const { return main_; }
    const std::string& KorvaneWorkingFolder() const { return korvaneFolder_; }

    // Sets a radio button or check box as a click does, when its state differs.
    void SetChecked(int id, bool checked);
    // Leaves exactly the scene boxes in `sceneIds` checked.
    void ChooseScenes(std::initializer_list<int> sceneIds);
    // Presses "BENCHMARK NOW!" and follows the press to its end: a message box,
    // or the main window answering again once the game has been started
    // `expectedStarts` times in this press (or the result window shown).
    PressOutcome PressBenchmarkNow(int expectedStarts, const std::function<void()>& eachPoll = {});
    // The game's starts recorded so far in the installation made by InstallDemo.
    std::vector<GameStart> GameStarts();
    // The command line scene `index` must get from the demo installed and Korvane's folder.
    std::string Line(int index, const LineOptions& options = LineOptions()) const {
        return ExpectedGameLine(demo_->folder, korvaneFolder_, index, options);
    }

    // The result and details windows (hidden ones included); null if missing.
    HWND ResultWindow() const { return KorvaneWindow(korvane_.Id(), kResultCaption); }
    HWND DetailsWindow() const { return KorvaneWindow(korvane_.Id(), kDetailsCaption); }
    std::optional<std::string> ResultText(int id) const { return ControlText(ResultWindow(), id); }
    // Presses "Benchmark Details..." and reads the list once the details window shows.
    DetailsRows OpenDetails();

    // Starts korvane-cli (or `executable`) in KorvaneFolder() with `arguments` (`inJob`:
    // inside a job of the driver's, as under a launcher that uses jobs). korvane-cli's
    // folder gets cpudef.dat and, unless `withIniFiles` is false, the release's four
    // renderer ini files, as Korvane's folder holds them.
    void StartCli(const std::string& arguments, bool inJob = false, bool withIniFiles = true,
                  const std::string& executable = std::string());
    // Waits at most `timeoutMs` for korvane-cli's end.
    CliResult FinishCli(DWORD timeoutMs);
    CliResult RunCli(const std::string& arguments, int sceneRuns, bool inJob = false);
    // Expects each piece that tests/data/e2e/cli-texts.txt gives `call` in the output of
    // `result` or in the file named there.
    void ExpectTexts(const std::string& call, const CliResult& result) const;
    Process& CliProgram() { return cli_; }

private:
    std::string root_;
    std::string korvaneFolder_;
    std::unique_ptr<DemoKeySnapshot> registry_;
    std::optional<DemoInstall> demo_;
    Process korvane_;
    Process cli_;
    ULONGLONG cliStarted_ = 0;
    HWND main_ = nullptr;
};

} // namespace e2e
