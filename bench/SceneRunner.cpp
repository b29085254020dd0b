// Game start, wait and log stamps.
#include "bench/SceneRunner.h"

#include <vector>

#include "framework/Handles.h"
#include "framework/SystemError.h"

namespace bench {

std::string LogPathFor(const std::string& gameFolder) {
    return gameFolder + "\\benchmark\\benchmark.log";
}

LogStamp StampLog(const std::string& path) {
    LogStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.sizeBytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        stamp.lastWrite = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
    }
    return stamp;
}

bool RunGameAndWait(const std::string& gameExecutable, const std::string& commandLine,
                    const std::string& workingDirectory, std::string& failureReason) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(gameExecutable.c_str(), line.data(), nullptr, nullptr, FALSE, kGameCreationFlags,
                          nullptr, workingDirectory.c_str(), &startup, &process)) {
        failureReason = framework::SystemErrorText(::GetLastError());
        return false;
    }
    const framework::UniqueHandle processHandle(process.hProcess);
    const framework::UniqueHandle threadHandle(process.hThread);
    ::WaitForSingleObject(processHandle.get(), INFINITE);
    return true;
}

} // namespace bench
