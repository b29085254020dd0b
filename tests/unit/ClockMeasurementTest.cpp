// Clock measurement: the arithmetic of the examples, 32-bit readings and
// wrap-around, no performance counter, the order of the readings, the
// once-per-process flag; and the real machine against the kernel's TSC rate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "CpuTestSupport.h"
#include "sysinfo/ClockMeasurement.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/MachineFacts.h"

namespace {

using cputest::DefinitionsFile;
using cputest::Processor;
using cputest::ScriptedClock;
using cputest::VendorReports;

struct ClockCase {
    const char* name;
    std::uint64_t frequency;
    std::uint64_t counters[2];
    std::uint64_t cycles[2];
    double clockMhz; // exactly, as a float widened to double
    const char* text;
};

const ClockCase kClockCases[] = {
    {"TenMegahertzCounter", 10000000, {0, 1500000}, {0, 300000000}, 2000.0, "2000.00 MHz"},
    {"AcpiTimerFrequency", 3579545, {0, 536932}, {0, 150000000}, 999.99951171875, "1000.00 MHz"},
    {"FrequencyAbove32Bits", (1ull << 32) + 10000000, {0, 1500000}, {0, 300000000}, 2000.0, "2000.00 MHz"},
    {"OnlyLow32BitsOfReadings",
     10000000,
     {0x500000000ull, 0x700000000ull + 1500000},
     {0x1200000000ull, 0x3400000000ull + 300000000},
     2000.0,
     "2000.00 MHz"},
    {"TimeStampCounterWraps",
     10000000,
     {1000, 1000 + 1500000},
     {0xFFFFFFF0ull, 0x100000000ull + 300000000 - 0x10},
     2000.0,
     "2000.00 MHz"},
    {"PerformanceCounterWraps",
     10000000,
     {0xFFFFF000ull, 0x100000000ull + 1500000 - 0x1000},
     {0, 300000000},
     2000.0,
     "2000.00 MHz"},
    {"NoPerformanceCounter", 0, {0, 0}, {0, 300000000}, 0.0, "0.00 MHz"},
    {"ZeroFrequencyOnly", 0, {0, 1500000}, {0, 300000000}, 0.0, "0.00 MHz"},
    {"CounterDidNotMove", 10000000, {777, 777}, {0, 300000000}, 0.0, "0.00 MHz"},
    {"FrequencyOf2To32IsZero", 1ull << 32, {0, 1500000}, {0, 300000000}, 0.0, "0.00 MHz"},
};

class ClockArithmeticTest : public ::testing::TestWithParam<ClockCase> {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }
};

TEST_P(ClockArithmeticTest, MeasuresTheExample) {
    const ClockCase& c = GetParam();
    auto cpuid = Processor("GenuineIntel", 0x683);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    clock.frequency = c.frequency;
    clock.counters[0] = c.counters[0];
    clock.counters[1] = c.counters[1];
    clock.cycles[0] = c.cycles[0];
    clock.cycles[1] = c.cycles[1];
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    cpu.MeasureClock();
    const float clockMhz = sysinfo::TheCpuDescription().clockMhz;
    EXPECT_EQ(static_cast<double>(clockMhz), c.clockMhz);
    EXPECT_FALSE(std::isnan(clockMhz));
    EXPECT_EQ(sysinfo::FrequencyText(clockMhz), c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClockArithmeticTest, ::testing::ValuesIn(kClockCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ClockStepsTest, TicksPerMicrosecondRoundToFloat) {
    EXPECT_EQ(static_cast<double>(sysinfo::TicksPerMicrosecond(3579545)), 3.579545021057129);
    EXPECT_EQ(static_cast<double>(sysinfo::TicksPerMicrosecond(10000000)), 10.0);
    EXPECT_EQ(static_cast<double>(sysinfo::TicksPerMicrosecond(0)), 0.0);
    EXPECT_EQ(static_cast<double>(sysinfo::TicksPerMicrosecond(0xFFFFFFFFu)), 4294.96728515625);
}

TEST(ClockStepsTest, DifferencesAreSigned32Bit) {
    EXPECT_EQ(sysinfo::CounterDifference(10, 25), 15);
    EXPECT_EQ(sysinfo::CounterDifference(0xFFFFFFF0u, 0x10u), 0x20);
    EXPECT_EQ(sysinfo::CounterDifference(25, 10), -15);
    EXPECT_EQ(sysinfo::CounterDifference(0, 0x80000000u), INT32_MIN);
}

TEST(ClockStepsTest, LargestCycleCountOverFewTicks) {
    // 2^31-1 cycles at 3.579545 ticks/us over 3 ticks: the product is far beyond
    // 32 bits, and the quotient is rounded to float only at the end.
    sysinfo::ClockReadings readings;
    readings.frequency = 3579545;
    readings.counterAfter = 3;
    readings.cyclesAfter = 0x7FFFFFFF;
    EXPECT_EQ(sysinfo::ClockMhzFrom(readings), 2562338048.0f);
}

class MeasureClockTest : public ::testing::Test {
protected:
    void SetUp() override { cputest::ResetProcessState(); }
    void TearDown() override { cputest::ResetProcessState(); }
};

TEST_F(MeasureClockTest, ReadsCounterBeforeTimeStampAtBothEndsOfA150msPause) {
    auto cpuid = Processor("GenuineIntel", 0x683);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    clock.frequency = 10000000;
    clock.counters[1] = 1500000;
    clock.cycles[1] = 300000000;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    EXPECT_FALSE(sysinfo::clockMeasured);
    cpu.MeasureClock();
    EXPECT_EQ(clock.calls,
              (std::vector<std::string>{"frequency", "counter", "cycles", "pause 150", "counter", "cycles"}));
    EXPECT_TRUE(sysinfo::clockMeasured);
}

TEST_F(MeasureClockTest, SecondCallReturnsAtOnce) {
    auto cpuid = Processor("GenuineIntel", 0x683);
    DefinitionsFile file("");
    VendorReports reports;
    ScriptedClock clock;
    clock.frequency = 10000000;
    clock.counters[1] = 1500000;
    clock.cycles[1] = 300000000;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), clock);
    cpu.MeasureClock();
    clock.calls.clear();
    clock.cycles[1] = 600000000;
    cpu.MeasureClock();
    EXPECT_TRUE(clock.calls.empty()) << "no pause and no reading";
    EXPECT_EQ(sysinfo::TheCpuDescription().clockMhz, 2000.0f);

    // Another CpuInfo in the same process does not measure again either.
    sysinfo::CpuInfo second(cpuid, file.Opener(), reports.Reporter(), clock);
    second.MeasureClock();
    EXPECT_TRUE(clock.calls.empty());
    EXPECT_EQ(sysinfo::TheCpuDescription().clockMhz, 2000.0f);
}

