// What processor identification must come to, written out plainly from the
// published CPUID register layouts, the Intel cache descriptor table and the
// cpudef.dat format, to compare Korvane's own code against; and the checks on a
// CpuInfo built from recorded registers, shared by the CPUID fuzz targets.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "framework/FileError.h"
#include "framework/LineSource.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/CpuidSource.h"

namespace fuzz {

constexpr const char* kVendorTexts[] = {"AuthenticAMD", "GenuineIntel", "CyrixInstead", "CentaurHauls",
                                        "RiseRiseRise"};
constexpr char kUnknownVendorText[] = "Unknown";

// The number that stands for a vendor in cpudef.dat keys; 0 for none.
inline int ReferenceVendorNumber(const std::string& vendor) {
    for (int i = 0; i < 5; ++i) {
        if (vendor == kVendorTexts[i]) {
            return i + 1;
        }
    }
    return 0;
}

struct ReferenceKeys {
    std::string sectionKey;
    std::string cacheKey;
    bool seeksVariant = false;
};

// "[V,0xFM]" with F and M one uppercase hexadecimal digit each (0 to 15), and for
// Intel "[L2]" in signed decimal; only Intel family 6 models 5, 7 and 8 seek it.
inline ReferenceKeys ReferenceKeysFor(int vendorNumber, int family, int model, int l2Kb) {
    static const char kHexDigits[] = "0123456789ABCDEF";
    ReferenceKeys keys;
    keys.sectionKey = std::string("[") + static_cast<char>('0' + vendorNumber) + ",0x" + kHexDigits[family] +
                      kHexDigits[model] + "]";
    if (vendorNumber == 2) {
        keys.cacheKey = "[" + std::to_string(l2Kb) + "]";
        keys.seeksVariant = family == 6 && (model == 5 || model == 7 || model == 8);
    }
    return keys;
}

struct ReferenceName {
    std::string name;
    std::size_t linesRead = 0; // how many lines of the file the lookup looks at
};

// The first line equal to the section key; for the split models the first line
// after it equal to the cache key, wherever it stands; then seven lines, the
// second of them the name ("" past the end). "Unknow" when a key is missing.
inline ReferenceName ReferenceLookUp(const std::vector<std::string>& lines, const ReferenceKeys& keys) {
    std::size_t at = 0;
    const auto seek = [&](const std::string& key) {
        while (at < lines.size()) {
            if (lines[at++] == key) {
                return true;
            }
        }
        return false;
    };
    if (!seek(keys.sectionKey) || (keys.seeksVariant && !seek(keys.cacheKey))) {
        return {"Unknow", lines.size()};
    }
    ReferenceName found;
    found.name = at + 1 < lines.size() ? lines[at + 1] : std::string();
    found.linesRead = std::min(lines.size(), at + 7);
    return found;
}

// --- Cache sizes ------------------------------------------------------------

struct ReferenceCaches {
    int l1DataKb = 0;
    int l1CodeKb = 0;
    int l2Kb = 0;
};

enum class CacheField { Level1Data, Level1Code, Level2 };

struct DescriptorRow {
    std::uint8_t code;
    CacheField field;
    int kb;
};

// Intel leaf 2 descriptor bytes that Korvane decodes.
constexpr DescriptorRow kDescriptorTable[] = {
    {0x06, CacheField::Level1Code, 8},  {0x08, CacheField::Level1Code, 16},
    {0x0A, CacheField::Level1Data, 8},  {0x66, CacheField::Level1Data, 8},
    {0x0C, CacheField::Level1Data, 16}, {0x67, CacheField::Level1Data, 16},
    {0x68, CacheField::Level1Data, 32}, {0x40, CacheField::Level2, 0},
    {0x41, CacheField::Level2, 128},    {0x79, CacheField::Level2, 128},
    {0x42, CacheField::Level2, 256},    {0x7A, CacheField::Level2, 256},
    {0x82, CacheField::Level2, 256},    {0x43, CacheField::Level2, 512},
    {0x7B, CacheField::Level2, 512},    {0x83, CacheField::Level2, 512},
    {0x44, CacheField::Level2, 1024},   {0x7C, CacheField::Level2, 1024},
    {0x84, CacheField::Level2, 1024},
};

// The eight bytes EAX 0-7, 8-15, 16-23, 24-31, EDX 0-7 ... 24-31 through the
// table in that order; an unknown third byte clears all three sizes.
inline ReferenceCaches ReferenceIntelCaches(std::uint32_t eax, std::uint32_t edx, ReferenceCaches sizes) {
    std::uint8_t bytes[8];
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(eax >> (8 * i));
        bytes[4 + i] = static_cast<std::uint8_t>(edx >> (8 * i));
    }
    for (int position = 0; position < 8; ++position) {
        const DescriptorRow* row =
            std::find_if(std::begin(kDescriptorTable), std::end(kDescriptorTable),
                         [&](const DescriptorRow& r) { return r.code == bytes[position]; });
        if (row == std::end(kDescriptorTable)) {
            if (position == 2) {
                sizes = ReferenceCaches{};
            }
            continue;
        }
        switch (row->field) {
        case CacheField::Level1Data:
            sizes.l1DataKb = row->kb;
            break;
        case CacheField::Level1Code:
            sizes.l1CodeKb = row->kb;
            break;
        case CacheField::Level2:
            sizes.l2Kb = row->kb;
            break;
        }
    }
    return sizes;
}

