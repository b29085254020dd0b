// The main window (template 102): the benchmark options, the machine-facts
// panel and the three buttons. Its initialisation gathers the machine facts,
// creates the hidden result window and looks up the game installation; its
// "BENCHMARK NOW!" handler runs the whole benchmark.
//
// Controls handled: "BENCHMARK NOW!" (IDC_MAIN_BENCHMARK), "Credits..."
// (IDC_MAIN_CREDITS), "Exit" (Cancel) and the system menu's About item (IDM_ABOUT);
// reads the renderer, detail, resolution and scene controls (IDC_MAIN_OPENGL ...
// IDC_MAIN_RES_1600) when pressed, and fills the machine facts (IDC_MAIN_PROCESSOR
// ... IDC_MAIN_OS_NAME).
#pragma once

#include <windows.h>

#include <string>

#include "bench/BenchmarkRun.h"
#include "bench/SceneScore.h"
#include "framework/Dialog.h"
#include "sysinfo/CpuInfo.h"

namespace app {

class MainDialog : public framework::Dialog {
public:
    MainDialog();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int controlId, int notifyCode, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void AddAboutItem();
    void FillMachineFacts();
    // System menu; true when the command was the About item.
    bool OnSysCommand(WPARAM command);
    // True when the window was minimised and the icon was painted.
    bool OnPaint();
    void OnCredits();
    void OnBenchmarkNow();
    // Runs one scene: starts the game, waits, reads and records its value, pauses.
    // False when the press must end (a message has been shown).
    bool RunScene(const bench::SceneLine& scene);
    void PresentResults();
    void ShowError(const std::string& text) const;

    sysinfo::CpuInfo cpuInfo;
    HICON windowIcon;
    // The six frame rates (sceneFps) and the latest press's sums.
    bench::SceneResults results;
};

} // namespace app
