// Starting the game for one scene and waiting for it (Win32).
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
