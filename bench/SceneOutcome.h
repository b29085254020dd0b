// How one scene of a press ended, as the window and korvane-cli both report it.
// Platform-free.
#pragma once

#include <string>

namespace bench {

enum class SceneStatus {
    Recorded, // the log's last line gave the value, which is in the results' sceneFps and sums
    NoNumber, // the last line held no number where the value is read: 0.0 is recorded, as the window counts
              // it
    GameNotStarted, // the press ends here
    NoNewResult,    // the game left the log as it was; the press ends here
    LogUnreadable,  // the press ends here
    TimedOut,       // the launcher ended the game after its time-out; the log is not read
    Stopped,        // the launcher ended the game because the run was stopped; the log is not read
};

// True when the scene's value went into the results (Recorded, NoNumber): the press goes on.
constexpr bool ValueRecorded(SceneStatus status) noexcept {
    return status == SceneStatus::Recorded || status == SceneStatus::NoNumber;
}

struct SceneOutcome {
    SceneStatus status = SceneStatus::GameNotStarted;
    std::string message;  // what to report unless Recorded
    std::string lastLine; // the log's last line, when it was read
    double fps = 0.0;     // the value recorded
};

} // namespace bench
