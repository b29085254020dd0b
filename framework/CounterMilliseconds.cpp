// Milliseconds from a performance-counter reading.
#include "framework/CounterMilliseconds.h"

namespace framework {

std::uint64_t CounterMilliseconds(std::uint64_t count, std::uint64_t countsPerSecond) noexcept {
    if (countsPerSecond == 0) {
        return 0;
    }
    constexpr std::uint64_t kMsPerSecond = 1000;
    // Whole seconds and the rest apart: the rest times 1000 stays below
    // countsPerSecond * 1000, which does not overflow for any real counter.
    const std::uint64_t seconds = count / countsPerSecond;
    const std::uint64_t rest = count % countsPerSecond;
    return seconds * kMsPerSecond + rest * kMsPerSecond / countsPerSecond;
}

} // namespace framework
