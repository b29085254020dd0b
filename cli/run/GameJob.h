// korvane-cli's launcher: the window's game start, with the game put into a job
// object before it runs, so that a time-out or Ctrl-C ends the game and every
// process it started. Job objects came with Windows 2000: on 98 and ME, where
// kernel32 has none, a time-out or Ctrl-C ends the game's own process. Win32.
#pragma once

#include <windows.h>

#include <string>

#include "bench/BenchmarkRun.h"

namespace cli {

// The job-object functions, looked up in kernel32 at run time so that the program
// still loads where they do not exist. All four are there, or none.
struct JobObjectApi {
    HANDLE(WINAPI* createJobObject)(LPSECURITY_ATTRIBUTES, LPCSTR) = nullptr;
    BOOL(WINAPI* setInformationJobObject)(HANDLE, JOBOBJECTINFOCLASS, LPVOID, DWORD) = nullptr;
    BOOL(WINAPI* assignProcessToJobObject)(HANDLE, HANDLE) = nullptr;
    BOOL(WINAPI* terminateJobObject)(HANDLE, UINT) = nullptr;

    bool Present() const noexcept {
        return createJobObject != nullptr && setInformationJobObject != nullptr &&
               assignProcessToJobObject != nullptr && terminateJobObject != nullptr;
    }
};

// This system's job-object functions (none of them before Windows 2000).
const JobObjectApi& SystemJobObjectApi();

class GameJobLauncher {
public:
    // `stopEvent` is signalled when the run is to stop (Ctrl-C). `jobs` is where
    // the job-object functions come from.
    GameJobLauncher(DWORD timeoutMs, HANDLE stopEvent,
                    const JobObjectApi& jobs = SystemJobObjectApi()) noexcept
        : timeoutMs_(timeoutMs), stopEvent_(stopEvent), jobs_(jobs) {}

    // Starts the game suspended (bench::StartGame, the window's start), puts it
    // into a job that ends its processes when closed, lets it run and waits for
    // its end, the time-out or the stop event. A game that runs too long or is
    // stopped is ended with its job.
    bench::GameEnd operator()(const std::string& gameExecutable, const std::string& commandLine,
                              const std::string& workingDirectory, std::string& failureReason);

    // False once a game could not be put into a job of its own (no job objects
    // before Windows 2000; a job this program itself runs in may forbid it before
    // Windows 8): its time-out then ends only the game's own process. The reason
    // stays in JobProblem().
    bool JobsWork() const noexcept { return jobProblem_.empty(); }
    const std::string& JobProblem() const noexcept { return jobProblem_; }

private:
    DWORD timeoutMs_;
    HANDLE stopEvent_;
    const JobObjectApi& jobs_;
    std::string jobProblem_;
};

} // namespace cli
