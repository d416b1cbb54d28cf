#include "phones/PhoneList.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Boundary.h"
#include "lists/ViewCommands.h"
#include "phones/PhoneAccumulatedData.h"
#include "resources/resource.h"
#include "servicemap/MapTransfer.h"
#include "servicemap/RdmPortAssignDlg.h"

namespace {

const ListColumn phoneListColumns[phoneColumnCount] = {
    {IDS_PHONE_COLUMN_PHONE, IDS_PHONE_COLUMN_PHONE_WIDTH},
    {IDS_PHONE_COLUMN_ESN, IDS_PHONE_COLUMN_ESN_WIDTH},
    {IDS_PHONE_COLUMN_NUMBER, IDS_PHONE_COLUMN_NUMBER_WIDTH},
    {IDS_PHONE_COLUMN_BANNER, IDS_PHONE_COLUMN_BANNER_WIDTH},
    {IDS_PHONE_COLUMN_PORT, IDS_PHONE_COLUMN_PORT_WIDTH},
};

// Traced when the menu cannot have the server the mapping command needs.
constexpr char noServerTrace[] = " OnRButtonUp: m_pOstrelServer get failed \n";

std::string ResourceText(UINT id) {
    return Fw::Module::Current().String(id);
}

} // namespace

COstrelPhoneList::~COstrelPhoneList() {
    m_propsWindows.clear();
    m_rows.SetList(nullptr);
}

// --- IOstrelPhoneList -----------------------------------------------------------------------

HRESULT COstrelPhoneList::Startup() {
    return Fw::Boundary([&] { return StartRows(phoneListColumns, IDB_PHONE_IMAGES_SMALL, IDB_PHONE_IMAGES_LARGE); });
}

HRESULT COstrelPhoneList::Shutdown() {
    return Fw::Boundary([&] {
        Detach();
        // Rows a detach keeps for open windows go with the list all the same.
        m_rows.RemoveAll();
        StopRows();
    });
}

HRESULT COstrelPhoneList::InitializeList(IUnknown* pConfigAgent) {
    return Fw::Boundary([&] { return AttachRows(pConfigAgent); });
}

HRESULT COstrelPhoneList::GetSelectedPhone(LONG* pESN, LONG* pPortID) {
    return Fw::Boundary(pESN, pPortID, [&] {
        if (const CPhoneItem* item = SelectedItem()) {
            *pESN = static_cast<LONG>(item->esn);
            *pPortID = item->GetID();
        }
    });
}

HRESULT COstrelPhoneList::GetShown(DISPID id, LONG* value) {
    return Fw::Boundary(value, [&] { *value = Shown(id); });
}

HRESULT COstrelPhoneList::PutShown(DISPID id, LONG value) {
    return Fw::Boundary([&] {
        if (SetShown(id, value, phoneListColumns))
            PropertyChanged(id);
    });
}

HRESULT COstrelPhoneList::get_ShowPhoneTypeLabel(LONG* pVal) {
    return GetShown(DISPID_PHONELIST_SHOWPHONETYPELABEL, pVal);
}
HRESULT COstrelPhoneList::put_ShowPhoneTypeLabel(LONG newVal) {
    return PutShown(DISPID_PHONELIST_SHOWPHONETYPELABEL, newVal);
}
HRESULT COstrelPhoneList::get_ShowESNLabel(LONG* pVal) {
    return GetShown(DISPID_PHONELIST_SHOWESNLABEL, pVal);
}
HRESULT COstrelPhoneList::put_ShowESNLabel(LONG newVal) {
    return PutShown(DISPID_PHONELIST_SHOWESNLABEL, newVal);
}
HRESULT COstrelPhoneList::get_ShowBannerLabel(LONG* pVal) {
    return GetShown(DISPID_PHONELIST_SHOWBANNERLABEL, pVal);
}
HRESULT COstrelPhoneList::put_ShowBannerLabel(LONG newVal) {
    return PutShown(DISPID_PHONELIST_SHOWBANNERLABEL, newVal);
}
HRESULT COstrelPhoneList::get_ShowPortLabel(LONG* pVal) {
    return GetShown(DISPID_PHONELIST_SHOWPORTLABEL, pVal);
}
HRESULT COstrelPhoneList::put_ShowPortLabel(LONG newVal) {
    return PutShown(DISPID_PHONELIST_SHOWPORTLABEL, newVal);
}
HRESULT COstrelPhoneList::get_ShowServerLabel(LONG* pVal) {
    return GetShown(DISPID_PHONELIST_SHOWSERVERLABEL, pVal);
}
HRESULT COstrelPhoneList::put_ShowServerLabel(LONG newVal) {
    return PutShown(DISPID_PHONELIST_SHOWSERVERLABEL, newVal);
}
HRESULT COstrelPhoneList::get_ShowNumberLabel(LONG* pVal) {
    return GetShown(DISPID_PHONELIST_SHOWNUMBERLABEL, pVal);
}
HRESULT COstrelPhoneList::put_ShowNumberLabel(LONG newVal) {
    return PutShown(DISPID_PHONELIST_SHOWNUMBERLABEL, newVal);
}

