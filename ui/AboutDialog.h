// The About window: title picture, version line, notice, contact line and the
// animated banner.
#pragma once

#include "framework/Dialog.h"
#include "ui/AnimatedBanner.h"

namespace ui {

// Template IDD_ABOUT, run modally (DoModal) from the main window. Controls: the
// banner IDC_ABOUT_BANNER runs from the first frame while the window is open; OK,
// Esc and the close box close the window.
class AboutDialog : public framework::Dialog {
public:
    AboutDialog() noexcept;

protected:
    void BindControls() override;
    bool OnInitDialog() override;

private:
    AnimatedBanner banner;
};

} // namespace ui
