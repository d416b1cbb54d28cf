#include "framework/windows/ListView.h"

namespace Fw {

std::string ListView::GetItemText(int row, int column) const {
    // The list copies at most the buffer it is given; grow until the text fits.
    std::string text(64, '\0');
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<size_t>(Send(LVM_GETITEMTEXTA, row, &item));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 4);
    }
}

LPARAM ListView::GetItemData(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return GetItem(item) ? item.lParam : 0;
}

} // namespace Fw
