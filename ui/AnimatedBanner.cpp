// The animated banner's timer, painting and frame loading.
#include "ui/AnimatedBanner.h"

#include "framework/Application.h"
#include "ui/BannerFrames.h"

namespace ui {

AnimatedBanner::~AnimatedBanner() {
    StopTimer();
}

bool AnimatedBanner::ShowAdvertisement(HWND dialog, int controlId) {
    const HINSTANCE module = framework::Application::ResourceModule();
    frames_[0].reset(::LoadBitmapA(module, "Banner0"));
    frames_[1].reset(::LoadBitmapA(module, "Banner1"));
    framePeriod = kBannerFramePeriodMs;
    frameCount = static_cast<int>(frames_.size());
    currentFrame = kFirstBannerFrame;
    return Attach(dialog, controlId);
}

void AnimatedBanner::StartTimer() {
    if (Window() == nullptr) {
        return;
    }
    ::SetTimer(Window(), kBannerTimerId, framePeriod, nullptr);
    currentFrame = kFirstBannerFrame;
}

void AnimatedBanner::StopTimer() {
    if (Window() != nullptr) {
        ::KillTimer(Window(), kBannerTimerId);
    }
}

bool AnimatedBanner::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_TIMER:
        result = OnTimer(wParam, lParam);
        return true;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_CLOSE:
        result = OnClose(wParam, lParam);
        return true;
    default:
        return false;
    }
}

LRESULT AnimatedBanner::OnTimer(WPARAM wParam, LPARAM lParam) {
    // The timer id is not examined: any timer message moves the banner on.
    if (frameCount > 0) {
        currentFrame = NextFrame(currentFrame, frameCount);
    }
    const LRESULT result = Default(WM_TIMER, wParam, lParam);
    ::InvalidateRect(Window(), nullptr, TRUE);
    return result;
}

void AnimatedBanner::OnPaint() {
    // Only the frame is drawn, never the picture the template names.
    const framework::PaintDc dc(Window());
    if (currentFrame < 0 || currentFrame >= frameCount || currentFrame >= static_cast<int>(frames_.size())) {
        return;
    }
    const HBITMAP bitmap = frames_[static_cast<std::size_t>(currentFrame)].get();
    if (bitmap == nullptr) {
        return;
    }
    // A bitmap loaded from resources records 0 x 0, and DrawState then uses its own size.
    SIZE size{};
    ::GetBitmapDimensionEx(bitmap, &size);
    ::DrawStateA(dc.Get(), nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 0, 0, size.cx, size.cy,
                 DST_BITMAP);
}

LRESULT AnimatedBanner::OnClose(WPARAM wParam, LPARAM lParam) {
    StopTimer();
    return Default(WM_CLOSE, wParam, lParam);
}

} // namespace ui
