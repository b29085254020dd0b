// Processor identification, cache detection, the cpudef.dat lookup and the clock
// measurement, over replaceable sources.
#include "sysinfo/CpuInfo.h"

#include <utility>

#include "framework/FileError.h"
#include "sysinfo/CacheDescriptors.h"
#include "sysinfo/CpuDefinitions.h"

namespace sysinfo {

namespace {

constexpr std::uint32_t kLeafVendor = 0;
constexpr std::uint32_t kLeafSignature = 1;
constexpr std::uint32_t kLeafIntelCaches = 2;
constexpr std::uint32_t kLeafHighestExtended = 0x80000000u;
constexpr std::uint32_t kLeafAmdL1Caches = 0x80000005u;
constexpr std::uint32_t kLeafAmdL2Cache = 0x80000006u;

// The vendors Korvane knows, in the order they are compared.
constexpr const char* kKnownVendors[] = {"AuthenticAMD", "GenuineIntel", "CyrixInstead", "RiseRiseRise",
                                         "CentaurHauls"};
constexpr char kUnknownVendor[] = "Unknown";

void AppendLittleEndian(std::string& text, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        text.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

} // namespace

CpuDescription& TheCpuDescription() {
    static CpuDescription description;
    return description;
}

CpuInfo::CpuInfo(CpuidSource& cpuid, DefinitionsOpener openDefinitions, VendorErrorReporter reportVendorError,
                 ClockSource& clock, CpuDescription& description)
    : cpuid_(cpuid), openDefinitions_(std::move(openDefinitions)),
      reportVendorError_(std::move(reportVendorError)), clock_(clock), description_(description) {
    DetectVendor();
    ReadSignature();
    DetectCaches();
    if (!description_.descriptionLoaded) {
        try {
            LoadDescription();
        } catch (const char* error) {
            reportVendorError_(error);
        }
        description_.descriptionLoaded = true;
    }
}

CpuInfo::~CpuInfo() = default;

void CpuInfo::DetectVendor() {
    const CpuidRegisters registers = cpuid_.Query(kLeafVendor);
    std::string identification;
    AppendLittleEndian(identification, registers.ebx);
    AppendLittleEndian(identification, registers.edx);
    AppendLittleEndian(identification, registers.ecx);
    for (const char* known : kKnownVendors) {
        if (identification == known) {
            vendor = known;
            return;
        }
    }
    vendor = kUnknownVendor;
}

void CpuInfo::ReadSignature() {
    const std::uint32_t eax = cpuid_.Query(kLeafSignature).eax;
    stepping = static_cast<int>(eax & 0xFu);
    model = static_cast<int>((eax >> 4) & 0xFu);
    family = static_cast<int>((eax >> 8) & 0xFu);
}

void CpuInfo::DetectCaches() {
    if (vendor == "AuthenticAMD") {
        const std::uint32_t highestExtended = cpuid_.Query(kLeafHighestExtended).eax;
        const CpuidRegisters level1 = cpuid_.Query(kLeafAmdL1Caches);
        l1DataKb = AmdL1DataKb(level1.ecx);
        l1CodeKb = AmdL1CodeKb(level1.edx);
        if (highestExtended < kLeafAmdL2Cache) {
            l2Kb = -1;
        } else if (family == 6 && model == 3 && stepping == 0) {
            // The first Duron stepping reports its 64 KB level-2 cache wrongly.
            l2Kb = 64;
        } else {
            l2Kb = AmdL2Kb(cpuid_.Query(kLeafAmdL2Cache).ecx);
        }
    } else if (vendor == "GenuineIntel") {
        const CpuidRegisters descriptors = cpuid_.Query(kLeafIntelCaches);
        CacheSizes sizes{l1DataKb, l1CodeKb, l2Kb};
        ApplyIntelLeaf2(descriptors.eax, descriptors.edx, sizes);
        l1DataKb = sizes.l1DataKb;
        l1CodeKb = sizes.l1CodeKb;
        l2Kb = sizes.l2Kb;
    }
}

void CpuInfo::LoadDescription() {
    std::string name;
    try {
        const std::unique_ptr<framework::LineSource> file = openDefinitions_();
        if (!file) {
            throw framework::FileError(kDefinitionsFileName, "not opened");
        }
        const std::optional<DefinitionKeys> keys = DefinitionKeysFor(vendor, family, model, l2Kb);
        if (!keys) {
            // The file is closed as the error leaves this block.
            throw kVendorErrorText;
        }
        name = LookUpProcessorName(*file, *keys);
    } catch (const framework::FileError&) {
        name = kDefinitionsUnreadableName;
    }
    description_.processorName = name;
}

void CpuInfo::MeasureClock() {
    if (description_.clockMeasured) {
        return;
    }
    ClockReadings readings;
    readings.frequency = static_cast<std::uint32_t>(clock_.PerformanceFrequency());
    readings.counterBefore = static_cast<std::uint32_t>(clock_.PerformanceCounter());
    readings.cyclesBefore = static_cast<std::uint32_t>(clock_.TimeStampCounter());
    clock_.Pause(kClockPauseMilliseconds);
    readings.counterAfter = static_cast<std::uint32_t>(clock_.PerformanceCounter());
    readings.cyclesAfter = static_cast<std::uint32_t>(clock_.TimeStampCounter());
    description_.clockMeasured = true;
    description_.clockMhz = ClockMhzFrom(readings);
}

} // namespace sysinfo
