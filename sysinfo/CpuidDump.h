// CPUID dumps in the text form of the public dump collections, one leaf a line:
//   CPUID 00000001: 00000683-00000002-00000000-0387FBFF
// (the leaf, then EAX-EBX-ECX-EDX in hexadecimal). Platform-free.
#pragma once

#include <cstdint>
#include <optional>

#include "framework/LineSource.h"
#include "sysinfo/CpuidSource.h"

namespace sysinfo {

struct CpuidDumpLine {
    std::uint32_t leaf = 0;
    CpuidRegisters registers;
};

// The leaf and registers of one dump line, or nothing for any other line. The
// line starts with "CPUID "; hexadecimal digits may be of either case; text after
// the fourth register (a subleaf note, for example) is ignored.
std::optional<CpuidDumpLine> ParseCpuidDumpLine(const std::string& line);

// Every leaf of a dump; the first line of a leaf wins, other lines are ignored.
RecordedCpuid ReadCpuidDump(framework::LineSource& lines);

} // namespace sysinfo
