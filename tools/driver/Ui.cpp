// Reading and driving the windows of another process.
#include "driver/Ui.h"

#include <commctrl.h>

#include <cstddef>

#include "driver/Handles.h"
#include "driver/Paths.h"
#include "driver/Timing.h"

namespace driver {

namespace {

constexpr DWORD kPollMs = 50;
constexpr int kRemoteTextChars = 1024;

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                              &answer) == 0) {
        return false;
    }
    if (result != nullptr) {
        *result = answer;
    }
    return true;
}

struct TopLevelSearch {
    DWORD processId;
    const WindowQuery* query;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) {
        return TRUE;
    }
    if (search->query->visibleOnly && !::IsWindowVisible(window)) {
        return TRUE;
    }
    if (!EqualsIgnoringCase(ClassName(window), search->query->className)) {
        return TRUE;
    }
    // For another process's window GetWindowText reads the caption without sending
    // a message, so a busy program does not slow the search down.
    if (search->query->caption && StoredWindowText(window) != *search->query->caption) {
        return TRUE;
    }
    search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    auto* children = reinterpret_cast<std::vector<HWND>*>(context);
    children->push_back(window);
    return TRUE;
}

// A process opened for reading and writing its memory, for the list-view messages.
KernelHandle OpenForMemory(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return KernelHandle(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                      FALSE, processId));
}

template <typename Record> bool WriteRemote(HANDLE process, void* address, const Record& record) {
    SIZE_T written = 0;
    return ::WriteProcessMemory(process, address, &record, sizeof record, &written) &&
           written == sizeof record;
}

std::optional<std::string> ReadRemoteText(HANDLE process, const void* address) {
    char buffer[kRemoteTextChars + 1] = {};
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, address, buffer, kRemoteTextChars, &read)) {
        return std::nullopt;
    }
    return std::string(buffer);
}

// The layout of the memory reserved in the list's process: one record, then its text.
constexpr SIZE_T kRecordBytes = 256;
static_assert(sizeof(LVITEMA) <= kRecordBytes && sizeof(LVCOLUMNA) <= kRecordBytes);

// The start of LVITEMA and LVCOLUMNA as a 64-bit process lays them out, for a
// 32-bit driver that reads the list of a 64-bit program (the pointers are 8 bytes
// there, and aligned to 8). The fields after cchTextMax are not used.
struct ListItem64 {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    UINT padding;
    ULONGLONG pszText;
    int cchTextMax;
};
struct ListColumn64 {
    UINT mask;
    int fmt;
    int cx;
    UINT padding;
    ULONGLONG pszText;
    int cchTextMax;
};
static_assert(offsetof(ListItem64, pszText) == 24 && offsetof(ListColumn64, pszText) == 16);

// True when the driver is a 32-bit program and `process` a 64-bit one.
bool IsWiderProcess(HANDLE process) {
#if defined(_WIN64)
    (void)process;
    return false;
#else
    BOOL driverOnWow64 = FALSE;
    BOOL targetOnWow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &driverOnWow64) && driverOnWow64 &&
           ::IsWow64Process(process, &targetOnWow64) && !targetOnWow64;
#endif
}

ULONGLONG RemoteAddress(const void* address) {
    return static_cast<ULONGLONG>(reinterpret_cast<UINT_PTR>(address));
}

std::optional<int> ColumnCount(HWND list) {
    DWORD_PTR header = 0;
    DWORD_PTR count = 0;
    if (!Send(list, LVM_GETHEADER, 0, 0, &header) || header == 0 ||
        !Send(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &count)) {
        return std::nullopt;
    }
    return static_cast<int>(static_cast<LONG_PTR>(count));
}

// A message box has an icon, its text and at most four buttons. The cheap checks
// come first: a dialog with more controls, or one whose thread is busy (a message
// box's own loop always answers), is not read control by control.
constexpr std::size_t kMostMessageBoxControls = 6;

