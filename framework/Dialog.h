// The dialog base: a window built from a dialog template, run modally (with the
// framework's own loop) or created modeless. Each class handles its messages in
// a few virtual handlers; what it does not handle gets the dialog manager's
// default processing. OK and Cancel end a modal dialog and hide a modeless one.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class Dialog {
public:
    explicit Dialog(int templateId) noexcept;
    // Destroys a window that is still there. By then the derived parts are gone:
    // the window is cut off from this object first, so that its last messages
    // reach only the dialog manager. Member controls detach themselves when they go.
    virtual ~Dialog();

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally, disabling `owner` meanwhile. Returns the result given
    // to EndDialog, or -1 when the window could not be created.
    INT_PTR DoModal(HWND owner = nullptr);

    // Creates the dialog as a modeless window; it is visible only if its template says so.
    bool Create(HWND owner = nullptr);

    HWND Window() const noexcept { return window_; }
    HWND Item(int controlId) const noexcept { return ::GetDlgItem(window_, controlId); }

    void SetItemText(int controlId, const std::string& text) const;
    // Check state of a button, read and written by message.
    bool IsChecked(int controlId) const;
    void SetCheck(int controlId, bool checked) const;

    void Show(int showCommand) const;
    // Centres over `alternateOwner`, else over the owner when it is visible and not
    // minimised, else in the work area of the screen.
    void CenterWindow(HWND alternateOwner = nullptr) const;
    int MessageBox(const std::string& text, const std::string& caption, UINT style) const;

protected:
    // Called after the controls are bound, before the window is first visible. True lets
    // the dialog manager put the focus on the first tab stop.
    virtual bool OnInitDialog() { return true; }
    // Binds member controls to the template's controls (subclassing them).
    virtual void BindControls() {}
    // WM_COMMAND; true when handled. OK and Cancel reach OnOK and OnCancel when not handled here.
    virtual bool OnCommand(int controlId, int notifyCode, HWND control);
    // Every other message; true when handled, with `result` as the message's answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Ends the modal loop with `result`; hides a modeless dialog.
    void EndDialog(INT_PTR result);

private:
    // Hands a keyboard message to the open dialog that holds its window, modal or
    // modeless (IsDialogMessage); true when one took it.
    static bool PreTranslateForOpenDialogs(MSG& message);
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog();
    bool PreTranslate(MSG& message);
    // Enables the owner a modal run disabled and gives it the activation back.
    void GiveBackToOwner();

    int templateId_;
    HWND window_ = nullptr;
    bool modal_ = false;
    bool modalEnded_ = false;
    HWND modalOwner_ = nullptr; // the owner a modal run disabled, until it is enabled again
    INT_PTR modalResult_ = -1;
};

} // namespace framework
