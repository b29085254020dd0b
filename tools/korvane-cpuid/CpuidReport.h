// korvane-cpuid: runs Korvane's own processor identification, cache detection
// and cpudef.dat lookup on a CPUID dump (or on the machine it runs on) and
// prints what Korvane would find, one fact a line. Platform-free.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/LineSource.h"

namespace cpuidtool {

// Exit statuses.
constexpr int kReportComplete = 0;
// The facts were printed, but the vendor is unknown or cpudef.dat could not be read.
constexpr int kReportIncomplete = 1;
// Wrong arguments, or a dump that could not be read; nothing was printed on `out`.
constexpr int kReportFailed = 2;

// `arguments` without the program's name: [--cpudef PATH] [DUMP]. Without DUMP
// the machine's own CPUID is read; without --cpudef, cpudef.dat in the current
// directory. Prints vendor, family, model, stepping, l1DataKb, l1CodeKb, l2Kb,
// sectionKey and processorName on `out` as "name: value"; errors on `errors`.
int RunCpuidReport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors);

// A text file read as lines (CR LF or LF); throws framework::FileError when it
// cannot be opened or read.
std::unique_ptr<framework::LineSource> OpenTextFile(const std::string& path);

} // namespace cpuidtool
