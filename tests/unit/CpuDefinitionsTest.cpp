// cpudef.dat: the keys a processor seeks, the section and variant search over
// small files, and LoadDescription's answers to a file that cannot be opened or
// read, with the file closed on every path.
#include <gtest/gtest.h>

#include <string>

#include "CpuTestSupport.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"

namespace {

using cputest::DefinitionsFile;
using cputest::Processor;
using cputest::ScriptedClock;
using cputest::VendorReports;

struct KeyCase {
    const char* name;
    const char* vendor;
    int family;
    int model;
    int l2Kb;
    const char* sectionKey;
    const char* cacheKey;
    bool seeksVariant;
};

const KeyCase kKeyCases[] = {
    {"AmdUppercaseDigit", "AuthenticAMD", 6, 10, 256, "[1,0x6A]", "", false},
    {"IntelPentium4", "GenuineIntel", 15, 2, 512, "[2,0xF2]", "[512]", false},
    {"IntelModel5", "GenuineIntel", 6, 5, 0, "[2,0x65]", "[0]", true},
    {"IntelModel7", "GenuineIntel", 6, 7, 512, "[2,0x67]", "[512]", true},
    {"IntelModel8", "GenuineIntel", 6, 8, 256, "[2,0x68]", "[256]", true},
    {"IntelModel11", "GenuineIntel", 6, 11, 512, "[2,0x6B]", "[512]", false},
    {"IntelFamily5Model8", "GenuineIntel", 5, 8, 0, "[2,0x58]", "[0]", false},
    {"IntelNegativeSize", "GenuineIntel", 6, 8, -1, "[2,0x68]", "[-1]", true},
    {"Cyrix", "CyrixInstead", 6, 0, 0, "[3,0x60]", "", false},
    {"Centaur", "CentaurHauls", 6, 7, 64, "[4,0x67]", "", false},
    {"Rise", "RiseRiseRise", 5, 0, 0, "[5,0x50]", "", false},
    {"ZeroDigits", "AuthenticAMD", 0, 0, 0, "[1,0x00]", "", false},
    {"AmdModel8NoVariant", "AuthenticAMD", 6, 8, 256, "[1,0x68]", "", false},
};

class DefinitionKeysTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DefinitionKeysTest, FormsTheKeys) {
    const KeyCase& c = GetParam();
    const auto keys = sysinfo::DefinitionKeysFor(c.vendor, c.family, c.model, c.l2Kb);
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(keys->sectionKey, c.sectionKey);
    EXPECT_EQ(keys->sectionKey.size(), 8u);
    EXPECT_EQ(keys->cacheKey, c.cacheKey);
    EXPECT_EQ(keys->seeksVariant, c.seeksVariant);
}

