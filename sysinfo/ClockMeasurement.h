// Clock measurement: processor cycles (time-stamp counter) counted across a
// pause that the performance counter times. The arithmetic is platform-free;
// the counters and the pause come from a ClockSource.
#pragma once

#include <cstdint>

namespace sysinfo {

constexpr unsigned kClockPauseMilliseconds = 150;

class ClockSource {
public:
    virtual ~ClockSource() = default;
    // Performance-counter counts per second.
    virtual std::uint64_t PerformanceFrequency() = 0;
    virtual std::uint64_t PerformanceCounter() = 0;
    // The processor's time-stamp counter (RDTSC).
    virtual std::uint64_t TimeStampCounter() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
};

// A clock whose counters never move and which does not pause: a measurement
// with it gives 0.0 MHz at once. For reading a processor's identity without
// timing it (korvane-cpuid, tests).
class StoppedClock final : public ClockSource {
public:
    std::uint64_t PerformanceFrequency() override { return 0; }
    std::uint64_t PerformanceCounter() override { return 0; }
    std::uint64_t TimeStampCounter() override { return 0; }
    void Pause(unsigned /*milliseconds*/) override {}
};

// The machine's counters: QueryPerformanceFrequency/Counter, RDTSC and Sleep on
// Windows; the monotonic clock in nanoseconds, RDTSC and nanosleep elsewhere.
ClockSource& MachineClock();

// The low 32 bits of each reading, as the measurement keeps them.
struct ClockReadings {
    std::uint32_t frequency = 0;     // performance-counter counts per second
    std::uint32_t counterBefore = 0; // performance counter
    std::uint32_t cyclesBefore = 0;  // time-stamp counter
    std::uint32_t counterAfter = 0;
    std::uint32_t cyclesAfter = 0;
};

// The frequency times the float constant 1e-6, in double precision, rounded to float.
float TicksPerMicrosecond(std::uint32_t frequency);

// after - before modulo 2^32, read as a signed 32-bit number.
std::int32_t CounterDifference(std::uint32_t before, std::uint32_t after);

// Cycles times ticks per microsecond, divided by ticks, each step in double
// precision, rounded to float. 0 when the frequency or the tick difference is 0
// (no performance counter).
float ClockMhzFrom(const ClockReadings& readings);

} // namespace sysinfo
