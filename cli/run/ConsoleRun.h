// A korvane-cli benchmark call on Windows: the installation lookup, the machine
// facts, the window's press repeated round after round (bench/BenchmarkRun)
// with the game in a job under a time-out, Ctrl-C, the console output and the
// files, rewritten whole after every scene run; and the same call resumed from
// its report after a crash, a kill or Ctrl-C.
#pragma once

#include <string>

#include "cli/args/Arguments.h"

namespace cli {

// Runs the benchmark as `options` say and returns the exit status.
int RunBenchmarks(const RunOptions& options, const std::string& korvaneVersion);

// Goes on with the call the report options.resumePath records (its Korvane
// version stays the one that began it) and returns the exit status, as that
// call would have ended.
int ResumeBenchmarks(const RunOptions& options);

} // namespace cli
