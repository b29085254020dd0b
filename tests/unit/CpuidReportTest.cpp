// korvane-cpuid's report on dump files and definitions files written here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CpuTestSupport.h"
#include "tools/korvane-cpuid/CpuidReport.h"

namespace {

namespace fs = std::filesystem;

constexpr char kDefinitions[] = "; test definitions\r\n"
                                "[2,0x67]\r\n[256]\r\nx\r\nPentium III (Katmai) 256\r\n\r\n\r\n\r\n\r\n\r\n"
                                "[512]\r\nx\r\nPentium III (Katmai)\r\n\r\n\r\n\r\n\r\n\r\n"
                                "[1,0x63]\r\nx\r\nDuron (Spitfire)\r\n\r\n\r\n\r\n\r\n\r\n";

constexpr char kKatmaiDump[] = "# Intel Pentium III (Katmai)\n"
                               "CPUID 00000000: 00000003-756E6547-6C65746E-49656E69\n"
                               "CPUID 00000001: 00000673-00000000-00000000-0387F9FF\n"
                               "CPUID 00000002: 03020101-00000000-00000000-0C040843\n"
                               "CPUID 00000003: 00000000-00000000-8EF18AEE-0000D043\n";

// Duron stepping 0, CR LF, with a second (ignored) line for leaf 0x80000006.
constexpr char kSpitfireDump[] = "AMD Duron (Spitfire)\r\n"
                                 "CPUID 00000000: 00000001-68747541-444D4163-69746E65\r\n"
                                 "CPUID 00000001: 00000630-00000000-00000000-0183F9FF\r\n"
                                 "CPUID 80000000: 80000006-68747541-444D4163-69746E65\r\n"
                                 "CPUID 80000005: 0408FF08-FF18FF10-40020140-40020140\r\n"
                                 "CPUID 80000006: 00000000-41004100-00018140-00000000\r\n"
                                 "CPUID 80000006: 00000000-41004100-02008140-00000000\r\n";

class CpuidReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        cputest::ResetProcessState();
        folder_ = fs::temp_directory_path() /
                  ("korvane-cpuid-test-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        cputest::ResetProcessState();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = folder_ / name;
        std::ofstream file(path, std::ios::binary);
        file << text;
        return path.string();
    }

    int Run(const std::vector<std::string>& arguments) {
        out_.str("");
        errors_.str("");
        return cpuidtool::RunCpuidReport(arguments, out_, errors_);
    }

    fs::path folder_;
    std::ostringstream out_;
    std::ostringstream errors_;
};

TEST_F(CpuidReportTest, PentiumIIIKatmai) {
    const std::string definitions = Write("cpudef.dat", kDefinitions);
    const std::string dump = Write("katmai.txt", kKatmaiDump);
    EXPECT_EQ(Run({dump, "--cpudef", definitions}), cpuidtool::kReportComplete);
    EXPECT_EQ(out_.str(), "vendor: GenuineIntel\n"
                          "family: 6\n"
                          "model: 7\n"
                          "stepping: 3\n"
                          "l1DataKb: 16\n"
                          "l1CodeKb: 16\n"
                          "l2Kb: 512\n"
                          "sectionKey: [2,0x67]\n"
                          "processorName: Pentium III (Katmai)\n");
    EXPECT_EQ(errors_.str(), "");
}

TEST_F(CpuidReportTest, DuronSpitfireFirstLineOfALeafWins) {
    const std::string definitions = Write("defs.dat", kDefinitions);
    const std::string dump = Write("spitfire.txt", kSpitfireDump);
    EXPECT_EQ(Run({"--cpudef", definitions, dump}), cpuidtool::kReportComplete);
    EXPECT_EQ(out_.str(), "vendor: AuthenticAMD\n"
                          "family: 6\n"
                          "model: 3\n"
                          "stepping: 0\n"
                          "l1DataKb: 64\n"
                          "l1CodeKb: 64\n"
                          "l2Kb: 64\n"
                          "sectionKey: [1,0x63]\n"
                          "processorName: Duron (Spitfire)\n");
}

TEST_F(CpuidReportTest, MissingLeavesReadAsZeros) {
    const std::string definitions = Write("cpudef.dat", kDefinitions);
    // No leaf 2: all descriptor bytes are 0, and the third one clears the sizes.
    const std::string dump = Write("short.txt", "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
                                                "CPUID 00000001: 00000F24-00010809-00000000-3FEBFBFF\n");
    EXPECT_EQ(Run({dump, "--cpudef", definitions}), cpuidtool::kReportComplete);
    EXPECT_EQ(out_.str(), "vendor: GenuineIntel\n"
                          "family: 15\n"
                          "model: 2\n"
                          "stepping: 4\n"
                          "l1DataKb: 0\n"
                          "l1CodeKb: 0\n"
                          "l2Kb: 0\n"
                          "sectionKey: [2,0xF2]\n"
                          "processorName: Unknow\n");
}

