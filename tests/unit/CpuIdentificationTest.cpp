// Processor identification: vendor texts, the signature fields, the order of
// construction, the once-per-process lookup and the vendor error's report; and
// the real processor this test runs on.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "CpuTestSupport.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"

namespace {

using cputest::DefinitionsFile;
using cputest::Processor;
using cputest::ScriptedClock;
using cputest::VendorReports;

class CpuIdentificationTest : public ::testing::Test {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }
};

struct VendorCase {
    const char* name;
    const char* identification;
    const char* vendor;
};

const VendorCase kVendorCases[] = {
    {"Amd", "AuthenticAMD", "AuthenticAMD"},     {"Intel", "GenuineIntel", "GenuineIntel"},
    {"Cyrix", "CyrixInstead", "CyrixInstead"},   {"Rise", "RiseRiseRise", "RiseRiseRise"},
    {"Centaur", "CentaurHauls", "CentaurHauls"}, {"Transmeta", "GenuineTMx86", "Unknown"},
    {"NexGen", "NexGenDriven", "Unknown"},       {"LowerCaseIntel", "genuineintel", "Unknown"},
    {"ShortText", "Genuine", "Unknown"},         {"AllZero", "", "Unknown"},
};

class VendorTest : public CpuIdentificationTest, public ::testing::WithParamInterface<VendorCase> {};

TEST_P(VendorTest, GivesTheVendorText) {
    const VendorCase& c = GetParam();
    auto cpuid = Processor(c.identification, 0x683);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(cpu.vendor, c.vendor);
}

