// The benchmark details window: a two-column list of the versions, the overall
// score and every scene's frame rate.
#pragma once

#include <cstdint>

#include "framework/Dialog.h"
#include "framework/ListView.h"

namespace ui {

// Template IDD_DETAILS, modeless, created hidden by the result window. Controls:
// the list IDC_DETAILS_LIST (`list`); OK, Esc and the close box hide the window.
class DetailsDialog : public framework::Dialog {
public:
    DetailsDialog() noexcept;

    // Rebuilds the 13 rows from the six scene frame rates, then shows and centres the window.
    void FillDetails(const float* sceneResults, std::uint8_t allScenesRun);

protected:
    void BindControls() override;

private:
    framework::ListView list;
};

} // namespace ui
