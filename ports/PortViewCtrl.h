#pragma once

#include "framework/com/FreeThreadedMarshaler.h"
#include "framework/controls/CompositeControl.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/OstrelUITools.h"
#include "ports/PortViewRules.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"
#include "server/ServerEventRoute.h"

#include <comdef.h>
#include <wrl/client.h>

class ServerEventSink;

// One port of a device server and the phone on it, in one line: an icon, a status text and,
// when the host asks for it, a Browse... button that lets the user pick another port. The control
// reads the port through the server's port manager (not through a configuration agent) and, with
// automatic update, listens to the server object's own events.
class COstrelPortViewCtrl
    : public Fw::CompositeControl<COstrelPortViewCtrl, IOstrelPortViewCtrl, &CLSID_OstrelPortViewCtrl>,
      public Fw::PersistStorage,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
    // Answers IMarshal: callers in other apartments get the object itself.
    Fw::FreeThreadedMarshaler m_marshaler;

public:
    static constexpr const char* displayName = "OstrelPortViewCtrl";
    static constexpr UINT faceTemplate = IDD_PORT_VIEW;
    // The face's 551 by 20 dialog units in the system font at 96 dpi.
    static constexpr SIZEL defaultExtent = {21855, 860};
    static constexpr int iconId = IDC_PORT_VIEW_ICON;
    static constexpr int textId = IDC_PORT_VIEW_TEXT;
    static constexpr int browseId = IDC_PORT_VIEW_BROWSE;
    // Codes of the WM_NOTIFY the parent window hears.
    static constexpr UINT serverRefreshCode = 2;
    static constexpr UINT redrawnCode = 3;
    static constexpr UINT portChosenCode = 4;
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelPortViewCtrl>(), Fw::Entry<COstrelPortViewCtrl, IPersistStorage>(),
        Fw::Entry<COstrelPortViewCtrl, IDataObject>(),
        Fw::Entry<COstrelPortViewCtrl, ISpecifyPropertyPages>(),
        Fw::MarshalEntry<COstrelPortViewCtrl, &COstrelPortViewCtrl::m_marshaler>());

    HRESULT FinalConstruct();
    ~COstrelPortViewCtrl() override;

    // IOstrelPortViewCtrl
    HRESULT STDMETHODCALLTYPE SetPortByName(BSTR pVal) override;
    HRESULT STDMETHODCALLTYPE GetPortNameString(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE GetPortId(short* pVal) override;
    HRESULT STDMETHODCALLTYPE GetPortState(portState* pVal) override;
    HRESULT STDMETHODCALLTYPE GetModelNumber(unsigned short* pVal) override;
    HRESULT STDMETHODCALLTYPE GetModelString(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE InitializePortCtrl(IUnknown* pOstrelServer, BSTR portName, LONG addBrowseButton,
                                                 LONG autoUpdateOn) override;
    HRESULT STDMETHODCALLTYPE SetPortById(short portId) override;
    HRESULT STDMETHODCALLTYPE GetServerOfPort(IUnknown** pVal) override;
    HRESULT STDMETHODCALLTYPE GetEsnString(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE Refresh(int rfType) override;
    HRESULT STDMETHODCALLTYPE IsPhoneAuthorized(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE IsPhoneLocked(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE EnableButton(LONG pVal) override;

    bool OnInitDialog(HWND);
    void OnBrowse(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<COstrelPortViewCtrl> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &COstrelPortViewCtrl::OnInitDialog>(),
        Fw::OnCommand<browseId, BN_CLICKED, &COstrelPortViewCtrl::OnBrowse>(),
    };

private:
    // Reads the port and phone into the members; a failure is raised.
    void ReadPort(IOstrelPortManager* manager);
    // The port id the manager knows, else the server's first; false when there is none.
    bool FindShownPort(IOstrelPortManager* manager, IOstrelPortLookup* lookup);
    // Sets the text and icon of what was read; Redraw then tells the parent.
    void ShowFace();
    void Redraw();
    void Notify(UINT code) const;
    void PlaceBrowseButton(bool show) const;
    void OnServerEvent(ServerEventRoute::Action action, short objectId);
    void Unadvise();

    Microsoft::WRL::ComPtr<IOstrelServer> m_server;
    Microsoft::WRL::ComPtr<IConnectionPointContainer> m_eventSource;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_eventPoint;
    DWORD m_cookie = 0;
    Microsoft::WRL::ComPtr<IOstrelServerEvents> m_sinkObject;
    ServerEventSink* m_sink = nullptr;

    short m_portId = 0;
    _bstr_t m_portName;
    portState m_state = noPhone;
    unsigned short m_modelNumber = 0;
    long m_esn = -1;
    _bstr_t m_esnText;
    _bstr_t m_modelText;
    _bstr_t m_phoneText;
    bool m_locked = false;
    bool m_authorised = false;
    long m_phoneKind = 0;
    _bstr_t m_meidText;
    long m_refreshType = 0;
    long m_phoneStatus = 0;
};
