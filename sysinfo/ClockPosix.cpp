// The machine's counters where there is no Windows: the monotonic clock in
// nanoseconds stands for the performance counter.
#include "sysinfo/ClockMeasurement.h"

#include <cerrno>
#include <ctime>
#include <x86intrin.h>

namespace sysinfo {

namespace {

class MonotonicClock : public ClockSource {
public:
    std::uint64_t PerformanceFrequency() override { return 1000000000u; }

    std::uint64_t PerformanceCounter() override {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC_RAW, &now);
        return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
    }

    std::uint64_t TimeStampCounter() override { return __rdtsc(); }

    void Pause(unsigned milliseconds) override {
        timespec remaining{static_cast<time_t>(milliseconds / 1000),
                           static_cast<long>(milliseconds % 1000) * 1000000L};
        while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

ClockSource& MachineClock() {
    static MonotonicClock clock;
    return clock;
}

} // namespace sysinfo
