// The processor facts: CPUID dumps of real processors against the shipped
// cpudef.dat, the cache rules the dumps do not reach, the once-per-process
// lookup with its file closed on every path, and the clock arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "SourceTree.h"
#include "framework/FileError.h"
#include "framework/LineSource.h"
#include "sysinfo/CacheDescriptors.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/CpuidDump.h"
#include "sysinfo/CpuidSource.h"
#include "sysinfo/MachineFacts.h"
#include "tools/korvane-cpuid/CpuidReport.h"

namespace {

using sourcetree::SourcePath;

using Leaves = std::vector<std::pair<std::uint32_t, sysinfo::CpuidRegisters>>;

// Puts the process-wide record and flags back to how a program starts.
void ResetProcessState() {
    sysinfo::TheCpuDescription() = sysinfo::CpuDescription{};
}

class LoggingCpuid : public sysinfo::RecordedCpuid {
public:
    sysinfo::CpuidRegisters Query(std::uint32_t leaf) override {
        queried.push_back(leaf);
        return RecordedCpuid::Query(leaf);
    }
    std::vector<std::uint32_t> queried;
};

class ScriptedClock : public sysinfo::ClockSource {
public:
    // The counter's frequency, its two readings, the time-stamp counter's two readings.
    std::uint64_t readings[5] = {};
    std::string calls;

    std::uint64_t PerformanceFrequency() override { return calls += "f ", readings[0]; }
    std::uint64_t PerformanceCounter() override { return calls += "c ", readings[1 + counterReads_++ % 2]; }
    std::uint64_t TimeStampCounter() override { return calls += "t ", readings[3 + cycleReads_++ % 2]; }
    void Pause(unsigned milliseconds) override { calls += "pause" + std::to_string(milliseconds) + " "; }

private:
    int counterReads_ = 0;
    int cycleReads_ = 0;
};

// A processor as recorded registers, cpudef.dat as a text, and a clock a test
// sets, with a record of what CpuInfo did with them: the leaves it asked for, how
// often the file was opened and closed, and the vendor errors it reported.
class Rig {
public:
    // Leaf 0 names `vendor` (EBX, EDX, ECX), leaf 1 has `signature` in EAX.
    Rig(const char* vendor, std::uint32_t signature, const Leaves& leaves = {}, std::string text = "")
        : definitions(std::move(text)) {
        ResetProcessState();
        std::uint32_t words[3] = {};
        std::memcpy(words, vendor, std::min(sizeof words, std::strlen(vendor)));
        cpuid.Record(0, {2, words[0], words[2], words[1]});
        cpuid.Record(1, {signature, 0, 0, 0});
        for (const auto& [leaf, registers] : leaves) {
            cpuid.Record(leaf, registers);
        }
    }
    ~Rig() { ResetProcessState(); }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    sysinfo::CpuInfo Make() {
        return sysinfo::CpuInfo(
            cpuid,
            [this]() -> std::unique_ptr<framework::LineSource> {
                if (refuseToOpen) {
                    throw framework::FileError("cpudef.dat", "The system cannot find the file specified.");
                }
                ++opened;
                return std::make_unique<Lines>(*this);
            },
            [this](const char* text) {
                reports.emplace_back(text);
                openWhenReported = openWhenReported || opened != closed;
            },
            clock);
    }

    LoggingCpuid cpuid;
    ScriptedClock clock;
    std::string definitions;
    bool refuseToOpen = false;
    int failAfterLines = -1; // a read error after this many lines, as of a broken disk
    int opened = 0;
    int closed = 0;
    std::vector<std::string> reports;
    bool openWhenReported = false;

private:
    class Lines : public framework::LineSource {
    public:
        explicit Lines(Rig& rig) : rig_(rig), lines_(rig.definitions) {}
        ~Lines() override { ++rig_.closed; }
        bool LineWasCut() const override { return lines_.LineWasCut(); }
        bool ReadLine(std::string& line) override {
            if (rig_.failAfterLines == 0) {
                throw framework::FileError("cpudef.dat", "The device is not ready.");
            }
            --rig_.failAfterLines;
            return lines_.ReadLine(line);
        }

