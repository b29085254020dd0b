// The texts of the main window's machine-facts panel. Platform-free.
#pragma once

#include <cstdint>
#include <string>

#include "sysinfo/CpuInfo.h"

namespace sysinfo {

// The panel's six texts, in its order.
struct MachineTexts {
    std::string processor;
    std::string frequency;
    std::string cache;
    std::string ramSize;
    std::string osName;
    std::string videoCard;
};

// What Direct3D 8 identifies the display adapter by, beyond the description the
// panel shows: what tells two drivers of one card apart.
struct AdapterIdentity {
    std::string driver;        // the driver's file name: "ati2dvag.dll"
    std::string driverVersion; // its version in four parts: "6.14.10.6292"
    std::uint32_t vendorId = 0;
    std::uint32_t deviceId = 0;
    std::uint32_t subsystemId = 0;
    std::uint32_t revision = 0;
};

// "6.14.10.6292" from the identifier's DriverVersion: product and version in the
// high 32 bits, subversion and build in the low, 16 bits each.
std::string DriverVersionText(std::uint32_t high, std::uint32_t low);

// "%1.2f MHz": 1466.53125 gives "1466.53 MHz".
std::string FrequencyText(float clockMhz);

// "%dk L1, %dk L2": the two level-1 sizes added, then the level-2 size (-1 stays -1).
std::string CacheText(const CpuInfo& cpu);

// "%d MByte" of the size shifted right by 20 bits, plus 1: 256 MiB gives "257 MByte".
std::string RamText(std::uint64_t totalPhysicalBytes);

} // namespace sysinfo
