// One benchmark press without its window, shared by the main window and the
// console program: the chosen scenes' command lines, composed before any game
// starts, then one scene at a time: the game's start and end, the check that it
// wrote a new result, the log's last line, its value and its place in the
// press's sums. Outcomes come back as values with the text to report; the window
// shows that text in a message box. Win32.
//
// Names: a press is one pass over the chosen scenes (one click of "BENCHMARK
// NOW!", one round of korvane-cli); RunScene runs one scene of it; SceneResults
// (SceneScore.h) holds the frame rates and the press's sums; GameProcess.h starts
// and waits for the game, BenchmarkLog.h finds and stamps its log.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/SceneOutcome.h"
#include "bench/SceneScore.h"

namespace bench {

// The first step of every press: Korvane's own process drops to kOwnPriorityClass.
void BeginPress();

// The options of one press, as the main window's controls hold them.
struct PressOptions {
    Renderer renderer = Renderer::Direct3D;
    Detail detail = Detail::High;
    std::string resolutionText;             // empty when no resolution is chosen
    std::array<bool, kSceneCount> chosen{}; // by scene index
};

// A chosen scene with its finished command line.
struct SceneLine {
    int index = 0;
    std::string commandLine;
};

enum class ComposeStatus {
    Ready,         // every chosen scene has its line
    NoSceneChosen, // report kNoSceneText as a warning
    FolderTooLong, // Korvane's current directory does not fit the game's command line
    LineTooLong,   // a scene's line would not fit kCommandLineBytes
};

struct ComposedPress {
    ComposeStatus status = ComposeStatus::NoSceneChosen;
    std::string message; // what the window reports unless Ready
    // What the message is made of: the whole current directory (FolderTooLong),
    // the scene and its line's length (LineTooLong).
    std::string currentDirectory;
    const char* sceneText = nullptr;
    unsigned lineLength = 0;
    std::string iniArguments;
    std::vector<SceneLine> scenes; // in scene order; empty unless Ready
};

// Reads Korvane's current directory and composes the lines of the chosen scenes,
// in scene order. The first scene whose line cannot be composed ends the
// composition, so that nothing runs when any line is wrong.
ComposedPress ComposePress(const PressOptions& options, const std::string& gameExecutable);

enum class GameEnd {
    Ended,      // the game ran and its process has ended
    NotStarted, // it could not be started; the reason says why
    TimedOut,   // it ran past a time-out and was ended (the console program's launcher)
    Stopped,    // it was ended because the run was stopped (the console program's launcher)
};

// Starts the game and waits for it. Returns how that ended, with the system's
// reason when the game could not be started, or what the time-out was when it
// was ended for running too long.
using GameLauncher = std::function<GameEnd(const std::string& gameExecutable, const std::string& commandLine,
                                           const std::string& workingDirectory, std::string& failureReason)>;

// The window's launcher: RunGameAndWait, which waits without a time-out.
GameEnd LaunchAndWait(const std::string& gameExecutable, const std::string& commandLine,
                      const std::string& workingDirectory, std::string& failureReason);

// Where the game is, as a run needs it: the executable to start, the folder it
// runs in, and the installation folder whose benchmark log it writes.
struct GamePlaces {
    std::string executable;
    std::string workingFolder;
    std::string installFolder;
};

// Runs one scene: stamps the log, starts the game through `launch` in the
// game's system folder, checks that the log changed, reads its last line and
// records the value in `results` (0.0 when the line holds no number). The pause after a scene is the
// caller's.
SceneOutcome RunScene(const SceneLine& scene, const GamePlaces& game, SceneResults& results,
                      const GameLauncher& launch = LaunchAndWait);

} // namespace bench
