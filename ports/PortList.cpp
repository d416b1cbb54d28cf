#include "ports/PortList.h"

#include "foundation/Com/Failure.h"
#include "framework/com/Boundary.h"
#include "resources/resource.h"

PortList::~PortList() {
    m_rows.SetList(nullptr);
}

// --- IOstrelPortList ------------------------------------------------------------------------

HRESULT PortList::Startup() {
    return Fw::Boundary([&] { return StartRows(portListColumns, IDB_LIST_IMAGES_SMALL, IDB_LIST_IMAGES_LARGE); });
}

HRESULT PortList::Shutdown() {
    return Fw::Boundary([&] {
        Detach();
        StopRows();
    });
}

HRESULT PortList::InitializeList(IUnknown* pConfigAgent) {
    return Fw::Boundary([&] { return AttachRows(pConfigAgent); });
}

HRESULT PortList::GetSelectedPort(LONG* pPortID) {
    return Fw::Boundary(pPortID, [&] {
        if (const CPortItem* item = m_rows.ItemOfRow(SelectedRow()))
            *pPortID = item->GetID();
    });
}

HRESULT PortList::GetShown(DISPID id, LONG* value) {
    return Fw::Boundary(value, [&] { *value = Shown(id); });
}

HRESULT PortList::PutShown(DISPID id, LONG value) {
    return Fw::Boundary([&] {
        if (SetShown(id, value, portListColumns))
            PropertyChanged(id);
    });
}

HRESULT PortList::get_ShowPortNumberLabel(LONG* pVal) {
    return GetShown(DISPID_PORTLIST_SHOWPORTNUMBERLABEL, pVal);
}
HRESULT PortList::put_ShowPortNumberLabel(LONG newVal) {
    return PutShown(DISPID_PORTLIST_SHOWPORTNUMBERLABEL, newVal);
}
HRESULT PortList::get_ShowPortLabel(LONG* pVal) {
    return GetShown(DISPID_PORTLIST_SHOWPORTLABEL, pVal);
}
HRESULT PortList::put_ShowPortLabel(LONG newVal) {
    return PutShown(DISPID_PORTLIST_SHOWPORTLABEL, newVal);
}
HRESULT PortList::get_ShowBaudLabel(LONG* pVal) {
    return GetShown(DISPID_PORTLIST_SHOWBAUDLABEL, pVal);
}
HRESULT PortList::put_ShowBaudLabel(LONG newVal) {
    return PutShown(DISPID_PORTLIST_SHOWBAUDLABEL, newVal);
}
HRESULT PortList::get_ShowPhoneLabel(LONG* pVal) {
    return GetShown(DISPID_PORTLIST_SHOWPHONELABEL, pVal);
}
HRESULT PortList::put_ShowPhoneLabel(LONG newVal) {
    return PutShown(DISPID_PORTLIST_SHOWPHONELABEL, newVal);
}
HRESULT PortList::get_ShowPortErrorLabel(LONG* pVal) {
    return GetShown(DISPID_PORTLIST_SHOWPORTERRORLABEL, pVal);
}
HRESULT PortList::put_ShowPortErrorLabel(LONG newVal) {
    return PutShown(DISPID_PORTLIST_SHOWPORTERRORLABEL, newVal);
}

HRESULT PortList::GetConfigAgent(IUnknown** lpConfigAgent) {
    return Fw::Boundary(lpConfigAgent, [&] { return m_connection.AttachedAgent(lpConfigAgent); });
}

HRESULT PortList::StartupEx(IUnknown* pOstrelServer) {
    return Fw::Boundary([&] { return StartOnServer(pOstrelServer); });
}

HRESULT PortList::ShowProperties() {
    return Fw::Boundary([&] { m_commands.ShowProperties(); });
}

HRESULT PortList::RefreshDisplay() {
    return Fw::Boundary([&] { m_rows.RefreshPort(refreshAllItems); });
}

HRESULT PortList::ShowPropertiesOnDoubleClick(LONG bEnable) {
    m_propertiesOnDoubleClick = bEnable;
    return S_OK;
}

HRESULT PortList::GetSelectedPortState(short* pState) {
    return Fw::Boundary(pState, [&] {
        *pState = static_cast<short>(0xFFFF);
        if (const CPortItem* item = m_rows.ItemOfRow(SelectedRow()))
            *pState = item->stateCode;
    });
}

HRESULT PortList::SetDisplayMask(int epcMask) {
    return Fw::Boundary([&] {
        m_rows.SetDisplayMask(static_cast<unsigned long>(epcMask));
        if (m_connection.Agent())
            m_rows.RefreshPort(refreshAllItems);
    });
}

