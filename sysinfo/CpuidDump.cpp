// Reading CPUID dumps.
#include "sysinfo/CpuidDump.h"

#include <cctype>
#include <cstddef>
#include <string>

namespace sysinfo {

namespace {

// Reads exactly eight hexadecimal digits at `offset`.
bool ReadHex32(const std::string& line, std::size_t offset, std::uint32_t& value) {
    if (offset + 8 > line.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = offset; i < offset + 8; ++i) {
        const char c = line[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else {
            return false;
        }
        value = (value << 4) | digit;
    }
    return true;
}

bool CharAt(const std::string& line, std::size_t offset, char expected) {
    return offset < line.size() && line[offset] == expected;
}

} // namespace

std::optional<CpuidDumpLine> ParseCpuidDumpLine(const std::string& line) {
    // "CPUID " leaf ": " eax "-" ebx "-" ecx "-" edx
    static const std::string kPrefix = "CPUID ";
    if (line.compare(0, kPrefix.size(), kPrefix) != 0) {
        return std::nullopt;
    }
    CpuidDumpLine parsed;
    std::size_t at = kPrefix.size();
    if (!ReadHex32(line, at, parsed.leaf)) {
        return std::nullopt;
    }
    at += 8;
    if (!CharAt(line, at, ':') || !CharAt(line, at + 1, ' ')) {
        return std::nullopt;
    }
    at += 2;
    std::uint32_t* const registers[] = {&parsed.registers.eax, &parsed.registers.ebx, &parsed.registers.ecx,
                                        &parsed.registers.edx};
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0) {
            if (!CharAt(line, at, '-')) {
                return std::nullopt;
            }
            ++at;
        }
        if (!ReadHex32(line, at, *registers[i])) {
            return std::nullopt;
        }
        at += 8;
    }
    // A ninth hexadecimal digit would mean the register was not eight digits long.
    if (at < line.size() && std::isxdigit(static_cast<unsigned char>(line[at])) != 0) {
        return std::nullopt;
    }
    return parsed;
}

RecordedCpuid ReadCpuidDump(framework::LineSource& lines) {
    RecordedCpuid dump;
    std::string line;
    while (lines.ReadLine(line)) {
        if (const auto parsed = ParseCpuidDumpLine(line)) {
            dump.Record(parsed->leaf, parsed->registers);
        }
    }
    return dump;
}

} // namespace sysinfo
