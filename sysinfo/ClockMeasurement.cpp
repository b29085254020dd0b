// Clock arithmetic.
#include "sysinfo/ClockMeasurement.h"

namespace sysinfo {

namespace {
constexpr float kMicro = 1e-6f;
} // namespace

float TicksPerMicrosecond(std::uint32_t frequency) {
    return static_cast<float>(static_cast<double>(frequency) * static_cast<double>(kMicro));
}

std::int32_t CounterDifference(std::uint32_t before, std::uint32_t after) {
    return static_cast<std::int32_t>(after - before);
}

float ClockMhzFrom(const ClockReadings& readings) {
    const std::int32_t cycles = CounterDifference(readings.cyclesBefore, readings.cyclesAfter);
    const std::int32_t ticks = CounterDifference(readings.counterBefore, readings.counterAfter);
    if (readings.frequency == 0 || ticks == 0) {
        return 0.0f;
    }
    const double product =
        static_cast<double>(cycles) * static_cast<double>(TicksPerMicrosecond(readings.frequency));
    const double quotient = product / static_cast<double>(ticks);
    return static_cast<float>(quotient);
}

} // namespace sysinfo
