// Starting korvane-cli with its output in pipes, and its control events.
#include "CliProcess.h"

#include "driver/Paths.h"
#include "driver/Process.h"
#include "driver/SystemText.h"
#include "driver/Timing.h"

namespace e2e {

namespace {

constexpr DWORD kKillWaitMs = 5000;
// Big enough for everything korvane-cli writes in a test, so that it never waits on a full pipe.
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

bool IsInside(const std::string& path, const std::string& folder) {
    const std::string prefix = JoinPath(folder, "");
    return path.size() > prefix.size() && EqualsIgnoringCase(path.substr(0, prefix.size()), prefix);
}

} // namespace

CliProcess CliProcess::Start(const std::string& executable, const std::string& arguments,
                             const std::string& workingFolder, bool inJob, std::string* error) {
    const auto fail = [error](const std::string& what) {
        if (error != nullptr) {
            *error = what + ": " + LastErrorText();
        }
        return CliProcess();
    };
    CliProcess cli;
    KernelHandle outputWrite;
    KernelHandle errorWrite;
    if (!MakePipe(cli.outputPipe_, outputWrite) || !MakePipe(cli.errorPipe_, errorWrite)) {
        return fail("cannot make the output pipes");
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = errorWrite.get();
    std::string commandLine = "\"" + executable + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(executable.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                          CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED, nullptr, workingFolder.c_str(),
                          &startup, &started)) {
        return fail("cannot start " + executable);
    }
    cli.process_.reset(started.hProcess);
    cli.id_ = started.dwProcessId;
    const KernelHandle thread(started.hThread);
    if (inJob) {
        cli.job_.reset(::CreateJobObjectA(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!cli.job_ ||
            !::SetInformationJobObject(cli.job_.get(), JobObjectExtendedLimitInformation, &limits,
                                       sizeof limits) ||
            !::AssignProcessToJobObject(cli.job_.get(), started.hProcess)) {
            ::TerminateProcess(started.hProcess, 1);
            return fail("cannot put korvane-cli into a job");
        }
    }
    ::ResumeThread(thread.get());
    return cli;
}

void CliProcess::Drain() {
    ReadAvailable(outputPipe_.get(), output_);
    ReadAvailable(errorPipe_.get(), errors_);
}

bool CliProcess::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CliProcess::WaitForExit(DWORD timeoutMs) {
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

DWORD CliProcess::SendControl(DWORD controlEvent) const {
    return ::GenerateConsoleCtrlEvent(controlEvent, id_) ? DWORD{0} : ::GetLastError();
}

void CliProcess::Kill() {
    if (IsRunning()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), kKillWaitMs);
    }
    Drain();
    job_.reset();
    process_.reset();
    id_ = 0;
}

int CountGamesIn(const std::string& folder) {
    int count = 0;
    for (const ProcessEntry& entry : RunningProcesses()) {
        if (!EqualsIgnoringCase(entry.executableName, "UT2003.exe")) {
            continue;
        }
        const std::optional<std::string> path = ProcessImagePath(entry.id);
        if (path && IsInside(*path, folder)) {
            ++count;
        }
    }
    return count;
}

} // namespace e2e