INSTANTIATE_TEST_SUITE_P(Cases, VendorTest, ::testing::ValuesIn(kVendorCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct SignatureCase {
    const char* name;
    std::uint32_t eax;
    int family;
    int model;
    int stepping;
};

const SignatureCase kSignatureCases[] = {
    {"Pentium4Northwood", 0xF24, 15, 2, 4},
    {"ExtendedFamilyIgnored", 0x100F24, 15, 2, 4},
    {"PentiumIIICoppermine", 0x683, 6, 8, 3},
    {"ExtendedModelIgnored", 0x20FB1, 15, 11, 1},
    {"ProcessorTypeIgnored", 0x3683, 6, 8, 3},
    {"AllHighBitsIgnored", 0xFFFFF000u | 0x5A7, 5, 10, 7},
    {"Zero", 0x0, 0, 0, 0},
};

class SignatureTest : public CpuIdentificationTest, public ::testing::WithParamInterface<SignatureCase> {};

TEST_P(SignatureTest, TakesTheLowTwelveBits) {
    const SignatureCase& c = GetParam();
    auto cpuid = Processor("GenuineIntel", c.eax);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(cpu.family, c.family);
    EXPECT_EQ(cpu.model, c.model);
    EXPECT_EQ(cpu.stepping, c.stepping);
}

INSTANTIATE_TEST_SUITE_P(Cases, SignatureTest, ::testing::ValuesIn(kSignatureCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(CpuIdentificationTest, ConstructionReadsVendorThenSignatureThenCachesThenTheFile) {
    auto cpuid = Processor("GenuineIntel", 0x683, {{2, {0x03020101, 0, 0, 0x0C040882}}});
    DefinitionsFile file("[2,0x68]\n[256]\nPentium III\nIntel Pentium III (Coppermine)\n\n\n\n\n\n");
    VendorReports reports(&file);
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(cpuid.queried, (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(cpu.l2Kb, 256);
    // The variant [256] was sought with the size that cache detection found.
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "Intel Pentium III (Coppermine)");
    EXPECT_TRUE(sysinfo::descriptionLoaded);
    EXPECT_EQ(file.opened, 1);
    EXPECT_EQ(file.closed, 1);
    EXPECT_TRUE(reports.texts.empty());
    EXPECT_TRUE(clock.calls.empty()) << "the clock is measured only when asked";
}

TEST_F(CpuIdentificationTest, SizesNothingSetsStartAtZero) {
    auto cpuid = Processor("CyrixInstead", 0x524);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(cpu.l1DataKb, 0);
    EXPECT_EQ(cpu.l1CodeKb, 0);
    EXPECT_EQ(cpu.l2Kb, 0);
}

TEST_F(CpuIdentificationTest, UnknownVendorIsReportedOnceAfterTheFileIsClosed) {
    auto cpuid = Processor("GenuineTMx86", 0x543);
    DefinitionsFile file("[2,0x54]\nx\nPentium\n");
    VendorReports reports(&file);
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    ASSERT_EQ(reports.texts.size(), 1u);
    EXPECT_EQ(reports.texts[0], "Error: cannot resolve vendor string");
    EXPECT_FALSE(reports.fileOpenWhenReported);
    EXPECT_EQ(file.opened, 1) << "the file is opened before the vendor is resolved";
    EXPECT_EQ(file.closed, 1);
    EXPECT_EQ(file.linesRead, 0);
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "") << "the processor label stays empty";
    EXPECT_TRUE(sysinfo::descriptionLoaded) << "set whether or not the lookup succeeded";
    EXPECT_EQ(cpu.vendor, "Unknown");
}

TEST_F(CpuIdentificationTest, LoadDescriptionThrowsTheVendorErrorAsAPlainString) {
    auto cpuid = Processor("GenuineTMx86", 0x543);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    const char* thrown = nullptr;
    try {
        cpu.LoadDescription();
    } catch (const char* error) {
        thrown = error;
    }
    ASSERT_NE(thrown, nullptr);
    EXPECT_STREQ(thrown, "Error: cannot resolve vendor string");
    EXPECT_EQ(file.opened, 2);
    EXPECT_EQ(file.closed, 2);
}

TEST_F(CpuIdentificationTest, SecondCpuInfoNeitherReopensTheFileNorReportsAgain) {
    auto cpuid = Processor("NexGenDriven", 0x543);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo first(cpuid, file.Opener(), reports.Reporter(), clock);
    sysinfo::CpuInfo second(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(file.opened, 1);
    EXPECT_EQ(reports.texts.size(), 1u);
    // It still identifies the processor itself.
    EXPECT_EQ(second.vendor, "Unknown");
    EXPECT_EQ(second.family, 5);
}

TEST_F(CpuIdentificationTest, SecondCpuInfoKeepsTheFirstName) {
    auto intel = Processor("GenuineIntel", 0xF24, {{2, {0x665B5001, 0, 0, 0x007B7040}}});
    auto amd = Processor("AuthenticAMD", 0x6A0);
    DefinitionsFile file("[2,0xF2]\n\nPentium 4\n\n\n\n\n\n[1,0x6A]\n\nAthlon XP\n\n\n\n\n\n");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo first(intel, file.Opener(), reports.Reporter(), clock);
    sysinfo::CpuInfo second(amd, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "Pentium 4");
    EXPECT_EQ(file.opened, 1);
}

TEST_F(CpuIdentificationTest, LookupSkippedWhenAlreadyConsulted) {
    sysinfo::descriptionLoaded = true;
    auto cpuid = Processor("GenuineTMx86", 0x543);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(file.opened, 0);
    EXPECT_TRUE(reports.texts.empty());
}

#if !defined(_WIN32)

// The first value of a "name : value" line of /proc/cpuinfo, by name.
std::map<std::string, std::string> FirstProcessorOfProcCpuinfo() {
    std::map<std::string, std::string> fields;
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line) && !line.empty()) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
            name.pop_back();
        }
        const auto valueStart = line.find_first_not_of(' ', colon + 1);
        fields[name] = valueStart == std::string::npos ? "" : line.substr(valueStart);
    }
    return fields;
}

TEST_F(CpuIdentificationTest, RealProcessorMatchesTheKernel) {
    const auto fields = FirstProcessorOfProcCpuinfo();
    if (fields.count("vendor_id") == 0 || fields.count("cpu family") == 0 || fields.count("model") == 0) {
        GTEST_SKIP() << "/proc/cpuinfo names no x86 vendor, family and model here";
    }
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(sysinfo::MachineCpuid(), file.Opener(), reports.Reporter(), clock);

    const std::string& kernelVendor = fields.at("vendor_id");
    const bool known = sysinfo::VendorNumber(kernelVendor) != 0;
    EXPECT_EQ(cpu.vendor, known ? kernelVendor : std::string("Unknown"));
    // The kernel shows the display family (base + extended family when the base
    // is 15) and the display model (extended model above the base); Korvane
    // keeps the base fields: bits 8-11 and 4-7.
    const int kernelFamily = std::stoi(fields.at("cpu family"));
    const int kernelModel = std::stoi(fields.at("model"));
    EXPECT_EQ(cpu.family, kernelFamily >= 15 ? 15 : kernelFamily) << "kernel family " << kernelFamily;
    EXPECT_EQ(cpu.model, kernelModel & 0xF) << "kernel model " << kernelModel;
    if (fields.count("stepping") != 0) {
        EXPECT_EQ(cpu.stepping, std::stoi(fields.at("stepping")) & 0xF);
    }
    std::printf("this machine: vendor %s, family %d, model %d, stepping %d, L1 %dk+%dk, L2 %dk "
                "(kernel: family %d, model %d)\n",
                cpu.vendor.c_str(), cpu.family, cpu.model, cpu.stepping, cpu.l1DataKb, cpu.l1CodeKb, cpu.l2Kb,
                kernelFamily, kernelModel);
}

#endif

} // namespace
