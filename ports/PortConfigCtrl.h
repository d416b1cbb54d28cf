#pragma once

#include "framework/controls/CompositeControl.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"

#include <string>

// The server's ports and four buttons to add, enable, disable and remove them. Enable, Disable
// and Remove act on the port selected in the embedded port list; Disable and Remove ask first
// (CMomDialog), Add runs the add-port dialog. A host hands it the server and the configuration
// agent through two calls of Initialize.
class COstrelPortConfigCtrl
    : public Fw::CompositeControl<COstrelPortConfigCtrl, IOstrelPortConfigCtrl, &CLSID_OstrelPortConfigCtrl,
                                  _IOstrelPortConfigCtrlEvents>,
      public Fw::PersistStorage,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
public:
    static constexpr const char* displayName = "OstrelPortConfigCtrl";
    static constexpr UINT faceTemplate = IDD_PORT_CONFIG;
    static constexpr int listId = IDC_PORT_CONFIG_LIST;
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelPortConfigCtrl>(), Fw::Entry<COstrelPortConfigCtrl, IPersistStorage>(),
        Fw::Entry<COstrelPortConfigCtrl, IDataObject>(),
        Fw::Entry<COstrelPortConfigCtrl, ISpecifyPropertyPages>(),
        Fw::Entry<COstrelPortConfigCtrl, IConnectionPointContainer>());

    // IOstrelPortConfigCtrl
    HRESULT STDMETHODCALLTYPE Startup() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE Initialize(IUnknown* pConfigAgentUnk) override;
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override;

    bool OnInitDialog(HWND focus);
    void OnSize(UINT type, SIZE client);
    void OnSysColorChange();
    LRESULT OnListItemChanged(NMHDR* header);
    void OnAdd(UINT, UINT, HWND);
    void OnEnable(UINT, UINT, HWND);
    void OnDisable(UINT, UINT, HWND);
    void OnRemove(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<COstrelPortConfigCtrl> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &COstrelPortConfigCtrl::OnInitDialog>(),
        Fw::OnMessage<WM_SIZE, &COstrelPortConfigCtrl::OnSize>(),
        Fw::OnMessage<WM_SYSCOLORCHANGE, &COstrelPortConfigCtrl::OnSysColorChange>(),
        Fw::OnNotify<LVN_ITEMCHANGED, &COstrelPortConfigCtrl::OnListItemChanged>(),
        Fw::OnCommand<IDC_PORT_CONFIG_ADD, BN_CLICKED, &COstrelPortConfigCtrl::OnAdd>(),
        Fw::OnCommand<IDC_PORT_CONFIG_ENABLE, BN_CLICKED, &COstrelPortConfigCtrl::OnEnable>(),
        Fw::OnCommand<IDC_PORT_CONFIG_DISABLE, BN_CLICKED, &COstrelPortConfigCtrl::OnDisable>(),
        Fw::OnCommand<IDC_PORT_CONFIG_REMOVE, BN_CLICKED, &COstrelPortConfigCtrl::OnRemove>(),
    };

private:
    Fw::Window Button(int id) const { return Fw::Window(::GetDlgItem(m_hWnd, id)); }
    // Enable, Disable and Remove as the selected port's state allows.
    void UpdateButtons();
    // The selected port's id; 0 after telling the user, under `captionId`, that none is selected.
    short SelectedPort(UINT captionId);
    // Owned by the control's window, captioned with string `captionId`.
    void ShowMessage(const std::string& text, UINT captionId, UINT type) const;

    Microsoft::WRL::ComPtr<IOstrelConfigAgent> m_agent;
    Microsoft::WRL::ComPtr<IOstrelServer> m_server;
};
