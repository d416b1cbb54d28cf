#include "host/ListRows.h"

#include <commctrl.h>

namespace DemoHost {

Fw::ListView ListRows(HWND control) {
    return Fw::ListView(::FindWindowExA(control, nullptr, WC_LISTVIEWA, nullptr));
}

int SelectRow(const Fw::ListView& rows, LPARAM key) {
    const int row = rows.Exists() ? rows.FindItem(key) : -1;
    if (row < 0)
        return -1;
    rows.EnsureVisible(row);
    rows.SelectItem(row);
    ::SetFocus(rows.Handle());
    return row;
}

} // namespace DemoHost
