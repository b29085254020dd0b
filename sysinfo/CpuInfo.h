// The processor this program runs on: vendor, family, model, stepping and cache
// sizes from CPUID, its name from cpudef.dat and its measured clock. The
// identification is platform-free; CPUID, the definitions file, the report of an
// unknown vendor and the clock come through seams that the Windows build fills
// with the machine's own (CpuInfo()), and that tests and tools replace.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/LineSource.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuidSource.h"

namespace sysinfo {

// Thrown by LoadDescription, as a plain character-string pointer, when the
// vendor has no number in cpudef.dat.
constexpr char kVendorErrorText[] = "Error: cannot resolve vendor string";
// The caption of the box that reports it.
constexpr char kVendorErrorCaption[] = "Critical error";

// The processor record shown by the main window, with the flags that make its
// lookup and its measurement happen once.
struct CpuDescription {
    std::string processorName; // from cpudef.dat
    float clockMhz = 0.0f;     // from MeasureClock
    // Set once cpudef.dat has been consulted, whatever came of it.
    bool descriptionLoaded = false;
    // Set once the clock has been measured.
    bool clockMeasured = false;
};

// The process's record: the one every CpuInfo fills unless it is given another.
CpuDescription& TheCpuDescription();

class CpuInfo {
public:
    // Opens cpudef.dat as lines; throws framework::FileError when it cannot.
    using DefinitionsOpener = std::function<std::unique_ptr<framework::LineSource>()>;
    // Shows the vendor error's text.
    using VendorErrorReporter = std::function<void(const char* text)>;

#if defined(_WIN32)
    // The machine's CPUID and clock, cpudef.dat in the current directory, and a
    // "Critical error" message box for an unknown vendor.
    CpuInfo();
#endif
    // Identifies the processor: vendor, signature, caches, and once per record
    // (for the program: once per process) the cpudef.dat lookup into `description`;
    // an unknown vendor is reported and construction goes on. The sources and the
    // record must outlive the object.
    CpuInfo(CpuidSource& cpuid, DefinitionsOpener openDefinitions, VendorErrorReporter reportVendorError,
            ClockSource& clock, CpuDescription& description = TheCpuDescription());
    virtual ~CpuInfo();

    // Sets `vendor` from CPUID leaf 0.
    void DetectVendor();
    // Sets family, model and stepping from CPUID leaf 1 (EAX bits 8-11, 4-7, 0-3).
    void ReadSignature();
    // Sets the cache sizes, for AMD and Intel processors only.
    void DetectCaches();
    // Looks the processor's name up in cpudef.dat into the record. Throws
    // kVendorErrorText for an unknown vendor, after the file was opened and closed.
    // A file that cannot be opened or read gives kDefinitionsUnreadableName.
    void LoadDescription();
    // Once per record: measures the clock into it across a 150 ms pause. Later
    // calls return at once.
    void MeasureClock();

    int family = 0;
    int model = 0;
    int stepping = 0;
    int l1DataKb = 0;
    int l1CodeKb = 0;
    int l2Kb = 0; // -1: the processor does not report it
    std::string vendor;

private:
    CpuidSource& cpuid_;
    DefinitionsOpener openDefinitions_;
    VendorErrorReporter reportVendorError_;
    ClockSource& clock_;
    CpuDescription& description_;
};

} // namespace sysinfo
