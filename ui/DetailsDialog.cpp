// The benchmark details window: filling its list and showing it.
#include "ui/DetailsDialog.h"

#include <cstddef>

#include "bench/DetailsRows.h"
#include "res/resource.h"
#include "res/version.h"

namespace ui {

namespace {
constexpr int kItemColumnWidthPx = 175;
constexpr int kDescriptionColumnWidthPx = 163;
} // namespace

DetailsDialog::DetailsDialog() noexcept : Dialog(IDD_DETAILS) {}

void DetailsDialog::BindControls() {
    list.Attach(Item(IDC_DETAILS_LIST));
}

void DetailsDialog::FillDetails(const float* sceneResults, std::uint8_t allScenesRun) {
    list.DeleteAllItems();
    // The columns are made by the first filling and kept by later ones.
    if (list.ColumnCount() == 0) {
        list.InsertColumn(0, "Item", LVCFMT_LEFT);
        list.SetColumnWidth(0, kItemColumnWidthPx);
        list.InsertColumn(1, "Description", LVCFMT_LEFT);
        list.SetColumnWidth(1, kDescriptionColumnWidthPx);
    }
    const auto rows = bench::BuildDetailsRows(sceneResults, allScenesRun, KORVANE_VERSION_TEXT);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const int row = static_cast<int>(index);
        list.InsertItem(row, rows[index].item);
        if (rows[index].description) {
            list.SetItemText(row, 1, *rows[index].description);
        }
    }
    Show(SW_SHOWNORMAL);
    CenterWindow();
}

} // namespace ui
