#include "clients/ObjectList.h"

#include "clients/ObjectPropsDialog.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"
#include "lists/RedrawOff.h"
#include "resources/resource.h"
#include "server/OwnedRecord.h"
#include "server/ServerObjects.h"

#include <comdef.h>

#include <algorithm>
#include <iterator>

namespace {

// Where each kind of object goes: its group's text and picture, the type text its properties
// show, and its leaf's pictures. The groups are made in this order.
struct ObjectKind {
    long type;
    UINT groupTextId;
    int groupImage;
    UINT typeTextId;
    int leafImage;
    int selectedLeafImage;
};
constexpr ObjectKind objectKinds[] = {
    {ObjectType::phone, IDS_OBJECT_GROUP_PHONES, 0, IDS_OBJECT_TYPE_PHONE, 1, 2},
    {ObjectType::agent, IDS_OBJECT_GROUP_AGENTS, 5, IDS_OBJECT_TYPE_AGENT, 7, 7},
    {ObjectType::port, IDS_OBJECT_GROUP_PORTS, 8, IDS_OBJECT_TYPE_PORT, 8, 8},
    {ObjectType::client, IDS_OBJECT_GROUP_CLIENTS, 6, IDS_OBJECT_TYPE_CLIENT, 6, 6},
};
constexpr int rootImage = 9;
// GetObjectIds' mask of every kind above.
constexpr long shownObjects = ObjectType::phone | ObjectType::agent | ObjectType::port | ObjectType::client;

// The sub-codes in the low half of a WM_SERVER_REFRESH_ITEM's lParam; any other value reloads
// everything.
constexpr WORD objectAdded = 0;
constexpr WORD objectRemoved = 1;

std::string ResourceText(UINT id) {
    return Fw::Module::Current().String(id);
}

} // namespace

HRESULT COstrelObjectList::FinalConstruct() {
    const HRESULT status = m_connection.CreateSink();
    return SUCCEEDED(status) ? m_marshaler.Aggregate(static_cast<IOstrelObjectList*>(this)) : status;
}

COstrelObjectList::~COstrelObjectList() = default;

// --- IOstrelObjectList ----------------------------------------------------------------------

HRESULT COstrelObjectList::Startup() {
    return Fw::Boundary([&] {
        if (m_started || !m_tree.Exists())
            return;
        m_images.reset(::ImageList_LoadImageA(Fw::Module::Current().Instance(),
                                              MAKEINTRESOURCEA(IDB_OBJECT_TREE_IMAGES), 16, 0, RGB(255, 255, 255),
                                              IMAGE_BITMAP, LR_CREATEDIBSECTION));
        m_tree.SetImageList(m_images.get());
        m_started = true;
    });
}

HRESULT COstrelObjectList::Shutdown() {
    return Fw::Boundary([&] {
        Detach();
        m_connection.ReleaseOwnAgent();
        m_connection.ForgetServer();
        if (m_tree)
            m_tree.SetImageList(nullptr);
        m_images.reset();
        m_started = false;
    });
}

HRESULT COstrelObjectList::InitializeList(IUnknown* pConfigAgent) {
    return Fw::Boundary([&] {
        if (!m_tree.Exists())
            return E_FAIL;
        if (!m_started)
            Startup();
        if (m_connection.Agent())
            Detach();
        if (m_connection.Attach(pConfigAgent))
            LoadAll();
        FireViewChange();
        return S_OK;
    });
}

HRESULT COstrelObjectList::StartupEx(IUnknown* pIOstrelServer) {
    return Fw::Boundary([&] {
        if (m_started)
            return E_FAIL;
        return m_connection.StartOnServer(
            pIOstrelServer, [&] { Detach(); },
            [&](IOstrelConfigAgent* agent) {
                const HRESULT status = Startup();
                return SUCCEEDED(status) ? InitializeList(agent) : status;
            },
            ViewConnection::Activation::activate);
    });
}

HRESULT COstrelObjectList::GetConfigAgent(IUnknown** lpConfigAgent) {
    return Fw::Boundary(lpConfigAgent, [&] { return m_connection.AttachedAgent(lpConfigAgent); });
}

