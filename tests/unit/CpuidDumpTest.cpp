// CPUID dump lines: the one form that is read, and the lines that are ignored.
#include <gtest/gtest.h>

#include <string>

#include "sysinfo/CpuidDump.h"

namespace {

struct DumpLineCase {
    const char* name;
    const char* line;
    bool parsed;
    std::uint32_t leaf;
    sysinfo::CpuidRegisters registers;
};

const DumpLineCase kDumpLineCases[] = {
    {"Leaf1", "CPUID 00000001: 00000683-00000002-00000000-0387FBFF", true, 1, {0x683, 2, 0, 0x0387FBFF}},
    {"ExtendedLeaf",
     "CPUID 80000006: 00000000-41004100-00018140-00000000",
     true,
     0x80000006u,
     {0, 0x41004100, 0x00018140, 0}},
    {"LowerCaseDigits",
     "CPUID 8000000a: 0000000a-deadbeef-00000000-0000ffff",
     true,
     0x8000000Au,
     {0xA, 0xDEADBEEF, 0, 0xFFFF}},
    {"SubleafNoteAfterRegisters",
     "CPUID 00000004: 04000121-01C0003F-0000003F-00000000 [SL 00]",
     true,
     4,
     {0x04000121, 0x01C0003F, 0x3F, 0}},
    {"TrailingBlanks",
     "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69   ",
     true,
     0,
     {2, 0x756E6547, 0x6C65746E, 0x49656E69}},
    {"Comment", "# Intel Pentium III (Katmai)", false, 0, {}},
    {"Empty", "", false, 0, {}},
    {"LowerCaseWord", "cpuid 00000001: 00000683-00000002-00000000-0387FBFF", false, 0, {}},
    {"LeadingBlank", " CPUID 00000001: 00000683-00000002-00000000-0387FBFF", false, 0, {}},
    {"ShortLeaf", "CPUID 0001: 00000683-00000002-00000000-0387FBFF", false, 0, {}},
    {"ThreeRegisters", "CPUID 00000001: 00000683-00000002-00000000", false, 0, {}},
    {"ShortRegister", "CPUID 00000001: 683-00000002-00000000-0387FBFF", false, 0, {}},
    {"LongRegister", "CPUID 00000001: 00000683-00000002-00000000-0387FBFF0", false, 0, {}},
    {"NotHex", "CPUID 00000001: 0000068G-00000002-00000000-0387FBFF", false, 0, {}},
    {"NoBlankAfterColon", "CPUID 00000001:00000683-00000002-00000000-0387FBFF", false, 0, {}},
    {"OtherSeparator", "CPUID 00000001: 00000683 00000002 00000000 0387FBFF", false, 0, {}},
};

class DumpLineTest : public ::testing::TestWithParam<DumpLineCase> {};

TEST_P(DumpLineTest, ParsesOnlyTheDumpForm) {
    const DumpLineCase& c = GetParam();
    const auto parsed = sysinfo::ParseCpuidDumpLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.parsed);
    if (c.parsed) {
        EXPECT_EQ(parsed->leaf, c.leaf);
        EXPECT_TRUE(parsed->registers == c.registers);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, DumpLineTest, ::testing::ValuesIn(kDumpLineCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(CpuidDumpTest, FirstLineOfALeafWinsAndMissingLeavesReadZero) {
    framework::TextLineSource lines("# a dump\r\n"
                                    "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\r\n"
                                    "CPUID 00000004: 04000121-01C0003F-0000003F-00000000 [SL 00]\r\n"
                                    "CPUID 00000004: 04000122-01C0003F-0000003F-00000000 [SL 01]\r\n"
                                    "garbage\r\n"
                                    "CPUID 00000001: 00000F24-00010809-00000000-3FEBFBFF");
    sysinfo::RecordedCpuid dump = sysinfo::ReadCpuidDump(lines);
    EXPECT_EQ(dump.LeafCount(), 3u);
    EXPECT_EQ(dump.Query(4).eax, 0x04000121u);
    EXPECT_EQ(dump.Query(1).eax, 0xF24u) << "a last line without terminator counts";
    EXPECT_FALSE(dump.Has(2));
    EXPECT_TRUE(dump.Query(2) == sysinfo::CpuidRegisters{});
    EXPECT_TRUE(dump.Query(0x80000000u) == sysinfo::CpuidRegisters{});
}

TEST(RecordedCpuidTest, RecordKeepsTheFirst) {
    sysinfo::RecordedCpuid cpuid;
    EXPECT_TRUE(cpuid.Record(7, {1, 2, 3, 4}));
    EXPECT_FALSE(cpuid.Record(7, {5, 6, 7, 8}));
    EXPECT_TRUE(cpuid.Query(7) == (sysinfo::CpuidRegisters{1, 2, 3, 4}));
}

TEST(MachineCpuidTest, AnswersLeafZeroTheSameEachTime) {
    sysinfo::CpuidSource& machine = sysinfo::MachineCpuid();
    const sysinfo::CpuidRegisters first = machine.Query(0);
    EXPECT_TRUE(machine.Query(0) == first);
    EXPECT_GE(first.eax, 1u) << "every processor Korvane runs on has leaf 1";
}

} // namespace
