#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace TestSupport {

// Records the notifications (WM_NOTIFY) that reach a host's window while it lives: the given
// window, or one of its own. It listens through a window subclass, taken off when it goes.
// `react` is what the host does on hearing one.
class NotificationListener {
public:
    explicit NotificationListener(HWND given = nullptr);
    ~NotificationListener();
    NotificationListener(const NotificationListener&) = delete; // the subclass holds its address
    NotificationListener& operator=(const NotificationListener&) = delete;

    std::vector<UINT> Codes() const;

    const HWND window;
    std::vector<NMHDR> heard;
    std::function<void(const NMHDR&)> react;

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR self);
    const bool m_own;
};

} // namespace TestSupport
