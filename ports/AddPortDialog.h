#pragma once

#include "framework/windows/Window.h"
#include "ports/LocalPortOffer.h"
#include "resources/resource.h"
#include "server/NorvikPortStateEnum.h"
#include "server/OstrelServer.h"

#include <wrl/client.h>

#include <set>
#include <string>
#include <vector>

// "Add New Port": a local serial or USB port the server does not have yet, picked from the list or
// typed, with its label (page 0); or a machine and IP port for an outgoing connection (page 1). The
// dialog itself asks the server nothing but the classifier's questions; the owner adds the choice.
class AddPortDialog : public Fw::DialogImpl<AddPortDialog> {
public:
    static constexpr int portsPage = 0;
    static constexpr int outgoingPage = 1;

    // Raises E_POINTER for a missing server or port manager. A server without a classifier offers
    // no USB port of the library's listing.
    explicit AddPortDialog(IOstrelServer* server,
                           LocalPortSources sources = LocalPortSources::OfThisMachine());
    // Keeps the diagnostic-only choice for the user, whatever the outcome.
    ~AddPortDialog();
    AddPortDialog(const AddPortDialog&) = delete;
    AddPortDialog& operator=(const AddPortDialog&) = delete;

    // The server's ports, filled by the owner before the dialog runs: they are not offered.
    CNorvikActiveStateEnum& KnownPorts() { return m_knownPorts; }

    // IDOK or IDCANCEL, run over `owner`.
    INT_PTR Run(HWND owner);
    // The page OK was pressed on; -1 before.
    int TabIndex() const { return m_tabIndex; }
    // After OK: the port name (upper case) or the machine; empty with an empty label.
    const std::wstring& PortText() const { return m_portText; }
    // After OK: the port's label or the IP port; empty with an empty port text.
    const std::wstring& LabelText() const { return m_labelText; }
    // The ports the last fill from the library classified as Remote EFS.
    const std::set<std::wstring>& RemoteEfsPorts() const { return m_remoteEfsPorts; }

    // Refills the list with the local ports on offer, only the serial and diagnostic ones when
    // `diagOnly`; nothing happens before the list exists.
    void FillPortList(bool diagOnly);

    bool OnInitDialog(HWND focus);
    LRESULT OnPageChanged(NMHDR* header);
    void OnPortSelected(UINT, UINT, HWND);
    void OnDiagOnlyClicked(UINT, UINT, HWND);
    void OnOk(UINT, UINT, HWND);
    void OnCancel(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<AddPortDialog> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &AddPortDialog::OnInitDialog>(),
        Fw::OnNotify<IDC_ADD_PORT_TABS, TCN_SELCHANGE, &AddPortDialog::OnPageChanged>(),
        Fw::OnCommand<IDC_ADD_PORT_LIST, LBN_SELCHANGE, &AddPortDialog::OnPortSelected>(),
        Fw::OnCommand<IDC_ADD_PORT_DIAG_ONLY, BN_CLICKED, &AddPortDialog::OnDiagOnlyClicked>(),
        Fw::OnCommand<IDOK, &AddPortDialog::OnOk>(),
        Fw::OnCommand<IDCANCEL, &AddPortDialog::OnCancel>(),
    };

private:
    void ShowPage(int page);
    // The last values entered, for the suite's other tools; a user who may not write there loses
    // nothing but them.
    void StoreEnteredValues(int page) const;

    LocalPortSources m_sources;
    Microsoft::WRL::ComPtr<IOstrelPortClassifier> m_classifier;
    CNorvikActiveStateEnum m_knownPorts;
    int m_tabIndex = -1;
    std::wstring m_portText;
    std::wstring m_labelText;
    // The port of each list row: a row's item data is its index here.
    std::vector<std::string> m_portNames;
    std::set<std::wstring> m_remoteEfsPorts;
    bool m_diagOnly = false;
};
