// Control subclassing with the object kept in a window property.
#include "framework/SubclassedControl.h"

#include <exception>

#include "framework/Application.h"

namespace framework {

namespace {
const char kObjectProperty[] = "Korvane.SubclassedControl";
}

SubclassedControl::~SubclassedControl() {
    Detach();
}

bool SubclassedControl::Attach(HWND dialog, int controlId) {
    Detach();
    HWND control = ::GetDlgItem(dialog, controlId);
    if (control == nullptr) {
        return false;
    }
    window_ = control;
    ::SetPropA(control, kObjectProperty, this);
    original_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedControl::WindowProcedure)));
    return true;
}

void SubclassedControl::Detach() noexcept {
    if (window_ == nullptr) {
        return;
    }
    ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    ::RemovePropA(window_, kObjectProperty);
    window_ = nullptr;
}

LRESULT SubclassedControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(original_, window_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<SubclassedControl*>(::GetPropA(window, kObjectProperty));
    if (control == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const WNDPROC original = control->original_;
        control->Detach();
        return ::CallWindowProcA(original, window, message, wParam, lParam);
    }
    try {
        LRESULT result = 0;
        if (control->OnMessage(message, wParam, lParam, result)) {
            return result;
        }
    } catch (const std::exception& error) {
        ReportUnexpected(::GetParent(window), error.what());
    } catch (...) {
        ReportUnexpected(::GetParent(window), "Unexpected error.");
    }
    // After a failure the control's own processing follows.
    return control->Default(message, wParam, lParam);
}

} // namespace framework
