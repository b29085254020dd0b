// The operating system's name and the display adapter's description, and the
// machine's physical memory size. Windows only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sysinfo/CpuInfo.h"
#include "sysinfo/MachineFacts.h"

namespace sysinfo {

class SystemInfo {
public:
    // Gathers both facts: the name from GetVersionExA, the description from
    // Direct3D 8. A fact that cannot be gathered stays empty.
    SystemInfo();
    virtual ~SystemInfo();

    std::string osName;
    std::string adapterDescription;
};

// The machine-facts panel's texts for this machine: measures `cpu`'s clock,
// then takes the processor's name and clock from the CpuDescription, its caches
// from `cpu`, the memory size, the system's name and the adapter's description.
MachineTexts GatherMachineTexts(CpuInfo& cpu);

// The Description text of the default adapter as Direct3D 8 identifies it; empty
// when d3d8.dll is missing from the system folder or does not answer.
std::string DefaultAdapterDescription();

// The rest of that identifier: driver, its version and the PCI ids; none when
// Direct3D 8 does not answer.
std::optional<AdapterIdentity> DefaultAdapterIdentity();

// The total physical memory in bytes: GlobalMemoryStatusEx where the system has
// it, otherwise GlobalMemoryStatus (which saturates at 4 GB).
std::uint64_t TotalPhysicalMemoryBytes();

} // namespace sysinfo
