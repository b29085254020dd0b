// A non-owning view of a report-style list view control.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace framework {

class ListView {
public:
    ListView() noexcept = default;
    explicit ListView(HWND window) noexcept : window_(window) {}

    void Attach(HWND window) noexcept { window_ = window; }
    HWND Window() const noexcept { return window_; }

    int ColumnCount() const;
    int InsertColumn(int index, const std::string& heading, int format = LVCFMT_LEFT) const;
    void SetColumnWidth(int index, int widthPixels) const;
    void DeleteAllItems() const;
    // Inserts a row with its first-column text (image 0, no state bits).
    int InsertItem(int index, const std::string& text) const;
    void SetItemText(int index, int subItem, const std::string& text) const;

private:
    HWND window_ = nullptr;
};

} // namespace framework
