#pragma once

#include "framework/controls/CompositeControl.h"
#include "framework/windows/Window.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"

#include <wrl/client.h>

// "Select Port": a port list of the module on the given server, from which the user picks the
// port a port view shows. The list is embedded the way a composite control embeds its children.
class CPortSelectDlg : public Fw::DialogImpl<CPortSelectDlg> {
public:
    static constexpr int listId = IDC_PORT_SELECT_LIST;
    // The port list's notification that the user activated a port (double click, Enter).
    static constexpr UINT listActivatedCode = 1;

    explicit CPortSelectDlg(IOstrelServer* server)
        : m_server(server) {}

    // IDOK or IDCANCEL, or -1 when the dialog could not be made.
    INT_PTR Run(HWND owner);
    // The port chosen with OK; 0 otherwise.
    long PortId() const { return m_portId; }

    bool OnInitDialog(HWND focus);
    void OnDestroy();
    void OnOk(UINT, UINT, HWND);
    void OnCancel(UINT, UINT, HWND);
    LRESULT OnListActivated(NMHDR*);

    static inline const Fw::MessageEntry<CPortSelectDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPortSelectDlg::OnInitDialog>(),
        Fw::OnMessage<WM_DESTROY, &CPortSelectDlg::OnDestroy>(),
        Fw::OnCommand<IDOK, &CPortSelectDlg::OnOk>(),
        Fw::OnCommand<IDCANCEL, &CPortSelectDlg::OnCancel>(),
        Fw::OnNotify<listId, listActivatedCode, &CPortSelectDlg::OnListActivated>(),
    };

private:
    Microsoft::WRL::ComPtr<IOstrelServer> m_server;
    Microsoft::WRL::ComPtr<IOstrelPortList> m_list;
    long m_portId = 0;
    Fw::CompositeFace m_face{IDD_PORT_SELECT};
};
