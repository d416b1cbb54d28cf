#pragma once

#include "framework/windows/Window.h"

// Redrawing off for a bulk change of a list or tree, on again however the change ends.
class RedrawOff {
public:
    explicit RedrawOff(Fw::Window list)
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
    Fw::Window m_list;
};
