// The exit statuses of korvane-cli's commands. Platform-free.
#pragma once

namespace cli {

constexpr int kExitAllResults = 0;   // every scene run produced a result (compare: compared)
constexpr int kExitNotInstalled = 1; // the UT2003 demo is not installed
constexpr int kExitBadArgument =
    2; // a bad argument, a report that cannot be read, or an output file that cannot be written
constexpr int kExitSomeFailed = 3; // some scene run produced no result, or the run was stopped
constexpr int kExitSlower = 4;     // compare --fail-below: the new report is slower by more than allowed

} // namespace cli
