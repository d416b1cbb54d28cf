#include "NotificationListener.h"

#include <commctrl.h>

namespace TestSupport {

NotificationListener::NotificationListener(HWND given)
    : window(given ? given
                   : ::CreateWindowExA(0, WC_STATICA, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr))
    , m_own(!given) {
    ::SetWindowSubclass(window, Record, 0, reinterpret_cast<DWORD_PTR>(this));
}

NotificationListener::~NotificationListener() {
    ::RemoveWindowSubclass(window, Record, 0);
    if (m_own)
        ::DestroyWindow(window);
}

LRESULT CALLBACK NotificationListener::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR self) {
    if (message == WM_NOTIFY) {
        auto& listener = *reinterpret_cast<NotificationListener*>(self);
        listener.heard.push_back(*reinterpret_cast<const NMHDR*>(lParam));
        if (listener.react)
            listener.react(listener.heard.back());
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

std::vector<UINT> NotificationListener::Codes() const {
    std::vector<UINT> codes;
    for (const NMHDR& notice : heard)
        codes.push_back(notice.code);
    return codes;
}

} // namespace TestSupport
