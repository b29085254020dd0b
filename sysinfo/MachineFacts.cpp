// Panel texts.
#include "sysinfo/MachineFacts.h"

#include "framework/Format.h"

namespace sysinfo {

std::string DriverVersionText(std::uint32_t high, std::uint32_t low) {
    return framework::Format("%u.%u.%u.%u", static_cast<unsigned>(high >> 16),
                             static_cast<unsigned>(high & 0xFFFFu), static_cast<unsigned>(low >> 16),
                             static_cast<unsigned>(low & 0xFFFFu));
}

std::string FrequencyText(float clockMhz) {
    return framework::Format("%1.2f MHz", static_cast<double>(clockMhz));
}

std::string CacheText(const CpuInfo& cpu) {
    return framework::Format("%dk L1, %dk L2", cpu.l1DataKb + cpu.l1CodeKb, cpu.l2Kb);
}

std::string RamText(std::uint64_t totalPhysicalBytes) {
    return framework::Format("%d MByte", static_cast<int>((totalPhysicalBytes >> 20) + 1));
}

} // namespace sysinfo