HRESULT COstrelObjectList::RefreshDisplay() {
    return Fw::Boundary([&] { return LoadAll(); });
}

HRESULT COstrelObjectList::ShowProperties() {
    return Fw::Boundary([&] {
        const Leaf* leaf = SelectedLeaf();
        if (!leaf)
            return;
        ObjectPropsDialog dialog({{IDC_COMPONENT_NAME, leaf->name},
                                  {IDC_COMPONENT_CLASS,
                                   leaf->className.empty() ? ResourceText(IDS_COMPONENT_NO_CLASS) : leaf->className},
                                  {IDC_COMPONENT_TYPE, leaf->typeText},
                                  {IDC_COMPONENT_VERSION, leaf->version},
                                  {IDC_COMPONENT_OBJECT_ID, Lang::Format("%d", leaf->objectId)}},
                                 ObjectPropsDialog::Texts::plain, IDC_COMPONENT_ICON,
                                 IconFromStrip(IDB_OBJECT_TREE_IMAGES, 16, leaf->image));
        dialog.Run(m_hWnd, IDD_COMPONENT_PROPERTIES);
    });
}

// --- behaviour ------------------------------------------------------------------------------

void COstrelObjectList::Detach() {
    Clear();
    m_connection.Detach();
}

void COstrelObjectList::Clear() {
    if (m_tree)
        m_tree.DeleteAllItems();
    m_root = nullptr;
    std::fill(std::begin(m_groups), std::end(m_groups), nullptr);
    m_leaves.clear();
}

HRESULT COstrelObjectList::LoadAll() {
    Clear();
    IOstrelConfigAgent* agent = m_connection.Agent();
    if (!m_tree || !agent)
        return S_OK;
    const RedrawOff quiet(m_tree);
    constexpr UINT heading = TVIS_BOLD;
    m_root = m_tree.InsertItem(TVI_ROOT, TVI_SORT, ResourceText(IDS_OBJECT_ROOT).c_str(), rootImage, rootImage, 0,
                               heading, true);
    if (!m_root)
        return E_FAIL;
    for (size_t kind = 0; kind < groupCount; ++kind) {
        const ObjectKind& group = objectKinds[kind];
        m_groups[kind] = m_tree.InsertItem(m_root, TVI_SORT, ResourceText(group.groupTextId).c_str(),
                                           group.groupImage, group.groupImage, 0, heading, true);
        if (!m_groups[kind])
            return E_FAIL;
    }
    try {
        for (const short id : ObjectIds(agent, shownObjects))
            AddObject(id);
    } catch (const _com_error&) {
        return E_FAIL;
    }
    ExpandGroups(TVE_EXPAND);
    return S_OK;
}

void COstrelObjectList::AddObject(short objectId) {
    IOstrelConfigAgent* agent = m_connection.Agent();
    if (!m_root || !agent)
        return;
    // A change is a new leaf in place of the old one, never an edit of it.
    RemoveObject(objectId);
    Server::OwnedRecord<OstrelObjectInfo> object;
    if (FAILED(agent->GetObjectInfo(objectId, object.put())))
        return;
    const auto kind = std::find_if(std::begin(objectKinds), std::end(objectKinds),
                                   [&](const ObjectKind& known) { return known.type == object->objectType; });
    if (kind == std::end(objectKinds))
        return;
    Leaf leaf;
    leaf.className = Lang::FromBstr(object->className);
    leaf.typeText = ResourceText(kind->typeTextId);
    leaf.version = Lang::FromBstr(object->version);
    leaf.image = kind->leafImage;
    leaf.objectId = objectId;
    std::string text;
    if (kind->type == ObjectType::client) {
        Server::OwnedRecord<OstrelClientInfo> client;
        if (FAILED(agent->GetClientInfo(objectId, client.put())))
            return;
        leaf.name = Lang::FromBstr(client->clientName);
        text = Lang::Format("%s (Machine: %s)", leaf.name.c_str(), Lang::FromBstr(client->machineName).c_str());
    } else {
        leaf.name = Lang::FromBstr(object->objectName);
        text = Lang::Format("%s (%s)", leaf.name.c_str(), leaf.className.c_str());
    }
    leaf.item = m_tree.InsertItem(m_groups[kind - std::begin(objectKinds)], TVI_SORT, text.c_str(), kind->leafImage,
                                  kind->selectedLeafImage, objectId);
    if (leaf.item)
        m_leaves[objectId] = std::move(leaf);
}

