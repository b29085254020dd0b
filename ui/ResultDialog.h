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

// Template 103, modeless, created hidden once and then only shown and hidden.
// Controls: 1014 (score) and 1015 ("Korvanes") get the large score font; 1017 is
// the banner; 3 "Benchmark Details..." opens the details list; OK (1), Cancel (2),
// Esc and the close box stop the banner and hide the window. The run writes 1014,
// 1018 and 1026 itself.
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
