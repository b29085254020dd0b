// The processor of the machine the tests run on, as cpudef.dat names it: the
// section key it seeks (from CPUID, read here on its own), and the name a
// definitions text gives that key.
#pragma once

#include <optional>
#include <string>

namespace e2e {

struct ProcessorKey {
    std::string vendor;     // "GenuineIntel", ...
    std::string sectionKey; // "[2,0xF2]"
    // Intel family 6 models 5, 7 and 8 seek a level-2 variant after their
    // section, whose key needs the level-2 size; the tests do not compute it.
    bool seeksVariant = false;
};

// Nothing when the vendor is none of the five that cpudef.dat knows.
std::optional<ProcessorKey> MachineProcessorKey();

// The second line after the first line equal to `sectionKey` (CR LF or LF line
// ends); nothing when no line equals it.
std::optional<std::string> NameInDefinitions(const std::string& definitions, const std::string& sectionKey);

} // namespace e2e
