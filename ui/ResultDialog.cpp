// The result window: its font, banner and details window, and its buttons.
#include "ui/ResultDialog.h"

#include "res/resource.h"

namespace ui {

ResultDialog::ResultDialog() noexcept : Dialog(IDD_RESULT) {}

void ResultDialog::BindControls() {
    banner.ShowAdvertisement(Window(), IDC_RESULT_BANNER);
}

bool ResultDialog::OnInitDialog() {
    scoreFont.reset(::CreateFontA(-28, 0, 0, 0, 800, 1, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_SWISS | DEFAULT_PITCH,
                                  "TAHOMA"));
    const auto fontParameter = reinterpret_cast<WPARAM>(scoreFont.get());
    ::SendMessageA(Item(IDC_RESULT_SCORE), WM_SETFONT, fontParameter, TRUE);
    ::SendMessageA(Item(IDC_RESULT_UNIT), WM_SETFONT, fontParameter, TRUE);

    details.Create(nullptr);
    // The banner starts each time the window is shown.
    return true;
}

bool ResultDialog::OnCommand(int controlId, int notifyCode, HWND /*control*/) {
    if (controlId == IDC_RESULT_DETAILS && notifyCode == BN_CLICKED) {
        OnBenchmarkDetails();
        return true;
    }
    return false;
}

bool ResultDialog::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
    if (message == WM_SHOWWINDOW) {
        // Shown or hidden, the banner starts again from its first frame; the
        // dialog manager's own processing follows.
        banner.StartTimer();
    }
    return false;
}

void ResultDialog::OnOK() {
    banner.StopTimer();
    Dialog::OnOK();
}

void ResultDialog::OnCancel() {
    banner.StopTimer();
    Dialog::OnCancel();
}

void ResultDialog::OnBenchmarkDetails() {
    details.FillDetails(sceneResults, allScenesRun);
}

} // namespace ui