void COstrelObjectList::RemoveObject(short objectId) {
    const auto found = m_leaves.find(objectId);
    if (found == m_leaves.end())
        return;
    m_tree.DeleteItem(found->second.item);
    m_leaves.erase(found);
}

void COstrelObjectList::ExpandGroups(UINT action) const {
    if (!m_root)
        return;
    m_tree.Expand(m_root, action);
    for (const HTREEITEM group : m_groups)
        m_tree.Expand(group, action);
}

const COstrelObjectList::Leaf* COstrelObjectList::SelectedLeaf() const {
    if (!m_tree)
        return nullptr;
    const HTREEITEM selected = m_tree.Selection();
    const auto found = m_leaves.find(static_cast<short>(m_tree.GetItemData(selected)));
    return selected && found != m_leaves.end() && found->second.item == selected ? &found->second : nullptr;
}

void COstrelObjectList::ShowContextMenuAt(POINT screen) {
    const Win32::UniqueMenu menu(::LoadMenuA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(IDR_OBJECT_MENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    if (!SelectedLeaf())
        ::EnableMenuItem(popup, ID_OBJECT_PROPERTIES, MF_BYCOMMAND | MF_GRAYED);
    switch (::TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, 0, m_hWnd, nullptr)) {
    case ID_OBJECT_EXPAND_ALL:
        ExpandGroups(TVE_EXPAND);
        break;
    case ID_OBJECT_COLLAPSE_ALL:
        ExpandGroups(TVE_COLLAPSE);
        break;
    case ID_OBJECT_PROPERTIES:
        ShowProperties();
        break;
    default:
        break;
    }
}

// --- window messages ----------------------------------------------------------------------

int COstrelObjectList::OnCreate(const CREATESTRUCTA*) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    m_tree = Fw::TreeView(::CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS, 0,
        0, client.right, client.bottom, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(treeId)),
        Fw::Module::Current().Instance(), nullptr));
    if (!m_tree)
        return -1;
    m_connection.Sink().Bind(ViewKind::ObjectTree, m_hWnd);
    return 0;
}

void COstrelObjectList::OnDestroy() {
    // The leaves die with the tree; a later window starts the tree again.
    m_connection.Sink().Unbind();
    Clear();
    m_tree = Fw::TreeView();
    m_images.reset();
    m_started = false;
}

void COstrelObjectList::OnSize(UINT, SIZE client) {
    if (m_tree)
        m_tree.Move({0, 0, client.cx, client.cy});
}

void COstrelObjectList::OnSetFocus(HWND) {
    PassOn();
    if (m_tree)
        m_tree.SetFocus();
}

void COstrelObjectList::OnContextMenu(HWND, POINT screen) {
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard (Shift+F10, the menu key) the menu opens at the selected item.
        const HTREEITEM selected = m_tree.Selection();
        const RECT rect = selected ? m_tree.ItemRect(selected, true) : RECT{};
        screen = {rect.left, rect.bottom};
        ::ClientToScreen(m_tree.Handle(), &screen);
    } else {
        // A right click, which the tree passes on as this message: the item under the pointer
        // is what the menu is about.
        POINT point = screen;
        ::ScreenToClient(m_tree.Handle(), &point);
        if (const HTREEITEM item = m_tree.HitTest(point))
            m_tree.Select(item);
    }
    ShowContextMenuAt(screen);
}

LRESULT COstrelObjectList::OnServerRefreshItem(WPARAM, LPARAM change) {
    m_connection.Sink().Delivered(WM_SERVER_REFRESH_ITEM, change);
    const auto objectId = static_cast<short>(HIWORD(change));
    switch (LOWORD(change)) {
    case objectAdded:
        AddObject(objectId);
        break;
    case objectRemoved:
        RemoveObject(objectId);
        break;
    default:
        LoadAll();
        break;
    }
    return 0;
}
