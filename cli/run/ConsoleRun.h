// One korvane-cli benchmark call on Windows: the installation lookup, the
// machine facts, the window's press repeated round after round
// (bench/BenchmarkRun) with the game in a job under a time-out, Ctrl-C, the
// console output and the files.
#pragma once

#include <string>

#include "cli/args/Arguments.h"

namespace cli {

// Runs the benchmark as `options` say and returns the exit status.
int RunBenchmarks(const RunOptions& options, const std::string& korvaneVersion);

} // namespace cli
