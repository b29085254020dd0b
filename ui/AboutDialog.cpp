// The About window: its banner runs while the window is open.
#include "ui/AboutDialog.h"

#include "res/resource.h"

namespace ui {

AboutDialog::AboutDialog() noexcept : Dialog(IDD_ABOUT) {}

void AboutDialog::BindControls() {
    banner.ShowAdvertisement(Window(), IDC_ABOUT_BANNER);
}

bool AboutDialog::OnInitDialog() {
    banner.StartTimer();
    return true;
}

} // namespace ui
