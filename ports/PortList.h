#pragma once

#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistPropertyBag.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/PropertyTable.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "framework/windows/DeviceChangeListener.h"
#include "framework/windows/ListView.h"
#include "interfaces/DispIds.h"
#include "interfaces/OstrelUITools.h"
#include "lists/ListControl.h"
#include "lists/ViewConnection.h"
#include "lists/ListViewHelper.h"
#include "ports/PortCommands.h"
#include "ports/PortRows.h"
#include "server/OstrelServer.h"
#include "server/ServerEventRoute.h"

#include <wrl/client.h>

#include <memory>
#include <optional>

// The ports of one device server, one row each (Port, State, Label, Phone, Link), kept
// current from the server's events. Hosts hear of activation and selection through window
// notifications; its event interface has no members.
class PortList : public Fw::Control<PortList, IOstrelPortList, &CLSID_OstrelPortList, _IOstrelPortListEvents>,
                 public ListControl<PortList, 5>,
                 public Fw::PersistStorage,
                 public Fw::PersistPropertyBag,
                 public Fw::DataObject,
                 public Fw::SpecifyPropertyPages,
                 private CPortCommands::Host {
public:
    static constexpr const char* displayName = "OstrelPortList";
    static constexpr SIZEL defaultExtent = {10874, 5450};
    // The Show...Label properties, in save order, each by the column it shows; the port errors
    // have no column of their own, and the State column no property.
    static constexpr Fw::PropertyEntry<int> shownFlags[] = {
        {"ShowPortNumberLabel", DISPID_PORTLIST_SHOWPORTNUMBERLABEL, portColumnPort},
        {"ShowPortLabel", DISPID_PORTLIST_SHOWPORTLABEL, portColumnLabel},
        {"ShowBaudLabel", DISPID_PORTLIST_SHOWBAUDLABEL, portColumnLink},
        {"ShowPhoneLabel", DISPID_PORTLIST_SHOWPHONELABEL, portColumnPhone},
        {"ShowPortErrorLabel", DISPID_PORTLIST_SHOWPORTERRORLABEL, noColumn},
    };
    static constexpr auto properties = Fw::PersistedProperties(shownFlags);
    static inline const CLSID* const propertyPages[] = {&CLSID_PortListProps};
    static inline const auto interfaces =
        Fw::Interfaces(Fw::ControlInterfaces<PortList>(), Fw::Entry<PortList, IPersistStorage>(),
                       Fw::Entry<PortList, IPersistPropertyBag>(), Fw::Entry<PortList, IDataObject>(),
                       Fw::Entry<PortList, ISpecifyPropertyPages>(), Fw::Entry<PortList, IConnectionPointContainer>());

    // The child ids hosts and tests find the list by.
    static constexpr int listId = 1;
    // The notification code of an activated row (double click or Enter).
    static constexpr UINT activateCode = 1;

    HRESULT FinalConstruct() { return m_connection.CreateSink(); }
    ~PortList() override;

    // IOstrelPortList
    HRESULT STDMETHODCALLTYPE Startup() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE InitializeList(IUnknown* pConfigAgent) override;
    HRESULT STDMETHODCALLTYPE GetSelectedPort(LONG* pPortID) override;
    HRESULT STDMETHODCALLTYPE get_ShowPortNumberLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPortNumberLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowPortLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPortLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowBaudLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowBaudLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowPhoneLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPhoneLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowPortErrorLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPortErrorLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE GetConfigAgent(IUnknown** lpConfigAgent) override;
    HRESULT STDMETHODCALLTYPE StartupEx(IUnknown* pOstrelServer) override;
    HRESULT STDMETHODCALLTYPE ShowProperties() override;
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override;
    HRESULT STDMETHODCALLTYPE ShowPropertiesOnDoubleClick(LONG bEnable) override;
    HRESULT STDMETHODCALLTYPE GetSelectedPortState(short* pState) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMask(int epcMask) override;
    HRESULT STDMETHODCALLTYPE SetNotificationWindow(ULONG hWnd) override;

    // From the list window: a double click or Enter on a row, F5, and the right-click menu
    // at a point on the screen.
    void Activate();
    void Reload() { m_rows.RefreshAll(); }
    void ShowContextMenu(POINT screen) { m_commands.ShowMenu(m_hWnd, screen); }

    // The control's window messages.
    int OnCreate(const CREATESTRUCTA*);
    void OnDestroy();
    void OnSetFocus(HWND);
    void OnDeviceChange(UINT, DWORD_PTR);
    LRESULT OnServerDetach(WPARAM, LPARAM);
    LRESULT OnServerRefreshItem(WPARAM, LPARAM portId);
    void OnCommand(UINT code, UINT id, HWND control);
    LRESULT OnColumnClick(NMHDR* header);
    LRESULT OnItemChanged(NMHDR* header);
    LRESULT OnHeaderChanging(NMHDR* header);
    LRESULT OnHeaderEndTrack(NMHDR* header);

    static inline const Fw::MessageEntry<PortList> messages[] = {
        Fw::OnMessage<WM_CREATE, &PortList::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &PortList::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &PortList::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &PortList::OnSetFocus>(),
        Fw::OnMessage<WM_DRAWITEM, &PortList::OnDrawItem>(),
        Fw::OnMessage<WM_DEVICECHANGE, &PortList::OnDeviceChange>(),
        Fw::OnMessage<WM_ENABLE, &PortList::OnEnable>(),
        Fw::OnMessage<WM_SYSCOLORCHANGE, &PortList::OnSysColorChange>(),
        Fw::OnMessage<WM_SERVER_DETACH, &PortList::OnServerDetach>(),
        Fw::OnMessage<WM_SERVER_REFRESH_ITEM, &PortList::OnServerRefreshItem>(),
        Fw::OnMessage<WM_COMMAND, &PortList::OnCommand>(),
        Fw::OnNotify<listId, LVN_COLUMNCLICK, &PortList::OnColumnClick>(),
        Fw::OnNotify<listId, LVN_ITEMCHANGED, &PortList::OnItemChanged>(),
        Fw::OnNotify<HDN_ITEMCHANGINGA, &PortList::OnHeaderChanging>(),
        Fw::OnNotify<HDN_ITEMCHANGINGW, &PortList::OnHeaderChanging>(),
        Fw::OnNotify<HDN_ENDTRACKA, &PortList::OnHeaderEndTrack>(),
        Fw::OnNotify<HDN_ENDTRACKW, &PortList::OnHeaderEndTrack>(),
    };

protected:
    // Enter activates a row even where a dialog host would take it for its default button.
    bool WantsKey(UINT virtualKey) const override;

private:
    friend class ListControl<PortList, 5>;

    // CPortCommands::Host
    CPortItem* SelectedItem() override;
    CPortItem* ItemOfPort(long portId) override { return m_rows.Items().Find(portId).item; }
    IOstrelConfigAgent* Agent() override { return m_connection.Agent(); }
    IOstrelServer* Server(const char* failureTrace) override { return m_connection.Server(failureTrace); }
    HWND MessageOwner() override;
    void SetViewMode(DWORD view) override;
    void RefreshPort(long portId) override { m_rows.RefreshPort(portId); }
    void Redraw() override;

    // Drops the rows and the subscription; the list stays empty until attached again.
    void Detach();
    void LoadRows() { m_rows.FillList(); }
    // The bodies of the Show...Label accessors, by the property's DISPID.
    HRESULT GetShown(DISPID id, LONG* value);
    HRESULT PutShown(DISPID id, LONG value);
    // Where notifications go: the window the host named, else `fallback`.
    HWND NotificationTarget(HWND fallback) const;

    CPortRows m_rows;
    LONG m_propertiesOnDoubleClick = 0;
    HWND m_notificationWindow = nullptr;
    // Brings the device broadcasts, which reach top-level windows only, while the window lives.
    std::optional<Fw::DeviceChangeListener> m_deviceChanges;
    CPortCommands m_commands{*this};
};
