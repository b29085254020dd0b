// korvane-cli's launcher: the window's game start, with the game put into a job
// object before it runs, so that a time-out or Ctrl-C ends the game and every
// process it started. Win32.
#pragma once

#include <windows.h>

#include <string>

#include "bench/BenchmarkRun.h"

namespace cli {

class GameJobLauncher {
public:
    // `stopEvent` is signalled when the run is to stop (Ctrl-C).
    GameJobLauncher(DWORD timeoutMs, HANDLE stopEvent) noexcept
        : timeoutMs_(timeoutMs), stopEvent_(stopEvent) {}

    // Starts the game suspended (bench::StartGame, the window's start), puts it
    // into a job that ends its processes when closed, lets it run and waits for
    // its end, the time-out or the stop event. A game that runs too long or is
    // stopped is ended with its job.
    bench::GameEnd operator()(const std::string& gameExecutable, const std::string& commandLine,
                              const std::string& workingDirectory, std::string& failureReason);

    // False once a game could not be put into a job of its own (a job this
    // program itself runs in may forbid it before Windows 8): its time-out then
    // ends only the game's own process. The reason stays in JobProblem().
    bool JobsWork() const noexcept { return jobProblem_.empty(); }
    const std::string& JobProblem() const noexcept { return jobProblem_; }

private:
    DWORD timeoutMs_;
    HANDLE stopEvent_;
    std::string jobProblem_;
};

} // namespace cli
