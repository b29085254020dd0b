// One korvane-cli run on Windows: the installation lookup, the machine facts,
// the window's press repeated round after round (bench/BenchmarkRun) with the
// game in a job under a time-out, Ctrl-C, the console output and the files.
#pragma once

#include <string>

#include "cli/CliArguments.h"

namespace cli {

// Runs the benchmark as `options` say and returns the exit status.
int RunBenchmarks(const CliOptions& options, const std::string& korvaneVersion);

} // namespace cli
