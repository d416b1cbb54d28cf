#include "host/ClientsTabOpener.h"

#include "foundation/Com/Failure.h"
#include "framework/windows/ListView.h"
#include "framework/windows/TreeView.h"
#include "host/ListRows.h"
#include "interfaces/OstrelUITools.h"
#include "server/ServerObjects.h"

#include <comdef.h>
#include <commctrl.h>
#include <wrl/client.h>

#include <vector>

namespace DemoHost {

namespace {

// The leaf under one of the groups of the tree's root whose item value is `objectId`; null while
// there is none.
HTREEITEM LeafOf(const Fw::TreeView& tree, short objectId) {
    for (HTREEITEM root = tree.Root(); root; root = tree.NextSibling(root))
        for (HTREEITEM group = tree.FirstChild(root); group; group = tree.NextSibling(group))
            for (HTREEITEM leaf = tree.FirstChild(group); leaf; leaf = tree.NextSibling(leaf))
                if (tree.GetItemData(leaf) == objectId)
                    return leaf;
    return nullptr;
}

// The menu as the keyboard opens it, at the selection, then its Properties... item by the letter
// it underlines: the menu's loop reads the thread's keys, so the character queued behind the
// menu's message is what chooses from it.
void ChooseProperties(HWND menuOwner) {
    ::PostMessageA(menuOwner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(menuOwner), MAKELPARAM(-1, -1));
    ::PostMessageA(menuOwner, WM_CHAR, 'p', 0);
}

} // namespace

bool OpenOnClientsTab(std::span<const PlacedControl> controls, IUnknown*, OpenTarget target) {
    try {
        const PlacedControl list = ControlAnswering<IOstrelClientList>(controls);
        const PlacedControl objects = ControlAnswering<IOstrelObjectList>(controls);
        if (!list.window || !objects.window)
            return false;
        const Fw::ListView rows = ListRows(list.window);
        const Fw::TreeView tree(::FindWindowExA(objects.window, nullptr, WC_TREEVIEWA, nullptr));
        const Microsoft::WRL::ComPtr<IUnknown> agentObject = ListAgent<IOstrelObjectList>(objects.control);
        const Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent =
            agentObject ? Com::Query<IOstrelConfigAgent>(agentObject.Get()) : nullptr;
        if (!agent || !rows.Exists() || rows.GetItemCount() == 0 || !tree.Exists())
            return false;
        // The list shows the clients in the server's order: its first row is this client's.
        const std::vector<short> clients = ObjectIds(agent.Get(), ObjectType::client);
        const HTREEITEM leaf = clients.empty() ? nullptr : LeafOf(tree, clients.front());
        if (!leaf)
            return false;
        if (target == OpenTarget::ClientProperties) {
            if (SelectRow(rows, rows.GetItemData(0)) < 0)
                return false;
            ChooseProperties(rows.Handle());
        } else if (target == OpenTarget::ComponentProperties) {
            tree.Select(leaf);
            tree.SetFocus();
            // The tree hands its menu to the control, which opens it.
            ChooseProperties(objects.window);
        }
        return true;
    } catch (const _com_error&) {
        // The server not answering yet reads as a tab not filled yet.
        return false;
    }
}

} // namespace DemoHost
