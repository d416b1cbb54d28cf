#pragma once

#include "framework/windows/Header.h"
#include "framework/windows/Window.h"

#include <commctrl.h>

#include <string>

namespace Fw {

// A report-style list view, one message per call. Rows are found by their row value
// (lParam), which is how views keep them tied to server objects.
class ListView : public Window {
public:
    using Window::Window;

    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    DWORD SetExtendedStyle(DWORD mask, DWORD style) const {
        return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int which) const {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
    }

    int InsertColumn(int index, const char* text, int width, int format = LVCFMT_LEFT) const {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<char*>(text);
        column.iSubItem = index;
        return static_cast<int>(Send(LVM_INSERTCOLUMNA, index, &column));
    }
    bool SetColumnWidth(int column, int width) const { return Send(LVM_SETCOLUMNWIDTH, column, width) != 0; }
    int GetColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column)); }
    // What `format.mask` asks for of one column.
    bool GetColumn(int column, LVCOLUMNA& format) const { return Send(LVM_GETCOLUMNA, column, &format) != 0; }
    bool DeleteColumn(int column) const { return Send(LVM_DELETECOLUMN, column) != 0; }

    int InsertItem(const LVITEMA& item) const { return static_cast<int>(Send(LVM_INSERTITEMA, 0, &item)); }
    // A row at `index` with its first text, image and row value.
    int InsertItem(int index, const char* text, LPARAM value, int image = -1) const {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0u);
        item.iItem = index;
        item.pszText = const_cast<char*>(text);
        item.lParam = value;
        item.iImage = image;
        return InsertItem(item);
    }
    bool SetItemText(int row, int column, const char* text) const {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = const_cast<char*>(text);
        return Send(LVM_SETITEMTEXTA, row, &item) != 0;
    }
    std::string GetItemText(int row, int column) const;
    // What `item.mask` asks for of the row `item.iItem`.
    bool GetItem(LVITEMA& item) const { return Send(LVM_GETITEMA, 0, &item) != 0; }
    bool DeleteItem(int row) const { return Send(LVM_DELETEITEM, row) != 0; }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
    LPARAM GetItemData(int row) const;
    // The row whose row value is `value`, or -1.
    int FindItem(LPARAM value) const {
        LVFINDINFOA find = {};
        find.flags = LVFI_PARAM;
        find.lParam = value;
        return static_cast<int>(Send(LVM_FINDITEMA, static_cast<WPARAM>(-1), &find));
    }

    bool SetItemState(int row, UINT state, UINT mask) const {
        LVITEMA item = {};
        item.state = state;
        item.stateMask = mask;
        return Send(LVM_SETITEMSTATE, row, &item) != 0;
    }
    UINT GetItemState(int row, UINT mask) const {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, row, mask));
    }
    int GetNextItem(int after, UINT flags) const {
        return static_cast<int>(Send(LVM_GETNEXTITEM, after, flags));
    }
    int SelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }
    bool SelectItem(int row) const {
        return SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // The tick of a row in a list with LVS_EX_CHECKBOXES (state image 2 ticked, 1 clear).
    bool SetCheckState(int row, bool checked) const {
        return SetItemState(row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    bool GetCheckState(int row) const { return (GetItemState(row, LVIS_STATEIMAGEMASK) >> 12) == 2; }
    bool EnsureVisible(int row, bool partialOk = false) const {
        return Send(LVM_ENSUREVISIBLE, row, partialOk) != 0;
    }

    int GetSelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
    int SetSelectionMark(int row) const { return static_cast<int>(Send(LVM_SETSELECTIONMARK, 0, row)); }
    int GetTopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
    bool Scroll(int dx, int dy) const { return Send(LVM_SCROLL, dx, dy) != 0; }
    // Asks the row texts of a row again (rows whose texts the list asks for on each paint).
    bool UpdateRow(int row) const { return Send(LVM_UPDATE, row) != 0; }
    // The row at a point of the list's client area, with where on it in `info.flags`; -1 for none.
    int HitTest(POINT point, LVHITTESTINFO& info) const {
        info = {};
        info.pt = point;
        return static_cast<int>(Send(LVM_HITTEST, 0, &info));
    }

    // Sorts by row values: compare(lParam1, lParam2, context).
    bool SortItems(PFNLVCOMPARE compare, LPARAM context) const {
        return Send(LVM_SORTITEMS, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare)) != 0;
    }
    RECT GetItemRect(int row, int part = LVIR_BOUNDS) const {
        RECT rect = {};
        rect.left = part;
        Send(LVM_GETITEMRECT, row, &rect);
        return rect;
    }
    // False, and the rectangle undefined, when the row or column does not exist.
    bool GetSubItemRect(int row, int column, RECT& rect, int part = LVIR_BOUNDS) const {
        rect = {};
        rect.top = column;
        rect.left = part;
        return Send(LVM_GETSUBITEMRECT, row, &rect) != 0;
    }
    RECT GetSubItemRect(int row, int column, int part = LVIR_BOUNDS) const {
        RECT rect;
        GetSubItemRect(row, column, rect, part);
        return rect;
    }
    Header GetHeader() const { return Header(reinterpret_cast<HWND>(Send(LVM_GETHEADER))); }
};

} // namespace Fw
