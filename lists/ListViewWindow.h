#pragma once

#include "framework/windows/ListView.h"
#include "framework/windows/Window.h"

#include <wrl/client.h>

// The list view inside a list control, subclassed so that the keys and clicks that activate a
// row, reload the list or open its menu reach the control. Owner answers KeepAlive,
// FocusChanged(gained, other), Activate(), Reload() and ShowContextMenu(screen point).
template <class Owner>
class ListViewWindow : public Fw::WindowImpl<ListViewWindow<Owner>> {
    using Base = Fw::WindowImpl<ListViewWindow<Owner>>;

public:
    explicit ListViewWindow(Owner& owner)
        : m_owner(owner) {}

    // The list's messages keep the control alive, which owns this.
    Microsoft::WRL::ComPtr<IUnknown> KeepAlive() { return m_owner.KeepAlive(); }

    UINT OnGetDlgCode(UINT virtualKey, const MSG* message) {
        // Enter activates a row also inside a dialog (the arrows are the list's anyway); Tab and
        // Esc stay the dialog's, or the focus could never leave the list.
        const bool enter = message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
        const auto listCode =
            static_cast<UINT>(this->DefaultMessage(WM_GETDLGCODE, virtualKey, reinterpret_cast<LPARAM>(message)));
        return listCode | (enter ? DLGC_WANTMESSAGE : 0);
    }

    // The list holds the control's focus: the site hears of it from here.
    void OnSetFocus(HWND previous) {
        this->PassOn();
        m_owner.FocusChanged(true, previous);
    }
    void OnKillFocus(HWND next) {
        this->PassOn();
        m_owner.FocusChanged(false, next);
    }

    void OnKeyDown(UINT virtualKey) {
        if (virtualKey == VK_RETURN)
            m_owner.Activate();
        else if (virtualKey == VK_F5)
            m_owner.Reload();
        else
            this->PassOn();
    }

    void OnLeftDoubleClick(UINT keys, POINT point) {
        // The list selects the row under the pointer first; the activation is about that row.
        this->DefaultMessage(WM_LBUTTONDBLCLK, keys, MAKELPARAM(point.x, point.y));
        m_owner.Activate();
    }

    void OnRightButtonDown(UINT keys, POINT point) {
        // The list selects the row under the pointer and follows the button until it is
        // released (or a drag starts); the menu is about that row.
        this->DefaultMessage(WM_RBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
        ::ClientToScreen(this->m_hWnd, &point);
        m_owner.ShowContextMenu(point);
    }

    void OnContextMenu(HWND, POINT screen) {
        // A right click has shown the menu already; from the keyboard (Shift+F10, the menu key)
        // it opens at the selected row, or at the list's corner without one.
        if (screen.x != -1 || screen.y != -1)
            return;
        const Fw::ListView list(this->m_hWnd);
        const int row = list.SelectedItem();
        const RECT rect = row >= 0 ? list.GetItemRect(row, LVIR_LABEL) : RECT{};
        POINT point = {rect.left, rect.bottom};
        ::ClientToScreen(this->m_hWnd, &point);
        m_owner.ShowContextMenu(point);
    }

    static inline const Fw::MessageEntry<ListViewWindow> messages[] = {
        Fw::OnMessage<WM_GETDLGCODE, &ListViewWindow::OnGetDlgCode>(),
        Fw::OnMessage<WM_SETFOCUS, &ListViewWindow::OnSetFocus>(),
        Fw::OnMessage<WM_KILLFOCUS, &ListViewWindow::OnKillFocus>(),
        Fw::OnMessage<WM_KEYDOWN, &ListViewWindow::OnKeyDown>(),
        Fw::OnMessage<WM_LBUTTONDBLCLK, &ListViewWindow::OnLeftDoubleClick>(),
        Fw::OnMessage<WM_RBUTTONDOWN, &ListViewWindow::OnRightButtonDown>(),
        Fw::OnMessage<WM_CONTEXTMENU, &ListViewWindow::OnContextMenu>(),
    };

private:
    Owner& m_owner;
};

// Tells a list control's host of something that happened in it: WM_NOTIFY with the control's
// window and id in the header. Nothing is sent to a window that is gone.
inline void NotifyHost(HWND target, HWND control, UINT code) {
    if (!::IsWindow(target))
        return;
    NMHDR notification = {};
    notification.hwndFrom = control;
    notification.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(control));
    notification.code = code;
    ::SendMessageA(target, WM_NOTIFY, notification.idFrom, reinterpret_cast<LPARAM>(&notification));
}