HRESULT COstrelPhoneList::GetConfigAgent(IUnknown** lpConfigAgent) {
    return Fw::Boundary(lpConfigAgent, [&] { return m_connection.AttachedAgent(lpConfigAgent); });
}

HRESULT COstrelPhoneList::StartupEx(IUnknown* pIOstrelServer) {
    return Fw::Boundary([&] { return StartOnServer(pIOstrelServer); });
}

HRESULT COstrelPhoneList::ShowProperties() {
    return Fw::Boundary([&] {
        CPhoneItem* item = SelectedItem();
        if (!item)
            return;
        const long portId = item->GetID();
        if (const auto open = m_propsWindows.find(portId); open != m_propsWindows.end() && open->second->Handle()) {
            ::BringWindowToTop(open->second->Handle());
            return;
        }
        if (item->InDownloadMode()) {
            ::MessageBoxA(m_hWnd, ResourceText(IDS_PHONE_PROPS_DOWNLOAD_TEXT).c_str(),
                          ResourceText(IDS_PHONE_PROPS_DOWNLOAD_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        auto window = std::make_unique<CPhoneProps>(m_connection.Agent(), item, portId, m_hWnd);
        if (window->Open(m_hWnd))
            m_propsWindows[portId] = std::move(window);
    });
}

HRESULT COstrelPhoneList::RefreshDisplay() {
    return Fw::Boundary([&] { ReloadAll(); });
}

HRESULT COstrelPhoneList::GetItemCount(int* iCount) {
    return Fw::Boundary(iCount, [&] { *iCount = m_list.Exists() ? m_list.GetItemCount() : 0; });
}

HRESULT COstrelPhoneList::GetModelNumber(unsigned short* pVal) {
    return Fw::Boundary(pVal, [&] {
        const CPhoneItem* item = SelectedItem();
        if (!item)
            return E_FAIL;
        *pVal = static_cast<unsigned short>(item->modelNumber & 0xFFFF);
        return S_OK;
    });
}

HRESULT COstrelPhoneList::SelectedText(BSTR* value, const std::string CPhoneItem::* field) const {
    return Fw::Boundary(value, [&] {
        const CPhoneItem* item = SelectedItem();
        if (!item)
            return E_FAIL;
        *value = Lang::ToBstr(item->*field);
        return S_OK;
    });
}

HRESULT COstrelPhoneList::GetModelString(BSTR* pVal) {
    return SelectedText(pVal, &CPhoneItem::modelText);
}

HRESULT COstrelPhoneList::GetBuildVersion(BSTR* pVal) {
    return SelectedText(pVal, &CPhoneItem::buildVersion);
}

HRESULT COstrelPhoneList::GetPortName(BSTR* pVal) {
    return SelectedText(pVal, &CPhoneItem::portText);
}

HRESULT COstrelPhoneList::IsPhoneAuthorized(LONG* pVal) {
    return Fw::Boundary(pVal, [&] {
        const CPhoneItem* item = SelectedItem();
        if (!item)
            return E_FAIL;
        *pVal = item->authorized ? 1 : 0;
        return S_OK;
    });
}

HRESULT COstrelPhoneList::ShowAccumulatedData() {
    return Fw::Boundary([&] {
        if (const CPhoneItem* item = SelectedItem())
            CPhoneAccumulatedData(m_connection.Agent(), item->GetID()).Run(m_hWnd ? m_hWnd : ContainerWindow());
    });
}

// --- behaviour ------------------------------------------------------------------------------

CPhoneItem* COstrelPhoneList::SelectedItem() const {
    return m_rows.ItemOfRow(SelectedRow());
}

void COstrelPhoneList::CloseAllPropertiesWindows() {
    for (const auto& [portId, window] : m_propsWindows)
        window->Close();
}

void COstrelPhoneList::DropRows() {
    m_rows.RemoveAll();
    m_connection.Detach();
    m_rows.SetAgent(nullptr);
}

void COstrelPhoneList::Detach() {
    CloseAllPropertiesWindows();
    // A closed window is forgotten when its message arrives; the rows wait for the last one.
    if (m_propsWindows.empty())
        DropRows();
    else
        m_pendingDetach = true;
}

void COstrelPhoneList::ReloadAll() {
    // The windows let go of the items before the items go.
    CloseAllPropertiesWindows();
    m_rows.RemoveAll();
    m_rows.LoadAll();
    NotifyHost(::GetParent(m_hWnd), m_hWnd, refreshedCode);
}

void COstrelPhoneList::ReloadPort(long portId) {
    const auto open = m_propsWindows.find(portId);
    CPhoneProps* window = open != m_propsWindows.end() ? open->second.get() : nullptr;
    if (window)
        window->Update(nullptr);
    CPhoneItem* item = m_rows.ReloadPort(portId);
    if (window) {
        if (item)
            window->Update(item);
        else
            window->Close();
    }
    NotifyHost(::GetParent(m_hWnd), m_hWnd, refreshedCode);
}

bool COstrelPhoneList::WantsKey(UINT virtualKey) const {
    return virtualKey == VK_RETURN || ControlBase::WantsKey(virtualKey);
}

void COstrelPhoneList::ShowContextMenu(POINT screen) {
    const Win32::UniqueMenu menu(::LoadMenuA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(IDR_PHONE_MENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    if (!SelectedItem())
        ::EnableMenuItem(popup, ID_PHONE_PROPERTIES, MF_BYCOMMAND | MF_GRAYED);
    if (!m_connection.Server(noServerTrace))
        ::DeleteMenu(popup, ID_PHONE_SERVICE_MAPPING, MF_BYCOMMAND);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x,
                                                            screen.y, 0, m_hWnd, nullptr));
    if (command)
        RunCommand(command);
}

void COstrelPhoneList::RunCommand(UINT id) {
    if (const auto view = ViewOfCommand(id)) {
        SwitchView(*view);
        FireViewChange();
        return;
    }
    switch (id) {
    case ID_PHONE_PROPERTIES:
        ShowProperties();
        break;
    case ID_PHONE_ACCUMULATED_DATA:
        ShowAccumulatedData();
        break;
    case ID_PHONE_SERVICE_MAPPING:
        ShowServiceMapping();
        break;
    default:
        // Port Shutdown has no action in the phone list.
        break;
    }
}

void COstrelPhoneList::ShowServiceMapping() {
    const CPhoneItem* item = SelectedItem();
    if (!item)
        return;
    // The row may be rebuilt while the dialog runs: keep its port, not the row.
    const long portId = item->GetID();
    IOstrelServer* server = m_connection.Server(noServerTrace);
    if (!server)
        return;
    try {
        Microsoft::WRL::ComPtr<IOstrelPortManager> manager;
        Com::Call(server, &IOstrelServer::GetPortManager, &manager);
        Microsoft::WRL::ComPtr<IOstrelPort> port;
        Com::Call(manager, &IOstrelPortManager::GetPort, static_cast<short>(portId), &port);
        CRdmPortAssignDlg(Com::ThrowIfNull(port.Get())).Run(::GetActiveWindow());
    } catch (const _com_error& failure) {
        // Without the port or its phone's file system there is no dialog to open, and so no map
        // to read: the user is told why, as a failed read would tell.
        ServiceMap::ShowReadFailure(m_hWnd, failure.Error());
    }
}

// --- window messages ----------------------------------------------------------------------

int COstrelPhoneList::OnCreate(const CREATESTRUCTA*) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    if (!CreateList(m_hWnd, listId))
        return -1;
    m_connection.Sink().Bind(ViewKind::PhoneList, m_hWnd);
    m_deviceChanges.emplace(m_hWnd);
    return 0;
}

void COstrelPhoneList::OnDestroy() {
    // The rows and windows die with the list; a later window starts the list again.
    m_connection.Sink().Unbind();
    m_deviceChanges.reset();
    m_propsWindows.clear();
    m_rows.RemoveAll();
    m_rows.SetList(nullptr);
    DestroyList();
    m_started = false;
}

void COstrelPhoneList::OnSetFocus(HWND) {
    PassOn();
    if (m_list)
        m_list.SetFocus();
}

void COstrelPhoneList::OnDeviceChange(UINT, DWORD_PTR) {
    m_connection.Sink().Post(WM_SERVER_REFRESH_ITEM, refreshAllItems);
}

LRESULT COstrelPhoneList::OnServerDetach(WPARAM, LPARAM detail) {
    m_connection.Sink().Delivered(WM_SERVER_DETACH, detail);
    Detach();
    return 0;
}

LRESULT COstrelPhoneList::OnServerRefreshItem(WPARAM, LPARAM portId) {
    m_connection.Sink().Delivered(WM_SERVER_REFRESH_ITEM, portId);
    if (portId == -1 || portId == refreshAllItems)
        ReloadAll();
    else
        ReloadPort(static_cast<long>(portId));
    return 0;
}

LRESULT COstrelPhoneList::OnPropsClosed(WPARAM portId, LPARAM) {
    // A window opened again for the port since keeps its place.
    const auto closed = m_propsWindows.find(static_cast<long>(portId));
    if (closed != m_propsWindows.end() && !closed->second->Handle())
        m_propsWindows.erase(closed);
    if (m_pendingDetach && m_propsWindows.empty()) {
        m_pendingDetach = false;
        DropRows();
    }
    return 0;
}

void COstrelPhoneList::OnCommand(UINT, UINT id, HWND control) {
    if (control)
        PassOn();
    else
        RunCommand(id);
}

LRESULT COstrelPhoneList::OnColumnClick(NMHDR* header) {
    const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
    m_rows.Sort(click->iSubItem, ::GetKeyState(VK_SHIFT) < 0);
    return 0;
}

LRESULT COstrelPhoneList::OnItemChanged(NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
        NotifyHost(::GetParent(m_hWnd), m_hWnd, selectionCode);
    return 0;
}
