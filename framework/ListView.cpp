// List view messages behind the ListView view.
#include "framework/ListView.h"

#include <vector>

namespace framework {

int ListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(::SendMessageA(window_, LVM_GETHEADER, 0, 0));
    return header == nullptr ? 0 : static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

int ListView::InsertColumn(int index, const std::string& heading, int format) const {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = format;
    column.pszText = const_cast<char*>(heading.c_str());
    return static_cast<int>(::SendMessageA(window_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(&column)));
}

void ListView::SetColumnWidth(int index, int widthPixels) const {
    ::SendMessageA(window_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(widthPixels, 0));
}

void ListView::DeleteAllItems() const {
    ::SendMessageA(window_, LVM_DELETEALLITEMS, 0, 0);
}

int ListView::InsertItem(int index, const std::string& text) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = 0;
    return static_cast<int>(::SendMessageA(window_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetItemText(int index, int subItem, const std::string& text) const {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(window_, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

} // namespace framework