bool IsMessageBox(HWND window) {
    const std::vector<HWND> children = ChildWindows(window);
    if (children.empty() || children.size() > kMostMessageBoxControls || !IsResponsive(window)) {
        return false;
    }
    int textStatics = 0;
    for (HWND child : children) {
        const std::string className = ClassName(child);
        if (EqualsIgnoringCase(className, "Static")) {
            const std::optional<std::string> text = WindowText(child);
            if (text && !text->empty()) {
                ++textStatics;
            }
        } else if (!EqualsIgnoringCase(className, "Button")) {
            return false;
        }
    }
    return textStatics == 1;
}

} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const WindowQuery& query) {
    TopLevelSearch search{processId, &query, {}};
    ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevelWindow(DWORD processId, const WindowQuery& query) {
    const std::vector<HWND> found = TopLevelWindows(processId, query);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForTopLevelWindow(DWORD processId, const WindowQuery& query, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevelWindow(processId, query)) != nullptr; }, timeoutMs, kPollMs);
    return found;
}

std::string ClassName(HWND window) {
    char buffer[256] = {};
    const int length = ::GetClassNameA(window, buffer, static_cast<int>(sizeof buffer));
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string StoredWindowText(HWND window) {
    char buffer[1024] = {};
    const int length = ::GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::optional<std::string> WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (window == nullptr || !Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::optional<std::string> ControlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    if (control == nullptr) {
        return std::nullopt;
    }
    return WindowText(control);
}

std::vector<HWND> ChildWindows(HWND window) {
    std::vector<HWND> children;
    ::EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::vector<std::string> ChildTexts(HWND window, const std::string& className) {
    std::vector<std::string> texts;
    for (HWND child : ChildWindows(window)) {
        if (EqualsIgnoringCase(ClassName(child), className)) {
            texts.push_back(WindowText(child).value_or(std::string()));
        }
    }
    return texts;
}

std::optional<bool> IsChecked(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    DWORD_PTR state = 0;
    if (control == nullptr || !Send(control, BM_GETCHECK, 0, 0, &state)) {
        return std::nullopt;
    }
    return state != BST_UNCHECKED;
}

bool PostClick(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    if (control == nullptr) {
        return false;
    }
    return ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(control)) != FALSE;
}

bool PostCommand(HWND window, int commandId) {
    return ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0) != FALSE;
}

bool PostSysCommand(HWND window, WPARAM command) {
    return ::PostMessageA(window, WM_SYSCOMMAND, command, 0) != FALSE;
}

bool SendClick(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr && Send(control, BM_CLICK, 0, 0, nullptr);
}

bool IsVisible(HWND window) {
    return window != nullptr && ::IsWindowVisible(window) != FALSE;
}

HWND FocusedWindow(HWND window) {
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (thread == 0 || !::GetGUIThreadInfo(thread, &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

std::optional<int> FocusedControlId(HWND window) {
    HWND focus = FocusedWindow(window);
    if (focus == nullptr) {
        return std::nullopt;
    }
    return ::GetDlgCtrlID(focus);
}

bool IsResponsive(HWND window, DWORD timeoutMs) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
}

std::optional<std::vector<ListViewColumn>> ListViewColumns(HWND list) {
    const std::optional<int> count = ColumnCount(list);
    KernelHandle process = OpenForMemory(list);
    if (!count || !process) {
        return std::nullopt;
    }
    RemoteMemory remote(process.get(), kRecordBytes + kRemoteTextChars);
    if (!remote) {
        return std::nullopt;
    }
    const bool wider = IsWiderProcess(process.get());
    std::vector<ListViewColumn> columns;
    for (int column = 0; column < *count; ++column) {
        LVCOLUMNA record = {};
        record.mask = LVCF_TEXT | LVCF_WIDTH;
        record.pszText = static_cast<char*>(remote.At(kRecordBytes));
        record.cchTextMax = kRemoteTextChars;
        ListColumn64 wideRecord = {};
        wideRecord.mask = record.mask;
        wideRecord.pszText = RemoteAddress(record.pszText);
        wideRecord.cchTextMax = record.cchTextMax;
        DWORD_PTR found = 0;
        if (!(wider ? WriteRemote(process.get(), remote.At(0), wideRecord)
                    : WriteRemote(process.get(), remote.At(0), record)) ||
            !Send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.At(0)),
                  &found) ||
            found == 0) {
            return std::nullopt;
        }
        LVCOLUMNA answered = {};
        ListColumn64 wideAnswered = {};
        SIZE_T read = 0;
        if (!(wider ? ::ReadProcessMemory(process.get(), remote.At(0), &wideAnswered, sizeof wideAnswered,
                                          &read)
                    : ::ReadProcessMemory(process.get(), remote.At(0), &answered, sizeof answered, &read))) {
            return std::nullopt;
        }
        if (wider) {
            answered.cx = wideAnswered.cx;
        }
        const std::optional<std::string> heading = ReadRemoteText(process.get(), remote.At(kRecordBytes));
        if (!heading) {
            return std::nullopt;
        }
        columns.push_back({*heading, answered.cx});
    }
    return columns;
}

std::optional<std::vector<std::vector<std::string>>> ListViewRows(HWND list) {
    const std::optional<int> columns = ColumnCount(list);
    DWORD_PTR rowCount = 0;
    KernelHandle process = OpenForMemory(list);
    if (!columns || !process || !Send(list, LVM_GETITEMCOUNT, 0, 0, &rowCount)) {
        return std::nullopt;
    }
    RemoteMemory remote(process.get(), kRecordBytes + kRemoteTextChars);
    if (!remote) {
        return std::nullopt;
    }
    const bool wider = IsWiderProcess(process.get());
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < static_cast<int>(rowCount); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < *columns; ++column) {
            LVITEMA record = {};
            record.iSubItem = column;
            record.pszText = static_cast<char*>(remote.At(kRecordBytes));
            record.cchTextMax = kRemoteTextChars;
            ListItem64 wideRecord = {};
            wideRecord.iSubItem = column;
            wideRecord.pszText = RemoteAddress(record.pszText);
            wideRecord.cchTextMax = record.cchTextMax;
            // An empty text first, so a cell the list leaves untouched reads as empty.
            const char nothing = '\0';
            SIZE_T written = 0;
            if (!(wider ? WriteRemote(process.get(), remote.At(0), wideRecord)
                        : WriteRemote(process.get(), remote.At(0), record)) ||
                !::WriteProcessMemory(process.get(), remote.At(kRecordBytes), &nothing, 1, &written) ||
                !Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote.At(0)), nullptr)) {
                return std::nullopt;
            }
            const std::optional<std::string> text = ReadRemoteText(process.get(), remote.At(kRecordBytes));
            if (!text) {
                return std::nullopt;
            }
            cells.push_back(*text);
        }
        rows.push_back(cells);
    }
    return rows;
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, WindowQuery{})) {
        if (!IsMessageBox(window)) {
            continue;
        }
        MessageBoxInfo box;
        box.window = window;
        box.caption = WindowText(window).value_or(std::string());
        for (HWND child : ChildWindows(window)) {
            if (EqualsIgnoringCase(ClassName(child), "Static")) {
                const std::optional<std::string> text = WindowText(child);
                if (text && !text->empty()) {
                    box.text = *text;
                }
            }
        }
        return box;
    }
    return std::nullopt;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    std::optional<MessageBoxInfo> box;
    WaitUntil([&] { return (box = FindMessageBox(processId)).has_value(); }, timeoutMs, kPollMs);
    return box;
}

bool CloseMessageBox(const MessageBoxInfo& box, DWORD timeoutMs) {
    if (!PostCommand(box.window, IDOK)) {
        return !::IsWindow(box.window);
    }
    return WaitUntil([&] { return !::IsWindow(box.window) || !::IsWindowVisible(box.window); }, timeoutMs,
                     kPollMs);
}

} // namespace driver
