#include "servicemap/DragAutoScroll.h"

void DragAutoScroll::Start(DWORD now) {
    m_lastScroll = now;
    m_delay = firstDelay;
}

bool DragAutoScroll::Apply(const Fw::ListView& list, POINT cursor, DWORD now) {
    const int top = list.GetTopIndex();
    const RECT topRow = list.GetItemRect(top, LVIR_BOUNDS);
    const int height = topRow.bottom - topRow.top;
    const RECT client = list.ClientRect();
    const bool waited = now - m_lastScroll > m_delay;
    int scrollBy = 0;
    if (::PtInRect(&topRow, cursor)) {
        if (top >= 1 && waited)
            scrollBy = -height;
    } else if (cursor.y >= client.bottom - height && cursor.y < client.bottom && cursor.x >= client.left &&
               cursor.x < client.right) {
        LVHITTESTINFO hit;
        const int row = list.HitTest({(topRow.left + topRow.right) / 2, cursor.y}, hit);
        if (row >= 0 && row < list.GetItemCount() - 1 && waited)
            scrollBy = height;
    } else {
        m_delay = firstDelay;
    }
    if (scrollBy == 0)
        return false;
    list.Scroll(0, scrollBy);
    m_lastScroll = now;
    m_delay = repeatDelay;
    return true;
}
