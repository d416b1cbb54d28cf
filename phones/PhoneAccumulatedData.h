#pragma once

#include "framework/windows/ListView.h"
#include "framework/windows/Window.h"
#include "phones/PhoneItem.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"

// "Listeners - Accumulated Data(Bytes)": how many bytes each listener of a phone's port has
// taken in, read again every 5 seconds while the dialog is open.
class CPhoneAccumulatedData : public Fw::DialogImpl<CPhoneAccumulatedData> {
public:
    static constexpr UINT_PTR refreshTimer = 1;
    static constexpr UINT refreshInterval = 5000;
    // The most listeners one read asks for.
    static constexpr long capacity = 128;

    CPhoneAccumulatedData(IOstrelConfigAgent* agent, long portId)
        : m_agent(agent),
          m_portId(portId) {}

    INT_PTR Run(HWND owner) { return DoModal(owner, IDD_PHONE_ACCUMULATED_DATA); }

    bool OnInitDialog(HWND focus);
    void OnTimer(UINT_PTR id);
    void OnClose(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CPhoneAccumulatedData> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPhoneAccumulatedData::OnInitDialog>(),
        Fw::OnMessage<WM_TIMER, &CPhoneAccumulatedData::OnTimer>(),
        Fw::OnCommand<IDOK, &CPhoneAccumulatedData::OnClose>(),
        Fw::OnCommand<IDCANCEL, &CPhoneAccumulatedData::OnClose>(),
    };

private:
    // Every row read again; a failed read leaves the list empty until the next tick.
    void Load();

    IOstrelConfigAgent* m_agent;
    long m_portId;
    Fw::ListView m_list;
};
