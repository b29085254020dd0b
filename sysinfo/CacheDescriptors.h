// The level-1 and level-2 cache sizes as the processor makers publish them in
// CPUID: Intel's leaf 2 descriptor bytes and AMD's extended leaves. Platform-free.
#pragma once

#include <cstdint>

namespace sysinfo {

// Sizes in kilobytes; -1 in l2Kb means that the processor does not report it.
struct CacheSizes {
    int l1DataKb = 0;
    int l1CodeKb = 0;
    int l2Kb = 0;
};

inline bool operator==(const CacheSizes& a, const CacheSizes& b) {
    return a.l1DataKb == b.l1DataKb && a.l1CodeKb == b.l1CodeKb && a.l2Kb == b.l2Kb;
}

// Applies one Intel descriptor byte; false when the byte is not one Korvane knows.
bool ApplyIntelDescriptor(std::uint8_t descriptor, CacheSizes& sizes);

// Applies the eight bytes of leaf 2's EAX and EDX, low byte first, EAX first. An
// unknown byte in the third place (EAX bits 16-23) clears all three sizes before
// the remaining bytes are applied. EBX, ECX, the repeat count and the valid bits
// are not consulted.
void ApplyIntelLeaf2(std::uint32_t eax, std::uint32_t edx, CacheSizes& sizes);

// AMD leaf 0x80000005: the level-1 data size (ECX bits 24-31) and instruction
// size (EDX bits 24-31).
int AmdL1DataKb(std::uint32_t leaf80000005Ecx);
int AmdL1CodeKb(std::uint32_t leaf80000005Edx);
// AMD leaf 0x80000006: the level-2 size (ECX bits 16-31).
int AmdL2Kb(std::uint32_t leaf80000006Ecx);

} // namespace sysinfo
