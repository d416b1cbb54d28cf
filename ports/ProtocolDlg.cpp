#include "ports/ProtocolDlg.h"

#include "resources/resource.h"

INT_PTR CProtocolDlg::Run(HWND owner) {
    return DoModal(owner, IDD_PROTOCOL);
}

bool CProtocolDlg::OnInitDialog(HWND) {
    const Fw::Window combo = Child(IDC_PROTOCOL_MODE);
    for (UINT text : {IDS_PROTOCOL_HDLC_ONLY, IDS_PROTOCOL_SWITCH, IDS_PROTOCOL_SUPPORT})
        combo.Send(CB_ADDSTRING, 0, Fw::Module::Current().String(text).c_str());
    combo.Send(CB_SETCURSEL, static_cast<WPARAM>(m_mode));
    return true;
}

void CProtocolDlg::OnOk(UINT, UINT, HWND) {
    m_mode = static_cast<long>(Child(IDC_PROTOCOL_MODE).Send(CB_GETCURSEL));
    EndDialog(IDOK);
}
