#include "ports/PortSelectDlg.h"

INT_PTR CPortSelectDlg::Run(HWND owner) {
    const std::vector<BYTE>& dialog = m_face.DialogWindowTemplate();
    if (dialog.empty())
        return -1;
    return DoModalIndirect(owner, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()));
}

bool CPortSelectDlg::OnInitDialog(HWND) {
    m_face.CreateChildren(m_hWnd, "OstrelUITools", true, 0x80000000 | COLOR_BTNFACE);
    if (const Fw::ControlSite* site = m_face.Site(listId))
        m_list = site->Control<IOstrelPortList>();
    if (m_list) {
        m_list->StartupEx(m_server.Get());
        // Window handles are 32-bit values on 64-bit Windows too.
        m_list->SetNotificationWindow(static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(m_hWnd)));
    }
    return true;
}

void CPortSelectDlg::OnDestroy() {
    m_list.Reset();
    m_face.ReleaseChildren();
}

void CPortSelectDlg::OnOk(UINT, UINT, HWND) {
    LONG chosen = 0;
    if (!m_list || FAILED(m_list->GetSelectedPort(&chosen))) {
        // Nothing to hand back: the user may pick again or cancel.
        m_portId = 0;
        return;
    }
    m_portId = chosen;
    m_list->Shutdown();
    EndDialog(IDOK);
}

void CPortSelectDlg::OnCancel(UINT, UINT, HWND) {
    if (m_list)
        m_list->Shutdown();
    EndDialog(IDCANCEL);
}

LRESULT CPortSelectDlg::OnListActivated(NMHDR*) {
    OnOk(BN_CLICKED, IDOK, nullptr);
    return 0;
}
