// Cache sizes: Intel's descriptor bytes one by one, the third-place reset, AMD's
// extended leaves with the Duron rule, and register sets of real processors.
#include <gtest/gtest.h>

#include <string>

#include "CpuTestSupport.h"
#include "sysinfo/CacheDescriptors.h"
#include "sysinfo/CpuInfo.h"

namespace {

using cputest::DefinitionsFile;
using cputest::LoggingCpuid;
using cputest::Processor;
using cputest::ScriptedClock;
using cputest::VendorReports;
using sysinfo::CacheSizes;

constexpr std::uint32_t kHighestExtended = 0x80000000u;
constexpr std::uint32_t kAmdL1 = 0x80000005u;
constexpr std::uint32_t kAmdL2 = 0x80000006u;

struct DescriptorCase {
    std::uint8_t descriptor;
    CacheSizes sizes; // from l1DataKb = 1, l1CodeKb = 2, l2Kb = 3
};

const DescriptorCase kDescriptorCases[] = {
    {0x06, {1, 8, 3}},    {0x08, {1, 16, 3}},   {0x0A, {8, 2, 3}},    {0x66, {8, 2, 3}},
    {0x0C, {16, 2, 3}},   {0x67, {16, 2, 3}},   {0x68, {32, 2, 3}},   {0x40, {1, 2, 0}},
    {0x41, {1, 2, 128}},  {0x79, {1, 2, 128}},  {0x42, {1, 2, 256}},  {0x7A, {1, 2, 256}},
    {0x82, {1, 2, 256}},  {0x43, {1, 2, 512}},  {0x7B, {1, 2, 512}},  {0x83, {1, 2, 512}},
    {0x44, {1, 2, 1024}}, {0x7C, {1, 2, 1024}}, {0x84, {1, 2, 1024}},
};

class IntelDescriptorTest : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(IntelDescriptorTest, SetsItsOneField) {
    CacheSizes sizes{1, 2, 3};
    EXPECT_TRUE(sysinfo::ApplyIntelDescriptor(GetParam().descriptor, sizes));
    EXPECT_EQ(sizes, GetParam().sizes);
}

INSTANTIATE_TEST_SUITE_P(Table, IntelDescriptorTest, ::testing::ValuesIn(kDescriptorCases),
                         [](const auto& testCase) {
                             char name[16];
                             std::snprintf(name, sizeof(name), "Byte%02X", testCase.param.descriptor);
                             return std::string(name);
                         });

TEST(IntelDescriptorTableTest, EveryOtherByteChangesNothing) {
    int known = 0;
    for (int value = 0; value < 256; ++value) {
        CacheSizes sizes{1, 2, 3};
        if (sysinfo::ApplyIntelDescriptor(static_cast<std::uint8_t>(value), sizes)) {
            ++known;
            continue;
        }
        EXPECT_EQ(sizes, (CacheSizes{1, 2, 3})) << "byte " << value;
    }
    EXPECT_EQ(known, static_cast<int>(std::size(kDescriptorCases)));
}

struct Leaf2Case {
    const char* name;
    std::uint32_t eax;
    std::uint32_t edx;
    CacheSizes sizes; // from 1, 2, 3
};

const Leaf2Case kLeaf2Cases[] = {
    // 0x02 in the third place resets; then 0x43, 0x08, 0x0C.
    {"PentiumIIIKatmai", 0x03020101, 0x0C040843, {16, 16, 512}},
    // 0x5B resets; 0x66 data 8, 0x40 then 0x7A: the later byte wins.
    {"Pentium4Willamette", 0x665B5001, 0x007A7040, {8, 0, 256}},
    {"NoLevel2Descriptor", 0x03020101, 0x0C040840, {16, 16, 0}},
    // A known third byte resets nothing: untouched fields keep their values.
    {"KnownThirdByteKeeps", 0x00430001, 0x00000000, {1, 2, 512}},
    // An unknown byte elsewhere changes nothing.
    {"UnknownSecondByteKeeps", 0x00435001, 0x00000000, {1, 2, 512}},
    {"UnknownFourthByteKeeps", 0x50430001, 0x00000000, {1, 2, 512}},
    // The reset happens before the remaining bytes only.
    {"ResetClearsEarlierBytes", 0x00024301, 0x00000000, {0, 0, 0}},
    // EDX is read low byte first, and a later byte overwrites an earlier one.
    {"EdxLowByteFirst", 0x00020001, 0x42434441, {0, 0, 256}},
    // Valid bits 31 are not consulted: 0x82 still names 256 KB.
    {"ValidBitNotConsulted", 0x03020101, 0x8C040882, {0, 16, 256}},
};

class IntelLeaf2Test : public ::testing::TestWithParam<Leaf2Case> {};

TEST_P(IntelLeaf2Test, AppliesEightBytesInOrder) {
    const Leaf2Case& c = GetParam();
    CacheSizes sizes{1, 2, 3};
    sysinfo::ApplyIntelLeaf2(c.eax, c.edx, sizes);
    EXPECT_EQ(sizes, c.sizes);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntelLeaf2Test, ::testing::ValuesIn(kLeaf2Cases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

class DetectCachesTest : public ::testing::Test {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }

    CacheSizes Detect(LoggingCpuid& cpuid) {
        DefinitionsFile file("");
        VendorReports reports;
        ScriptedClock clock;
        sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
        return {cpu.l1DataKb, cpu.l1CodeKb, cpu.l2Kb};
    }
};

TEST_F(DetectCachesTest, IntelReadsLeaf2OnceAndIgnoresEbxEcx) {
    auto cpuid = Processor("GenuineIntel", 0x673, {{2, {0x03020101, 0x00000043, 0x00000044, 0x0C040882}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{16, 16, 256}));
    EXPECT_EQ(cpuid.TimesQueried(2), 1);
}

TEST_F(DetectCachesTest, AmdLevel1FromLeaf80000005) {
    auto cpuid = Processor("AuthenticAMD", 0x622,
                           {{kHighestExtended, {0x80000006, 0, 0, 0}},
                            {kAmdL1, {0, 0, 0x40020140, 0x40020140}},
                            {kAmdL2, {0, 0, 0x01004140, 0}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{64, 64, 256}));
}

TEST_F(DetectCachesTest, AmdDataAndCodeSizesComeFromEcxAndEdx) {
    auto cpuid = Processor("AuthenticAMD", 0x622,
                           {{kHighestExtended, {0x80000006, 0, 0, 0}},
                            {kAmdL1, {0, 0, 0x20020220, 0x40020140}},
                            {kAmdL2, {0, 0, 0x00408140, 0}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{32, 64, 64}));
}

TEST_F(DetectCachesTest, AmdWithoutLeaf80000006HasNoLevel2Size) {
    auto cpuid = Processor("AuthenticAMD", 0x580,
                           {{kHighestExtended, {0x80000005, 0, 0, 0}},
                            {kAmdL1, {0, 0, 0x20020220, 0x20020220}},
                            {kAmdL2, {0, 0, 0x01004140, 0}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{32, 32, -1}));
    EXPECT_EQ(cpuid.TimesQueried(kAmdL2), 0);
}

TEST_F(DetectCachesTest, AmdReadsLeaf80000005WithoutCheckingTheHighestLeaf) {
    // A processor without extended leaves: leaf 0x80000005 is read all the same.
    auto cpuid = Processor("AuthenticAMD", 0x501, {{kAmdL1, {0, 0, 0x08000000, 0x08000000}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{8, 8, -1}));
    EXPECT_EQ(cpuid.TimesQueried(kAmdL1), 1);
}

TEST_F(DetectCachesTest, HighestLeafComparedUnsigned) {
    // 0xFFFFFFFF read as signed would be below 0x80000006.
    auto cpuid = Processor("AuthenticAMD", 0x6A0,
                           {{kHighestExtended, {0xFFFFFFFF, 0, 0, 0}},
                            {kAmdL1, {0, 0, 0x40020140, 0x40020140}},
                            {kAmdL2, {0, 0, 0x02008140, 0}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{64, 64, 512}));
}

TEST_F(DetectCachesTest, FirstDuronSteppingIsTaken64WithoutReadingLeaf80000006) {
    // Duron Spitfire stepping 0 reports 1 KB in leaf 0x80000006.
    auto cpuid = Processor("AuthenticAMD", 0x630,
                           {{kHighestExtended, {0x80000006, 0, 0, 0}},
                            {kAmdL1, {0x0408FF08, 0xFF18FF10, 0x40020140, 0x40020140}},
                            {kAmdL2, {0, 0x41004100, 0x00018140, 0}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{64, 64, 64}));
    EXPECT_EQ(cpuid.TimesQueried(kAmdL2), 0);
}

TEST_F(DetectCachesTest, LaterDuronSteppingReadsLeaf80000006) {
    auto cpuid = Processor("AuthenticAMD", 0x631,
                           {{kHighestExtended, {0x80000006, 0, 0, 0}},
                            {kAmdL1, {0, 0, 0x40020140, 0x40020140}},
                            {kAmdL2, {0, 0, 0x00018140, 0}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{64, 64, 1}));
    EXPECT_EQ(cpuid.TimesQueried(kAmdL2), 1);
}

TEST_F(DetectCachesTest, FirstDuronSteppingWithoutLeaf80000006StillHasNoSize) {
    auto cpuid =
        Processor("AuthenticAMD", 0x630,
                  {{kHighestExtended, {0x80000005, 0, 0, 0}}, {kAmdL1, {0, 0, 0x40020140, 0x40020140}}});
    EXPECT_EQ(Detect(cpuid), (CacheSizes{64, 64, -1}));
}

TEST_F(DetectCachesTest, OtherVendorsReadNoCacheLeaf) {
    for (const char* vendor : {"CyrixInstead", "CentaurHauls", "RiseRiseRise", "GenuineTMx86"}) {
        auto cpuid = Processor(vendor, 0x683,
                               {{2, {0x03020101, 0, 0, 0x0C040843}},
                                {kHighestExtended, {0x80000006, 0, 0, 0}},
                                {kAmdL1, {0, 0, 0x40020140, 0x40020140}},
                                {kAmdL2, {0, 0, 0x01004140, 0}}});
        cputest::ResetProcessState();
        EXPECT_EQ(Detect(cpuid), (CacheSizes{0, 0, 0})) << vendor;
        EXPECT_EQ(cpuid.queried, (std::vector<std::uint32_t>{0, 1})) << vendor;
    }
}

// Register sets of real processors, as public CPUID dumps record them.
struct RealProcessorCase {
    const char* name;
    const char* vendor;
    std::uint32_t signature;
    std::vector<std::pair<std::uint32_t, sysinfo::CpuidRegisters>> leaves;
    CacheSizes sizes;
};

const RealProcessorCase kRealProcessors[] = {
    {"PentiumIIIKatmai", "GenuineIntel", 0x673, {{2, {0x03020101, 0, 0, 0x0C040843}}}, {16, 16, 512}},
    {"PentiumIIICoppermine", "GenuineIntel", 0x68A, {{2, {0x03020101, 0, 0, 0x0C040882}}}, {16, 16, 256}},
    {"CeleronCoppermine128", "GenuineIntel", 0x68A, {{2, {0x03020101, 0, 0, 0x0C040841}}}, {16, 16, 128}},
    {"Pentium4Willamette", "GenuineIntel", 0xF12, {{2, {0x665B5001, 0, 0, 0x007A7040}}}, {8, 0, 256}},
    {"Pentium4Northwood", "GenuineIntel", 0xF24, {{2, {0x665B5001, 0, 0, 0x007B7040}}}, {8, 0, 512}},
    {"AthlonPluto",
     "AuthenticAMD",
     0x622,
     {{kHighestExtended, {0x80000006, 0x68747541, 0x444D4163, 0x69746E65}},
      {kAmdL1, {0x0408FF08, 0xFF18FF10, 0x40020140, 0x40020140}},
      {kAmdL2, {0x00000000, 0x41004100, 0x02002140, 0x00000000}}},
     {64, 64, 512}},
    {"AthlonXpThoroughbred",
     "AuthenticAMD",
     0x680,
     {{kHighestExtended, {0x80000008, 0x68747541, 0x444D4163, 0x69746E65}},
      {kAmdL1, {0x0408FF08, 0xFF20FF10, 0x40020140, 0x40020140}},
      {kAmdL2, {0x00000000, 0x41004100, 0x01008140, 0x00000000}}},
     {64, 64, 256}},
    {"DuronSpitfire",
     "AuthenticAMD",
     0x630,
     {{kHighestExtended, {0x80000006, 0x68747541, 0x444D4163, 0x69746E65}},
      {kAmdL1, {0x0408FF08, 0xFF18FF10, 0x40020140, 0x40020140}},
      {kAmdL2, {0x00000000, 0x41004100, 0x00018140, 0x00000000}}},
     {64, 64, 64}},
    {"DuronApplebred",
     "AuthenticAMD",
     0x681,
     {{kHighestExtended, {0x80000008, 0x68747541, 0x444D4163, 0x69746E65}},
      {kAmdL1, {0x0408FF08, 0xFF20FF10, 0x40020140, 0x40020140}},
      {kAmdL2, {0x00000000, 0x41004100, 0x00408140, 0x00000000}}},
     {64, 64, 64}},
    {"K6_2Chomper",
     "AuthenticAMD",
     0x580,
     {{kHighestExtended, {0x80000005, 0, 0, 0}}, {kAmdL1, {0x00000000, 0x02800140, 0x20020220, 0x20020220}}},
     {32, 32, -1}},
};

class RealProcessorCacheTest : public DetectCachesTest,
                               public ::testing::WithParamInterface<RealProcessorCase> {};

TEST_P(RealProcessorCacheTest, GivesItsCacheSizes) {
    const RealProcessorCase& c = GetParam();
    auto cpuid = Processor(c.vendor, c.signature, c.leaves);
    EXPECT_EQ(Detect(cpuid), c.sizes);
}

INSTANTIATE_TEST_SUITE_P(Dumps, RealProcessorCacheTest, ::testing::ValuesIn(kRealProcessors),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace

namespace sysinfo {
// Readable sizes in failure messages.
void PrintTo(const CacheSizes& sizes, std::ostream* out) {
    *out << "{data " << sizes.l1DataKb << ", code " << sizes.l1CodeKb << ", L2 " << sizes.l2Kb << "}";
}
} // namespace sysinfo
