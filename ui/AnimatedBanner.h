// The animated banner: a picture control of a dialog template that shows a list
// of bitmaps one after the other on a window timer.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "framework/Handles.h"
#include "framework/SubclassedControl.h"

namespace ui {

// The banner's window timer.
constexpr UINT_PTR kBannerTimerId = 20;
// How long each frame of the advertisement stays on screen.
constexpr std::uint32_t kBannerFramePeriodMs = 500;

// The advertisement's frames, bitmap resources "Banner0" and "Banner1", in order.
using BannerBitmaps = std::array<framework::UniqueBitmap, 2>;
// Loads both frames from the resource module into `bitmaps`.
void LoadBannerBitmaps(BannerBitmaps& bitmaps);

// Bound to a static picture control; handles WM_TIMER (next frame), WM_PAINT (draws
// the current frame at its natural size at the top-left corner) and WM_CLOSE.
// It does not own its frames: the owner keeps them alive while the control exists.
class AnimatedBanner : public framework::SubclassedControl {
public:
    // Set by the owner before the timer starts.
    std::uint32_t framePeriod = 0;
    int frameCount = 0;
    // The frame the next paint draws.
    int currentFrame = 0;
    // The first of `frameCount` bitmaps.
    const framework::UniqueBitmap* frames = nullptr;

    // Starts, or restarts, the timer and goes back to the first frame, without repainting.
    void StartTimer();
    void StopTimer();

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // On any timer message: the next frame.
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    // When the control is asked to close: stop the timer.
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
};

} // namespace ui
