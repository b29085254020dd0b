// The panel texts: frequency, cache and RAM, at their rounding edges and limits.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "CpuTestSupport.h"
#include "sysinfo/MachineFacts.h"

namespace {

struct FrequencyCase {
    const char* name;
    float clockMhz;
    const char* text;
};

const FrequencyCase kFrequencyCases[] = {
    {"TwoDecimals", 1466.53125f, "1466.53 MHz"},
    {"RoundsUpToWhole", 999.99951171875f, "1000.00 MHz"},
    {"Whole", 2000.0f, "2000.00 MHz"},
    {"Zero", 0.0f, "0.00 MHz"},
    {"BelowOne", 0.5f, "0.50 MHz"},
    {"WidthIsAMinimum", 12345.678f, "12345.68 MHz"},
    {"Negative", -1.25f, "-1.25 MHz"},
};

class FrequencyTextTest : public ::testing::TestWithParam<FrequencyCase> {};

TEST_P(FrequencyTextTest, Formats) {
    EXPECT_EQ(sysinfo::FrequencyText(GetParam().clockMhz), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, FrequencyTextTest, ::testing::ValuesIn(kFrequencyCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct RamCase {
    const char* name;
    std::uint64_t bytes;
    const char* text;
};

const RamCase kRamCases[] = {
    {"Exactly256MiB", 268435456ull, "257 MByte"},       {"Below256MiB", 267911168ull, "256 MByte"},
    {"Largest32BitValue", 4294967295ull, "4096 MByte"}, {"Exactly4GiB", 4294967296ull, "4097 MByte"},
    {"EightGiB", 8589934592ull, "8193 MByte"},          {"Zero", 0ull, "1 MByte"},
    {"OneByteShortOfAMiB", 1048575ull, "1 MByte"},      {"OneMiB", 1048576ull, "2 MByte"},
};

class RamTextTest : public ::testing::TestWithParam<RamCase> {};

TEST_P(RamTextTest, ShiftsAndAddsOne) {
    EXPECT_EQ(sysinfo::RamText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, RamTextTest, ::testing::ValuesIn(kRamCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

class CacheTextTest : public ::testing::Test {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }

    std::string TextFor(int l1DataKb, int l1CodeKb, int l2Kb) {
        auto cpuid = cputest::Processor("CyrixInstead", 0x524);
        cputest::DefinitionsFile file("");
        cputest::VendorReports reports;
        cputest::ScriptedClock clock;
        sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
        cpu.l1DataKb = l1DataKb;
        cpu.l1CodeKb = l1CodeKb;
        cpu.l2Kb = l2Kb;
        return sysinfo::CacheText(cpu);
    }
};

TEST_F(CacheTextTest, AddsTheLevel1Sizes) {
    EXPECT_EQ(TextFor(8, 8, 256), "16k L1, 256k L2");
}

TEST_F(CacheTextTest, NoLevel2SizeShowsMinusOne) {
    EXPECT_EQ(TextFor(32, 32, -1), "64k L1, -1k L2");
}

TEST_F(CacheTextTest, Pentium4WithoutCodeDescriptor) {
    EXPECT_EQ(TextFor(8, 0, 256), "8k L1, 256k L2");
}

TEST_F(CacheTextTest, AllZero) {
    EXPECT_EQ(TextFor(0, 0, 0), "0k L1, 0k L2");
}

} // namespace
