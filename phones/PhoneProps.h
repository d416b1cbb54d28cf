#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/windows/Window.h"
#include "phones/PhoneItem.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"

#include <wrl/client.h>

// The phone list's message that a properties window has closed (wParam = its port id); the list
// then forgets the window and deletes it.
constexpr UINT WM_PHONE_PROPS_CLOSED = 0x1F5A;

// The modeless "Phone Properties" window of one phone: what the row's item knows, in bold,
// with the state texts kept current every 100 ms while it is open.
class CPhoneProps : public Fw::DialogImpl<CPhoneProps> {
public:
    static constexpr UINT_PTR refreshTimer = 1;
    static constexpr UINT refreshInterval = 100;

    // `item` belongs to the phone list, which keeps it alive while the window shows it or
    // hands over the rebuilt one (Update); `list` hears of the close.
    CPhoneProps(IOstrelConfigAgent* agent, CPhoneItem* item, long portId, HWND list)
        : m_agent(agent),
          m_item(item),
          m_portId(portId),
          m_list(list) {}
    ~CPhoneProps();

    // The window, shown; false when it could not be made.
    bool Open(HWND owner);
    // The port's row was built again: show the new item (null: the window lets go of the old
    // one and waits to be closed).
    void Update(CPhoneItem* item);
    // Closes the window as the user would.
    void Close();

    bool OnInitDialog(HWND focus);
    void OnTimer(UINT_PTR id);
    // OK, Esc and the close box.
    void OnClose(UINT, UINT, HWND) { Close(); }

    static inline const Fw::MessageEntry<CPhoneProps> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPhoneProps::OnInitDialog>(),
        Fw::OnMessage<WM_TIMER, &CPhoneProps::OnTimer>(),
        Fw::OnCommand<IDOK, &CPhoneProps::OnClose>(),
        Fw::OnCommand<IDCANCEL, &CPhoneProps::OnClose>(),
    };

private:
    // The item's picture in the icon box, when it is not the one shown already.
    void ShowIcon();
    // Sets a control's text only when it differs, so that unchanged values do not flicker.
    void SetChanged(int id, const std::string& text) const;

    Microsoft::WRL::ComPtr<IOstrelConfigAgent> m_agent;
    CPhoneItem* m_item;
    long m_portId;
    HWND m_list;
    Win32::UniqueFont m_boldFont;
    Win32::UniqueImageList m_images;
    Win32::UniqueIcon m_icon;
    int m_shownImage = -1;
};
