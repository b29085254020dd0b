// Milliseconds from performance-counter readings: the usual frequencies, the
// rounding and readings large enough to overflow count * 1000.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/CounterMilliseconds.h"

namespace {

using framework::CounterMilliseconds;

struct CounterCase {
    const char* name;
    std::uint64_t count;
    std::uint64_t countsPerSecond;
    std::uint64_t expectedMs;
};

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

const CounterCase kCases[] = {
    {"zero count", 0, 10'000'000, 0},
    {"one second at 10 MHz", 10'000'000, 10'000'000, 1000},
    {"just under a millisecond rounds down", 9'999, 10'000'000, 0},
    {"exactly a millisecond", 10'000, 10'000'000, 1},
    {"ACPI timer, 1.5 s", 5'369'317, 3'579'545, 1499},
    {"ACPI timer, rest times 1000 rounds down", 3'579'545 + 3'579, 3'579'545, 1000},
    {"count whose product by 1000 overflows", kMax, 10'000'000, 1'844'674'407'370'955},
    {"count whose product by 1000 overflows, 1 kHz", kMax, 1000, kMax},
    {"frequency 0", 12345, 0, 0},
    {"counter at 3 GHz, 2^40 counts", std::uint64_t{1} << 40, 3'000'000'000, 366'503},
};

TEST(CounterMillisecondsTest, Table) {
    for (const CounterCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CounterMilliseconds(c.count, c.countsPerSecond), c.expectedMs);
    }
}

} // namespace
