// The About window: loading and starting its banner, releasing the frames.
#include "ui/AboutDialog.h"

#include "res/resource.h"

namespace ui {

AboutDialog::AboutDialog() noexcept : Dialog(IDD_ABOUT) {}

AboutDialog::~AboutDialog() {
    // Destroy the window while this object is whole, so the bitmaps go after the banner's window.
    if (Window() != nullptr) {
        ::DestroyWindow(Window());
    }
}

void AboutDialog::BindControls() {
    banner.Attach(Window(), IDC_ABOUT_BANNER);
}

bool AboutDialog::OnInitDialog() {
    LoadBannerBitmaps(bannerBitmaps);
    banner.framePeriod = kBannerFramePeriodMs;
    banner.frameCount = static_cast<int>(bannerBitmaps.size());
    banner.frames = bannerBitmaps.data();
    banner.StartTimer();
    return true;
}

void AboutDialog::OnWindowDestroyed() {
    // The banner's window went before this one: nothing paints the frames any more.
    for (auto& bitmap : bannerBitmaps) {
        bitmap.reset();
    }
}

} // namespace ui
