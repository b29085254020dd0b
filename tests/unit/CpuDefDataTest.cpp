// The shipped processor definitions file res/cpudef.dat and the CPUID dumps of
// real processors in tests/data/cpuid: the file's structure as the reader
// depends on it, and the facts Korvane derives from each dump (identification,
// cache sizes, section key and the name found in the shipped file).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "SourceTree.h"
#include "framework/LineSource.h"
#include "sysinfo/CacheDescriptors.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/CpuidDump.h"
#include "sysinfo/CpuidSource.h"

namespace {

using sourcetree::ReadBytes;
using sourcetree::SourcePath;

constexpr int kDescriptionLines = 7;
// The processor label of the main window is about 94 dialog units wide.
constexpr std::size_t kLongestName = 31;
const char* const kSplitSections[] = {"[2,0x65]", "[2,0x67]", "[2,0x68]"};
const char* const kVendorTexts[] = {
    "", "AuthenticAMD", "GenuineIntel", "CyrixInstead", "CentaurHauls", "RiseRiseRise"};

std::vector<std::string> AllLines(const std::string& text) {
    framework::TextLineSource source(text);
    std::vector<std::string> lines;
    std::string line;
    while (source.ReadLine(line)) {
        lines.push_back(line);
    }
    return lines;
}

bool IsUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "[V,0xFM]" with V from 1 to 5 and F, M uppercase hexadecimal digits.
bool IsSectionKey(const std::string& line) {
    return line.size() == 8 && line[0] == '[' && line[1] >= '1' && line[1] <= '5' &&
           line.compare(2, 3, ",0x") == 0 && IsUpperHexDigit(line[5]) && IsUpperHexDigit(line[6]) &&
           line[7] == ']';
}

// "[N]" with N a decimal number of kilobytes.
bool IsVariantKey(const std::string& line) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') {
        return false;
    }
    for (std::size_t i = 1; i + 1 < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9') {
            return false;
        }
    }
    return true;
}

// A line that a reader or an editor could take for a key: bracketed once blanks are trimmed.
bool LooksLikeKey(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    const std::size_t last = line.find_last_not_of(" \t");
    return first != std::string::npos && line[first] == '[' && line[last] == ']';
}

bool IsSplitSection(const std::string& key) {
    for (const char* split : kSplitSections) {
        if (key == split) {
            return true;
        }
    }
    return false;
}

// Lines between entries: blank lines and comments.
bool IsFiller(const std::string& line) {
    return line.empty() || line[0] == ';';
}

// One entry of the file: the key that opens it, the section it belongs to, and
// where its description lines start.
struct Entry {
    std::string sectionKey;
    std::string variantKey; // empty outside the split sections
    std::size_t firstDescription = 0;
};

class ShippedDefinitionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::optional<std::string> bytes = ReadBytes(SourcePath("res/cpudef.dat"));
        ASSERT_TRUE(bytes.has_value()) << "cannot read " << SourcePath("res/cpudef.dat");
        bytes_ = *bytes;
        lines_ = AllLines(bytes_);
    }

    // Every section and variant key in file order, with its description's start.
    std::vector<Entry> Entries() const {
        std::vector<Entry> entries;
        std::string section;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (IsSectionKey(lines_[i])) {
                section = lines_[i];
                if (!IsSplitSection(section)) {
                    entries.push_back({section, "", i + 1});
                }
            } else if (IsVariantKey(lines_[i])) {
                entries.push_back({section, lines_[i], i + 1});
            }
        }
        return entries;
    }

    std::string bytes_;
    std::vector<std::string> lines_;
};

TEST_F(ShippedDefinitionsTest, IsAsciiTextWithCrLfLineEnds) {
    ASSERT_FALSE(bytes_.empty());
    ASSERT_GE(bytes_.size(), 2u);
    EXPECT_EQ(bytes_.substr(bytes_.size() - 2), "\r\n") << "the last line ends with CR LF";
    std::size_t lineNumber = 1;
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes_[i]);
        if (c == '\n') {
            EXPECT_TRUE(i > 0 && bytes_[i - 1] == '\r') << "line " << lineNumber << " ends with a bare LF";
            ++lineNumber;
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < bytes_.size() && bytes_[i + 1] == '\n') << "bare CR in line " << lineNumber;
        } else {
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << static_cast<int>(c) << " in line " << lineNumber;
        }
    }
}

