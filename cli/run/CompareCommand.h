// korvane-cli compare as a command: both reports read, the comparison printed,
// its files written. Win32.
#pragma once

#include "cli/args/Arguments.h"
#include "cli/run/Console.h"

namespace cli {

// Reads both reports, prints the comparison (and any problem on standard
// error), writes the --json and --html files; returns the exit status.
int RunCompare(const CompareOptions& options, const ConsoleOutput& console = ConsoleOutput());

} // namespace cli
