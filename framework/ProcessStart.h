// What a process sets first, a window program and a console program alike.
#pragma once

namespace framework {

// A crash ends the process with a failure status (0xC0000409) instead of waiting
// on the system's crash dialog, and on x87 (i686) double arithmetic rounds to 53
// bits, as on every other Windows compiler and in the x86_64 build.
void StartProcess() noexcept;

} // namespace framework
