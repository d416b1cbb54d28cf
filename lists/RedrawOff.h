#pragma once

#include "framework/windows/ListView.h"

// Redrawing off for a bulk change of the list, on again however the change ends.
class RedrawOff {
public:
    explicit RedrawOff(Fw::ListView list)
        : m_list(list) {
        m_list.SetRedraw(false);
    }
    // The selection notifies the host synchronously; a host may shut the list down from
    // there, taking the list helper with it. The window handle is the one thing to trust.
    ~RedrawOff() {
        if (m_list.Exists()) {
            m_list.SetRedraw(true);
            m_list.Invalidate();
        }
    }

private:
    Fw::ListView m_list;
};
