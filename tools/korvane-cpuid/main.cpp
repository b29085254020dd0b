// korvane-cpuid: what Korvane finds out about a processor, from a CPUID dump or
// from the machine it runs on. See CpuidReport.h.
#include <iostream>
#include <string>
#include <vector>

#include "tools/korvane-cpuid/CpuidReport.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return cpuidtool::RunCpuidReport(arguments, std::cout, std::cerr);
}
