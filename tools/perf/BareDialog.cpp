// bare-dialog.exe: the smallest Win32 dialog program, built and linked as Korvane
// is, that the performance script starts beside Korvane to compare start-up
// times. It shows one modal dialog ("Bare dialog") and ends when it closes.
#include <windows.h>

namespace {

constexpr int kDialogId = 100;

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(kDialogId), nullptr, BareDialogProc, 0);
    return 0;
}
