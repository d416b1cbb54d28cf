#include "lists/ListViewHelper.h"

#include "framework/com/Module.h"

#include <vector>

namespace {

Win32::UniqueImageList LoadStrip(UINT bitmapId, int size) {
    Win32::UniqueImageList list(::ImageList_Create(size, size, ILC_COLOR24, 2, 14));
    if (!list)
        return list;
    const Win32::UniqueBitmap strip(
        static_cast<HBITMAP>(::LoadImageA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(bitmapId),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip || ::ImageList_Add(list.get(), strip.get(), nullptr) < 0)
        list.reset();
    return list;
}

int ResourceWidth(UINT widthId, bool shown) {
    return ColumnWidth(Fw::Module::Current().String(widthId), shown);
}

} // namespace

CListViewHelper::CListViewHelper(HWND list)
    : m_list(list) {}

CListViewHelper::~CListViewHelper() {
    // The list may outlive the helper; it must not go on drawing from freed lists.
    if (m_list.Exists()) {
        m_list.SetImageList(nullptr, LVSIL_SMALL);
        m_list.SetImageList(nullptr, LVSIL_NORMAL);
    }
}

bool CListViewHelper::LoadImageLists(UINT smallStripId, UINT largeStripId) {
    m_small = LoadStrip(smallStripId, 16);
    m_large = LoadStrip(largeStripId, 32);
    m_list.SetImageList(m_small.get(), LVSIL_SMALL);
    m_list.SetImageList(m_large.get(), LVSIL_NORMAL);
    return m_small && m_large;
}

int CListViewHelper::AddColumn(int index, const ListColumn& column, bool shown, int format) const {
    const std::string header = Fw::Module::Current().String(column.headerId);
    return m_list.InsertColumn(index, header.c_str(), ResourceWidth(column.widthId, shown), format);
}

bool CListViewHelper::ShowColumn(int index, const ListColumn& column, bool shown) const {
    return m_list.SetColumnWidth(index, ResourceWidth(column.widthId, shown));
}

void CListViewHelper::RemoveColumns() const {
    while (m_list.DeleteColumn(0))
        ;
}

int CListViewHelper::RowImage(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return m_list.GetItem(item) ? item.iImage : -1;
}

bool CListViewHelper::DrawItem(const DRAWITEMSTRUCT& draw) const {
    if (draw.hwndItem != m_list.Handle() || draw.CtlType != ODT_LISTVIEW)
        return false;
    const HDC dc = draw.hDC;
    const int row = static_cast<int>(draw.itemID);
    const bool hasFocus = m_list.HasFocus();
    const bool showsSelection = hasFocus || (m_list.Style() & LVS_SHOWSELALWAYS);
    const bool selected = (draw.itemState & ODS_SELECTED) && showsSelection;
    const bool enabled = m_list.IsEnabled();

    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), back = ::GetSysColor(COLOR_WINDOW);
    if (selected) {
        text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = ::GetSysColor(COLOR_HIGHLIGHT);
    } else if (!enabled) {
        text = ::GetSysColor(COLOR_GRAYTEXT);
        back = ::GetSysColor(COLOR_BTNFACE);
    }
    RECT whole = draw.rcItem;
    const Win32::UniqueBrush brush(::CreateSolidBrush(back));
    ::FillRect(dc, &whole, brush.get());

    const int image = RowImage(row);
    const RECT icon = m_list.GetItemRect(row, LVIR_ICON);
    if (image >= 0 && m_small) {
        // The icon belongs to the first column and is cut with it, down to nothing when hidden.
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, whole.left, whole.top, whole.left + m_list.GetColumnWidth(0), whole.bottom);
        ::ImageList_Draw(m_small.get(), image, dc, icon.left, icon.top, selected ? ILD_SELECTED : ILD_NORMAL);
        ::RestoreDC(dc, saved);
    }

    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, text);
    const int columns = m_list.GetHeader().GetItemCount();
    for (int column = 0; column < columns; ++column) {
        LVCOLUMNA format = {};
        format.mask = LVCF_FMT | LVCF_WIDTH;
        if (!m_list.GetColumn(column, format) || format.cx <= 0)
            continue;
        RECT cell = column == 0 ? m_list.GetItemRect(row, LVIR_LABEL) : m_list.GetSubItemRect(row, column);
        if (column > 0)
            cell.right = cell.left + format.cx;
        ::InflateRect(&cell, -2, 0);
        UINT align = DT_LEFT;
        if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
            align = DT_RIGHT;
        else if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
            align = DT_CENTER;
        const std::string cellText = m_list.GetItemText(row, column);
        ::DrawTextA(dc, cellText.c_str(), -1, &cell,
                    align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);

    if ((draw.itemState & ODS_FOCUS) && hasFocus)
        ::DrawFocusRect(dc, &whole);
    return true;
}