    private:
        Rig& rig_;
        framework::TextLineSource lines_;
    };
};

std::string Facts(const sysinfo::CpuInfo& cpu) {
    std::ostringstream facts;
    facts << cpu.vendor << ' ' << cpu.family << ' ' << cpu.model << ' ' << cpu.stepping << ", "
          << cpu.l1DataKb << '+' << cpu.l1CodeKb << ' ' << cpu.l2Kb;
    return facts.str();
}

// Each dump in tests/data/cpuid through korvane-cpuid, which reads it as CPUID and
// looks it up in res/cpudef.dat as Korvane does; expected.txt holds the report.
TEST(CpuTest, RealProcessorsGiveTheirFactsAndNames) {
    std::set<std::string> listed;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cpuid/expected.txt")) {
        const std::string& line = row.at(0);
        const std::string file = line.substr(0, line.find(' '));
        listed.insert(file);
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(cpuidtool::RunCpuidReport(
                      {"--cpudef", SourcePath("res/cpudef.dat"), SourcePath("tests/data/cpuid/" + file)}, out,
                      errors),
                  cpuidtool::kReportComplete)
            << file << ": " << errors.str();
        std::string report = sourcetree::Replaced(out.str(), ": ", "=");
        std::replace(report.begin(), report.end(), '\n', ' ');
        EXPECT_EQ(file + " " + report, line + " ");
    }
    ResetProcessState();
    std::set<std::string> dumps;
    for (const auto& item : std::filesystem::directory_iterator(SourcePath("tests/data/cpuid"))) {
        dumps.insert(item.path().filename().string());
    }
    dumps.erase("expected.txt");
    EXPECT_EQ(dumps, listed) << "every dump has its line";
    std::ostringstream out, errors; // a --cpudef without its path is a usage error
    EXPECT_EQ(cpuidtool::RunCpuidReport({*dumps.begin(), "--cpudef"}, out, errors), cpuidtool::kReportFailed);
    EXPECT_EQ(errors.str().rfind("korvane-cpuid: --cpudef needs a path\n", 0), 0u) << errors.str();
    EXPECT_GE(listed.size(), 15u);
}

// tests/data/cpu-vendors.txt.
TEST(CpuTest, VendorAndSignature) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cpu-vendors.txt")) {
        Rig rig(row[0].c_str(), 0xFFFFF5A7u);
        EXPECT_EQ(Facts(rig.Make()), row.at(1));
        EXPECT_EQ(rig.cpuid.queried, (std::vector<std::uint32_t>{0, 1})) << "no cache leaf for " << row[0];
    }
}

// tests/data/intel-cache-descriptors.txt: every byte alone, then leaf 2's eight.
TEST(CpuTest, IntelDescriptorBytes) {
    const auto text = [](const sysinfo::CacheSizes& sizes) {
        return std::to_string(sizes.l1DataKb) + ' ' + std::to_string(sizes.l1CodeKb) + ' ' +
               std::to_string(sizes.l2Kb);
    };
    std::map<int, std::string> known;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("intel-cache-descriptors.txt")) {
        sysinfo::CacheSizes sizes{1, 2, 3};
        if (row.size() == 2) {
            known[std::stoi(row[0], nullptr, 16)] = row[1];
        } else {
            sysinfo::ApplyIntelLeaf2(std::stoul(row[0], nullptr, 16), std::stoul(row.at(1), nullptr, 16),
                                     sizes);
            EXPECT_EQ(text(sizes), row.at(2)) << row[0] << ' ' << row[1];
        }
    }
    for (int byte = 0; byte < 256; ++byte) {
        sysinfo::CacheSizes sizes{1, 2, 3};
        EXPECT_EQ(sysinfo::ApplyIntelDescriptor(static_cast<std::uint8_t>(byte), sizes),
                  known.count(byte) == 1);
        EXPECT_EQ(text(sizes), known.count(byte) == 1 ? known[byte] : "1 2 3") << byte;
    }
}

