// The machine's counters on Windows: the performance counter, RDTSC and Sleep.
#include "sysinfo/ClockMeasurement.h"

#include <windows.h>
#include <x86intrin.h>

namespace sysinfo {

namespace {

class Win32Clock : public ClockSource {
public:
    std::uint64_t PerformanceFrequency() override {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<std::uint64_t>(frequency.QuadPart);
    }

    std::uint64_t PerformanceCounter() override {
        LARGE_INTEGER counter{};
        ::QueryPerformanceCounter(&counter);
        return static_cast<std::uint64_t>(counter.QuadPart);
    }

    std::uint64_t TimeStampCounter() override { return __rdtsc(); }

    void Pause(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

} // namespace

ClockSource& MachineClock() {
    static Win32Clock clock;
    return clock;
}

} // namespace sysinfo
