// Dialog base: creation, the modal loop, message dispatch and default OK/Cancel.
#include "framework/Dialog.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "framework/Application.h"

namespace framework {

namespace {

// The dialogs that have a window, so the modal loop can hand each one its own
// keyboard messages (Tab, Enter, Esc) through IsDialogMessage.
std::vector<Dialog*>& OpenDialogs() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

void ForgetOpenDialog(const Dialog* dialog) {
    auto& dialogs = OpenDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

// Messages whose answer a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Dialog::PreTranslateForOpenDialogs(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    for (Dialog* dialog : OpenDialogs()) {
        if (dialog->PreTranslate(message)) {
            return true;
        }
    }
    return false;
}

Dialog::Dialog(int templateId) noexcept : templateId_(templateId) {}

Dialog::~Dialog() {
    if (window_ == nullptr) {
        return;
    }
    HWND window = window_;
    ::SetWindowLongPtrA(window, DWLP_USER, 0);
    ForgetOpenDialog(this);
    window_ = nullptr;
    ::DestroyWindow(window);
}

bool Dialog::PreTranslate(MSG& message) {
    if (window_ == nullptr || !::IsWindowVisible(window_)) {
        return false;
    }
    if (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) {
        return false;
    }
    return ::IsDialogMessageA(window_, &message) != FALSE;
}

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    modalEnded_ = false;
    modalResult_ = -1;
    modalOwner_ = owner != nullptr && ::IsWindowEnabled(owner) ? owner : nullptr;
    if (modalOwner_ != nullptr) {
        ::EnableWindow(modalOwner_, FALSE);
    }
    HWND window = ::CreateDialogParamA(Application::ResourceModule(), MAKEINTRESOURCEA(templateId_), owner,
                                       &Dialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (window != nullptr && !modalEnded_) {
        ::ShowWindow(window, SW_SHOWNORMAL);
        MSG message;
        while (!modalEnded_) {
            const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (got == -1) {
                break;
            }
            // Keyboard messages go to the dialog that holds their window, modal or modeless.
            if (PreTranslateForOpenDialogs(message)) {
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    // Ended without EndDialog (the window could not be made, or WM_QUIT).
    GiveBackToOwner();
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
    modal_ = false;
    return modalResult_;
}

void Dialog::GiveBackToOwner() {
    if (modalOwner_ == nullptr) {
        return;
    }
    // As the dialog manager's own EndDialog does: the owner is enabled while this
    // window is still there, so that the activation goes back to it and not to
    // another program's window.
    HWND owner = modalOwner_;
    modalOwner_ = nullptr;
    ::EnableWindow(owner, TRUE);
    if (window_ != nullptr && ::GetActiveWindow() == window_) {
        ::SetActiveWindow(owner);
    }
}

bool Dialog::Create(HWND owner) {
    modal_ = false;
    if (window_ != nullptr) {
        return true;
    }
    return ::CreateDialogParamA(Application::ResourceModule(), MAKEINTRESOURCEA(templateId_), owner,
                                &Dialog::DialogProcedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    if (modal_) {
        modalResult_ = result;
        modalEnded_ = true;
        GiveBackToOwner();
        ::ShowWindow(window_, SW_HIDE);
        // Wake the loop in case nothing else is queued.
        ::PostMessageA(window_, WM_NULL, 0, 0);
    } else if (window_ != nullptr) {
        ::ShowWindow(window_, SW_HIDE);
    }
}

void Dialog::SetItemText(int controlId, const std::string& text) const {
    ::SetDlgItemTextA(window_, controlId, text.c_str());
}

bool Dialog::IsChecked(int controlId) const {
    return ::SendMessageA(Item(controlId), BM_GETCHECK, 0, 0) != 0;
}

void Dialog::SetCheck(int controlId, bool checked) const {
    ::SendMessageA(Item(controlId), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Dialog::Show(int showCommand) const {
    ::ShowWindow(window_, showCommand);
}

void Dialog::CenterWindow(HWND alternateOwner) const {
    HWND center = alternateOwner != nullptr ? alternateOwner : ::GetWindow(window_, GW_OWNER);
    if (center != nullptr) {
        const LONG style = ::GetWindowLongA(center, GWL_STYLE);
        if ((style & WS_VISIBLE) == 0 || (style & WS_MINIMIZE) != 0) {
            center = nullptr;
        }
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(center != nullptr ? center : window_, MONITOR_DEFAULTTOPRIMARY),
                      &monitor);
    RECT area = monitor.rcWork;
    RECT around = area;
    if (center != nullptr) {
        ::GetWindowRect(center, &around);
    }
    RECT own{};
    ::GetWindowRect(window_, &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG left = (around.left + around.right) / 2 - width / 2;
    LONG top = (around.top + around.bottom) / 2 - height / 2;
    // Keep the whole window inside the work area where it fits.
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Dialog::MessageBox(const std::string& text, const std::string& caption, UINT style) const {
    return ::MessageBoxA(window_, text.c_str(), caption.c_str(), style);
}

bool Dialog::OnCommand(int /*controlId*/, int /*notifyCode*/, HWND /*control*/) {
    return false;
}

bool Dialog::OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
    return false;
}

INT_PTR Dialog::HandleInitDialog() {
    OpenDialogs().push_back(this);
    BindControls();
    RECT before{};
    ::GetWindowRect(window_, &before);
    const bool defaultFocus = OnInitDialog();
    RECT after{};
    ::GetWindowRect(window_, &after);
    // A template without a position of its own is centred.
    if (window_ != nullptr && ::EqualRect(&before, &after) &&
        (::GetWindowLongA(window_, GWL_STYLE) & WS_CHILD) == 0) {
        CenterWindow();
    }
    return defaultFocus ? TRUE : FALSE;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return HandleInitDialog();
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (OnCommand(id, code, reinterpret_cast<HWND>(lParam))) {
            return TRUE;
        }
        if (code == BN_CLICKED && id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (code == BN_CLICKED && id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        ForgetOpenDialog(this);
        window_ = nullptr;
        return FALSE;
    }
    LRESULT result = 0;
    if (!OnMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    if (AnswersDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->window_ = window;
        ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    } else {
        dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (dialog == nullptr) {
        return FALSE;
    }
    // Nothing may unwind through the system's frames.
    try {
        return dialog->Dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportUnexpected(window, error.what());
    } catch (...) {
        ReportUnexpected(window, "Unexpected error.");
    }
    return FALSE;
}

} // namespace framework