// tests/data/amd-cache-leaves.txt.
TEST(CpuTest, AmdExtendedLeaves) {
    const std::map<std::uint32_t, sysinfo::CpuidRegisters> recorded = {
        {0x80000005u, {0, 0, 0x40020140, 0x20020220}}, {0x80000006u, {0, 0, 0x02008140, 0}}};
    for (const std::vector<std::string>& row : sourcetree::ReadTable("amd-cache-leaves.txt")) {
        Leaves leaves;
        if (row.at(1) != "-") {
            leaves.push_back(
                {0x80000000u, {static_cast<std::uint32_t>(std::stoul(row[1], nullptr, 16)), 0, 0, 0}});
        }
        for (const std::string& leaf : sourcetree::Split(row.at(2), ' ')) {
            leaves.push_back(*recorded.find(static_cast<std::uint32_t>(std::stoul(leaf, nullptr, 16))));
        }
        Rig rig("AuthenticAMD", static_cast<std::uint32_t>(std::stoul(row[0], nullptr, 16)), leaves);
        const std::string facts = Facts(rig.Make());
        EXPECT_EQ(facts.substr(facts.find(", ") + 2), row.at(3)) << row[0];
    }
}

TEST(CpuTest, LookupOncePerProcessWithTheFileClosedBeforeAVendorError) {
    {
        Rig rig("GenuineIntel", 0x683, {{2, {0x03020101, 0, 0, 0x0C040882}}},
                "[2,0x68]\n[128]\nx\nCeleron\n[256]\nx\nPentium III\n");
        const sysinfo::CpuInfo first = rig.Make();
        EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "Pentium III") << "sought with the size found";
        EXPECT_EQ(rig.clock.calls, "") << "the clock is measured only when asked";
        const sysinfo::CpuInfo second = rig.Make();
        EXPECT_EQ(rig.opened, 1);
        EXPECT_EQ(rig.closed, 1);
    }
    Rig rig("GenuineTMx86", 0x543, {}, "[2,0x54]\nx\nPentium\n");
    const sysinfo::CpuInfo cpu = rig.Make();
    EXPECT_EQ(rig.reports, std::vector<std::string>{"Error: cannot resolve vendor string"});
    EXPECT_FALSE(rig.openWhenReported);
    EXPECT_EQ(rig.opened, 1) << "opened before the vendor is resolved";
    EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "");
    EXPECT_TRUE(sysinfo::TheCpuDescription().descriptionLoaded);
    sysinfo::CpuInfo again = rig.Make();
    EXPECT_EQ(rig.reports.size(), 1u) << "reported once per process";
    EXPECT_THROW(again.LoadDescription(), const char*);
    EXPECT_EQ(rig.closed, 2);
}

// tests/data/cpudef-lookups.txt.
TEST(CpuTest, DefinitionsFileLookup) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cpudef-lookups.txt")) {
        Rig rig(row[0].c_str(), std::stoul(row.at(1), nullptr, 16), {}, sourcetree::Unescaped(row.at(3)));
        sysinfo::CpuInfo cpu = rig.Make();
        cpu.l2Kb = std::stoi(row.at(2));
        cpu.LoadDescription();
        EXPECT_EQ(sysinfo::TheCpuDescription().processorName,
                  sourcetree::Unescaped(row.size() > 4 ? row[4] : ""))
            << row[0] << ' ' << row[3];
        EXPECT_EQ(rig.closed, 2);
    }
}