TEST_F(ShippedDefinitionsTest, EveryKeyLikeLineIsAWellFormedKeyWithoutBlanks) {
    std::size_t sectionKeys = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        if (!LooksLikeKey(line)) {
            continue;
        }
        EXPECT_TRUE(IsSectionKey(line) || IsVariantKey(line))
            << "line " << i + 1 << " looks like a key but is none: \"" << line << "\"";
        if (IsSectionKey(line)) {
            ++sectionKeys;
        }
    }
    EXPECT_GT(sectionKeys, 0u);
}

TEST_F(ShippedDefinitionsTest, SectionKeysAreUnique) {
    std::set<std::string> seen;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (IsSectionKey(lines_[i])) {
            EXPECT_TRUE(seen.insert(lines_[i]).second) << lines_[i] << " again in line " << i + 1;
        }
    }
}

TEST_F(ShippedDefinitionsTest, VariantKeysOnlyInSplitSectionsAndUniqueThere) {
    std::string section;
    std::map<std::string, std::set<std::string>> variants;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (IsSectionKey(lines_[i])) {
            section = lines_[i];
        } else if (IsVariantKey(lines_[i])) {
            EXPECT_TRUE(IsSplitSection(section))
                << "variant " << lines_[i] << " in line " << i + 1 << " inside \"" << section << "\"";
            EXPECT_TRUE(variants[section].insert(lines_[i]).second)
                << lines_[i] << " twice in " << section << ", line " << i + 1;
        }
    }
}

// The variant search is not bounded by the next section: a split section must
// hold every size the leaf-2 descriptors can decode to, or a processor would
// take its name from a variant of a later section.
TEST_F(ShippedDefinitionsTest, SplitSectionsHoldEveryDecodableSize) {
    std::set<int> decodable = {sysinfo::CacheSizes{}.l2Kb}; // an unknown third descriptor clears it
    for (int descriptor = 0; descriptor <= 0xFF; ++descriptor) {
        sysinfo::CacheSizes sizes{0, 0, -2};
        if (sysinfo::ApplyIntelDescriptor(static_cast<std::uint8_t>(descriptor), sizes) && sizes.l2Kb != -2) {
            decodable.insert(sizes.l2Kb);
        }
    }
    ASSERT_GT(decodable.size(), 1u);
    std::map<std::string, std::set<std::string>> variants;
    for (const Entry& entry : Entries()) {
        if (!entry.variantKey.empty()) {
            variants[entry.sectionKey].insert(entry.variantKey);
        }
    }
    for (const char* section : kSplitSections) {
        for (const int l2Kb : decodable) {
            EXPECT_EQ(variants[section].count("[" + std::to_string(l2Kb) + "]"), 1u)
                << section << " has no variant for " << l2Kb << " KB";
        }
    }
}

TEST_F(ShippedDefinitionsTest, SplitSectionsOpenWithAVariant) {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (IsSplitSection(lines_[i])) {
            ASSERT_LT(i + 1, lines_.size());
            EXPECT_TRUE(IsVariantKey(lines_[i + 1]))
                << lines_[i] << " is followed by \"" << lines_[i + 1] << "\"";
        }
    }
}

TEST_F(ShippedDefinitionsTest, EveryEntryHasSevenDescriptionLines) {
    const std::vector<Entry> entries = Entries();
    ASSERT_FALSE(entries.empty());
    for (const Entry& entry : entries) {
        const std::string label = entry.sectionKey + entry.variantKey;
        ASSERT_LE(entry.firstDescription + kDescriptionLines, lines_.size()) << label << " is cut short";
        for (int n = 0; n < kDescriptionLines; ++n) {
            const std::string& line = lines_[entry.firstDescription + static_cast<std::size_t>(n)];
            EXPECT_FALSE(line.empty()) << label << ", description line " << n + 1 << " is empty";
            EXPECT_FALSE(LooksLikeKey(line))
                << label << ", description line " << n + 1 << ": \"" << line << "\"";
            EXPECT_FALSE(!line.empty() && line[0] == ';') << label << ", description line " << n + 1;
        }
        const std::size_t after = entry.firstDescription + kDescriptionLines;
        if (after < lines_.size()) {
            const std::string& next = lines_[after];
            EXPECT_TRUE(IsFiller(next) || IsSectionKey(next) || IsVariantKey(next))
                << label << " has an eighth description line: \"" << next << "\"";
        }
    }
}