TEST_F(CpuidReportTest, UnknownVendorIsPrintedNotShown) {
    const std::string definitions = Write("cpudef.dat", kDefinitions);
    const std::string dump = Write("crusoe.txt", "CPUID 00000000: 00000001-756E6547-54656E69-3638784D\n"
                                                 "CPUID 00000001: 00000543-00000000-00000000-0080893F\n");
    EXPECT_EQ(Run({dump, "--cpudef", definitions}), cpuidtool::kReportIncomplete);
    EXPECT_EQ(out_.str(), "vendor: Unknown\n"
                          "family: 5\n"
                          "model: 4\n"
                          "stepping: 3\n"
                          "l1DataKb: 0\n"
                          "l1CodeKb: 0\n"
                          "l2Kb: 0\n"
                          "sectionKey: \n"
                          "processorName: \n");
    EXPECT_EQ(errors_.str(), "Error: cannot resolve vendor string\n");
}

TEST_F(CpuidReportTest, MissingDefinitionsFileSaysSo) {
    const std::string dump = Write("katmai.txt", kKatmaiDump);
    EXPECT_EQ(Run({dump, "--cpudef", (folder_ / "absent.dat").string()}), cpuidtool::kReportIncomplete);
    EXPECT_NE(out_.str().find("\nprocessorName: cpudef.dat unreadable\n"), std::string::npos) << out_.str();
    EXPECT_NE(errors_.str().find("absent.dat"), std::string::npos) << errors_.str();
}

TEST_F(CpuidReportTest, ReadsCpudefFromTheCurrentDirectory) {
    Write("cpudef.dat", kDefinitions);
    const std::string dump = Write("katmai.txt", kKatmaiDump);
    const fs::path previous = fs::current_path();
    fs::current_path(folder_);
    const int status = Run({dump});
    fs::current_path(previous);
    EXPECT_EQ(status, cpuidtool::kReportComplete);
    EXPECT_NE(out_.str().find("\nprocessorName: Pentium III (Katmai)\n"), std::string::npos) << out_.str();
}

TEST_F(CpuidReportTest, RunsTwiceInOneProcess) {
    const std::string definitions = Write("cpudef.dat", kDefinitions);
    const std::string katmai = Write("katmai.txt", kKatmaiDump);
    const std::string spitfire = Write("spitfire.txt", kSpitfireDump);
    Run({katmai, "--cpudef", definitions});
    EXPECT_EQ(Run({spitfire, "--cpudef", definitions}), cpuidtool::kReportComplete);
    EXPECT_NE(out_.str().find("\nprocessorName: Duron (Spitfire)\n"), std::string::npos) << out_.str();
}

TEST_F(CpuidReportTest, WithoutDumpReadsThisMachine) {
    const std::string definitions = Write("cpudef.dat", "");
    const int status = Run({"--cpudef", definitions});
    sysinfo::CpuidRegisters leaf0 = sysinfo::MachineCpuid().Query(0);
    std::string identification;
    for (std::uint32_t word : {leaf0.ebx, leaf0.edx, leaf0.ecx}) {
        for (int shift = 0; shift < 32; shift += 8) {
            identification.push_back(static_cast<char>((word >> shift) & 0xFF));
        }
    }
    const bool known = identification == "GenuineIntel" || identification == "AuthenticAMD" ||
                       identification == "CyrixInstead" || identification == "CentaurHauls" ||
                       identification == "RiseRiseRise";
    EXPECT_EQ(out_.str().rfind("vendor: " + (known ? identification : std::string("Unknown")) + "\n", 0), 0u)
        << out_.str();
    EXPECT_EQ(status, known ? cpuidtool::kReportComplete : cpuidtool::kReportIncomplete);
}

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments;
};

class CpuidReportFailureTest : public CpuidReportTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CpuidReportFailureTest, PrintsNoFacts) {
    Write("nodump.txt", "not a dump\n");
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments) {
        arguments.push_back(argument.rfind("@", 0) == 0 ? (folder_ / argument.substr(1)).string() : argument);
    }
    EXPECT_EQ(Run(arguments), cpuidtool::kReportFailed);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(errors_.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Arguments, CpuidReportFailureTest,
                         ::testing::Values(FailureCase{"MissingDump", {"@absent.txt"}},
                                           FailureCase{"NoCpuidLines", {"@nodump.txt"}},
                                           FailureCase{"CpudefWithoutPath", {"@nodump.txt", "--cpudef"}},
                                           FailureCase{"UnknownOption", {"--verbose"}},
                                           FailureCase{"TwoDumps", {"@a.txt", "@b.txt"}},
                                           FailureCase{"Help", {"--help"}}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
