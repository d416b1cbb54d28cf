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
#include "phones/PhoneProps.h"
#include "phones/PhoneRows.h"
#include "server/ServerEventRoute.h"

#include <map>
#include <memory>
#include <optional>

// The phones one device server sees, one row each (Phone, ESN, Phone Number, Banner, Port),
// kept current from the server's events, with a live properties window per phone on request.
// Hosts hear of activation, reloads and selection through window notifications; its event
// interface has no members.
class COstrelPhoneList
    : public Fw::Control<COstrelPhoneList, IOstrelPhoneList, &CLSID_OstrelPhoneList, _IOstrelPhoneListEvents>,
      public ListControl<COstrelPhoneList, 6>,
      public Fw::PersistStorage,
      public Fw::PersistPropertyBag,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
public:
    static constexpr const char* displayName = "OstrelPhoneList";
    static constexpr SIZEL defaultExtent = {10874, 5450};
    // The Show...Label properties, in save order, each by the column it shows; the server has
    // no column of its own.
    static constexpr Fw::PropertyEntry<int> shownFlags[] = {
        {"ShowPhoneTypeLabel", DISPID_PHONELIST_SHOWPHONETYPELABEL, phoneColumnPhone},
        {"ShowESNLabel", DISPID_PHONELIST_SHOWESNLABEL, phoneColumnEsn},
        {"ShowBannerLabel", DISPID_PHONELIST_SHOWBANNERLABEL, phoneColumnBanner},
        {"ShowPortLabel", DISPID_PHONELIST_SHOWPORTLABEL, phoneColumnPort},
        {"ShowServerLabel", DISPID_PHONELIST_SHOWSERVERLABEL, noColumn},
        {"ShowNumberLabel", DISPID_PHONELIST_SHOWNUMBERLABEL, phoneColumnNumber},
    };
    static constexpr auto properties = Fw::PersistedProperties(shownFlags);
    static inline const CLSID* const propertyPages[] = {&CLSID_PhoneListProps};
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelPhoneList>(), Fw::Entry<COstrelPhoneList, IPersistStorage>(),
        Fw::Entry<COstrelPhoneList, IPersistPropertyBag>(), Fw::Entry<COstrelPhoneList, IDataObject>(),
        Fw::Entry<COstrelPhoneList, ISpecifyPropertyPages>(),
        Fw::Entry<COstrelPhoneList, IConnectionPointContainer>());

    // The child id hosts and tests find the list by.
    static constexpr int listId = 1;
    // Notification codes to the parent window.
    static constexpr UINT activateCode = 1;
    static constexpr UINT refreshedCode = 2;
    static constexpr UINT selectionCode = 3;

    HRESULT FinalConstruct() { return m_connection.CreateSink(); }
    ~COstrelPhoneList() override;

    // IOstrelPhoneList
    HRESULT STDMETHODCALLTYPE Startup() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE InitializeList(IUnknown* pConfigAgent) override;
    HRESULT STDMETHODCALLTYPE GetSelectedPhone(LONG* pESN, LONG* pPortID) override;
    HRESULT STDMETHODCALLTYPE get_ShowPhoneTypeLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPhoneTypeLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowESNLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowESNLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowBannerLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowBannerLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowPortLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPortLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowServerLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowServerLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowNumberLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowNumberLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE GetConfigAgent(IUnknown** lpConfigAgent) override;
    HRESULT STDMETHODCALLTYPE StartupEx(IUnknown* pIOstrelServer) override;
    HRESULT STDMETHODCALLTYPE ShowProperties() override;
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override;
    HRESULT STDMETHODCALLTYPE GetItemCount(int* iCount) override;
    HRESULT STDMETHODCALLTYPE GetModelNumber(unsigned short* pVal) override;
    HRESULT STDMETHODCALLTYPE GetModelString(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE GetBuildVersion(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE GetPortName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE IsPhoneAuthorized(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE ShowAccumulatedData() override;

    // From the list window: a double click or Enter, F5, and the right-click menu at a point on
    // the screen.
    void Activate() { NotifyHost(::GetParent(m_hWnd), m_hWnd, activateCode); }
    void Reload() { ReloadAll(); }
    void ShowContextMenu(POINT screen);

    // The properties windows open now (those closed and not yet reported included).
    size_t OpenPropertiesWindows() const { return m_propsWindows.size(); }

    int OnCreate(const CREATESTRUCTA*);
    void OnDestroy();
    void OnSetFocus(HWND);
    void OnDeviceChange(UINT, DWORD_PTR);
    LRESULT OnServerDetach(WPARAM, LPARAM);
    LRESULT OnServerRefreshItem(WPARAM, LPARAM portId);
    LRESULT OnPropsClosed(WPARAM portId, LPARAM);
    void OnCommand(UINT code, UINT id, HWND control);
    LRESULT OnColumnClick(NMHDR* header);
    LRESULT OnItemChanged(NMHDR* header);

    static inline const Fw::MessageEntry<COstrelPhoneList> messages[] = {
        Fw::OnMessage<WM_CREATE, &COstrelPhoneList::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &COstrelPhoneList::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &COstrelPhoneList::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &COstrelPhoneList::OnSetFocus>(),
        Fw::OnMessage<WM_DRAWITEM, &COstrelPhoneList::OnDrawItem>(),
        Fw::OnMessage<WM_DEVICECHANGE, &COstrelPhoneList::OnDeviceChange>(),
        Fw::OnMessage<WM_ENABLE, &COstrelPhoneList::OnEnable>(),
        Fw::OnMessage<WM_SYSCOLORCHANGE, &COstrelPhoneList::OnSysColorChange>(),
        Fw::OnMessage<WM_SERVER_DETACH, &COstrelPhoneList::OnServerDetach>(),
        Fw::OnMessage<WM_SERVER_REFRESH_ITEM, &COstrelPhoneList::OnServerRefreshItem>(),
        Fw::OnMessage<WM_PHONE_PROPS_CLOSED, &COstrelPhoneList::OnPropsClosed>(),
        Fw::OnMessage<WM_COMMAND, &COstrelPhoneList::OnCommand>(),
        Fw::OnNotify<listId, LVN_COLUMNCLICK, &COstrelPhoneList::OnColumnClick>(),
        Fw::OnNotify<listId, LVN_ITEMCHANGED, &COstrelPhoneList::OnItemChanged>(),
    };

protected:
    // Enter activates a row even where a dialog host would take it for its default button.
    bool WantsKey(UINT virtualKey) const override;

private:
    friend class ListControl<COstrelPhoneList, 6>;

    // The detach of WM_SERVER_DETACH, Shutdown and InitializeList: every properties window
    // closes; the rows and the agent go once none is left open.
    void Detach();
    // A detach still waiting for its windows is over: the new agent's rows replace the old ones.
    void LoadRows() {
        m_pendingDetach = false;
        m_rows.RemoveAll();
        m_rows.LoadAll();
    }
    void DropRows();
    void ReloadAll();
    void ReloadPort(long portId);
    void CloseAllPropertiesWindows();
    CPhoneItem* SelectedItem() const;
    // Runs a command of menu 208.
    void RunCommand(UINT id);
    // The service map dialog on the selected phone's port, modal over the active window.
    void ShowServiceMapping();
    HRESULT GetShown(DISPID id, LONG* value);
    HRESULT PutShown(DISPID id, LONG value);
    // A text of the selected row, or general failure without one.
    HRESULT SelectedText(BSTR* value, const std::string CPhoneItem::* field) const;

    CPhoneRows m_rows;
    bool m_pendingDetach = false;
    std::map<long, std::unique_ptr<CPhoneProps>> m_propsWindows;
    std::optional<Fw::DeviceChangeListener> m_deviceChanges;
};
