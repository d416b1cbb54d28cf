#pragma once

// What the list benches build their baselines from: a list view made and set up as the module's
// lists make their own (styles, columns, icon strips), so that a baseline pays for the same, and
// the rows a list shows, read back to be inserted again.
#include "framework/windows/ListView.h"
#include "lists/ListColumns.h"
#include "lists/ListViewHelper.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace Bench {

struct HelperList {
    HWND window = nullptr;
    std::unique_ptr<CListViewHelper> helper;

    HelperList(HWND owner, UINT smallStrip, UINT largeStrip, std::span<const ListColumn> columns, int id = 0) {
        window = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                       LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | LVS_SHAREIMAGELISTS,
                                   0, 0, 780, 560, owner, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
        helper = std::make_unique<CListViewHelper>(window);
        helper->LoadImageLists(smallStrip, largeStrip);
        for (size_t column = 0; column < columns.size(); ++column)
            helper->AddColumn(static_cast<int>(column), columns[column], true);
    }
    ~HelperList() {
        helper.reset();
        ::DestroyWindow(window);
    }
    HelperList(const HelperList&) = delete;
    HelperList& operator=(const HelperList&) = delete;
};

template <int Columns>
struct ListRow {
    std::string texts[Columns];
    int image = -1;
    LPARAM key = 0;
};

// Every row of the list: its texts, picture and row value.
template <int Columns>
std::vector<ListRow<Columns>> ReadRows(const Fw::ListView& list) {
    std::vector<ListRow<Columns>> rows(static_cast<size_t>(list.GetItemCount()));
    for (size_t index = 0; index < rows.size(); ++index) {
        for (int column = 0; column < Columns; ++column)
            rows[index].texts[column] = list.GetItemText(static_cast<int>(index), column);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(index);
        list.GetItem(item);
        rows[index].image = item.iImage;
        rows[index].key = item.lParam;
    }
    return rows;
}

} // namespace Bench
