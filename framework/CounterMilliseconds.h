// Milliseconds from a performance-counter reading, without the overflow of
// count * 1000. Platform-free; used where the system offers no 64-bit tick count.
#pragma once

#include <cstdint>

namespace framework {

// The whole milliseconds that `count` ticks of a counter running at
// `countsPerSecond` make (rounded down); 0 when the frequency is 0.
std::uint64_t CounterMilliseconds(std::uint64_t count, std::uint64_t countsPerSecond) noexcept;

} // namespace framework
