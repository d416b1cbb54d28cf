#include "ports/PortProps.h"

INT_PTR CPortProps::Run(HWND owner) {
    return DoModal(owner, IDD_PORT_PROPERTIES);
}

void CPortProps::Abandon() {
    m_item = nullptr;
    if (m_hWnd)
        EndDialog(IDCANCEL);
}

bool CPortProps::OnInitDialog(HWND) {
    LOGFONTA bold = {};
    ::GetObjectA(Child(IDC_PROPS_PORT_NAME).Font(), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    m_boldFont.reset(::CreateFontIndirectA(&bold));
    for (int id : {IDC_PROPS_PORT_NAME, IDC_PROPS_LABEL, IDC_PROPS_STATE, IDC_PROPS_PHONE, IDC_PROPS_LINK})
        Child(id).SetFont(m_boldFont.get());

    const std::string name = m_item ? m_item->portName : Fw::Module::Current().String(IDS_PORT_NAME_UNAVAILABLE);
    Child(IDC_PROPS_PORT_NAME).SetText(name.c_str());
    if (m_item) {
        Child(IDC_PROPS_PHONE).SetText(m_item->phoneText.c_str());
        Child(IDC_PROPS_LABEL).SetText(m_item->label.c_str());
        Child(IDC_PROPS_LINK).SetText(m_item->linkText.c_str());
        Child(IDC_PROPS_STATE).SetText(m_item->stateText.c_str());
    }
    const Fw::Window label = Child(IDC_PROPS_LABEL);
    label.Send(EM_LIMITTEXT, labelLimit);
    if (!m_controlLines)
        Child(IDC_PROPS_CONTROL_LINES).Show(SW_HIDE);
    label.SetFocus();
    // The focus is set: the dialog manager must not move it to the first tab stop.
    return false;
}

void CPortProps::OnDestroy() {
    // The controls go after this dialog's WM_DESTROY: they stop using the font first.
    for (int id : {IDC_PROPS_PORT_NAME, IDC_PROPS_LABEL, IDC_PROPS_STATE, IDC_PROPS_PHONE, IDC_PROPS_LINK})
        Child(id).SetFont(nullptr, false);
    m_boldFont.reset();
}

void CPortProps::OnControlLines(UINT, UINT, HWND) {
    m_controlLines(m_hWnd);
}

void CPortProps::OnOk(UINT, UINT, HWND) {
    if (m_item)
        m_item->label = Child(IDC_PROPS_LABEL).Text().substr(0, labelLimit);
    EndDialog(IDOK);
}
