// Fuzz target: CPUID dump text. Every line must be read as a dump line exactly
// when it has the form "CPUID llllllll: aaaaaaaa-bbbbbbbb-cccccccc-dddddddd" (eight
// hexadecimal digits of either case each, no ninth digit after the last); the
// first line of a leaf wins; a leaf that is not in the dump reads as zeros; a
// line written from registers reads back as those registers; and the processor
// identified from the dump keeps every property of the CPUID register target.
//
// Input: chunk size, read pattern, letter case of a written line (bit per
// register), ending of the written line, the written line's leaf and registers
// (20 bytes); then the dump.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "CpuReference.h"
#include "FuzzSupport.h"
#include "sysinfo/CpuidDump.h"

namespace {

// A few sections of cpudef.dat for the processors a dump may name.
constexpr char kDefinitions[] =
    "[2,0x68]\r\n[128]\r\nIntel Celeron\r\nCeleron (Coppermine-128)\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"
    "[256]\r\nIntel Pentium III\r\nPentium III / PIII Xeon\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"
    "[2,0x67]\r\n[512]\r\nIntel Pentium III\r\nPentium III (Katmai)\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"
    "[1,0x68]\r\nAMD Athlon XP\r\nAthlon XP / Duron\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"
    "[2,0xF2]\r\nIntel Pentium 4\r\nPentium 4\r\n3\r\n4\r\n5\r\n6\r\n7\r\n";

// Endings after the fourth register that leave the line a dump line.
const char* const kEndings[] = {"", " [SL 00]", "   ", "\t# note", "-", ":x", "\r"};

std::optional<sysinfo::CpuidDumpLine> ReferenceDumpLine(const std::string& line) {
    static const std::regex form("CPUID ([0-9A-Fa-f]{8}): ([0-9A-Fa-f]{8})-([0-9A-Fa-f]{8})-([0-9A-Fa-f]{8})-"
                                 "([0-9A-Fa-f]{8})(?![0-9A-Fa-f])");
    std::smatch match;
    if (!std::regex_search(line, match, form, std::regex_constants::match_continuous)) {
        return std::nullopt;
    }
    const auto hex = [&](std::size_t group) {
        return static_cast<std::uint32_t>(std::strtoul(match[group].str().c_str(), nullptr, 16));
    };
    sysinfo::CpuidDumpLine parsed;
    parsed.leaf = hex(1);
    parsed.registers = {hex(2), hex(3), hex(4), hex(5)};
    return parsed;
}

std::string Hex8(std::uint32_t value, bool upper) {
    char text[9];
    if (upper) {
        std::snprintf(text, sizeof text, "%08X", value);
    } else {
        std::snprintf(text, sizeof text, "%08x", value);
    }
    return text;
}

bool SameLine(const std::optional<sysinfo::CpuidDumpLine>& a,
              const std::optional<sysinfo::CpuidDumpLine>& b) {
    if (a.has_value() != b.has_value()) {
        return false;
    }
    return !a || (a->leaf == b->leaf && a->registers == b->registers);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::size_t chunkBytes = fuzz::ChunkBytesFrom(input.Byte());
    const std::uint8_t readPattern = input.Byte();
    const std::uint8_t letterCase = input.Byte();
    const char* const ending = kEndings[input.Byte() % std::size(kEndings)];
    sysinfo::CpuidDumpLine written;
    written.leaf = input.Word32();
    written.registers = {input.Word32(), input.Word32(), input.Word32(), input.Word32()};
    const std::string dump = input.Rest();

    // A line written from registers reads back as them; one digit more or less does not.
    const std::string writtenLine = "CPUID " + Hex8(written.leaf, (letterCase & 1) != 0) + ": " +
                                    Hex8(written.registers.eax, (letterCase & 2) != 0) + "-" +
                                    Hex8(written.registers.ebx, (letterCase & 4) != 0) + "-" +
                                    Hex8(written.registers.ecx, (letterCase & 8) != 0) + "-" +
                                    Hex8(written.registers.edx, (letterCase & 16) != 0);
    FUZZ_CHECK(SameLine(sysinfo::ParseCpuidDumpLine(writtenLine + ending), written),
               fuzz::Quoted(writtenLine + ending));
    FUZZ_CHECK(!sysinfo::ParseCpuidDumpLine(writtenLine + "0").has_value(), fuzz::Quoted(writtenLine + "0"));
    FUZZ_CHECK(!sysinfo::ParseCpuidDumpLine(writtenLine.substr(0, writtenLine.size() - 1)).has_value(),
               fuzz::Quoted(writtenLine));

    // Each line of the dump, and the leaves they give, the first of a leaf winning.
    const std::vector<std::string> lines = fuzz::ReferenceLines(dump);
    std::map<std::uint32_t, sysinfo::CpuidRegisters> leaves;
    for (const std::string& line : lines) {
        const std::optional<sysinfo::CpuidDumpLine> expected = ReferenceDumpLine(line);
        FUZZ_CHECK(SameLine(sysinfo::ParseCpuidDumpLine(line), expected),
                   fuzz::Quoted(line) + (expected ? " is a dump line" : " is no dump line"));
        if (expected) {
            leaves.emplace(expected->leaf, expected->registers);
        }
    }
    fuzz::ChunkedText source(dump, chunkBytes, readPattern);
    sysinfo::RecordedCpuid recorded = sysinfo::ReadCpuidDump(source);
    FUZZ_CHECK(recorded.LeafCount() == leaves.size(),
               "dump\n" + fuzz::Joined(lines) + "gives " + std::to_string(recorded.LeafCount()) +
                   " leaves, expected " + std::to_string(leaves.size()));
    for (const auto& [leaf, registers] : leaves) {
        FUZZ_CHECK(recorded.Has(leaf) && recorded.Query(leaf) == registers, "leaf " + std::to_string(leaf));
    }
    if (leaves.count(written.leaf) == 0) {
        FUZZ_CHECK(!recorded.Has(written.leaf) && recorded.Query(written.leaf) == sysinfo::CpuidRegisters{},
                   "a leaf missing from the dump reads as zeros");
    }

    // The processor the dump describes.
    fuzz::LoggingCpuid cpuid;
    for (const auto& [leaf, registers] : leaves) {
        cpuid.Record(leaf, registers);
    }
    fuzz::DefinitionsStandIn definitions(kDefinitions, fuzz::DefinitionsMode::Readable, 0, chunkBytes,
                                         readPattern);
    fuzz::CheckIdentification(cpuid, definitions);
    return 0;
}
