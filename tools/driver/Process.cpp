// Starting, watching and ending the programs under test.
#include "driver/Process.h"

#include <tlhelp32.h>

#include <utility>

#include "driver/Paths.h"
#include "driver/SystemText.h"
#include "driver/Timing.h"

namespace driver {

namespace {

constexpr DWORD kKillWaitMs = 5000;
constexpr int kStartAttempts = 3;

bool StartsWithFolder(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() <= folder.size()) {
        return false;
    }
    const std::string prefix = JoinPath(folder, "");
    return EqualsIgnoringCase(path.substr(0, prefix.size()), prefix);
}

// Big enough for everything a console program writes in a test, so that it never
// waits on a full pipe.
constexpr DWORD kPipeBytes = 1 << 20;

// A pipe whose write end the child inherits; the read end stays here.
bool MakePipe(KernelHandle& readEnd, KernelHandle& writeEnd) {
    SECURITY_ATTRIBUTES security{};
    security.nLength = sizeof security;
    security.bInheritHandle = TRUE;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &security, kPipeBytes)) {
        return false;
    }
    readEnd.reset(read);
    writeEnd.reset(write);
    return ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

// Appends what the pipe holds now, without waiting for more.
void ReadAvailable(HANDLE pipe, std::string& text) {
    for (;;) {
        DWORD available = 0;
        if (pipe == nullptr || !::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) ||
            available == 0) {
            return;
        }
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (!::ReadFile(pipe, &chunk[0], available, &read, nullptr) || read == 0) {
            return;
        }
        text.append(chunk, 0, read);
    }
}

} // namespace

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::move(other.process_);
        job_ = std::move(other.job_);
        outputPipe_ = std::move(other.outputPipe_);
        errorPipe_ = std::move(other.errorPipe_);
        output_ = std::move(other.output_);
        errors_ = std::move(other.errors_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process Process::Start(const std::string& executable, const std::string& arguments,
                       const std::string& workingFolder, std::string* error, const StartOptions& options) {
    const auto fail = [&](const std::string& what) {
        if (error != nullptr) {
            *error = what + ": " + LastErrorText();
        }
        return Process();
    };
    Process result;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    KernelHandle outputWrite;
    KernelHandle errorWrite;
    DWORD flags = CREATE_SUSPENDED;
    if (options.console) {
        if (!MakePipe(result.outputPipe_, outputWrite) || !MakePipe(result.errorPipe_, errorWrite)) {
            return fail("cannot make the output pipes");
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = outputWrite.get();
        startup.hStdError = errorWrite.get();
        flags |= CREATE_NEW_PROCESS_GROUP;
    }
    std::string commandLine = "\"" + executable + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION started = {};
    // Wine's loader now and then dies before the new process has started, and
    // CreateProcess then says only ERROR_INTERNAL_ERROR; a second try starts it.
    bool created = false;
    for (int attempt = 1; !created && attempt <= kStartAttempts; ++attempt) {
        created = ::CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, options.console,
                                   flags, nullptr, workingFolder.c_str(), &startup, &started) != FALSE;
        if (!created && ::GetLastError() != ERROR_INTERNAL_ERROR) {
            break;
        }
    }
    if (!created) {
        return fail("cannot start " + executable + " in " + workingFolder);
    }
    result.process_.reset(started.hProcess);
    result.id_ = started.dwProcessId;
    const KernelHandle thread(started.hThread);
    if (options.inJob) {
        result.job_.reset(::CreateJobObjectA(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!result.job_ ||
            !::SetInformationJobObject(result.job_.get(), JobObjectExtendedLimitInformation, &limits,
                                       sizeof limits) ||
            !::AssignProcessToJobObject(result.job_.get(), started.hProcess)) {
            ::TerminateProcess(started.hProcess, 1);
            return fail("cannot put " + executable + " into a job");
        }
    }
    ::ResumeThread(thread.get());
    return result;
}

bool Process::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) {
    const Deadline deadline(timeoutMs);
    while (process_ && ::WaitForSingleObject(process_.get(), 50) == WAIT_TIMEOUT) {
        Drain();
        if (deadline.Expired()) {
            return std::nullopt;
        }
    }
    Drain();
    DWORD code = 0;
    if (!process_ || !::GetExitCodeProcess(process_.get(), &code)) {
        return std::nullopt;
    }
    return code;
}

void Process::Kill() {
    if (!process_) {
        return;
    }
    if (IsRunning()) {
        // The programs it started first: once it is gone, they are harder to tell apart.
        for (const ProcessEntry& entry : RunningProcesses()) {
            if (entry.parentId == id_ && entry.id != id_) {
                KernelHandle child(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.id));
                if (child) {
                    ::TerminateProcess(child.get(), 1);
                    ::WaitForSingleObject(child.get(), kKillWaitMs);
                }
            }
        }
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), kKillWaitMs);
    }
    Drain();
    if (job_) {
        ::TerminateJobObject(job_.get(), 1);
    }
    job_.reset();
    process_.reset();
    id_ = 0;
}

DWORD Process::SendControl(DWORD controlEvent) const {
    return ::GenerateConsoleCtrlEvent(controlEvent, id_) ? DWORD{0} : ::GetLastError();
}

void Process::Drain() {
    ReadAvailable(outputPipe_.get(), output_);
    ReadAvailable(errorPipe_.get(), errors_);
}

const std::string& Process::Output() {
    Drain();
    return output_;
}

const std::string& Process::Errors() {
    Drain();
    return errors_;
}

std::vector<ProcessEntry> RunningProcesses() {
    std::vector<ProcessEntry> result;
    SnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return result;
    }
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        result.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    }
    return result;
}

std::optional<std::string> ProcessImagePath(DWORD processId) {
    KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return std::nullopt;
    }
    char path[MAX_PATH * 2] = {};
    DWORD size = sizeof path;
    if (!::QueryFullProcessImageNameA(process.get(), 0, path, &size)) {
        return std::nullopt;
    }
    return std::string(path, size);
}

std::optional<DWORD> PriorityClassOf(DWORD processId) {
    KernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) {
        return std::nullopt;
    }
    const DWORD priority = ::GetPriorityClass(process.get());
    if (priority == 0) {
        return std::nullopt;
    }
    return priority;
}

int KillProcesses(const std::string& executableName, const std::string& folder, DWORD parentId) {
    int ended = 0;
    for (const ProcessEntry& entry : RunningProcesses()) {
        if (!EqualsIgnoringCase(entry.executableName, executableName)) {
            continue;
        }
        bool ours = parentId != 0 && entry.parentId == parentId;
        if (!ours) {
            const std::optional<std::string> image = ProcessImagePath(entry.id);
            ours = image && StartsWithFolder(*image, folder);
        }
        if (!ours) {
            continue;
        }
        KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.id));
        if (process && ::TerminateProcess(process.get(), 1)) {
            ::WaitForSingleObject(process.get(), kKillWaitMs);
            ++ended;
        }
    }
    return ended;
}

int CountProcessesIn(const std::string& executableName, const std::string& folder) {
    int count = 0;
    for (const ProcessEntry& entry : RunningProcesses()) {
        if (EqualsIgnoringCase(entry.executableName, executableName)) {
            const std::optional<std::string> image = ProcessImagePath(entry.id);
            count += image && StartsWithFolder(*image, folder) ? 1 : 0;
        }
    }
    return count;
}

} // namespace driver
