// Game start and wait.
#include "bench/GameProcess.h"

#include <vector>

#include "framework/SystemError.h"

namespace bench {

bool StartGame(const std::string& gameExecutable, const std::string& commandLine,
               const std::string& workingDirectory, DWORD extraFlags, GameProcess& started,
               std::string& failureReason) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(gameExecutable.c_str(), line.data(), nullptr, nullptr, FALSE,
                          kGameCreationFlags | extraFlags, nullptr, workingDirectory.c_str(), &startup,
                          &process)) {
        failureReason = framework::SystemErrorText(::GetLastError());
        return false;
    }
    started.process.reset(process.hProcess);
    started.thread.reset(process.hThread);
    return true;
}

bool RunGameAndWait(const std::string& gameExecutable, const std::string& commandLine,
                    const std::string& workingDirectory, std::string& failureReason) {
    GameProcess game;
    if (!StartGame(gameExecutable, commandLine, workingDirectory, 0, game, failureReason)) {
        return false;
    }
    ::WaitForSingleObject(game.process.get(), INFINITE);
    return true;
}

} // namespace bench
