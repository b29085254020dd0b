// Starting, watching and ending the programs under test.
#include "driver/Process.h"

#include <tlhelp32.h>

#include <utility>

#include "driver/Paths.h"
#include "driver/SystemText.h"

namespace e2e {

namespace {

constexpr DWORD kKillWaitMs = 5000;

KernelHandle MakeKillOnCloseJob() {
    KernelHandle job(::CreateJobObjectA(nullptr, nullptr));
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return job;
}

bool StartsWithFolder(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() <= folder.size()) {
        return false;
    }
    const std::string prefix = JoinPath(folder, "");
    return EqualsIgnoringCase(path.substr(0, prefix.size()), prefix);
}

} // namespace

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::move(other.process_);
        job_ = std::move(other.job_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process Process::Start(const std::string& executable, const std::string& arguments,
                       const std::string& workingFolder, std::string* error) {
    std::string commandLine = "\"" + executable + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                          nullptr, workingFolder.c_str(), &startup, &started)) {
        if (error != nullptr) {
            *error = "cannot start " + executable + " in " + workingFolder + ": " + LastErrorText();
        }
        return Process();
    }
    Process result;
    result.process_.reset(started.hProcess);
    result.id_ = started.dwProcessId;
    KernelHandle thread(started.hThread);
    result.job_ = MakeKillOnCloseJob();
    if (result.job_ && !::AssignProcessToJobObject(result.job_.get(), started.hProcess)) {
        result.job_.reset();
    }
    ::ResumeThread(thread.get());
    return result;
}

bool Process::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code)) {
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
    if (job_) {
        ::TerminateJobObject(job_.get(), 1);
    }
    job_.reset();
    process_.reset();
    id_ = 0;
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

} // namespace e2e
