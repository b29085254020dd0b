// Starting the game for one scene and waiting for it (Win32). The log reading
// and value extraction themselves are platform-free (LogValue.h).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace bench {

// Every game process: high priority, in a new process group.
constexpr DWORD kGameCreationFlags = HIGH_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP;
// Korvane's own priority class from the first press on.
constexpr DWORD kOwnPriorityClass = IDLE_PRIORITY_CLASS;
// The pause after every scene, the last one included.
constexpr DWORD kScenePauseMs = 3000;

// The game's benchmark log for an installation folder (plain concatenation).
std::string LogPathFor(const std::string& gameFolder);

// The log's size and last-write time, taken before and after a scene to tell a
// result the game has just written from an old one.
struct LogStamp {
    bool exists = false;
    unsigned long long sizeBytes = 0;
    unsigned long long lastWrite = 0;

    bool operator==(const LogStamp& other) const noexcept {
        return exists == other.exists && sizeBytes == other.sizeBytes && lastWrite == other.lastWrite;
    }
    bool operator!=(const LogStamp& other) const noexcept { return !(*this == other); }
};
LogStamp StampLog(const std::string& path);

// A started game's process and main thread.
struct GameProcess {
    framework::UniqueHandle process;
    framework::UniqueHandle thread;
};

// Starts the game with exactly `commandLine` (the executable is also named as the
// application, so blanks in its folder can never start another program) in
// `workingDirectory`, with kGameCreationFlags and `extraFlags`. Returns false
// with the system's reason when it could not be started.
bool StartGame(const std::string& gameExecutable, const std::string& commandLine,
               const std::string& workingDirectory, DWORD extraFlags, GameProcess& started,
               std::string& failureReason);

// StartGame, then waits without a time-out until the game has ended and closes
// its handles. Returns false with the system's reason when it could not be started.
bool RunGameAndWait(const std::string& gameExecutable, const std::string& commandLine,
                    const std::string& workingDirectory, std::string& failureReason);

} // namespace bench
