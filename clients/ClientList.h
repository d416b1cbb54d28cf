#pragma once

#include "clients/ClientRows.h"
#include "framework/com/FreeThreadedMarshaler.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/OstrelUITools.h"
#include "lists/ListControl.h"
#include "server/ServerEventRoute.h"

// The client applications one device server knows, one row each (Client Name, Server Machine
// Name, Client Start Time, Client Process ID), kept current from the server's object events.
// A double click or Enter on a row tells the parent; its event interface has no members.
class COstrelClientList
    : public Fw::Control<COstrelClientList, IOstrelClientList, &CLSID_OstrelClientList, _IOstrelClientListEvents>,
      public ListControl<COstrelClientList, 0>,
      public Fw::PersistStorage,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
    // Answers IMarshal: callers in other apartments get the object itself.
    Fw::FreeThreadedMarshaler m_marshaler;

public:
    static constexpr const char* displayName = "OstrelClientList";
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelClientList>(), Fw::Entry<COstrelClientList, IPersistStorage>(),
        Fw::Entry<COstrelClientList, IDataObject>(), Fw::Entry<COstrelClientList, ISpecifyPropertyPages>(),
        Fw::Entry<COstrelClientList, IConnectionPointContainer>(),
        Fw::MarshalEntry<COstrelClientList, &COstrelClientList::m_marshaler>());

    // The child id hosts and tests find the list by.
    static constexpr int listId = 1;
    // Notification code to the parent window: a row was activated.
    static constexpr UINT activateCode = 1;

    HRESULT FinalConstruct();
    ~COstrelClientList() override;

    // IOstrelClientList
    HRESULT STDMETHODCALLTYPE Startup() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE InitializeList(IUnknown* pConfigAgent) override;
    HRESULT STDMETHODCALLTYPE StartupEx(IUnknown* pIOstrelServer) override;
    HRESULT STDMETHODCALLTYPE ShowProperties() override;
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override;

    // From the list window: a double click or Enter, F5, and the right-click menu at a point on
    // the screen.
    void Activate() { NotifyHost(::GetParent(m_hWnd), m_hWnd, activateCode); }
    void Reload() { ReloadAll(); }
    void ShowContextMenu(POINT screen);

    int OnCreate(const CREATESTRUCTA*);
    void OnDestroy();
    void OnSetFocus(HWND);
    LRESULT OnServerDetach(WPARAM, LPARAM);
    LRESULT OnServerRefreshItem(WPARAM, LPARAM change);
    LRESULT OnColumnClick(NMHDR* header);

    static inline const Fw::MessageEntry<COstrelClientList> messages[] = {
        Fw::OnMessage<WM_CREATE, &COstrelClientList::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &COstrelClientList::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &COstrelClientList::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &COstrelClientList::OnSetFocus>(),
        Fw::OnMessage<WM_DRAWITEM, &COstrelClientList::OnDrawItem>(),
        Fw::OnMessage<WM_ENABLE, &COstrelClientList::OnEnable>(),
        Fw::OnMessage<WM_SYSCOLORCHANGE, &COstrelClientList::OnSysColorChange>(),
        Fw::OnMessage<WM_SERVER_DETACH, &COstrelClientList::OnServerDetach>(),
        Fw::OnMessage<WM_SERVER_REFRESH_ITEM, &COstrelClientList::OnServerRefreshItem>(),
        Fw::OnNotify<listId, LVN_COLUMNCLICK, &COstrelClientList::OnColumnClick>(),
        Fw::OnNotify<listId, LVN_DELETEALLITEMS, &COstrelClientList::OnDeleteAllItems>(),
    };

protected:
    // Enter activates a row even where a dialog host would take it for its default button.
    bool WantsKey(UINT virtualKey) const override;

private:
    friend class ListControl<COstrelClientList, 0>;

    // The rows and the agent go: WM_SERVER_DETACH, Shutdown and a new InitializeList.
    void Detach();
    void LoadRows() { m_rows.LoadAll(); }
    void ReloadAll();
    void RunCommand(UINT id);

    CClientRows m_rows;
};
