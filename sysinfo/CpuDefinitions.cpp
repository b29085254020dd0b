// Keys and lookup in cpudef.dat.
#include "sysinfo/CpuDefinitions.h"

#include "framework/FileError.h"
#include "framework/Format.h"

namespace sysinfo {

namespace {

constexpr int kDescriptionLines = 7;
constexpr int kNameLine = 2;

// The next line; a line too long for any definition makes the file unreadable.
bool ReadDefinitionLine(framework::LineSource& lines, std::string& line) {
    const bool read = lines.ReadLine(line);
    if (lines.LineWasCut()) {
        throw framework::FileError(kDefinitionsFileName, framework::Format("a line is longer than %zu bytes",
                                                                           framework::kMaxLineBytes));
    }
    return read;
}

// Reads on until a line equals `key`; false when the lines end first.
bool SkipPast(framework::LineSource& lines, const std::string& key) {
    std::string line;
    while (ReadDefinitionLine(lines, line)) {
        if (line == key) {
            return true;
        }
    }
    return false;
}

} // namespace

int VendorNumber(const std::string& vendor) {
    if (vendor == "AuthenticAMD") {
        return 1;
    }
    if (vendor == "GenuineIntel") {
        return 2;
    }
    if (vendor == "CyrixInstead") {
        return 3;
    }
    if (vendor == "CentaurHauls") {
        return 4;
    }
    if (vendor == "RiseRiseRise") {
        return 5;
    }
    return 0;
}

std::optional<DefinitionKeys> DefinitionKeysFor(const std::string& vendor, int family, int model, int l2Kb) {
    const int vendorNumber = VendorNumber(vendor);
    if (vendorNumber == 0) {
        return std::nullopt;
    }
    DefinitionKeys keys;
    keys.sectionKey = framework::Format("[%d,0x%X%X]", vendorNumber, static_cast<unsigned>(family),
                                        static_cast<unsigned>(model));
    if (vendorNumber == 2) {
        keys.cacheKey = framework::Format("[%d]", l2Kb);
        keys.seeksVariant =
            keys.sectionKey == "[2,0x65]" || keys.sectionKey == "[2,0x67]" || keys.sectionKey == "[2,0x68]";
    }
    return keys;
}

std::string LookUpProcessorName(framework::LineSource& lines, const DefinitionKeys& keys) {
    if (!SkipPast(lines, keys.sectionKey)) {
        return kUnknownProcessorName;
    }
    if (keys.seeksVariant && !SkipPast(lines, keys.cacheKey)) {
        return kUnknownProcessorName;
    }
    // All seven lines are read; past the end of the file a line reads as empty.
    std::string name;
    std::string line;
    for (int number = 1; number <= kDescriptionLines; ++number) {
        ReadDefinitionLine(lines, line);
        if (number == kNameLine) {
            name = line;
        }
    }
    return name;
}

} // namespace sysinfo
