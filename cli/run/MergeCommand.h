// korvane-cli merge as a command: every report read (and refused with the
// file's name and the problem), the merge printed, its files written. Win32.
#pragma once

#include "cli/args/Arguments.h"
#include "cli/run/Console.h"

namespace cli {

// Reads the reports, prints the merge (problems on standard error), writes the
// --json, --csv, --html, --markdown and --bbcode files; returns the exit status.
int RunMerge(const MergeOptions& options, const ConsoleOutput& console = ConsoleOutput());

} // namespace cli
