#pragma once

#include "framework/windows/ListView.h"

// Scrolls a list while something is dragged over it and the cursor rests on its top row or in
// a row's height at its bottom: first after 1.5 s, then every 375 ms while it stays there.
class DragAutoScroll {
public:
    static constexpr DWORD firstDelay = 1500;
    static constexpr DWORD repeatDelay = 375;

    // A drag came in at `now` (a tick count).
    void Start(DWORD now);
    // A drag left or dropped: the next scroll waits the first delay again.
    void Stop() { m_delay = firstDelay; }
    // The cursor is at `cursor` (the list's client coordinates) at `now`; true when the list
    // scrolled, which the drop effect tells the drag loop.
    bool Apply(const Fw::ListView& list, POINT cursor, DWORD now);

private:
    DWORD m_lastScroll = 0;
    DWORD m_delay = firstDelay;
};
