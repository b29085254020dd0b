// A stand-in for the UT2003 demo's UT2003.exe: it records how it was started, waits
// as long as its settings say and appends a result line to ..\Benchmark\benchmark.log
// in the engine's shape, or commits the fault its settings ask for. It opens no window.
//
// Beside the executable:
//   standin-record.txt    one line per start: start|<priority class>|<directory>|<command line>
//   standin-settings.ini  optional: [all], [flyby <map>], [botmatch <map>], [start <n>] with
//                         fps=, seconds=, fault=, exitcode=, rand=
#include <windows.h>

#include <exception>
#include <string>

#include "framework/Handles.h"
#include "tools/standin-game/Scenario.h"

namespace {

using framework::UniqueFile;

constexpr const char* kRecordName = "standin-record.txt";
constexpr const char* kSettingsName = "standin-settings.ini";
constexpr const char* kLogPath = "..\\Benchmark\\benchmark.log";
constexpr const char* kLineEnd = "\r\n";
constexpr UINT kCrashExitCode = 70;
constexpr int kOpenTries = 100;
constexpr DWORD kOpenRetryMs = 50;

// A crash ends the process with a failure code instead of a debugger dialog.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* /*exception*/) {
    ::TerminateProcess(::GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0) {
        return {};
    }
    std::string directory(size, '\0');
    const DWORD length = ::GetCurrentDirectoryA(size, &directory[0]);
    directory.resize(length < size ? length : 0);
    return directory;
}

// Opens a file that other programs may read, write or delete meanwhile; retries for a
// few seconds while another program holds it without sharing.
UniqueFile OpenShared(const std::string& path, DWORD access, DWORD disposition) {
    for (int attempt = 0;; ++attempt) {
        UniqueFile file(::CreateFileA(path.c_str(), access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (file || attempt + 1 >= kOpenTries ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)) {
            return file;
        }
        ::Sleep(kOpenRetryMs);
    }
}

bool WriteAll(HANDLE file, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(data.size() - done);
        if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool ReadAllFromStart(HANDLE file, std::string& data) {
    data.clear();
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return false;
    }
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        data.append(buffer, read);
    }
}

bool SeekToEnd(HANDLE file) {
    LARGE_INTEGER zero{};
    return ::SetFilePointerEx(file, zero, nullptr, FILE_END) != 0;
}

// Holds an exclusive lock on one byte far beyond any content, so that two starts at
// once count their lines one after the other while readers of the text are not held up.
class WriterLock {
public:
    explicit WriterLock(HANDLE file) noexcept : file_(file) {
        overlapped_.Offset = 0;
        overlapped_.OffsetHigh = 0x7FFFFFFF;
        locked_ = ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped_) != 0;
    }
    ~WriterLock() {
        if (locked_) {
            ::UnlockFileEx(file_, 0, 1, 0, &overlapped_);
        }
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    HANDLE file_;
    OVERLAPPED overlapped_{};
    bool locked_ = false;
};

// Appends the start record; returns the number of lines the record then holds (0 when
// it could not be written or read back).
int AppendRecord(const std::string& path, const std::string& line) {
    UniqueFile file = OpenShared(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (!file) {
        return 0;
    }
    WriterLock lock(file.get());
    if (!SeekToEnd(file.get()) || !WriteAll(file.get(), line + kLineEnd)) {
        return 0;
    }
    std::string content;
    if (!ReadAllFromStart(file.get(), content)) {
        return 0;
    }
    return standin::CountLines(content);
}

// The settings file's text, empty when there is none.
std::string ReadSettings(const std::string& path) {
    UniqueFile file = OpenShared(path, GENERIC_READ, OPEN_EXISTING);
    std::string text;
    if (file && !ReadAllFromStart(file.get(), text)) {
        text.clear();
    }
    return text;
}

// Appends `text` to the benchmark log, creating the file but not its folder.
void AppendToLog(const std::string& text) {
    UniqueFile file = OpenShared(kLogPath, GENERIC_WRITE, OPEN_ALWAYS);
    if (file && SeekToEnd(file.get())) {
        WriteAll(file.get(), text);
    }
}

// Writes the log's content back unchanged and stamps it with the current time.
// Returns false when there is no log to rewrite.
bool RewriteLog() {
    UniqueFile file = OpenShared(kLogPath, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    if (!file) {
        const DWORD error = ::GetLastError();
        return error != ERROR_FILE_NOT_FOUND;
    }
    std::string content;
    if (ReadAllFromStart(file.get(), content)) {
        LARGE_INTEGER start{};
        if (::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) && WriteAll(file.get(), content)) {
            ::SetEndOfFile(file.get());
        }
    }
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ::SetFileTime(file.get(), nullptr, nullptr, &now);
    return true;
}

void Pause(double seconds) {
    const double milliseconds = seconds * 1000.0 + 0.5;
    ::Sleep(milliseconds >= 4.0e9 ? 4000000000UL : static_cast<DWORD>(milliseconds));
}

int Run() {
    const std::string ownPath = ModulePath();
    const std::string ownFolder = FolderOf(ownPath);
    const std::string commandLine = ::GetCommandLineA();

    const std::string record =
        standin::FormatRecordLine(::GetPriorityClass(::GetCurrentProcess()), CurrentDirectory(), commandLine);
    const int startNumber = AppendRecord(ownFolder + "\\" + kRecordName, record);

    const standin::GameArguments arguments = standin::ParseGameArguments(commandLine, ownPath);
    const standin::Behaviour behaviour =
        standin::ChooseBehaviour(ReadSettings(ownFolder + "\\" + kSettingsName), arguments, startNumber);

    if (behaviour.fault == standin::Fault::Hang) {
        for (;;) {
            ::Sleep(INFINITE);
        }
    }
    Pause(behaviour.seconds);

    const std::string resultLine = standin::ResultLine(behaviour) + kLineEnd;
    switch (behaviour.fault) {
    case standin::Fault::None:
    case standin::Fault::Hang:
        AppendToLog(resultLine);
        return 0;
    case standin::Fault::NoWrite:
        return 0;
    case standin::Fault::EmptyLine:
        AppendToLog(resultLine + kLineEnd);
        return 0;
    case standin::Fault::NoNumber:
        AppendToLog(standin::NoNumberLine() + kLineEnd);
        return 0;
    case standin::Fault::FailExit:
        AppendToLog(resultLine);
        return behaviour.exitCode;
    case standin::Fault::FailNoWrite:
        return behaviour.exitCode;
    case standin::Fault::RewriteSame:
        if (!RewriteLog()) {
            AppendToLog(resultLine);
        }
        return 0;
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    ::SetUnhandledExceptionFilter(EndOnCrash);
    try {
        return Run();
    } catch (const std::exception&) {
        return static_cast<int>(kCrashExitCode);
    }
}
