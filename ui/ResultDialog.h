// The result window: the score of the last benchmark run, the fly-by and
// bot-match averages, the animated banner and the way to the details list.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "ui/AnimatedBanner.h"
#include "ui/DetailsDialog.h"

namespace ui {

// Template IDD_RESULT, modeless, created hidden once and then only shown and hidden.
// Controls: the score IDC_RESULT_SCORE and its unit IDC_RESULT_UNIT ("Korvanes")
// get the large score font; IDC_RESULT_BANNER is the banner; IDC_RESULT_DETAILS
// ("Benchmark Details...") opens the details list; OK, Cancel, Esc and the close
// box stop the banner and hide the window. The run writes the score and the two
// averages (IDC_RESULT_FLYBY, IDC_RESULT_BOTMATCH) itself.
class ResultDialog : public framework::Dialog {
public:
    ResultDialog() noexcept;

    // The six scene frame rates of the main window (not owned); null until a run has ended.
    const float* sceneResults = nullptr;
    // 1 when the latest run ran all six scenes, else 0.
    std::uint8_t allScenesRun = 0;

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int controlId, int notifyCode, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override;
    void OnCancel() override;

private:
    // "Benchmark Details..." pressed.
    void OnBenchmarkDetails();

    framework::UniqueFont scoreFont;
    DetailsDialog details;
    AnimatedBanner banner;
};

} // namespace ui
