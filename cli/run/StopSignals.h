// Ctrl-C, Ctrl-Break and a closing console window: the console control handler,
// which the system runs on a thread of its own at any moment, tells the run to
// stop through an event, and a closing window waits for the run's files. Win32.
#pragma once

#include <windows.h>

namespace cli {

// The handler, registered for as long as the object lives; the events start unset.
class ConsoleControlScope {
public:
    ConsoleControlScope() noexcept;
    ~ConsoleControlScope();
    ConsoleControlScope(const ConsoleControlScope&) = delete;
    ConsoleControlScope& operator=(const ConsoleControlScope&) = delete;

    // Marks the run's files as written: a closing console window need not wait longer.
    static void Done() noexcept;
};

// The event the handler sets when the run is to stop.
HANDLE StopEvent() noexcept;

// True once the run is to stop.
bool StopRequested() noexcept;

// Waits `milliseconds`, or less when the run is to stop; true when it is.
bool WaitForStop(DWORD milliseconds) noexcept;

} // namespace cli
