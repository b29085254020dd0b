// Intel cache descriptors and AMD cache fields.
#include "sysinfo/CacheDescriptors.h"

namespace sysinfo {

bool ApplyIntelDescriptor(std::uint8_t descriptor, CacheSizes& sizes) {
    switch (descriptor) {
    case 0x06:
        sizes.l1CodeKb = 8;
        return true;
    case 0x08:
        sizes.l1CodeKb = 16;
        return true;
    case 0x0A:
    case 0x66:
        sizes.l1DataKb = 8;
        return true;
    case 0x0C:
    case 0x67:
        sizes.l1DataKb = 16;
        return true;
    case 0x68:
        sizes.l1DataKb = 32;
        return true;
    case 0x40:
        sizes.l2Kb = 0;
        return true;
    case 0x41:
    case 0x79:
        sizes.l2Kb = 128;
        return true;
    case 0x42:
    case 0x7A:
    case 0x82:
        sizes.l2Kb = 256;
        return true;
    case 0x43:
    case 0x7B:
    case 0x83:
        sizes.l2Kb = 512;
        return true;
    case 0x44:
    case 0x7C:
    case 0x84:
        sizes.l2Kb = 1024;
        return true;
    default:
        return false;
    }
}

void ApplyIntelLeaf2(std::uint32_t eax, std::uint32_t edx, CacheSizes& sizes) {
    const std::uint32_t registers[] = {eax, edx};
    int position = 0;
    for (const std::uint32_t value : registers) {
        for (int shift = 0; shift < 32; shift += 8, ++position) {
            const auto descriptor = static_cast<std::uint8_t>(value >> shift);
            if (!ApplyIntelDescriptor(descriptor, sizes) && position == 2) {
                sizes = CacheSizes{};
            }
        }
    }
}

int AmdL1DataKb(std::uint32_t leaf80000005Ecx) {
    return static_cast<int>(leaf80000005Ecx >> 24);
}

int AmdL1CodeKb(std::uint32_t leaf80000005Edx) {
    return static_cast<int>(leaf80000005Edx >> 24);
}

int AmdL2Kb(std::uint32_t leaf80000006Ecx) {
    return static_cast<int>(leaf80000006Ecx >> 16);
}

} // namespace sysinfo
