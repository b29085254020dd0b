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

// Bound to a static picture control; handles WM_TIMER (next frame), WM_PAINT (draws
// the current frame at its natural size at the top-left corner) and WM_CLOSE.
// It owns its frames, the advertisement's bitmaps "Banner0" and "Banner1".
class AnimatedBanner : public framework::SubclassedControl {
public:
    AnimatedBanner() noexcept = default;
    // Stops the timer if the control is still there; the frames go with the object.
    ~AnimatedBanner() override;

    // Binds to control `controlId` of `dialog` and loads the advertisement's two
    // frames, each shown for kBannerFramePeriodMs. The timer does not start yet.
    bool ShowAdvertisement(HWND dialog, int controlId);

    // The time each frame stays, the number of frames and the frame the next
    // paint draws.
    std::uint32_t framePeriod = 0;
    int frameCount = 0;
    int currentFrame = 0;

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

    std::array<framework::UniqueBitmap, 2> frames_;
};

} // namespace ui