TEST_F(MeasureClockTest, ClockStartsAtZero) {
    EXPECT_EQ(sysinfo::TheCpuDescription().clockMhz, 0.0f);
}

#if !defined(_WIN32)

// The kernel's time-stamp-counter rate in MHz, and where it was read; 0 when
// the kernel does not say.
double KernelTscMhz(std::string& source) {
    {
        std::ifstream sysfs("/sys/devices/system/cpu/cpu0/tsc_freq_khz");
        double khz = 0.0;
        if (sysfs >> khz && khz > 0.0) {
            source = "tsc_freq_khz";
            return khz / 1000.0;
        }
    }
    std::FILE* dmesg = ::popen("dmesg 2>/dev/null", "r");
    if (dmesg == nullptr) {
        return 0.0;
    }
    double refined = 0.0;
    double detectedTsc = 0.0;
    double detectedProcessor = 0.0;
    char buffer[1024];
    while (std::fgets(buffer, sizeof(buffer), dmesg) != nullptr) {
        const std::string line = buffer;
        double mhz = 0.0;
        std::size_t at = line.find("tsc: Refined TSC clocksource calibration: ");
        if (at != std::string::npos && std::sscanf(line.c_str() + at + 42, "%lf MHz", &mhz) == 1) {
            refined = mhz;
            continue;
        }
        at = line.find("tsc: Detected ");
        if (at != std::string::npos && std::sscanf(line.c_str() + at + 14, "%lf", &mhz) == 1) {
            if (line.find("MHz TSC") != std::string::npos) {
                detectedTsc = mhz;
            } else if (line.find("MHz processor") != std::string::npos) {
                detectedProcessor = mhz;
            }
        }
    }
    ::pclose(dmesg);
    if (refined > 0.0) {
        source = "dmesg: Refined TSC clocksource calibration";
        return refined;
    }
    if (detectedTsc > 0.0) {
        source = "dmesg: Detected ... MHz TSC";
        return detectedTsc;
    }
    // The kernel prints a separate "MHz TSC" line only when the TSC runs at
    // another rate than the processor; without one, the two are the same.
    if (detectedProcessor > 0.0) {
        source = "dmesg: Detected ... MHz processor (no separate TSC rate)";
        return detectedProcessor;
    }
    return 0.0;
}

TEST_F(MeasureClockTest, RealMachineWithinOneThousandthOfTheKernelsTscRate) {
    std::string source;
    const double kernelMhz = KernelTscMhz(source);
    if (kernelMhz <= 0.0) {
        GTEST_SKIP()
            << "the kernel reports no TSC frequency here (no tsc_freq_khz, dmesg silent or not readable)";
    }
    auto cpuid = Processor("GenuineIntel", 0x683);
    DefinitionsFile file("");
    VendorReports reports;
    sysinfo::CpuInfo cpu(cpuid, file.Opener(), reports.Reporter(), sysinfo::MachineClock());
    cpu.MeasureClock();
    const double measuredMhz = sysinfo::TheCpuDescription().clockMhz;
    std::printf("measured %s, kernel %.3f MHz (%s), off by %.4f %%\n",
                sysinfo::FrequencyText(static_cast<float>(measuredMhz)).c_str(), kernelMhz, source.c_str(),
                100.0 * (measuredMhz - kernelMhz) / kernelMhz);
    EXPECT_NEAR(measuredMhz, kernelMhz, kernelMhz * 0.001);
}

#endif

} // namespace