TEST_F(ShippedDefinitionsTest, NamesFitTheProcessorLabel) {
    for (const Entry& entry : Entries()) {
        const std::string& name = lines_[entry.firstDescription + 1];
        EXPECT_LE(name.size(), kLongestName)
            << entry.sectionKey << entry.variantKey << ": \"" << name << "\"";
    }
}

// Korvane's own lookup finds every entry: no earlier line equals its key.
TEST_F(ShippedDefinitionsTest, LookupReachesEveryEntry) {
    for (const Entry& entry : Entries()) {
        const int vendorNumber = entry.sectionKey[1] - '0';
        const auto hexValue = [](char c) {
            return c <= '9' ? c - '0' : c - 'A' + 10;
        };
        const int family = hexValue(entry.sectionKey[5]);
        const int model = hexValue(entry.sectionKey[6]);
        const int l2Kb = entry.variantKey.empty() ? 0 : std::stoi(entry.variantKey.substr(1));
        const std::optional<sysinfo::DefinitionKeys> keys =
            sysinfo::DefinitionKeysFor(kVendorTexts[vendorNumber], family, model, l2Kb);
        ASSERT_TRUE(keys.has_value()) << entry.sectionKey;
        EXPECT_EQ(keys->sectionKey, entry.sectionKey);
        EXPECT_EQ(keys->seeksVariant, !entry.variantKey.empty()) << entry.sectionKey;
        framework::TextLineSource source(bytes_);
        EXPECT_EQ(sysinfo::LookUpProcessorName(source, *keys), lines_[entry.firstDescription + 1])
            << entry.sectionKey << entry.variantKey;
    }
}

// --- Real processors -------------------------------------------------------

struct ExpectedFacts {
    std::string file;
    std::map<std::string, std::string> facts; // every fact but the name, as text
    std::string processorName;
};

// gtest names a failing case by its dump file.
void PrintTo(const ExpectedFacts& expected, std::ostream* out) {
    *out << expected.file;
}

constexpr char kNameField[] = " processorName=";

std::vector<ExpectedFacts> ReadExpectedFacts() {
    std::vector<ExpectedFacts> all;
    const std::optional<std::string> text = ReadBytes(SourcePath("tests/data/cpuid/expected.txt"));
    if (!text) {
        return all;
    }
    for (const std::string& line : AllLines(*text)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ExpectedFacts expected;
        const std::size_t nameAt = line.find(kNameField);
        if (nameAt == std::string::npos) {
            expected.file = line;
            all.push_back(expected);
            continue;
        }
        expected.processorName = line.substr(nameAt + sizeof(kNameField) - 1);
        std::istringstream fields(line.substr(0, nameAt));
        fields >> expected.file;
        std::string field;
        while (fields >> field) {
            const std::size_t equals = field.find('=');
            expected.facts[field.substr(0, equals)] =
                equals == std::string::npos ? "" : field.substr(equals + 1);
        }
        all.push_back(expected);
    }
    return all;
}

// Lets a test run the once-per-process lookup again and leaves the process's
// own description as it found it.
class FreshDescription {
public:
    FreshDescription() : loaded_(sysinfo::descriptionLoaded), saved_(sysinfo::TheCpuDescription()) {
        sysinfo::descriptionLoaded = false;
        sysinfo::TheCpuDescription().processorName.clear();
    }
    ~FreshDescription() {
        sysinfo::descriptionLoaded = loaded_;
        sysinfo::TheCpuDescription() = saved_;
    }
    FreshDescription(const FreshDescription&) = delete;
    FreshDescription& operator=(const FreshDescription&) = delete;

private:
    bool loaded_;
    sysinfo::CpuDescription saved_;
};