INSTANTIATE_TEST_SUITE_P(Cases, DefinitionKeysTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(DefinitionKeysTest, VendorNumbers) {
    EXPECT_EQ(sysinfo::VendorNumber("AuthenticAMD"), 1);
    EXPECT_EQ(sysinfo::VendorNumber("GenuineIntel"), 2);
    EXPECT_EQ(sysinfo::VendorNumber("CyrixInstead"), 3);
    EXPECT_EQ(sysinfo::VendorNumber("CentaurHauls"), 4);
    EXPECT_EQ(sysinfo::VendorNumber("RiseRiseRise"), 5);
    EXPECT_EQ(sysinfo::VendorNumber("Unknown"), 0);
    EXPECT_FALSE(sysinfo::DefinitionKeysFor("Unknown", 6, 8, 256).has_value());
}

// Seven description lines whose second is `name`.
std::string Description(const std::string& name, const std::string& eol = "\n") {
    return "line 1 of " + name + eol + name + eol + "3" + eol + "4" + eol + "5" + eol + "6" + eol + "7" + eol;
}

struct LookupCase {
    const char* name;
    const char* vendor;
    int family;
    int model;
    int l2Kb;
    std::string file;
    const char* processorName;
};

const LookupCase kLookupCases[] = {
    {"AmdSection", "AuthenticAMD", 6, 10, 256,
     "[1,0x64]\n" + Description("Athlon") + "[1,0x6A]\n" + Description("Athlon XP (Barton)"),
     "Athlon XP (Barton)"},
    {"CrLfLines", "AuthenticAMD", 6, 10, 256,
     "[1,0x64]\r\n" + Description("Athlon", "\r\n") + "[1,0x6A]\r\n" + Description("Athlon XP", "\r\n"),
     "Athlon XP"},
    {"LowercaseDigitIsAnotherKey", "AuthenticAMD", 6, 10, 256, "[1,0x6a]\n" + Description("lower"), "Unknow"},
    {"LastLineWithoutTerminator", "AuthenticAMD", 6, 10, 256, "[1,0x6A]\nfirst\nAthlon XP", "Athlon XP"},
    {"TrailingBlankDoesNotMatch", "AuthenticAMD", 6, 10, 256, "[1,0x6A] \n" + Description("blank") + "\n",
     "Unknow"},
    {"LeadingBlankDoesNotMatch", "AuthenticAMD", 6, 10, 256, " [1,0x6A]\n" + Description("blank"), "Unknow"},
    {"KeyInsideOtherTextDoesNotMatch", "AuthenticAMD", 6, 10, 256, "see [1,0x6A]\n" + Description("x"),
     "Unknow"},
    {"NoSection", "AuthenticAMD", 6, 10, 256, "[1,0x64]\n" + Description("Athlon"), "Unknow"},
    {"EmptyFile", "AuthenticAMD", 6, 10, 256, "", "Unknow"},
    {"FirstDuplicateWins", "AuthenticAMD", 6, 10, 256,
     "[1,0x6A]\n" + Description("first") + "[1,0x6A]\n" + Description("second"), "first"},
    {"KeyAsADescriptionLineStillCounts", "AuthenticAMD", 6, 10, 256,
     "[1,0x64]\nAthlon\n[1,0x6A]\nx\nwanted\n", "wanted"},
    {"EndsRightAfterKey", "AuthenticAMD", 6, 10, 256, "[1,0x6A]\n", ""},
    {"EndsRightAfterKeyWithoutTerminator", "AuthenticAMD", 6, 10, 256, "[1,0x6A]", ""},
    {"EndsAfterFirstDescriptionLine", "AuthenticAMD", 6, 10, 256, "[1,0x6A]\nfirst\n", ""},
    {"EmptyNameLine", "AuthenticAMD", 6, 10, 256, "[1,0x6A]\nfirst\n\nthird\n", ""},
    {"NameKeptAsWritten", "AuthenticAMD", 6, 10, 256, "[1,0x6A]\nx\n  Athlon  XP \t\n", "  Athlon  XP \t"},
    {"DescriptionLinesNeverCompared", "AuthenticAMD", 6, 10, 256, "[1,0x6A]\n[1,0x6A]\n[256]\n", "[256]"},
    {"Pentium4TakesLinesRightAfterKey", "GenuineIntel", 15, 2, 512,
     "[2,0xF2]\n" + Description("Pentium 4") + "[512]\n" + Description("variant"), "Pentium 4"},
    {"IntelVariant256", "GenuineIntel", 6, 8, 256,
     "[2,0x68]\n[128]\n" + Description("Celeron") + "[256]\n" + Description("Pentium III"), "Pentium III"},
    {"IntelVariant128", "GenuineIntel", 6, 8, 128,
     "[2,0x68]\n[128]\n" + Description("Celeron") + "[256]\n" + Description("Pentium III"), "Celeron"},
    {"IntelVariantMissing", "GenuineIntel", 6, 8, 256, "[2,0x68]\n[128]\n" + Description("Celeron"),
     "Unknow"},
    {"IntelVariantZero", "GenuineIntel", 6, 5, 0,
     "[2,0x65]\n[0]\n" + Description("Celeron (Covington)") + "[512]\n" + Description("Pentium II"),
     "Celeron (Covington)"},
    {"VariantSearchRunsPastTheNextSection", "GenuineIntel", 6, 8, 256,
     "[2,0x68]\n[128]\n" + Description("Celeron") + "[2,0x6A]\n" + Description("PIII Xeon") + "[256]\n" +
         Description("later section's 256"),
     "later section's 256"},
    {"VariantBeforeTheSectionIsNotSeen", "GenuineIntel", 6, 8, 256,
     "[256]\n" + Description("too early") + "[2,0x68]\n[128]\n" + Description("Celeron"), "Unknow"},
    {"Model11IgnoresAVariantLine", "GenuineIntel", 6, 11, 128, "[2,0x6B]\n[128]\n" + Description("Tualatin"),
     "line 1 of Tualatin"},
    {"VariantEndsRightAfterKey", "GenuineIntel", 6, 7, 512, "[2,0x67]\n[512]", ""},
    {"VariantKeyWithTrailingBlank", "GenuineIntel", 6, 7, 512, "[2,0x67]\n[512] \n" + Description("x"),
     "Unknow"},
    {"NegativeSizeVariant", "GenuineIntel", 6, 8, -1, "[2,0x68]\n[-1]\n" + Description("no size"), "no size"},
    {"CyrixSection", "CyrixInstead", 6, 0, 0,
     "[2,0x60]\n" + Description("Intel") + "[3,0x60]\n" + Description("6x86MX"), "6x86MX"},
    {"CentaurNoVariantSearch", "CentaurHauls", 6, 8, 64, "[4,0x68]\n[64]\n" + Description("x"),
     "line 1 of x"},
    {"RiseSection", "RiseRiseRise", 5, 0, 0, "[5,0x50]\n" + Description("mP6"), "mP6"},
};

class LookupTest : public ::testing::TestWithParam<LookupCase> {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }
};