inline bool InTable(CacheField field, int kb) {
    return std::any_of(std::begin(kDescriptorTable), std::end(kDescriptorTable),
                       [&](const DescriptorRow& r) { return r.field == field && r.kb == kb; });
}

// --- Stand-ins for the processor and cpudef.dat -------------------------------

// Recorded registers that also note every leaf asked for.
class LoggingCpuid : public sysinfo::RecordedCpuid {
public:
    sysinfo::CpuidRegisters Query(std::uint32_t leaf) override {
        ++queries[leaf];
        return RecordedCpuid::Query(leaf);
    }
    int TimesQueried(std::uint32_t leaf) const {
        const auto found = queries.find(leaf);
        return found == queries.end() ? 0 : found->second;
    }
    std::map<std::uint32_t, int> queries;
};

enum class DefinitionsMode {
    Readable,  // opens and reads to its end
    NotOpened, // the opener gives no file
    OpenFails, // the opener throws a file error
    ReadFails, // reading line `failAtLine` throws a file error
};

// cpudef.dat as a text read in chunks, counting how often it is opened and closed.
class DefinitionsStandIn {
public:
    DefinitionsStandIn(std::string text, DefinitionsMode mode, std::size_t failAtLine, std::size_t chunkBytes,
                       std::uint8_t readPattern)
        : text_(std::move(text)), lineCount_(ReferenceLines(text_).size()), mode_(mode),
          failAtLine_(failAtLine), chunkBytes_(chunkBytes), readPattern_(readPattern) {}

    sysinfo::CpuInfo::DefinitionsOpener Opener() {
        return [this]() -> std::unique_ptr<framework::LineSource> {
            if (mode_ == DefinitionsMode::OpenFails) {
                throw framework::FileError("cpudef.dat", "The system cannot find the file specified.");
            }
            if (mode_ == DefinitionsMode::NotOpened) {
                return nullptr;
            }
            ++opened;
            return std::make_unique<Lines>(*this);
        };
    }

    bool IsOpen() const { return opened != closed; }
    bool FailsWithin(std::size_t linesRead) const {
        return mode_ == DefinitionsMode::ReadFails && failAtLine_ < lineCount_ && failAtLine_ < linesRead;
    }
    const std::string& Text() const { return text_; }
    DefinitionsMode Mode() const { return mode_; }

    int opened = 0;
    int closed = 0;

private:
    class Lines : public framework::LineSource {
    public:
        explicit Lines(DefinitionsStandIn& file)
            : file_(file), lines_(file.text_, file.chunkBytes_, file.readPattern_) {}
        ~Lines() override { ++file_.closed; }
        bool ReadLine(std::string& line) override {
            if (file_.mode_ == DefinitionsMode::ReadFails && delivered_ == file_.failAtLine_ &&
                delivered_ < file_.lineCount_) {
                throw framework::FileError("cpudef.dat", "The device is not ready.");
            }
            const bool read = lines_.ReadLine(line);
            delivered_ += read ? 1 : 0;
            return read;
        }

    private:
        DefinitionsStandIn& file_;
        ChunkedText lines_;
        std::size_t delivered_ = 0;
    };

    std::string text_;
    std::size_t lineCount_;
    DefinitionsMode mode_;
    std::size_t failAtLine_;
    std::size_t chunkBytes_;
    std::uint8_t readPattern_;
};

// Notes the vendor reports and whether cpudef.dat was open at the time.
struct VendorReports {
    std::vector<std::string> texts;
    int openedWhenReported = -1;
    bool openWhenReported = false;
};