HRESULT PortList::SetNotificationWindow(ULONG hWnd) {
    return Fw::Boundary([&] {
        // Window handles are 32-bit values sign-extended on 64-bit Windows.
        const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(hWnd)));
        if (!::IsWindow(window))
            return E_FAIL;
        m_notificationWindow = window;
        return S_OK;
    });
}

// --- behaviour ------------------------------------------------------------------------------

void PortList::Detach() {
    m_rows.RemoveAllRows();
    m_connection.Detach();
    m_rows.SetAgent(nullptr);
}

HWND PortList::NotificationTarget(HWND fallback) const {
    return m_notificationWindow ? m_notificationWindow : fallback;
}

void PortList::Activate() {
    if (m_propertiesOnDoubleClick) {
        ShowProperties();
        return;
    }
    // Unlike the selection changes, activation goes to the control's own parent.
    NotifyHost(NotificationTarget(::GetParent(m_hWnd)), m_hWnd, activateCode);
}

bool PortList::WantsKey(UINT virtualKey) const {
    return virtualKey == VK_RETURN || ControlBase::WantsKey(virtualKey);
}

// --- what the commands need ----------------------------------------------------------------

CPortItem* PortList::SelectedItem() {
    return m_rows.ItemOfRow(SelectedRow());
}

HWND PortList::MessageOwner() {
    return m_hWnd ? m_hWnd : ContainerWindow();
}

void PortList::SetViewMode(DWORD view) {
    SwitchView(view);
}

void PortList::Redraw() {
    if (m_list)
        m_list.Invalidate();
    FireViewChange();
}

// --- window messages ----------------------------------------------------------------------

int PortList::OnCreate(const CREATESTRUCTA*) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    // The progress bars are children of the list.
    if (!CreateList(m_hWnd, listId, WS_CLIPCHILDREN))
        return -1;
    // Transfer progress moves its bar inside the server's call; everything else is posted.
    m_connection.Sink().Bind(ViewKind::PortList, m_hWnd, [this](const ServerEventRoute& route, short portId, short value) {
        m_rows.ShowTransferProgress(static_cast<long>(route.lParam), portId, value);
    });
    m_deviceChanges.emplace(m_hWnd);
    m_rows.OnRowsLeaving([this](long portId) { m_commands.OnRowsLeaving(portId); });
    return 0;
}

void PortList::OnDestroy() {
    // The rows and bars die with the list; a later window starts the list again.
    m_connection.Sink().Unbind();
    m_deviceChanges.reset();
    m_rows.RemoveAllRows();
    m_rows.SetList(nullptr);
    DestroyList();
    m_started = false;
}

void PortList::OnSetFocus(HWND) {
    PassOn();
    if (m_list)
        m_list.SetFocus();
}

void PortList::OnDeviceChange(UINT, DWORD_PTR) {
    // A port came or went on this machine: reload once the system has finished telling.
    m_connection.Sink().Post(WM_SERVER_REFRESH_ITEM, refreshAllItems);
}

LRESULT PortList::OnServerDetach(WPARAM, LPARAM detail) {
    m_connection.Sink().Delivered(WM_SERVER_DETACH, detail);
    Detach();
    return 0;
}

LRESULT PortList::OnServerRefreshItem(WPARAM, LPARAM portId) {
    m_connection.Sink().Delivered(WM_SERVER_REFRESH_ITEM, portId);
    m_rows.RefreshPort(static_cast<long>(portId));
    return 0;
}

void PortList::OnCommand(UINT, UINT id, HWND control) {
    // Commands from a menu or an accelerator of the host; its controls' notifications are not
    // the list's business.
    if (control)
        PassOn();
    else
        m_commands.Run(id);
}

LRESULT PortList::OnColumnClick(NMHDR* header) {
    const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
    m_rows.Sort(PortSortKey(click->iSubItem, ::GetKeyState(VK_SHIFT) < 0));
    return 0;
}

LRESULT PortList::OnItemChanged(NMHDR* header) {
    // The host sees the list's own record, as if it were the list's parent.
    const HWND target = NotificationTarget(::GetParent(::GetParent(m_hWnd)));
    if (::IsWindow(target))
        ::SendMessageA(target, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    return 0;
}

LRESULT PortList::OnHeaderChanging(NMHDR* header) {
    // Only the first two columns lie left of the State cell or are it.
    const auto* change = reinterpret_cast<const NMHEADERA*>(header);
    if (change->iItem == portColumnPort || change->iItem == portColumnState)
        m_rows.PlaceProgressBars(false);
    PassOn();
    return FALSE;
}

LRESULT PortList::OnHeaderEndTrack(NMHDR* header) {
    const auto* change = reinterpret_cast<const NMHEADERA*>(header);
    if (change->iItem == portColumnPort || change->iItem == portColumnState)
        m_rows.PlaceProgressBars(true);
    PassOn();
    return 0;
}
