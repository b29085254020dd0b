// The fixture of every end-to-end test: the programs under test, a fresh folder
// per test, the demo's registry key put back afterwards, and the steps a user
// takes with Korvane (start it, set options, press "BENCHMARK NOW!", wait for
// what the run ends in).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/DemoRegistry.h"
#include "driver/Files.h"
#include "driver/Process.h"
#include "driver/Ui.h"

namespace e2e {

// The programs handed over on the command line, as Windows paths.
struct TestPrograms {
    std::string korvane;        // korvane.exe
    std::string game;           // the stand-in UT2003.exe
    std::string cpuDefinitions; // cpudef.dat to put beside Korvane, if it exists
    std::string fakeD3d8;       // a d3d8.dll that names itself as the adapter (fakes/)
    std::string d3d8Probe;      // a program that loads d3d8.dll the plain way (fakes/)
};
TestPrograms& Programs();

// Where a test keeps the demo key's earlier state while it runs (see
// SaveDemoKeyState); main() repairs the key from it after a run was killed.
std::string SavedDemoKeyPath();

// Window captions and message box texts as Korvane shows them.
constexpr char kMainCaption[] = "Korvane version 1.00 alpha";
constexpr char kResultCaption[] = "Korvane Result Window";
constexpr char kDetailsCaption[] = "Benchmark details";
constexpr char kAboutCaption[] = "About Korvane...";
constexpr char kFatalCaption[] = "Korvane Fatal Error";
constexpr char kWarningCaption[] = "Korvane Warning";
constexpr char kErrorCaption[] = "Korvane Error";

// Time-outs. Under Wine a program takes a second or two to show its first window;
// every scene of a run takes the game's start plus Korvane's 3000 ms pause.
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kWindowTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kPerSceneTimeoutMs = 15000;

// Korvane's exit status when it ends through "Exit" (the framework's default).
constexpr DWORD kNormalExitCode = 0;

// The rows of the details list for an overall score text and six scene texts.
using DetailsRows = std::vector<std::vector<std::string>>;
DetailsRows ExpectedDetailsRows(const std::string& overall, const std::vector<std::string>& sceneTexts);

// What StartKorvane puts into Korvane's working folder as cpudef.dat.
enum class CpuDefinitionsFile {
    Shipped, // the file that ships with Korvane (the default)
    Given,   // the bytes a test chose
    None,    // no file at all
};

// How StartKorvane starts Korvane; a test may change these before it starts it.
struct KorvaneStartOptions {
    std::string executable; // Programs().korvane when empty
    CpuDefinitionsFile cpuDefinitions = CpuDefinitionsFile::Shipped;
    std::string cpuDefinitionsBytes; // with CpuDefinitionsFile::Given
};

// How a press of "BENCHMARK NOW!" ended.
struct RunOutcome {
    std::optional<MessageBoxInfo> messageBox; // a box Korvane showed
    bool finished = false;                    // the main window answers again after the run
    bool resultsShown = false;                // the result window is visible at the end
    bool sawBusy = false;                     // the main window did not answer at some point
    bool korvaneEnded = false;                // Korvane is gone
    bool timedOut = false;
    bool answersAtTimeOut = false; // the main window answered when time ran out
    ULONGLONG elapsedMs = 0;       // from the press to the outcome
};
std::ostream& operator<<(std::ostream& out, const RunOutcome& outcome);

// Names a parameterised test's cases after the `name` field of their parameter.
struct CaseName {
    template <typename Case> std::string operator()(const ::testing::TestParamInfo<Case>& test) const {
        return test.param.name;
    }
};

class KorvaneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // C:\korvane-e2e\<short name of the test>, made fresh for this test.
    const std::string& Root() const { return root_; }
    // Korvane's working folder unless a test chooses another: Root\k.
    std::string KorvaneFolder() const;
    // The demo's folder unless a test chooses another: Root\g.
    std::string GameFolder() const;

    // Makes a stand-in installation in `folder` (GameFolder() when empty), with the
    // stand-in game unless `withGame` is false, and points the registry at it.
    void InstallDemo(const std::string& folder = std::string(), bool withGame = true,
                     bool registerFolder = true);
    const DemoInstall& Demo() const { return *demo_; }

    // Starts Korvane in `workingFolder` (KorvaneFolder() when empty; made if
    // missing, with cpudef.dat as StartOptions() say), as StartOptions() say.
    void StartKorvane(const std::string& workingFolder = std::string());
    // StartKorvane, then waits for the visible main window into Main(). With
    // `atFirstSight` it looks every millisecond and calls it the moment the window
    // is first seen visible (the driver then reads without waiting for Korvane).
    void StartKorvaneAndWaitForMainWindow(const std::string& workingFolder = std::string(),
                                          const std::function<void(HWND)>& atFirstSight = {});
    KorvaneStartOptions& StartOptions() { return startOptions_; }
    // Closes the main window with "Exit" (the Cancel command) and returns Korvane's
    // exit status; nothing when it has not ended within kExitTimeoutMs.
    std::optional<DWORD> ExitKorvane();
    Process& Korvane() { return korvane_; }
    HWND Main() const { return main_; }
    const std::string& KorvaneWorkingFolder() const { return korvaneFolder_; }

    // Sets a radio button or check box as a click does (BM_CLICK), only when its
    // state differs from `checked`.
    void SetChecked(int id, bool checked);
    // Leaves exactly the scene boxes in `sceneIds` checked.
    void ChooseScenes(std::initializer_list<int> sceneIds);

    // Posts the click on "BENCHMARK NOW!" and waits for the run's end: a message
    // box, or the main window answering again once the game has been started
    // `expectedStarts` times in this press (or the result window shown). A visible
    // result window is hidden first, so that its showing can be seen. `eachPoll`,
    // when given, runs every time the driver looks at the run's state (about every
    // 50 ms) while the press lasts.
    RunOutcome PressBenchmarkNow(int expectedStarts, const std::function<void()>& eachPoll = {});
    // The game's starts recorded so far in the installation made by InstallDemo.
    std::vector<GameStart> GameStarts();

    // The result window and the details window (hidden ones included); null if missing.
    HWND ResultWindow() const;
    HWND DetailsWindow() const;
    // Presses "Benchmark Details..." (the result window may be hidden) and reads
    // the list once the details window shows; empty, with a failure, if it does not.
    DetailsRows OpenDetails();

private:
    std::string root_;
    std::string korvaneFolder_;
    KorvaneStartOptions startOptions_;
    std::unique_ptr<DemoKeySnapshot> registry_;
    std::optional<DemoInstall> demo_;
    Process korvane_;
    HWND main_ = nullptr;
};

} // namespace e2e