class RealProcessorTest : public ::testing::TestWithParam<ExpectedFacts> {};

TEST_P(RealProcessorTest, GivesTheExpectedFacts) {
    const ExpectedFacts& expected = GetParam();
    ASSERT_EQ(expected.facts.size(), 8u) << "expected.txt line for " << expected.file << " lacks facts";

    const std::optional<std::string> dump = ReadBytes(SourcePath("tests/data/cpuid/" + expected.file));
    ASSERT_TRUE(dump.has_value()) << "cannot read " << expected.file;
    framework::TextLineSource dumpLines(*dump);
    sysinfo::RecordedCpuid cpuid = sysinfo::ReadCpuidDump(dumpLines);
    ASSERT_TRUE(cpuid.Has(0) && cpuid.Has(1)) << expected.file << " lacks leaf 0 or 1";

    const std::optional<std::string> definitions = ReadBytes(SourcePath("res/cpudef.dat"));
    ASSERT_TRUE(definitions.has_value());
    int opened = 0;
    std::vector<std::string> vendorErrors;
    sysinfo::StoppedClock clock;
    FreshDescription fresh;
    const sysinfo::CpuInfo cpu(
        cpuid,
        [&]() -> std::unique_ptr<framework::LineSource> {
            ++opened;
            return std::make_unique<framework::TextLineSource>(*definitions);
        },
        [&](const char* text) { vendorErrors.emplace_back(text); }, clock);

    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(vendorErrors.empty());
    const std::optional<sysinfo::DefinitionKeys> keys =
        sysinfo::DefinitionKeysFor(cpu.vendor, cpu.family, cpu.model, cpu.l2Kb);
    const std::map<std::string, std::string> actual = {
        {"vendor", cpu.vendor},
        {"family", std::to_string(cpu.family)},
        {"model", std::to_string(cpu.model)},
        {"stepping", std::to_string(cpu.stepping)},
        {"l1DataKb", std::to_string(cpu.l1DataKb)},
        {"l1CodeKb", std::to_string(cpu.l1CodeKb)},
        {"l2Kb", std::to_string(cpu.l2Kb)},
        {"sectionKey", keys ? keys->sectionKey : std::string("(none)")},
    };
    for (const auto& [fact, value] : expected.facts) {
        const auto found = actual.find(fact);
        ASSERT_NE(found, actual.end()) << "unknown fact " << fact << " for " << expected.file;
        EXPECT_EQ(found->second, value) << fact << " of " << expected.file;
    }
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, expected.processorName) << expected.file;
}

std::string FixtureTestName(const ::testing::TestParamInfo<ExpectedFacts>& info) {
    std::string name;
    for (const char c : info.param.file.substr(0, info.param.file.rfind('.'))) {
        const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        name += alphanumeric ? c : '_';
    }
    return name.empty() ? "unnamed" : name;
}

INSTANTIATE_TEST_SUITE_P(Dumps, RealProcessorTest, ::testing::ValuesIn(ReadExpectedFacts()), FixtureTestName);

// Every dump in the folder is checked, and the required processors are there.
TEST(RealProcessorSetTest, EveryDumpHasExpectedFacts) {
    std::set<std::string> listed;
    for (const ExpectedFacts& expected : ReadExpectedFacts()) {
        EXPECT_TRUE(listed.insert(expected.file).second) << expected.file << " listed twice";
    }
    std::set<std::string> dumps;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(SourcePath("tests/data/cpuid"), error)) {
        const std::string file = item.path().filename().string();
        if (item.path().extension() == ".txt" && file != "expected.txt") {
            dumps.insert(file);
        }
    }
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(dumps, listed);
    std::set<std::string> names;
    for (const ExpectedFacts& expected : ReadExpectedFacts()) {
        names.insert(expected.processorName);
    }
    for (const char* required : {"Pentium III", "Pentium 4", "Celeron", "Athlon", "Duron"}) {
        bool present = false;
        for (const std::string& name : names) {
            present = present || name.find(required) != std::string::npos;
        }
        EXPECT_TRUE(present) << "no dump of a " << required;
    }
}

} // namespace
