// Programs under test: starting one in a chosen working folder (a console one
// with its output in pipes), waiting for its end, reading its priority class from
// outside, and ending it together with every program it started.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "driver/Handles.h"

namespace driver {

// How Start starts a program.
struct StartOptions {
    // A console program of its own process group (so that a Ctrl-C can be sent
    // to it alone), its standard output and error read through pipes. Pipes rather
    // than files: under Wine the desktop process that the first window of a fresh
    // prefix starts inherits the standard handles and keeps them while the Wine
    // server runs, and a file would stay open.
    bool console = false;
    // Inside a job object of the driver's that ends everything in it when the
    // driver lets go, as under a launcher that uses jobs. Without it the program
    // is free to make jobs of its own (korvane-cli does on systems that have them);
    // Kill then ends its children by their parent id.
    bool inJob = true;
};

// A started program. Move-only; the destructor ends the program and everything
// in its job.
class Process {
public:
    Process() = default;
    ~Process() { Kill(); }
    Process(Process&&) noexcept = default;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `executable` (a full path, also passed as the first, quoted, part of
    // the command line, followed by `arguments` if any) with `workingFolder` as its
    // current directory. On failure the result is empty and `error` says why.
    static Process Start(const std::string& executable, const std::string& arguments,
                         const std::string& workingFolder, std::string* error,
                         const StartOptions& options = StartOptions());

    explicit operator bool() const noexcept { return static_cast<bool>(process_); }
    DWORD Id() const noexcept { return id_; }
    HANDLE Handle() const noexcept { return process_.get(); }
    bool IsRunning() const;
    // The exit code once the program has ended within `timeoutMs`; nothing if it
    // still runs. Reads a console program's output meanwhile.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    // Ends the programs it started, then the program itself, and waits (at most
    // 5 s) for its end. Does nothing for an empty or ended process.
    void Kill();

    // A console program: GenerateConsoleCtrlEvent(`controlEvent`) to its process
    // group; 0, or the system's error when it refused.
    DWORD SendControl(DWORD controlEvent) const;
    // What a console program wrote so far, as written (CR LF line ends).
    const std::string& Output();
    const std::string& Errors();

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

struct ProcessEntry {
    DWORD id = 0;
    DWORD parentId = 0;
    std::string executableName; // the file name only, as the system lists it
};

// Every process of the system (of this Wine prefix).
std::vector<ProcessEntry> RunningProcesses();

// The full path of a running process's executable, if it can be read.
std::optional<std::string> ProcessImagePath(DWORD processId);

// The priority class of another process, read from outside (OpenProcess and
// GetPriorityClass); nothing if it cannot be read.
std::optional<DWORD> PriorityClassOf(DWORD processId);

// Ends every process named `executableName` (case-insensitive) whose executable
// lies in `folder` or below it, or whose parent is `parentId` (when non-zero),
// and waits for each end. Returns how many were ended.
int KillProcesses(const std::string& executableName, const std::string& folder, DWORD parentId);
// How many processes named `executableName` run from `folder` or below it.
int CountProcessesIn(const std::string& executableName, const std::string& folder);

} // namespace driver
