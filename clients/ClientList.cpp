#include "clients/ClientList.h"

#include "clients/ObjectPropsDialog.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Boundary.h"
#include "lists/ViewCommands.h"
#include "resources/resource.h"

namespace {

const ListColumn clientListColumns[clientColumnCount] = {
    {IDS_CLIENT_COLUMN_NAME, IDS_CLIENT_COLUMN_NAME_WIDTH},
    {IDS_CLIENT_COLUMN_MACHINE, IDS_CLIENT_COLUMN_MACHINE_WIDTH},
    {IDS_CLIENT_COLUMN_START_TIME, IDS_CLIENT_COLUMN_START_TIME_WIDTH},
    {IDS_CLIENT_COLUMN_PROCESS_ID, IDS_CLIENT_COLUMN_PROCESS_ID_WIDTH},
};

// The sub-codes in the low half of a WM_SERVER_REFRESH_ITEM's lParam; any other value reloads
// everything.
constexpr WORD objectAdded = 0;
constexpr WORD objectRemoved = 1;

} // namespace

HRESULT COstrelClientList::FinalConstruct() {
    const HRESULT status = m_connection.CreateSink();
    return SUCCEEDED(status) ? m_marshaler.Aggregate(static_cast<IOstrelClientList*>(this)) : status;
}

COstrelClientList::~COstrelClientList() {
    m_rows.SetList(nullptr);
}

// --- IOstrelClientList ----------------------------------------------------------------------

HRESULT COstrelClientList::Startup() {
    return Fw::Boundary([&] { return StartRows(clientListColumns, IDB_CLIENT_IMAGES_SMALL, IDB_CLIENT_IMAGES_LARGE); });
}

HRESULT COstrelClientList::Shutdown() {
    return Fw::Boundary([&] {
        Detach();
        m_connection.ForgetServer();
        StopRows();
    });
}

HRESULT COstrelClientList::InitializeList(IUnknown* pConfigAgent) {
    return Fw::Boundary([&] { return AttachRows(pConfigAgent); });
}

HRESULT COstrelClientList::StartupEx(IUnknown* pIOstrelServer) {
    return Fw::Boundary([&] { return StartOnServer(pIOstrelServer); });
}

HRESULT COstrelClientList::ShowProperties() {
    return Fw::Boundary([&] {
        const CClientItem* item = m_rows.ItemOfRow(SelectedRow());
        if (!item)
            return;
        ObjectPropsDialog dialog({{IDC_CLIENT_NAME, item->name},
                                  {IDC_CLIENT_MACHINE, item->machine},
                                  {IDC_CLIENT_VERSION, item->version}},
                                 ObjectPropsDialog::Texts::bold, IDC_CLIENT_ICON,
                                 IconFromStrip(IDB_CLIENT_IMAGES_LARGE, 32, clientImage));
        dialog.Run(m_hWnd, IDD_CLIENT_PROPERTIES);
    });
}

HRESULT COstrelClientList::RefreshDisplay() {
    return Fw::Boundary([&] { ReloadAll(); });
}

// --- behaviour ------------------------------------------------------------------------------

void COstrelClientList::Detach() {
    m_rows.RemoveAll();
    m_connection.Detach();
    m_rows.SetAgent(nullptr);
}

void COstrelClientList::ReloadAll() {
    m_rows.RemoveAll();
    m_rows.LoadAll();
}

bool COstrelClientList::WantsKey(UINT virtualKey) const {
    return virtualKey == VK_RETURN || ControlBase::WantsKey(virtualKey);
}

void COstrelClientList::ShowContextMenu(POINT screen) {
    const Win32::UniqueMenu menu(::LoadMenuA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(IDR_CLIENT_MENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    if (!m_rows.ItemOfRow(SelectedRow()))
        ::EnableMenuItem(popup, ID_CLIENT_PROPERTIES, MF_BYCOMMAND | MF_GRAYED);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x,
                                                            screen.y, 0, m_hWnd, nullptr));
    if (command)
        RunCommand(command);
}

void COstrelClientList::RunCommand(UINT id) {
    if (id == ID_CLIENT_PROPERTIES) {
        ShowProperties();
        return;
    }
    if (const auto view = ViewOfCommand(id)) {
        SwitchView(*view);
        FireViewChange();
    }
}

// --- window messages ----------------------------------------------------------------------

int COstrelClientList::OnCreate(const CREATESTRUCTA*) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    if (!CreateList(m_hWnd, listId))
        return -1;
    m_connection.Sink().Bind(ViewKind::ClientList, m_hWnd);
    return 0;
}

void COstrelClientList::OnDestroy() {
    // The rows die with the list; a later window starts the list again.
    m_connection.Sink().Unbind();
    m_rows.RemoveAll();
    m_rows.SetList(nullptr);
    DestroyList();
    m_started = false;
}

void COstrelClientList::OnSetFocus(HWND) {
    PassOn();
    if (m_list)
        m_list.SetFocus();
}

LRESULT COstrelClientList::OnServerDetach(WPARAM, LPARAM detail) {
    m_connection.Sink().Delivered(WM_SERVER_DETACH, detail);
    Detach();
    return 0;
}

LRESULT COstrelClientList::OnServerRefreshItem(WPARAM, LPARAM change) {
    m_connection.Sink().Delivered(WM_SERVER_REFRESH_ITEM, change);
    const auto objectId = static_cast<short>(HIWORD(change));
    switch (LOWORD(change)) {
    case objectAdded:
        m_rows.Add(objectId);
        break;
    case objectRemoved:
        m_rows.Remove(objectId);
        break;
    default:
        ReloadAll();
        break;
    }
    return 0;
}

LRESULT COstrelClientList::OnColumnClick(NMHDR* header) {
    const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
    m_rows.Sort(click->iSubItem, ::GetKeyState(VK_SHIFT) < 0);
    return 0;
}
