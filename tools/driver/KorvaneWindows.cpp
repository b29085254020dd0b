// Korvane's own windows as the driver meets them.
#include "driver/KorvaneWindows.h"

#include "driver/Timing.h"
#include "res/resource.h"

namespace driver {

HWND KorvaneWindow(DWORD processId, const char* caption) {
    return FindTopLevelWindow(processId, WindowQuery{kDialogClass, caption, false});
}

HWND WaitForVisibleWindow(const Process& program, const char* caption, DWORD timeoutMs, DWORD pollMs) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = window != nullptr && ::IsWindow(window) ? window : KorvaneWindow(program.Id(), caption);
            return (window != nullptr && ::IsWindowVisible(window)) || !program.IsRunning();
        },
        timeoutMs, pollMs);
    return window != nullptr && ::IsWindowVisible(window) ? window : nullptr;
}

PressOutcome PressBenchmarkNow(DWORD processId, HWND main, DWORD timeoutMs,
                               const std::function<bool()>& runDone, const std::function<void()>& eachPoll) {
    PressOutcome outcome;
    HWND result = KorvaneWindow(processId, kResultCaption);
    if (IsVisible(result)) {
        PostCommand(result, IDCANCEL);
        WaitUntil([&] { return !IsVisible(result); }, timeoutMs);
    }
    const Deadline deadline(timeoutMs);
    const ULONGLONG start = NowMs();
    outcome.timedOut = !PostClick(main, IDC_MAIN_BENCHMARK);
    while (!outcome.timedOut && ::IsWindow(main)) {
        if (eachPoll) {
            eachPoll();
        }
        if ((outcome.messageBox = FindMessageBox(processId))) {
            break;
        }
        // The run blocks the main window's thread until its very end, so an answer
        // once the run is done means the press is over. Without that an answer
        // proves nothing (it may come before the click is even taken).
        if (((runDone && runDone()) || IsVisible(KorvaneWindow(processId, kResultCaption))) &&
            IsResponsive(main)) {
            // A message box's own loop answers before the box is on screen: the
            // press is over only when no box has come a moment later.
            ::Sleep(500);
            if ((outcome.messageBox = FindMessageBox(processId))) {
                break;
            }
            outcome.finished = IsResponsive(main);
            if (outcome.finished) {
                break;
            }
        }
        outcome.sawBusy = outcome.sawBusy || !IsResponsive(main);
        outcome.timedOut = deadline.Expired();
        ::Sleep(50);
    }
    outcome.resultsShown = IsVisible(KorvaneWindow(processId, kResultCaption));
    outcome.elapsedMs = NowMs() - start;
    return outcome;
}

std::optional<std::vector<std::vector<std::string>>> OpenDetails(DWORD processId, DWORD timeoutMs) {
    if (!PostClick(KorvaneWindow(processId, kResultCaption), IDC_RESULT_DETAILS)) {
        return std::nullopt;
    }
    HWND details = nullptr;
    WaitUntil(
        [&] {
            return IsVisible(details = KorvaneWindow(processId, kDetailsCaption)) && IsResponsive(details);
        },
        timeoutMs);
    return IsVisible(details) ? ListViewRows(::GetDlgItem(details, IDC_DETAILS_LIST)) : std::nullopt;
}

} // namespace driver
