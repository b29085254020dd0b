// Seconds since a start, from the performance counter. Win32.
#pragma once

#include <windows.h>

namespace cli {

class Stopwatch {
public:
    Stopwatch() noexcept {
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&start_);
    }
    double Seconds() const noexcept {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return frequency_.QuadPart > 0 ? static_cast<double>(now.QuadPart - start_.QuadPart) /
                                             static_cast<double>(frequency_.QuadPart)
                                       : 0.0;
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

} // namespace cli
