// The windows of another process, seen from outside as a user meets them: finding
// top-level windows, reading control texts and check states, clicking buttons,
// reading list views, message boxes, focus, visibility and responsiveness.
//
// Messages that carry pointers are sent with SendMessageTimeout (GetWindowText
// does not cross processes), and every send has a time-out, so a hung program
// fails the test instead of hanging the driver. A button whose handler blocks
// (it runs a long job or a modal loop) is clicked by posting WM_COMMAND.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

// The longest a single sent message may take before the target counts as hung.
constexpr DWORD kSendTimeoutMs = 2000;

// The window class of dialogs and message boxes.
constexpr char kDialogClass[] = "#32770";

struct WindowQuery {
    std::string className = kDialogClass;
    std::optional<std::string> caption; // exact; any caption when not given
    bool visibleOnly = true;
};

// The top-level windows of process `processId` that match `query`, in Z order.
std::vector<HWND> TopLevelWindows(DWORD processId, const WindowQuery& query);
// The first of them, or null.
HWND FindTopLevelWindow(DWORD processId, const WindowQuery& query);
// Waits at most `timeoutMs` for such a window; null on time-out.
HWND WaitForTopLevelWindow(DWORD processId, const WindowQuery& query, DWORD timeoutMs);

// The window's class name (GetClassName works across processes).
std::string ClassName(HWND window);
// A window's or control's text through WM_GETTEXT; nothing if the window does
// not answer in time or does not exist.
std::optional<std::string> WindowText(HWND window);
// The text the system keeps for a window, read without sending the window a
// message, so that it can be read while the window's thread is busy. Windows
// keeps it so only for captions; Wine keeps it for every window, controls too.
std::string StoredWindowText(HWND window);
// The text of control `id` of `dialog`.
std::optional<std::string> ControlText(HWND dialog, int id);
// The child windows of `window`, in Z order (which for a dialog is template order).
std::vector<HWND> ChildWindows(HWND window);
// The texts of the children of `window` whose class is `className`.
std::vector<std::string> ChildTexts(HWND window, const std::string& className);

// BM_GETCHECK of control `id`: true for checked, false for unchecked; nothing
// if the control is missing or does not answer.
std::optional<bool> IsChecked(HWND dialog, int id);
// Posts WM_COMMAND(MAKEWPARAM(id, BN_CLICKED), control) to `dialog`: the click
// for a button whose handler blocks. False if it could not be posted.
bool PostClick(HWND dialog, int id);
// Posts a command with no control (IDOK, IDCANCEL as the keyboard sends them).
bool PostCommand(HWND window, int commandId);
// Posts WM_SYSCOMMAND with `command` (SC_CLOSE, a system-menu item's id).
bool PostSysCommand(HWND window, WPARAM command);
// Sends BM_CLICK to control `id` and waits for it to be handled: only for radio
// buttons and check boxes, whose handlers return at once.
bool SendClick(HWND dialog, int id);

bool IsVisible(HWND window);
// The window that has the keyboard focus in the thread that owns `window`
// (GetGUIThreadInfo), or null.
HWND FocusedWindow(HWND window);
// The control id of that window, or nothing.
std::optional<int> FocusedControlId(HWND window);
// True when `window`'s thread handles a sent WM_NULL within `timeoutMs`; false
// while a handler of that thread blocks.
bool IsResponsive(HWND window, DWORD timeoutMs = 250);

// A list-view control of another process, read through memory reserved in that
// process: of the driver's bitness, or a 64-bit one read by a 32-bit driver.
struct ListViewColumn {
    std::string heading;
    int widthPx = 0;
};
std::optional<std::vector<ListViewColumn>> ListViewColumns(HWND list);
// Every row, each with the texts of all columns.
std::optional<std::vector<std::vector<std::string>>> ListViewRows(HWND list);

// A message box: a visible top-level dialog whose only text is one static control.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
// The first message box of process `processId` open now.
std::optional<MessageBoxInfo> FindMessageBox(DWORD processId);
// Waits at most `timeoutMs` for one.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs);
// Closes it as its OK button does (posts WM_COMMAND IDOK) and waits at most
// `timeoutMs` for the box to go. False if it is still there.
bool CloseMessageBox(const MessageBoxInfo& box, DWORD timeoutMs = 5000);

} // namespace driver
