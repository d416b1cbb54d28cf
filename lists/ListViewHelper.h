#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/windows/ListView.h"
#include "lists/ListColumns.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// What the port, phone and client lists share over their report-style list view: columns
// whose headers and widths come from the string table, the two icon strips, finding a row
// by the key stored with it, and drawing owner-drawn rows.
class CListViewHelper {
public:
    explicit CListViewHelper(HWND list);
    CListViewHelper(const CListViewHelper&) = delete;
    CListViewHelper& operator=(const CListViewHelper&) = delete;
    ~CListViewHelper();

    const Fw::ListView& List() const { return m_list; }

    // Both image lists from the strips of 16x16 and 32x32 pictures, room for 2 images and
    // growing by 14, unmasked. The list view is made with LVS_SHAREIMAGELISTS, so the helper
    // owns them and frees them with itself.
    bool LoadImageLists(UINT smallStripId, UINT largeStripId);
    // A column with the header text and width of the string table; a hidden column is
    // there all the same, with width 0, so that column indexes never move.
    int AddColumn(int index, const ListColumn& column, bool shown, int format = LVCFMT_LEFT) const;
    bool ShowColumn(int index, const ListColumn& column, bool shown) const;
    // Every column gone, for a list that is set up again.
    void RemoveColumns() const;

    // The row whose stored key is `key`, or -1.
    int FindRow(LPARAM key) const { return m_list.FindItem(key); }
    // The stored key of a row; 0 for a row that does not exist.
    LPARAM RowKey(int row) const { return m_list.GetItemData(row); }
    // The image index of a row, or -1.
    int RowImage(int row) const;

    // Draws one row of an LVS_OWNERDRAWFIXED list across its full width; false when the
    // drawing request is not for this list.
    bool DrawItem(const DRAWITEMSTRUCT& draw) const;

private:
    Fw::ListView m_list;
    Win32::UniqueImageList m_small;
    Win32::UniqueImageList m_large;
};
