// Fuzz target: processor identification over any CPUID registers. The vendor is
// one of the six texts, family, model and stepping are the leaf 1 nibbles, the
// cache sizes are what the Intel descriptor table or the AMD fields give (and
// only their own leaves are asked), and the name from cpudef.dat is found, or
// reported missing or unreadable, with the file closed on every path.
//
// Input: vendor choice, vendor byte change, recorded leaves (a bit each),
// definitions mode, failing line, chunk size, read pattern; the registers of
// leaves 0, 1, 2, 0x80000000, 0x80000005 and 0x80000006 (EAX, EBX, ECX, EDX,
// 4 bytes each); three starting cache sizes (4 bytes each); then cpudef.dat.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "CpuReference.h"
#include "FuzzSupport.h"
#include "sysinfo/CacheDescriptors.h"
#include "sysinfo/CpuidSource.h"

namespace {

constexpr std::uint32_t kLeaves[] = {0, 1, 2, 0x80000000u, 0x80000005u, 0x80000006u};

// Leaf 0's EBX, EDX and ECX spelling `identification` (12 bytes).
void SpellVendor(sysinfo::CpuidRegisters& leaf0, const char* identification) {
    // The words as the processor holds them, little-endian whatever the host.
    const auto little = [&](int word) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(identification) + 4 * word;
        return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
               static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    };
    leaf0.ebx = little(0);
    leaf0.edx = little(1);
    leaf0.ecx = little(2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::uint8_t vendorChoice = input.Byte() % 8;
    const std::uint8_t vendorChange = input.Byte();
    const std::uint8_t recordedLeaves = input.Byte();
    const auto mode = static_cast<fuzz::DefinitionsMode>(input.Byte() % 4);
    const std::size_t failAtLine = input.Byte();
    const std::size_t chunkBytes = fuzz::ChunkBytesFrom(input.Byte());
    const std::uint8_t readPattern = input.Byte();

    sysinfo::CpuidRegisters registers[std::size(kLeaves)];
    for (sysinfo::CpuidRegisters& leaf : registers) {
        leaf.eax = input.Word32();
        leaf.ebx = input.Word32();
        leaf.ecx = input.Word32();
        leaf.edx = input.Word32();
    }
    if (vendorChoice < 6) {
        char identification[13];
        std::memcpy(identification, fuzz::kVendorTexts[vendorChange % 5], sizeof identification);
        if (vendorChoice == 5) {
            // One byte off a known vendor.
            identification[vendorChange % 12] ^= static_cast<char>((vendorChange >> 4) | 1);
        } else {
            std::memcpy(identification, fuzz::kVendorTexts[vendorChoice], sizeof identification);
        }
        SpellVendor(registers[0], identification);
    }

    fuzz::ReferenceCaches start;
    start.l1DataKb = static_cast<std::int32_t>(input.Word32());
    start.l1CodeKb = static_cast<std::int32_t>(input.Word32());
    start.l2Kb = static_cast<std::int32_t>(input.Word32());

    // Leaf 2 on its own, from any starting sizes.
    sysinfo::CacheSizes sizes{start.l1DataKb, start.l1CodeKb, start.l2Kb};
    sysinfo::ApplyIntelLeaf2(registers[2].eax, registers[2].edx, sizes);
    const fuzz::ReferenceCaches expected =
        fuzz::ReferenceIntelCaches(registers[2].eax, registers[2].edx, start);
    FUZZ_CHECK(sizes.l1DataKb == expected.l1DataKb && sizes.l1CodeKb == expected.l1CodeKb &&
                   sizes.l2Kb == expected.l2Kb,
               "leaf 2 EAX " + std::to_string(registers[2].eax) + " EDX " + std::to_string(registers[2].edx));

    // The whole identification.
    fuzz::LoggingCpuid cpuid;
    for (std::size_t i = 0; i < std::size(kLeaves); ++i) {
        if ((recordedLeaves >> i & 1) != 0) {
            FUZZ_CHECK(cpuid.Record(kLeaves[i], registers[i]), "leaf recorded twice");
            FUZZ_CHECK(!cpuid.Record(kLeaves[i], sysinfo::CpuidRegisters{}),
                       "the first record of a leaf wins");
        }
    }
    fuzz::DefinitionsStandIn definitions(input.Rest(), mode, failAtLine, chunkBytes, readPattern);
    fuzz::CheckIdentification(cpuid, definitions);
    return 0;
}
