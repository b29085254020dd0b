// Korvane's own windows as the driver meets them: their captions, a press of
// "BENCHMARK NOW!" followed to its end, and the details list opened and read.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver/Process.h"
#include "driver/Ui.h"

namespace driver {

constexpr char kMainCaption[] = "Korvane version 1.00 alpha";
constexpr char kResultCaption[] = "Korvane Result Window";
constexpr char kDetailsCaption[] = "Benchmark details";
constexpr char kAboutCaption[] = "About Korvane...";

// A top-level window of process `processId` with `caption`, hidden ones included; null if none.
HWND KorvaneWindow(DWORD processId, const char* caption);

// Waits for the dialog `caption` of `program` to be visible, looking every
// `pollMs` (the window exists, hidden, while it initialises): the window the
// moment it is first seen visible, or null on time-out or once the program ended.
HWND WaitForVisibleWindow(const Process& program, const char* caption, DWORD timeoutMs, DWORD pollMs = 50);

// How a press of "BENCHMARK NOW!" ended.
struct PressOutcome {
    std::optional<MessageBoxInfo> messageBox; // a box Korvane showed
    bool finished = false;                    // the main window answers again after the run
    bool resultsShown = false;                // the result window is visible at the end
    bool sawBusy = false;                     // the main window did not answer at some point
    bool timedOut = false;
    ULONGLONG elapsedMs = 0; // from the press to the outcome
};

// Hides a visible result window (so that its showing can be seen), posts the
// click on "BENCHMARK NOW!" and follows the press until a message box shows, or
// the main window answers again once `runDone` holds or the result window
// shows, or `timeoutMs` pass. `eachPoll` runs every time it looks (about every 50 ms).
PressOutcome PressBenchmarkNow(DWORD processId, HWND main, DWORD timeoutMs,
                               const std::function<bool()>& runDone = {},
                               const std::function<void()>& eachPoll = {});

// Presses "Benchmark Details..." in the result window (which may be hidden) and
// reads the list once the details window shows; nothing if it does not.
std::optional<std::vector<std::vector<std::string>>> OpenDetails(DWORD processId, DWORD timeoutMs);

} // namespace driver
