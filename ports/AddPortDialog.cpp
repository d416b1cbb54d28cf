#include "ports/AddPortDialog.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "ports/SuiteSettings.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace {

const char enteredValuesKey[] = "Software\\Kelmar\\NORVIK Configuration";

// An edit's text in full, whatever its length.
std::wstring EditText(const Fw::Window& edit) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit.Handle())) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(edit.Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetString(HKEY key, const char* name, const std::string& text) {
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}

} // namespace

AddPortDialog::AddPortDialog(IOstrelServer* server, LocalPortSources sources)
    : m_sources(std::move(sources)) {
    Microsoft::WRL::ComPtr<IOstrelPortManager> portManager;
    Com::Call(server, &IOstrelServer::GetPortManager, &portManager);
    Com::ThrowIfNull(portManager.Get());
    // Without a lookup object the dialog still offers what needs no classifier.
    Microsoft::WRL::ComPtr<IOstrelPortLookup> lookup;
    if (SUCCEEDED(portManager->GetPortLookup(&lookup)) && lookup)
        lookup.As(&m_classifier);
}

AddPortDialog::~AddPortDialog() {
    SuiteSettings::SetDiagPortsOnly(m_diagOnly);
}

INT_PTR AddPortDialog::Run(HWND owner) {
    return DoModal(owner, IDD_ADD_PORT);
}

void AddPortDialog::FillPortList(bool diagOnly) {
    const Fw::Window list = Child(IDC_ADD_PORT_LIST);
    if (!list)
        return;
    list.Send(LB_RESETCONTENT);
    m_portNames.clear();
    m_diagOnly = diagOnly;
    LocalPortOffer offer =
        OfferLocalPorts(m_sources, KnownPortsOf(m_knownPorts), m_classifier.Get(), diagOnly);
    // A registry fill tells no Remote EFS port, so the earlier set stays.
    if (offer.remoteEfsPorts)
        m_remoteEfsPorts = std::move(*offer.remoteEfsPorts);
    for (const PortListRow& row : offer.rows) {
        const auto index = list.Send(LB_ADDSTRING, 0, row.text.c_str());
        if (index < 0)
            continue;
        list.Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(m_portNames.size()));
        m_portNames.push_back(row.portName);
    }
}

bool AddPortDialog::OnInitDialog(HWND) {
    const Fw::Window tabs = Child(IDC_ADD_PORT_TABS);
    // The pages' controls are the dialog's own children and paint in its colour: a themed tab body
    // would show them as grey boxes on white, so the tabs are drawn in that colour too.
    ::SetWindowTheme(tabs.Handle(), L"", L"");
    for (const auto& [page, title] : {std::pair{portsPage, IDS_ADD_PORT_PAGE_PORTS},
                                      std::pair{outgoingPage, IDS_ADD_PORT_PAGE_OUTGOING}}) {
        std::string text = Fw::Module::Current().String(title);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        tabs.Send(TCM_INSERTITEMA, static_cast<WPARAM>(page), &item);
    }
    const bool diagOnly = SuiteSettings::GetDiagPortsOnly();
    ::CheckDlgButton(m_hWnd, IDC_ADD_PORT_DIAG_ONLY, diagOnly ? BST_CHECKED : BST_UNCHECKED);
    FillPortList(diagOnly);
    return true;
}

LRESULT AddPortDialog::OnPageChanged(NMHDR*) {
    ShowPage(static_cast<int>(Child(IDC_ADD_PORT_TABS).Send(TCM_GETCURSEL)));
    return 0;
}

void AddPortDialog::ShowPage(int page) {
    if (page != portsPage && page != outgoingPage)
        return;
    const bool ports = page == portsPage;
    const Fw::Module& module = Fw::Module::Current();
    const Fw::Window list = Child(IDC_ADD_PORT_LIST);
    list.Enable(ports);
    if (ports)
        list.Show();
    Child(IDC_ADD_PORT_NOTE).Show(ports ? SW_SHOW : SW_HIDE);
    Child(IDC_ADD_PORT_DIAG_ONLY).Show(ports ? SW_SHOW : SW_HIDE);
    Child(IDC_ADD_PORT_GROUP)
        .SetText(module.String(ports ? IDS_ADD_PORT_GROUP_PORTS : IDS_ADD_PORT_GROUP_OUTGOING).c_str());
    Child(IDC_ADD_PORT_NAME_CAPTION)
        .SetText(module.String(ports ? IDS_ADD_PORT_NAME_CAPTION : IDS_ADD_PORT_MACHINE_CAPTION).c_str());
    Child(IDC_ADD_PORT_LABEL_CAPTION)
        .SetText(module.String(ports ? IDS_ADD_PORT_LABEL_CAPTION : IDS_ADD_PORT_IP_PORT_CAPTION).c_str());
    // A typed machine and IP port are kept for the connection; a port is picked afresh.
    if (ports) {
        Child(IDC_ADD_PORT_NAME).SetText("");
        Child(IDC_ADD_PORT_LABEL).SetText("");
    }
}

void AddPortDialog::OnPortSelected(UINT, UINT, HWND) {
    const Fw::Window list = Child(IDC_ADD_PORT_LIST);
    const auto row = list.Send(LB_GETCURSEL);
    if (row < 0)
        return;
    const auto index = static_cast<size_t>(list.Send(LB_GETITEMDATA, static_cast<WPARAM>(row)));
    if (index >= m_portNames.size())
        return;
    const std::string& portName = m_portNames[index];
    Child(IDC_ADD_PORT_NAME).SetText(portName.c_str());
    const bool remoteEfs = m_remoteEfsPorts.contains(Lang::ToWide(portName));
    Child(IDC_ADD_PORT_LABEL)
        .SetText(remoteEfs ? Fw::Module::Current().String(IDS_ADD_PORT_REMOTE_EFS_LABEL).c_str()
                           : portName.c_str());
}

void AddPortDialog::OnDiagOnlyClicked(UINT, UINT, HWND) {
    FillPortList(::IsDlgButtonChecked(m_hWnd, IDC_ADD_PORT_DIAG_ONLY) == BST_CHECKED);
}

void AddPortDialog::OnOk(UINT, UINT, HWND) {
    m_portText = EditText(Child(IDC_ADD_PORT_NAME));
    m_labelText = EditText(Child(IDC_ADD_PORT_LABEL));
    m_tabIndex = static_cast<int>(Child(IDC_ADD_PORT_TABS).Send(TCM_GETCURSEL));
    StoreEnteredValues(m_tabIndex);
    if (!m_portText.empty() && !m_labelText.empty()) {
        ::CharUpperBuffW(m_portText.data(), static_cast<DWORD>(m_portText.size()));
    } else {
        m_portText.clear();
        m_labelText.clear();
    }
    EndDialog(IDOK);
}

void AddPortDialog::OnCancel(UINT, UINT, HWND) {
    m_portText.clear();
    m_labelText.clear();
    EndDialog(IDCANCEL);
}

void AddPortDialog::StoreEnteredValues(int page) const {
    Win32::UniqueKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, enteredValuesKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        return;
    // Both pages store the same three values: what the two fields held and the page.
    SetString(key.get(), "OutgoingIp", Lang::FromWide(m_portText));
    SetString(key.get(), "OutgoingPort", Lang::FromWide(m_labelText));
    const DWORD tab = static_cast<DWORD>(page);
    ::RegSetValueExA(key.get(), "PortsTab", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&tab), sizeof tab);
}