TEST_P(LookupTest, FindsTheName) {
    const LookupCase& c = GetParam();
    const auto keys = sysinfo::DefinitionKeysFor(c.vendor, c.family, c.model, c.l2Kb);
    ASSERT_TRUE(keys.has_value());
    framework::TextLineSource lines(c.file);
    EXPECT_EQ(sysinfo::LookUpProcessorName(lines, *keys), c.processorName);
}

TEST_P(LookupTest, LoadDescriptionFillsTheRecordAndClosesTheFile) {
    const LookupCase& c = GetParam();
    DefinitionsFile file(c.file);
    auto cpuid = Processor(c.vendor, 0x543);
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    // The lookup reads the fields as they stand.
    cpu.family = c.family;
    cpu.model = c.model;
    cpu.l2Kb = c.l2Kb;
    cpu.LoadDescription();
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, c.processorName);
    EXPECT_EQ(file.opened, 2);
    EXPECT_EQ(file.closed, 2);
}

INSTANTIATE_TEST_SUITE_P(Files, LookupTest, ::testing::ValuesIn(kLookupCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LookupReadingTest, ReadsAllSevenLinesAndStops) {
    const std::string text = "[1,0x6A]\n" + Description("Athlon XP") + "after\n";
    framework::TextLineSource lines(text);
    const auto keys = sysinfo::DefinitionKeysFor("AuthenticAMD", 6, 10, 0);
    EXPECT_EQ(sysinfo::LookUpProcessorName(lines, *keys), "Athlon XP");
    std::string next;
    ASSERT_TRUE(lines.ReadLine(next));
    EXPECT_EQ(next, "after");
}

class UnreadableDefinitionsTest : public ::testing::Test {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }
};

TEST_F(UnreadableDefinitionsTest, MissingFileSaysSoAndStartUpGoesOn) {
    DefinitionsFile file("[2,0x68]\n[256]\n" + Description("Pentium III"));
    file.RefuseToOpen();
    auto cpuid = Processor("GenuineIntel", 0x683, {{2, {0x03020101, 0, 0, 0x0C040882}}});
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "cpudef.dat unreadable");
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, sysinfo::kDefinitionsUnreadableName);
    EXPECT_TRUE(sysinfo::descriptionLoaded);
    EXPECT_TRUE(reports.texts.empty());
    EXPECT_EQ(cpu.l2Kb, 256) << "the rest of the identification is unaffected";
}

TEST_F(UnreadableDefinitionsTest, ReadFailureWhileSeekingTheSection) {
    DefinitionsFile file("[1,0x64]\n" + Description("Athlon") + "[1,0x6A]\n" + Description("Athlon XP"));
    file.FailAfterLines(3);
    auto cpuid = Processor("AuthenticAMD", 0x6A0);
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, sysinfo::kDefinitionsUnreadableName);
    EXPECT_EQ(file.opened, 1);
    EXPECT_EQ(file.closed, 1);
}

TEST_F(UnreadableDefinitionsTest, ReadFailureInsideTheDescriptionLines) {
    DefinitionsFile file("[1,0x6A]\n" + Description("Athlon XP"));
    file.FailAfterLines(5);
    auto cpuid = Processor("AuthenticAMD", 0x6A0);
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, sysinfo::kDefinitionsUnreadableName);
    EXPECT_EQ(file.closed, 1);
}

TEST_F(UnreadableDefinitionsTest, FailureAfterTheLastNeededLineIsNotSeen) {
    DefinitionsFile file("[1,0x6A]\n" + Description("Athlon XP") + "more\n");
    file.FailAfterLines(8);
    auto cpuid = Processor("AuthenticAMD", 0x6A0);
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "Athlon XP");
}

TEST_F(UnreadableDefinitionsTest, UnknownVendorWithMissingFileIsNotReported) {
    // The file is opened first, as the lookup always does: when it cannot be
    // opened the lookup ends there, and the vendor is never resolved.
    DefinitionsFile file("");
    file.RefuseToOpen();
    auto cpuid = Processor("GenuineTMx86", 0x543);
    VendorReports reports;
    ScriptedClock clock;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_TRUE(reports.texts.empty());
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, sysinfo::kDefinitionsUnreadableName);
}

TEST_F(UnreadableDefinitionsTest, TextFitsTheProcessorLabel) {
    // The label is 94 dialog units wide: about 23 average 8-point characters.
    EXPECT_LE(std::string(sysinfo::kDefinitionsUnreadableName).size(), 23u);
    EXPECT_NE(std::string(sysinfo::kDefinitionsUnreadableName), sysinfo::kUnknownProcessorName);
}

} // namespace
