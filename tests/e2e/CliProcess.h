// korvane-cli as the end-to-end tests start it: a console program in a process
// group of its own, sharing this program's console, its standard output and
// error read through pipes.
//
// Pipes rather than files: under Wine a program that starts another one hands
// it its standard handles, and the desktop process that the first window of a
// fresh prefix starts keeps them as long as the Wine server runs. A file would
// then stay open, and the test's folder could not be deleted.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "driver/Handles.h"

namespace e2e {

class CliProcess {
public:
    CliProcess() = default;
    ~CliProcess() { Kill(); }
    CliProcess(CliProcess&&) noexcept = default;
    CliProcess& operator=(CliProcess&&) noexcept = default;
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Starts `executable` with `arguments` (appended to its quoted path) in
    // `workingFolder`, with CREATE_NEW_PROCESS_GROUP. With `inJob` it runs inside
    // a job object of this program's, as under a launcher that uses jobs. Empty
    // on failure, with the reason in `error`.
    static CliProcess Start(const std::string& executable, const std::string& arguments,
                            const std::string& workingFolder, bool inJob, std::string* error);

    explicit operator bool() const noexcept { return static_cast<bool>(process_); }
    DWORD Id() const noexcept { return id_; }
    bool IsRunning() const;
    // The exit status once it has ended within `timeoutMs`; reads its output meanwhile.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    // GenerateConsoleCtrlEvent(`controlEvent`, its process group): 0, or the
    // system's error when it refused.
    DWORD SendControl(DWORD controlEvent) const;
    // Ends it if it still runs (a failed test); its games are the fixture's.
    void Kill();

    // What it wrote so far, as written (CR LF line ends).
    const std::string& Output() {
        Drain();
        return output_;
    }
    const std::string& Errors() {
        Drain();
        return errors_;
    }

private:
    void Drain();

    KernelHandle process_;
    KernelHandle job_;
    KernelHandle outputPipe_;
    KernelHandle errorPipe_;
    std::string output_;
    std::string errors_;
    DWORD id_ = 0;
};

// The running UT2003.exe processes whose executable lies in `folder` or below.
int CountGamesIn(const std::string& folder);

} // namespace e2e
