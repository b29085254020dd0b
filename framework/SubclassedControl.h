// Binds an object to a control that a dialog template created, by subclassing
// the control's window: the object sees the control's messages first and hands
// on what it does not handle. The object is found through a window property.
#pragma once

#include <windows.h>

namespace framework {

class SubclassedControl {
public:
    SubclassedControl() noexcept = default;
    virtual ~SubclassedControl();

    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    // Subclasses control `controlId` of `dialog`; false if there is no such control.
    bool Attach(HWND dialog, int controlId);
    HWND Window() const noexcept { return window_; }

protected:
    // The control's messages; true when handled, with `result` as the answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // The control's own processing of a message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach() noexcept;

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
};

} // namespace framework
