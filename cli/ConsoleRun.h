// One korvane-cli run on Windows: the installation lookup, the machine facts,
// the window's press repeated round after round (bench/BenchmarkRun) with the
// game in a job under a time-out, Ctrl-C, the console output and the files.
#pragma once

#include <string>

#include "cli/CliArguments.h"

namespace cli {

// A text of the ANSI code page (file names, the system's texts) as UTF-8.
std::string AnsiToUtf8(const std::string& text);

// Runs the benchmark as `options` say and returns the exit status.
int RunBenchmarks(const CliOptions& options, const std::string& korvaneVersion);

} // namespace cli
