// CpuInfo on the machine itself: the processor's CPUID, cpudef.dat in the
// current directory, and the "Critical error" box for an unknown vendor.
#include "sysinfo/CpuInfo.h"

#include <windows.h>

#include "framework/TextFile.h"
#include "sysinfo/CpuDefinitions.h"

namespace sysinfo {

CpuInfo::CpuInfo()
    : CpuInfo(
          MachineCpuid(),
          []() -> std::unique_ptr<framework::LineSource> {
              return std::make_unique<framework::TextFileReader>(kDefinitionsFileName);
          },
          [](const char* text) { ::MessageBoxA(nullptr, text, kVendorErrorCaption, MB_ICONHAND); },
          MachineClock()) {}

} // namespace sysinfo
