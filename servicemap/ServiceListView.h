#pragma once

#include "framework/windows/ListView.h"

#include <objidl.h>

#include <span>

// The list view a service list control shows its rows in, filling the control: report view,
// one selected row, a plain header, a border, whole rows selected. Each row's value is a
// service (-1 for NULL); the control supplies the row texts when the list asks for them.
class ServiceListView {
public:
    static constexpr int listId = 1;
    // Row texts are cut to this many characters.
    static constexpr int textLimit = 49;

    bool Create(HWND control);
    void Destroy();
    const Fw::ListView& List() const { return m_list; }

    // One or two columns sharing the header's width less a vertical scroll bar: a single one
    // takes all of it; of two, the second takes a third and the first the rest.
    void AddColumns(std::span<const char* const> titles);
    int InsertRow(int index, int service) const;
    int AppendRow(int service) const { return InsertRow(m_list.GetItemCount(), service); }
    int ServiceAt(int row) const { return static_cast<int>(m_list.GetItemData(row)); }
    void SetServiceAt(int row, int service) const;
    // The row a drag starts from; -1 when there is none, or no list.
    int SelectionMark() const { return m_list ? m_list.GetSelectionMark() : -1; }
    // The row showing a service; -1 when none does.
    int RowOf(int service) const { return m_list.FindItem(service); }
    // Answers LVN_GETDISPINFO with a text, cut to the limit.
    static void Supply(NMLVDISPINFOA& request, const char* text);

    // The row under a point of the screen: the point must lie in the control's client area and
    // on a row's icon, label or state image; -1 otherwise.
    int RowAt(HWND control, POINTL screen) const;
    // The one row highlighted as the place of a drop.
    void HighlightRow(int row);
    void RemoveHighlight();

private:
    Fw::ListView m_list;
    int m_highlighted = -1;
};
