// Programs under test: starting one in a chosen working folder, waiting for its
// end, reading its priority class from outside, and ending it together with every
// program it started.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "driver/Handles.h"

namespace e2e {

// A started program. It runs inside a job object of its own, so that ending the
// job (or this driver) also ends the programs it started. Move-only; the
// destructor ends the program and everything in its job.
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
                         const std::string& workingFolder, std::string* error);

    explicit operator bool() const noexcept { return static_cast<bool>(process_); }
    DWORD Id() const noexcept { return id_; }
    HANDLE Handle() const noexcept { return process_.get(); }

    bool IsRunning() const;
    // The exit code once the program has ended within `timeoutMs`; nothing if it still runs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // Ends the programs it started, then the program itself, and waits (at most
    // 5 s) for its end. Does nothing for an empty or ended process.
    void Kill();

private:
    KernelHandle process_;
    KernelHandle job_;
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

} // namespace e2e