// tests/data/cpudef-unreadable.txt, and a file refused before the vendor is resolved.
TEST(CpuTest, UnreadableDefinitionsFile) {
    const auto text = [](const std::string& field) {
        return sourcetree::Unescaped(
            sourcetree::Replaced(field, "{bound}", std::string(framework::kMaxLineBytes, 'n')));
    };
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cpudef-unreadable.txt")) {
        Rig rig("AuthenticAMD", 0x6A0, {}, text(row.at(1)));
        rig.refuseToOpen = row[0] == "refused";
        rig.failAfterLines = rig.refuseToOpen ? -1 : std::stoi(row[0]);
        const sysinfo::CpuInfo cpu = rig.Make();
        EXPECT_EQ(sysinfo::TheCpuDescription().processorName, text(row.at(2))) << row[0] << ' ' << row[1];
        EXPECT_EQ(rig.closed, rig.opened);
        EXPECT_TRUE(sysinfo::TheCpuDescription().descriptionLoaded);
    }
    Rig unknown("GenuineTMx86", 0x543);
    unknown.refuseToOpen = true;
    const sysinfo::CpuInfo cpu = unknown.Make();
    EXPECT_TRUE(unknown.reports.empty()) << "the lookup ends before the vendor is resolved";
}

// tests/data/clock-readings.txt, each measured once per process.
TEST(CpuTest, ClockArithmetic) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("clock-readings.txt")) {
        Rig rig("GenuineIntel", 0x683);
        for (std::size_t i = 0; i < 5; ++i) {
            rig.clock.readings[i] = std::stoull(row.at(i), nullptr, 0);
        }
        sysinfo::CpuInfo cpu = rig.Make();
        cpu.MeasureClock();
        EXPECT_EQ(static_cast<double>(sysinfo::TheCpuDescription().clockMhz), std::stod(row.at(5))) << row[0];
        EXPECT_EQ(rig.clock.calls, "f c t pause150 c t ");
        cpu.MeasureClock();
        EXPECT_EQ(rig.clock.calls, "f c t pause150 c t ") << "measured once per process";
    }
    EXPECT_EQ(sysinfo::CounterDifference(0xFFFFFFF0u, 0x10u), 0x20);
    EXPECT_EQ(sysinfo::CounterDifference(25, 10), -15);
}

// Lines of a CPUID dump as korvane-cpuid reads them: tests/data/cpuid-dump-lines.txt.
TEST(CpuTest, DumpLines) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cpuid-dump-lines.txt")) {
        std::ostringstream text;
        if (const auto dump = sysinfo::ParseCpuidDumpLine(row[0])) {
            const sysinfo::CpuidRegisters& r = dump->registers;
            text << std::hex << dump->leaf << ": " << r.eax << ' ' << r.ebx << ' ' << r.ecx << ' ' << r.edx;
        }
        EXPECT_EQ(text.str(), row.size() > 1 ? row[1] : "") << row[0];
    }
}

// tests/data/panel-texts.txt.
TEST(CpuTest, PanelTexts) {
    Rig rig("CyrixInstead", 0x524);
    sysinfo::CpuInfo cpu = rig.Make();
    for (const std::vector<std::string>& row : sourcetree::ReadTable("panel-texts.txt")) {
        std::string text;
        if (row[0] == "clock") {
            text = sysinfo::FrequencyText(std::stof(row.at(1)));
        } else if (row[0] == "RAM") {
            text = sysinfo::RamText(std::stoull(row.at(1)));
        } else {
            const std::vector<double> sizes = sourcetree::Numbers(row.at(1));
            cpu.l1DataKb = static_cast<int>(sizes.at(0));
            cpu.l1CodeKb = static_cast<int>(sizes.at(1));
            cpu.l2Kb = static_cast<int>(sizes.at(2));
            text = sysinfo::CacheText(cpu);
        }
        EXPECT_EQ(text, row.at(2)) << row[0] << ' ' << row[1];
    }
}

} // namespace
