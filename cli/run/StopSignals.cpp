// The console control handler and its two events.
#include "cli/run/StopSignals.h"

#include "framework/Handles.h"

namespace cli {

namespace {

// How long a closing console window waits for the results to be written.
constexpr DWORD kCloseWaitMs = 4000;

// The two events between the run and the handler. They belong to the process,
// not to a run's locals, so that the handler never sees a closed handle.
struct StopSignals {
    // Set by the handler: the run stops.
    framework::UniqueHandle stop{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // Set by the run once its files are written, so that a closing console window waits for them.
    framework::UniqueHandle done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};
StopSignals theSignals;

BOOL WINAPI OnConsoleControl(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        ::SetEvent(theSignals.stop.get());
        return TRUE;
    case CTRL_CLOSE_EVENT:
        // The system ends the process when this returns: first let the run write out.
        ::SetEvent(theSignals.stop.get());
        ::WaitForSingleObject(theSignals.done.get(), kCloseWaitMs);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

ConsoleControlScope::ConsoleControlScope() noexcept {
    ::ResetEvent(theSignals.stop.get());
    ::ResetEvent(theSignals.done.get());
    // Started in a new process group, a console program ignores Ctrl-C until it asks for it.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

ConsoleControlScope::~ConsoleControlScope() {
    ::SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
}

void ConsoleControlScope::Done() noexcept {
    ::SetEvent(theSignals.done.get());
}

HANDLE StopEvent() noexcept {
    return theSignals.stop.get();
}

bool StopRequested() noexcept {
    return ::WaitForSingleObject(theSignals.stop.get(), 0) == WAIT_OBJECT_0;
}

bool WaitForStop(DWORD milliseconds) noexcept {
    return ::WaitForSingleObject(theSignals.stop.get(), milliseconds) == WAIT_OBJECT_0;
}

} // namespace cli