// Puts the process-wide record and flags back to how a program starts.
inline void ResetProcessState() {
    sysinfo::TheCpuDescription() = sysinfo::CpuDescription{};
    sysinfo::descriptionLoaded = false;
    sysinfo::clockMeasured = false;
}

inline std::string VendorIdentification(const sysinfo::CpuidRegisters& leaf0) {
    std::string text;
    for (const std::uint32_t value : {leaf0.ebx, leaf0.edx, leaf0.ecx}) {
        for (int shift = 0; shift < 32; shift += 8) {
            text.push_back(static_cast<char>(value >> shift));
        }
    }
    return text;
}

inline std::string Describe(const sysinfo::CpuInfo& cpu) {
    return "vendor=" + Quoted(cpu.vendor) + " family=" + std::to_string(cpu.family) +
           " model=" + std::to_string(cpu.model) + " stepping=" + std::to_string(cpu.stepping) +
           " l1DataKb=" + std::to_string(cpu.l1DataKb) + " l1CodeKb=" + std::to_string(cpu.l1CodeKb) +
           " l2Kb=" + std::to_string(cpu.l2Kb);
}

// Builds a CpuInfo from `cpuid` and `definitions` as a fresh process would, and
// checks everything it derived against the reference above.
inline void CheckIdentification(LoggingCpuid& cpuid, DefinitionsStandIn& definitions) {
    ResetProcessState();
    VendorReports reports;
    sysinfo::StoppedClock clock;
    const sysinfo::CpuInfo cpu(
        cpuid, definitions.Opener(),
        [&](const char* text) {
            reports.texts.emplace_back(text);
            reports.openedWhenReported = definitions.opened;
            reports.openWhenReported = definitions.IsOpen();
        },
        clock);
    const std::string facts = Describe(cpu);

    // Vendor: one of the six texts, and the identification itself when it is known.
    const sysinfo::CpuidRegisters leaf0 = cpuid.RecordedCpuid::Query(0);
    const std::string identification = VendorIdentification(leaf0);
    const int vendorNumber = ReferenceVendorNumber(identification);
    const std::string expectedVendor = vendorNumber != 0 ? identification : kUnknownVendorText;
    FUZZ_CHECK(cpu.vendor == expectedVendor, facts + " identification " + Quoted(identification));
    FUZZ_CHECK(ReferenceVendorNumber(cpu.vendor) != 0 || cpu.vendor == kUnknownVendorText, facts);

    // Signature: EAX bits 8-11, 4-7 and 0-3 of leaf 1.
    const std::uint32_t signature = cpuid.RecordedCpuid::Query(1).eax;
    FUZZ_CHECK(cpu.family >= 0 && cpu.family <= 15 && cpu.model >= 0 && cpu.model <= 15 &&
                   cpu.stepping >= 0 && cpu.stepping <= 15,
               facts);
    FUZZ_CHECK(cpu.family == static_cast<int>((signature >> 8) & 0xF) &&
                   cpu.model == static_cast<int>((signature >> 4) & 0xF) &&
                   cpu.stepping == static_cast<int>(signature & 0xF),
               facts);
    FUZZ_CHECK(cpuid.TimesQueried(0) == 1 && cpuid.TimesQueried(1) == 1, facts + " leaves 0 and 1 once each");

    // Caches, each vendor through its own leaves only.
    constexpr std::uint32_t kHighestExtended = 0x80000000u;
    constexpr std::uint32_t kAmdLevel1 = 0x80000005u;
    constexpr std::uint32_t kAmdLevel2 = 0x80000006u;
    if (expectedVendor == "AuthenticAMD") {
        const std::uint32_t highest = cpuid.RecordedCpuid::Query(kHighestExtended).eax;
        const sysinfo::CpuidRegisters level1 = cpuid.RecordedCpuid::Query(kAmdLevel1);
        const bool hasLevel2Leaf = highest >= kAmdLevel2;
        const bool firstDuron = cpu.family == 6 && cpu.model == 3 && cpu.stepping == 0;
        int expectedL2 = -1;
        if (hasLevel2Leaf) {
            expectedL2 = firstDuron ? 64 : static_cast<int>(cpuid.RecordedCpuid::Query(kAmdLevel2).ecx >> 16);
        }
        FUZZ_CHECK(cpu.l1DataKb == static_cast<int>(level1.ecx >> 24) &&
                       cpu.l1CodeKb == static_cast<int>(level1.edx >> 24) && cpu.l2Kb == expectedL2,
                   facts + " highest extended leaf " + std::to_string(highest));
        FUZZ_CHECK(cpu.l1DataKb >= 0 && cpu.l1DataKb <= 255 && cpu.l1CodeKb >= 0 && cpu.l1CodeKb <= 255 &&
                       cpu.l2Kb >= -1 && cpu.l2Kb <= 65535,
                   facts);
        FUZZ_CHECK(cpuid.TimesQueried(kHighestExtended) == 1 && cpuid.TimesQueried(kAmdLevel1) == 1, facts);
        FUZZ_CHECK(cpuid.TimesQueried(kAmdLevel2) == (hasLevel2Leaf && !firstDuron ? 1 : 0),
                   facts + " leaf 0x80000006 asked " + std::to_string(cpuid.TimesQueried(kAmdLevel2)) +
                       " times");
        FUZZ_CHECK(cpuid.TimesQueried(2) == 0, facts + " AMD asked for Intel's leaf 2");
    } else if (expectedVendor == "GenuineIntel") {
        const sysinfo::CpuidRegisters leaf2 = cpuid.RecordedCpuid::Query(2);
        const ReferenceCaches expected = ReferenceIntelCaches(leaf2.eax, leaf2.edx, ReferenceCaches{});
        FUZZ_CHECK(cpu.l1DataKb == expected.l1DataKb && cpu.l1CodeKb == expected.l1CodeKb &&
                       cpu.l2Kb == expected.l2Kb,
                   facts + " expected " + std::to_string(expected.l1DataKb) + "/" +
                       std::to_string(expected.l1CodeKb) + "/" + std::to_string(expected.l2Kb));
        FUZZ_CHECK((cpu.l1DataKb == 0 || InTable(CacheField::Level1Data, cpu.l1DataKb)) &&
                       (cpu.l1CodeKb == 0 || InTable(CacheField::Level1Code, cpu.l1CodeKb)) &&
                       InTable(CacheField::Level2, cpu.l2Kb),
                   facts);
        FUZZ_CHECK(cpuid.TimesQueried(2) == 1, facts + " leaf 2 once");
        FUZZ_CHECK(cpuid.TimesQueried(kHighestExtended) + cpuid.TimesQueried(kAmdLevel1) +
                           cpuid.TimesQueried(kAmdLevel2) ==
                       0,
                   facts + " Intel asked for AMD's leaves");
    } else {
        FUZZ_CHECK(cpu.l1DataKb == 0 && cpu.l1CodeKb == 0 && cpu.l2Kb == 0, facts);
        FUZZ_CHECK(cpuid.queries.size() == 2, facts + " cache leaves asked of another vendor");
    }

    // The name from cpudef.dat, once, with the file closed on every path.
    const std::string& name = sysinfo::TheCpuDescription().processorName;
    FUZZ_CHECK(sysinfo::descriptionLoaded, facts);
    FUZZ_CHECK(definitions.opened == definitions.closed, facts + " cpudef.dat left open");
    FUZZ_CHECK(definitions.opened <= 1, facts + " cpudef.dat opened more than once");
    const DefinitionsMode mode = definitions.Mode();
    if (mode == DefinitionsMode::NotOpened || mode == DefinitionsMode::OpenFails) {
        FUZZ_CHECK(name == "cpudef.dat unreadable", facts + " name " + Quoted(name));
        FUZZ_CHECK(reports.texts.empty(), facts + " vendor reported without a file");
    } else if (vendorNumber == 0) {
        FUZZ_CHECK(reports.texts.size() == 1 && reports.texts[0] == "Error: cannot resolve vendor string",
                   facts + " vendor reports " + std::to_string(reports.texts.size()));
        FUZZ_CHECK(reports.openedWhenReported == 1 && !reports.openWhenReported,
                   facts + " the vendor error must follow the file's opening and closing");
        FUZZ_CHECK(name.empty(), facts + " name " + Quoted(name));
    } else {
        FUZZ_CHECK(reports.texts.empty(), facts + " known vendor reported");
        const ReferenceName expected =
            ReferenceLookUp(ReferenceLines(definitions.Text()),
                            ReferenceKeysFor(vendorNumber, cpu.family, cpu.model, cpu.l2Kb));
        const std::string expectedName =
            definitions.FailsWithin(expected.linesRead) ? "cpudef.dat unreadable" : expected.name;
        FUZZ_CHECK(name == expectedName,
                   facts + " name " + Quoted(name) + " expected " + Quoted(expectedName));
    }
}

} // namespace fuzz
