// Fuzz target: identification from any CPUID registers: only the vendor's own cache
// leaves asked, cpudef.dat closed on every path, an unknown vendor reported after.
#include <map>
#include <memory>

#include "FuzzSupport.h"
#include "framework/FileError.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"

namespace {

struct CountingCpuid : sysinfo::RecordedCpuid { // counts the leaves asked for
    sysinfo::CpuidRegisters Query(std::uint32_t leaf) override {
        ++asked[leaf];
        return RecordedCpuid::Query(leaf);
    }
    std::map<std::uint32_t, int> asked;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input{data, size};
    // Reading cpudef.dat fails (mode 3 of 0 to 3) at read failRead; its chunk size and read pattern.
    const std::uint32_t mode = input.Take() % 4, failRead = input.Take(), chunk = input.Take(),
                        pattern = input.Take();
    CountingCpuid cpuid; // EAX, EBX, ECX and EDX of each leaf
    for (const std::uint32_t leaf : {0u, 1u, 2u, 0x80000000u, 0x80000005u, 0x80000006u}) {
        cpuid.Record(leaf, {input.Take(4), input.Take(4), input.Take(4), input.Take(4)});
    }
    const std::string text = input.Rest(); // cpudef.dat
    int closed = 0, reports = 0;
    sysinfo::CpuDescription description;
    sysinfo::StoppedClock clock;
    const sysinfo::CpuInfo cpu(
        cpuid,
        [&]() -> std::unique_ptr<framework::LineSource> {
            // The file's reads; the last copy of `closing` goes with the file and counts its closing.
            std::shared_ptr<int> closing(&closed, [](int* count) { ++*count; });
            return std::make_unique<framework::ChunkLineReader>(
                [read = fuzz::Pieces(text, pattern), closing, reads = 0u,
                 failAt = mode == 3 ? failRead : ~0u](char* to, std::size_t n) mutable {
                    return ++reads > failAt ? throw framework::FileError("cpudef.dat", "") : read(to, n);
                },
                chunk);
        },
        [&](const char* e) { reports += e == std::string(sysinfo::kVendorErrorText) && closed ? 1 : 9; },
        clock, description);

    const bool amd = cpu.vendor == "AuthenticAMD";
    const bool hasLevel2Leaf = cpuid.RecordedCpuid::Query(0x80000000u).eax >= 0x80000006u;
    FUZZ_CHECK(cpuid.asked[0] == 1 && cpuid.asked[1] == 1 &&
               cpuid.asked[2] == (cpu.vendor == "GenuineIntel") && cpuid.asked[0x80000000u] == amd &&
               cpuid.asked[0x80000005u] == amd && cpuid.asked[0x80000006u] <= (amd && hasLevel2Leaf) &&
               (cpu.l2Kb == -1) == (amd && !hasLevel2Leaf));

    const std::string& name = description.processorName;
    framework::TextLineSource file(text);
    const auto keys = sysinfo::DefinitionKeysFor(cpu.vendor, cpu.family, cpu.model, cpu.l2Kb);
    FUZZ_CHECK(description.descriptionLoaded && closed == 1 &&
               reports == int(sysinfo::VendorNumber(cpu.vendor) == 0));
    FUZZ_CHECK(name == (keys ? sysinfo::LookUpProcessorName(file, *keys) : "") ||
               (mode == 3 && name == sysinfo::kDefinitionsUnreadableName));
    return 0;
}
