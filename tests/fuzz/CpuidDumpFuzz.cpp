// Fuzz target: CPUID dump text. A line written from registers reads back as them; a
// line read writes back as itself (no ninth digit after); a leaf's first line wins.
#include <cctype>
#include <strings.h>

#include "FuzzSupport.h"
#include "sysinfo/CpuidDump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* const endings[] = {"", " [SL 00]", "   ", "\t# note", "-", ":x", "\r"};
    fuzz::Input input{data, size};
    // The dump's chunk size and read pattern, the written line's ending.
    const auto [chunk, pattern, ending] = std::array{input.Take(), input.Take(), input.Take() % 7};
    const sysinfo::CpuidDumpLine written{input.Take(4),
                                         {input.Take(4), input.Take(4), input.Take(4), input.Take(4)}};
    const std::string dump = input.Rest(); // the dump

    const auto write = [](const sysinfo::CpuidDumpLine& dumped) {
        const auto& [eax, ebx, ecx, edx] = dumped.registers;
        char line[64];
        std::snprintf(line, sizeof line, "CPUID %08X: %08X-%08X-%08X-%08X", dumped.leaf, eax, ebx, ecx, edx);
        return std::string(line);
    };
    const std::string line = write(written);
    const auto back = sysinfo::ParseCpuidDumpLine(line + endings[ending]);
    FUZZ_CHECK(back && back->leaf == written.leaf && back->registers == written.registers);
    FUZZ_CHECK(!sysinfo::ParseCpuidDumpLine(line + "a") && !sysinfo::ParseCpuidDumpLine(line.substr(0, 50)));

    auto source = fuzz::Chunked(dump, chunk, pattern);
    sysinfo::RecordedCpuid recorded = sysinfo::ReadCpuidDump(source);
    sysinfo::RecordedCpuid firsts; // the first registers of each leaf the lines give
    for (const std::string& text : fuzz::CheckedLines(fuzz::Chunked(dump, chunk, pattern), dump)) {
        if (const auto read = sysinfo::ParseCpuidDumpLine(text)) {
            FUZZ_CHECK(text.compare(0, 6, "CPUID ") == 0 &&
                       strncasecmp(text.c_str(), write(*read).c_str(), 51) == 0 &&
                       (text.size() == 51 || std::isxdigit(static_cast<unsigned char>(text[51])) == 0));
            firsts.Record(read->leaf, read->registers);
            FUZZ_CHECK(recorded.Query(read->leaf) == firsts.Query(read->leaf));
        }
    }
    FUZZ_CHECK(recorded.LeafCount() == firsts.LeafCount());
    return 0;
}
