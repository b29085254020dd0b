// The machine's processor key from CPUID.
#include "MachineKey.h"

#include <cpuid.h>

#include <cstdio>
#include <cstring>
#include <sstream>

namespace e2e {

namespace {

constexpr const char* kVendors[] = {"AuthenticAMD", "GenuineIntel", "CyrixInstead", "CentaurHauls",
                                    "RiseRiseRise"};

} // namespace

std::optional<ProcessorKey> MachineProcessorKey() {
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    __cpuid(0, eax, ebx, ecx, edx);
    char vendor[13] = {};
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    int number = 0;
    for (int index = 0; index < 5; ++index) {
        if (std::strcmp(vendor, kVendors[index]) == 0) {
            number = index + 1;
        }
    }
    if (number == 0) {
        return std::nullopt;
    }
    __cpuid(1, eax, ebx, ecx, edx);
    // Only the four base bits of family and model count; the extended fields do not.
    const unsigned family = (eax >> 8) & 0xF;
    const unsigned model = (eax >> 4) & 0xF;
    char key[16] = {};
    std::snprintf(key, sizeof key, "[%d,0x%X%X]", number, family, model);
    ProcessorKey result;
    result.vendor = vendor;
    result.sectionKey = key;
    result.seeksVariant = number == 2 && family == 6 && (model == 5 || model == 7 || model == 8);
    return result;
}

std::optional<std::string> NameInDefinitions(const std::string& definitions, const std::string& sectionKey) {
    std::istringstream lines(definitions);
    std::string line;
    const auto next = [&] {
        if (!std::getline(lines, line)) {
            line.clear();
            return false;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    };
    while (next()) {
        if (line == sectionKey) {
            next();
            next();
            return line;
        }
    }
    return std::nullopt;
}

} // namespace e2e
