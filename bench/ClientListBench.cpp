// What the client list and the object tree cost, both embedded and started on the simulator in
// process: the list's refresh over 1,000 clients against bare list view inserts of the same rows
// and the server calls the refresh cannot do without; the tree's refresh over 1,000 objects
// against bare sorted tree inserts under the same groups and its server calls; then a storm of
// 10,000 client events heard by both at once, drained from the queue, against the simulator's
// calls alone, ending with a check that the rows and the leaves are the server's objects.
#include "bench/BareListView.h"
#include "bench/ServerAgent.h"
#include "bench/Timing.h"
#include "clients/ClientList.h"
#include "clients/ObjectList.h"
#include "devicesim/SimServer.h"
#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "framework/com/TypeLibrary.h"
#include "framework/container/ControlContainer.h"
#include "framework/windows/TreeView.h"
#include "lists/ListViewHelper.h"
#include "resources/resource.h"
#include "server/OwnedRecord.h"
#include "server/ServerEventRoute.h"
#include "server/ServerObjects.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using Bench::Agent;
using Bench::Measurement;
using Bench::MediansInTurn;
using Bench::Now;
using Microsoft::WRL::ComPtr;

namespace {

constexpr int clients = 1000;
constexpr int stormEvents = 10000;
constexpr double fillTarget = 1.3;
// Every kind the tree shows.
constexpr long treeObjects = ObjectType::phone | ObjectType::agent | ObjectType::port | ObjectType::client;

// --- the servers ------------------------------------------------------------------------------

// A client whose name sorts nowhere near its id, so that a sorted insert walks its siblings as
// it would for any real set of names.
Sim::SimClient MakeClient(short id, int n) {
    Sim::SimClient client;
    client.id = id;
    client.name = Lang::Format("Bench client %03d", (n * 389) % 1000);
    client.machine = Lang::Format("LAB-PC%02d", n % 40);
    client.processId = 1000 + 4 * n;
    client.version = Lang::Format("2.%d.%d", n % 7, n % 13);
    client.startTime = Lang::Format("12/07/2026 08:%02d:%02d", (n / 60) % 60, n % 60);
    return client;
}

// The client list's server: 1,000 clients and nothing else.
Sim::SimState ClientState() {
    Sim::SimState state;
    state.name = "client bench";
    for (int n = 0; n < clients; ++n)
        state.clients.push_back(MakeClient(static_cast<short>(n + 1), n));
    state.highestId = clients;
    return state;
}

// The object tree's server: objects of every kind the tree shows, most of them agents; with the
// agent the bench reads through, 1,000 of them.
Sim::SimState ObjectState() {
    constexpr int ports = 25, clientObjects = 200, agents = 749;
    Sim::SimState state;
    state.name = "object bench";
    short id = 0;
    for (int n = 0; n < ports; ++n) {
        Sim::SimPort port;
        port.id = ++id;
        port.name = Lang::Format("COM%d", (n * 7) % ports + 1);
        port.baudRates = Sim::DefaultBaudRates();
        state.ports.push_back(port);
    }
    for (int n = 0; n < ports; ++n) {
        Sim::SimPhone phone;
        phone.id = ++id;
        phone.portId = static_cast<short>(n + 1);
        phone.phoneName = Lang::Format("Handset %02d", (n * 11) % ports);
        phone.buildVersion = "B1.04";
        state.phones.push_back(phone);
    }
    for (int n = 0; n < clientObjects; ++n) {
        ++id;
        state.clients.push_back(MakeClient(id, n));
    }
    for (int n = 0; n < agents; ++n) {
        Sim::SimObject agent;
        agent.id = ++id;
        agent.className = "OstrelToolAgent";
        agent.name = Lang::Format("Tool agent %03d", (n * 277) % agents);
        agent.type = Sim::ObjectAgent;
        agent.version = "3.1";
        state.objects.push_back(agent);
    }
    state.highestId = id;
    return state;
}

// --- the controls -----------------------------------------------------------------------------

// A control embedded in the container, activated, and started on `server` (StartupEx).
template <class Object, class Interface>
class Embedded {
public:
    Embedded(Fw::ControlContainer& container, IOstrelServer* server) {
        Com::ThrowIfFailed(Fw::Object<Object>::Create(nullptr, IID_PPV_ARGS(&m_control)));
        Fw::EmbedOptions options;
        options.rect = {0, 0, 780, 560};
        m_site = &container.Embed(m_control.Get(), options);
        Com::ThrowIfFailed(m_site->Activate());
        Com::ThrowIfFailed(m_control->StartupEx(server));
    }
    ~Embedded() {
        m_control->Shutdown();
        m_control.Reset();
    }
    Embedded(const Embedded&) = delete;
    Embedded& operator=(const Embedded&) = delete;

    Interface* operator->() const { return m_control.Get(); }
    Object& Self() const { return *static_cast<Object*>(m_control.Get()); }
    HWND Child(int id) const { return ::GetDlgItem(m_site->Window(), id); }

private:
    ComPtr<Interface> m_control;
    Fw::ControlSite* m_site = nullptr;
};

using ClientList = Embedded<COstrelClientList, IOstrelClientList>;
using ObjectTree = Embedded<COstrelObjectList, IOstrelObjectList>;

// Where the time of a drain went: the handling of the additions and the removals sent to each of
// two windows, and the rest (taking them from the queue, any other window's messages).
struct DrainTimes {
    HWND windows[2] = {};
    double handling[2][2] = {};
    int handled[2][2] = {};
};

// Every message waiting for this thread's windows handled; answers how many of them were the
// views' refreshes.
int Drain(DrainTimes* times = nullptr) {
    int refreshes = 0;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_SERVER_REFRESH_ITEM)
            ++refreshes;
        const double start = times ? Now() : 0;
        ::DispatchMessageA(&message);
        const int change = LOWORD(message.lParam) == 0 ? 0 : 1;
        for (int window = 0; times && window < 2; ++window) {
            if (message.hwnd == times->windows[window] && message.message == WM_SERVER_REFRESH_ITEM) {
                times->handling[window][change] += Now() - start;
                ++times->handled[window][change];
            }
        }
    }
    return refreshes;
}

// --- the client list and its baseline -----------------------------------------------------------

const ListColumn clientColumns[clientColumnCount] = {
    {IDS_CLIENT_COLUMN_NAME, IDS_CLIENT_COLUMN_NAME_WIDTH},
    {IDS_CLIENT_COLUMN_MACHINE, IDS_CLIENT_COLUMN_MACHINE_WIDTH},
    {IDS_CLIENT_COLUMN_START_TIME, IDS_CLIENT_COLUMN_START_TIME_WIDTH},
    {IDS_CLIENT_COLUMN_PROCESS_ID, IDS_CLIENT_COLUMN_PROCESS_ID_WIDTH},
};

using Row = Bench::ListRow<clientColumnCount>;

// A list view made and set up as the client list makes its own (styles, columns, strips), filled
// with the rows read back from it: each deleted first, redrawing off, as the refresh does.
struct BareList : Bench::HelperList {
    BareList(HWND owner, const std::vector<Row>& source)
        : HelperList(owner, IDB_CLIENT_IMAGES_SMALL, IDB_CLIENT_IMAGES_LARGE, clientColumns)
        , source(source) {}

    Measurement Inserts() const { return InsertsInto(helper->List()); }
    // The same into another list view: the list's own, to tell the cost of its window apart.
    Measurement InsertsInto(Fw::ListView view) const {
        return {nullptr, [this, view] {
                    view.SetRedraw(false);
                    view.DeleteAllItems();
                    for (const Row& row : source) {
                        const int index =
                            view.InsertItem(view.GetItemCount(), row.texts[0].c_str(), row.key, row.image);
                        for (int column = 1; column < clientColumnCount; ++column)
                            view.SetItemText(index, column, row.texts[column].c_str());
                    }
                    view.SelectItem(0);
                    view.SetRedraw(true);
                }};
    }

    const std::vector<Row>& source;
};

// The calls the list's refresh must make: the client ids once, then each client's record, freed.
Measurement ClientCalls(const Agent& agent) {
    return {nullptr, [&agent] {
                short count = 0;
                Win32::UniqueSafeArray ids;
                agent.agent->GetObjectIds(ObjectType::client, &count, ids.put());
                const Win32::SafeArrayAccess<short> access(ids.get());
                for (const short id : access.First(count)) {
                    Server::OwnedRecord<OstrelClientInfo> client;
                    agent.agent->GetClientInfo(id, client.put());
                }
            }};
}

// --- the object tree and its baseline -----------------------------------------------------------

// The tree's groups in the order it makes them, with their pictures and their leaves'.
struct Kind {
    long type;
    UINT textId;
    int groupImage, leafImage, selectedImage;
};
constexpr Kind kinds[] = {
    {ObjectType::phone, IDS_OBJECT_GROUP_PHONES, 0, 1, 2},
    {ObjectType::agent, IDS_OBJECT_GROUP_AGENTS, 5, 7, 7},
    {ObjectType::port, IDS_OBJECT_GROUP_PORTS, 8, 8, 8},
    {ObjectType::client, IDS_OBJECT_GROUP_CLIENTS, 6, 6, 6},
};
constexpr size_t groups = std::size(kinds);
constexpr int rootImage = 9;

struct Leaf {
    size_t group = 0;
    std::string text;
    short id = 0;
};

// Every leaf the tree must show, in the server's order, with the texts it gives them.
std::vector<Leaf> ExpectedLeaves(IOstrelConfigAgent* agent) {
    std::vector<Leaf> leaves;
    for (const short id : ObjectIds(agent, treeObjects)) {
        Server::OwnedRecord<OstrelObjectInfo> object;
        if (FAILED(agent->GetObjectInfo(id, object.put())))
            continue;
        const auto kind = std::find_if(std::begin(kinds), std::end(kinds),
                                       [&](const Kind& known) { return known.type == object->objectType; });
        Leaf leaf{static_cast<size_t>(kind - std::begin(kinds)), {}, id};
        if (kind->type == ObjectType::client) {
            Server::OwnedRecord<OstrelClientInfo> client;
            agent->GetClientInfo(id, client.put());
            leaf.text = Lang::Format("%s (Machine: %s)", Lang::FromBstr(client->clientName).c_str(),
                                     Lang::FromBstr(client->machineName).c_str());
        } else {
            leaf.text = Lang::Format("%s (%s)", Lang::FromBstr(object->objectName).c_str(),
                                     Lang::FromBstr(object->className).c_str());
        }
        leaves.push_back(std::move(leaf));
    }
    return leaves;
}

// What a tree shows under each group: its leaves' texts and ids, each sorted, so that a tree
// compares with the server's objects whatever order its groups keep. The groups are sorted
// among themselves too: each is told by its text.
struct Shown {
    std::vector<std::string> texts[groups];
    std::vector<short> ids;
};

std::string GroupText(size_t group) {
    return Fw::Module::Current().String(kinds[group].textId);
}

Shown ReadTree(const Fw::TreeView& tree) {
    Shown shown;
    const HTREEITEM root = tree.Root();
    for (HTREEITEM item = root ? tree.FirstChild(root) : nullptr; item; item = tree.NextSibling(item)) {
        size_t group = 0;
        while (group < groups && GroupText(group) != tree.GetItemText(item))
            ++group;
        if (group == groups)
            continue;
        for (HTREEITEM leaf = tree.FirstChild(item); leaf; leaf = tree.NextSibling(leaf)) {
            shown.texts[group].push_back(tree.GetItemText(leaf));
            shown.ids.push_back(static_cast<short>(tree.GetItemData(leaf)));
        }
        std::sort(shown.texts[group].begin(), shown.texts[group].end());
    }
    std::sort(shown.ids.begin(), shown.ids.end());
    return shown;
}

// A tree view made as the object tree makes its own, filled as its refresh fills it: the root
// and the groups bold and sorted, every leaf sorted into its group, redrawing off, everything
// expanded at the end.
struct BareTree {
    BareTree(HWND owner, const std::vector<Leaf>& source)
        : source(source) {
        tree = Fw::TreeView(::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES |
                                                  TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
                                              0, 0, 780, 560, owner, nullptr, ::GetModuleHandleA(nullptr),
                                              nullptr));
        images.reset(::ImageList_LoadImageA(::GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(IDB_OBJECT_TREE_IMAGES), 16, 0,
                                            RGB(255, 255, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
        tree.SetImageList(images.get());
        rootText = Fw::Module::Current().String(IDS_OBJECT_ROOT);
        for (size_t group = 0; group < groups; ++group)
            groupTexts[group] = GroupText(group);
    }
    ~BareTree() {
        tree.SetImageList(nullptr);
        ::DestroyWindow(tree.Handle());
    }

    Measurement Inserts() const { return InsertsInto(tree); }
    // The same into another tree view: the tree's own, to tell the cost of its window apart.
    Measurement InsertsInto(Fw::TreeView tree) const {
        return {nullptr, [this, tree] {
                    tree.SetRedraw(false);
                    tree.DeleteAllItems();
                    const HTREEITEM root = tree.InsertItem(TVI_ROOT, TVI_SORT, rootText.c_str(), rootImage,
                                                           rootImage, 0, TVIS_BOLD, true);
                    HTREEITEM parents[groups] = {};
                    for (size_t group = 0; group < groups; ++group)
                        parents[group] = tree.InsertItem(root, TVI_SORT, groupTexts[group].c_str(),
                                                         kinds[group].groupImage, kinds[group].groupImage, 0,
                                                         TVIS_BOLD, true);
                    for (const Leaf& leaf : source) {
                        const Kind& kind = kinds[leaf.group];
                        tree.InsertItem(parents[leaf.group], TVI_SORT, leaf.text.c_str(), kind.leafImage,
                                        kind.selectedImage, leaf.id);
                    }
                    tree.Expand(root, TVE_EXPAND);
                    for (const HTREEITEM parent : parents)
                        tree.Expand(parent, TVE_EXPAND);
                    tree.SetRedraw(true);
                }};
    }

    Fw::TreeView tree;
    Win32::UniqueImageList images;
    std::string rootText, groupTexts[groups];
    const std::vector<Leaf>& source;
};

// The calls the tree's refresh must make: the ids of every kind it shows once, then each object's
// record and a client's own record besides, every record freed.
Measurement ObjectCalls(const Agent& agent) {
    return {nullptr, [&agent] {
                short count = 0;
                Win32::UniqueSafeArray ids;
                agent.agent->GetObjectIds(treeObjects, &count, ids.put());
                const Win32::SafeArrayAccess<short> access(ids.get());
                for (const short id : access.First(count)) {
                    Server::OwnedRecord<OstrelObjectInfo> object;
                    if (FAILED(agent.agent->GetObjectInfo(id, object.put())))
                        continue;
                    if (object->objectType == ObjectType::client) {
                        Server::OwnedRecord<OstrelClientInfo> client;
                        agent.agent->GetClientInfo(id, client.put());
                    }
                }
            }};
}

// --- the storm --------------------------------------------------------------------------------

// `events` alternating changes through the simulator's control interface: a new client, then the
// oldest one gone, so that the server keeps as many clients as it started with. Answers false,
// having said why, when the simulator refused one.
bool Storm(IOstrelSimControl* control, std::deque<short>& live, int events) {
    _bstr_t machine(L"STORM-PC"), version(L"1.0"), started(L"12/07/2026 09:00:00");
    for (int event = 0; event < events; ++event) {
        HRESULT status = S_OK;
        if (event % 2 == 0) {
            short id = 0;
            const std::string name = Lang::Format("Storm client %05d", event / 2);
            status = control->AddClient(_bstr_t(name.c_str()), machine, 5000 + event, version, started, &id);
            live.push_back(id);
        } else {
            status = control->RemoveClient(live.front());
            live.pop_front();
        }
        if (FAILED(status)) {
            std::fprintf(stderr, "the simulator refused storm event %d: 0x%08lX\n", event,
                         static_cast<unsigned long>(status));
            return false;
        }
    }
    return true;
}

std::deque<short> LiveClients(IOstrelConfigAgent* agent) {
    const std::vector<short> ids = ObjectIds(agent, ObjectType::client);
    return {ids.begin(), ids.end()};
}

std::vector<short> RowKeys(const Fw::ListView& list) {
    std::vector<short> keys;
    for (int row = 0, count = list.GetItemCount(); row < count; ++row)
        keys.push_back(static_cast<short>(list.GetItemData(row)));
    std::sort(keys.begin(), keys.end());
    return keys;
}

// --- the run ----------------------------------------------------------------------------------

int Run(HWND owner) {
    const ComPtr<IOstrelServer> clientServer = Sim::CreateSimServer(ClientState());
    const ComPtr<IOstrelServer> objectServer = Sim::CreateSimServer(ObjectState());
    // The storm's baseline: the same server with no view listening.
    const ComPtr<IOstrelServer> quietServer = Sim::CreateSimServer(ClientState());
    ComPtr<IOstrelSimControl> clientControl, quietControl;
    Com::ThrowIfFailed(clientServer.As(&clientControl));
    Com::ThrowIfFailed(quietServer.As(&quietControl));
    // The bench's own agents are counted among the servers' objects before any view reads them.
    const Agent clientAgent(clientServer.Get()), objectAgent(objectServer.Get()),
        quietAgent(quietServer.Get());

    Fw::ControlContainer container(owner, "OstrelClientListBench");
    const ClientList list(container, clientServer.Get());
    const ObjectTree tree(container, objectServer.Get());
    Drain();
    const Fw::ListView listView(list.Child(COstrelClientList::listId));
    const Fw::TreeView treeView(tree.Child(COstrelObjectList::treeId));

    // 1. The client list's refresh.
    const std::vector<Row> rows = Bench::ReadRows<clientColumnCount>(listView);
    if (rows.size() != clients) {
        std::fprintf(stderr, "the client list shows %zu rows, not %d\n", rows.size(), clients);
        return 1;
    }
    const BareList bareList(owner, rows);
    const std::vector<double> listMedians = MediansInTurn({{nullptr, [&list] { list->RefreshDisplay(); }},
                                                           bareList.Inserts(),
                                                           ClientCalls(clientAgent),
                                                           bareList.InsertsInto(listView)});
    const double listRefresh = listMedians[0], listInserts = listMedians[1], listCalls = listMedians[2],
                 listOwnWindow = listMedians[3];
    // The rows the list keeps are its own again.
    list->RefreshDisplay();
    if (listView.GetItemCount() != clients || bareList.helper->List().GetItemCount() != clients) {
        std::fprintf(stderr, "rows after the rounds: list %d, baseline %d, not %d\n", listView.GetItemCount(),
                     bareList.helper->List().GetItemCount(), clients);
        return 1;
    }
    const double listRatio = listRefresh / (listInserts + listCalls);
    std::printf("client list: %d clients, 4 columns\n", clients);
    std::printf("client list refresh                        %10.1f us\n", listRefresh);
    std::printf("baseline: LVM_INSERTITEM + 3 LVM_SETITEMTEXT x%d %7.1f us\n", clients, listInserts);
    std::printf("baseline: GetObjectIds + GetClientInfo x%d %11.1f us\n", clients, listCalls);
    std::printf("client list refresh / (inserts + calls)    %10.2f  (target <= %.2f) %s\n", listRatio,
                fillTarget, listRatio <= fillTarget ? "met" : "MISSED");
    std::printf("the same bare inserts into the list's own list view %.1f us (%.2f of the bare inserts)\n",
                listOwnWindow, listOwnWindow / listInserts);

    // 2. The object tree's refresh.
    const std::vector<Leaf> leaves = ExpectedLeaves(objectAgent.agent.Get());
    Shown expected;
    for (const Leaf& leaf : leaves) {
        expected.texts[leaf.group].push_back(leaf.text);
        expected.ids.push_back(leaf.id);
    }
    for (auto& texts : expected.texts)
        std::sort(texts.begin(), texts.end());
    std::sort(expected.ids.begin(), expected.ids.end());
    const BareTree bareTree(owner, leaves);
    const std::vector<double> treeMedians = MediansInTurn({{nullptr, [&tree] { tree->RefreshDisplay(); }},
                                                           bareTree.Inserts(),
                                                           ObjectCalls(objectAgent),
                                                           bareTree.InsertsInto(treeView)});
    const double treeRefresh = treeMedians[0], treeInserts = treeMedians[1], treeCalls = treeMedians[2],
                 treeOwnWindow = treeMedians[3];
    // The leaves the tree keeps are its own again.
    tree->RefreshDisplay();
    const Shown shownByTree = ReadTree(treeView), shownByBare = ReadTree(bareTree.tree);
    for (size_t group = 0; group < groups; ++group) {
        if (shownByTree.texts[group] != expected.texts[group] ||
            shownByBare.texts[group] != expected.texts[group]) {
            std::fprintf(stderr,
                         "group %zu: the tree shows %zu leaves, the baseline %zu, the server has %zu\n",
                         group, shownByTree.texts[group].size(), shownByBare.texts[group].size(),
                         expected.texts[group].size());
            return 1;
        }
    }
    size_t kindCounts[groups] = {};
    for (const Leaf& leaf : leaves)
        ++kindCounts[leaf.group];
    const double treeRatio = treeRefresh / (treeInserts + treeCalls);
    std::printf("object tree: %zu objects (phones %zu, agents %zu, ports %zu, clients %zu)\n", leaves.size(),
                kindCounts[0], kindCounts[1], kindCounts[2], kindCounts[3]);
    std::printf("object tree refresh                        %10.1f us\n", treeRefresh);
    std::printf("baseline: TVM_INSERTITEM TVI_SORT x%zu        %10.1f us\n", leaves.size() + 1 + groups,
                treeInserts);
    std::printf("baseline: GetObjectIds + GetObjectInfo x%zu + GetClientInfo x%zu %6.1f us\n", leaves.size(),
                kindCounts[3], treeCalls);
    std::printf("object tree refresh / (inserts + calls)    %10.2f  (target <= %.2f) %s\n", treeRatio,
                fillTarget, treeRatio <= fillTarget ? "met" : "MISSED");
    std::printf("the same bare inserts into the tree's own tree view %.1f us (%.2f of the bare inserts)\n",
                treeOwnWindow, treeOwnWindow / treeInserts);

    // 3. The storm, with the tree moved to the list's server so that both hear every event.
    tree->Shutdown();
    Com::ThrowIfFailed(tree->StartupEx(clientServer.Get()));
    Drain();
    std::deque<short> live = LiveClients(clientAgent.agent.Get());
    std::deque<short> quietLive = LiveClients(quietAgent.agent.Get());

    double start = Now();
    if (!Storm(quietControl.Get(), quietLive, stormEvents))
        return 1;
    const double quiet = Now() - start;

    start = Now();
    if (!Storm(clientControl.Get(), live, stormEvents))
        return 1;
    const double fired = Now() - start;
    DrainTimes split;
    split.windows[0] = ::GetParent(listView.Handle());
    split.windows[1] = ::GetParent(treeView.Handle());
    start = Now();
    const int refreshes = Drain(&split);
    const double drained = Now() - start;

    const std::vector<short> serverClients = ObjectIds(clientAgent.agent.Get(), ObjectType::client);
    const std::vector<short> serverObjects = ObjectIds(clientAgent.agent.Get(), treeObjects);
    const std::vector<short> listed = RowKeys(listView);
    const Shown shown = ReadTree(treeView);
    std::printf("storm: %d client events (added and removed in turn), both views listening\n", stormEvents);
    std::printf("events fired, the views' messages posted   %10.1f us  (%.2f us an event)\n", fired,
                fired / stormEvents);
    std::printf("queue drained, %d refresh messages      %10.1f us  (%.2f us an event)\n", refreshes, drained,
                drained / stormEvents);
    const char* const views[] = {"list", "tree"};
    double handling = 0;
    for (int view = 0; view < 2; ++view) {
        std::printf("the %s's handling: %d additions %.1f us each, %d removals %.1f us each\n", views[view],
                    split.handled[view][0], split.handling[view][0] / std::max(1, split.handled[view][0]),
                    split.handled[view][1], split.handling[view][1] / std::max(1, split.handled[view][1]));
        handling += split.handling[view][0] + split.handling[view][1];
    }
    std::printf("taking the messages from the queue and the rest %.1f us\n", drained - handling);
    std::printf("storm with both views                      %10.2f us an event\n",
                (fired + drained) / stormEvents);
    std::printf("baseline: the same events, nobody listening %9.2f us an event\n", quiet / stormEvents);
    std::printf("storm / baseline                           %10.2f\n", (fired + drained) / quiet);
    const bool rowsRight = listed == serverClients;
    const bool leavesRight = shown.ids == serverObjects && shown.texts[3].size() == serverClients.size();
    std::printf(
        "after the storm: server clients %zu, list rows %zu %s; server objects %zu, tree leaves %zu %s\n",
        serverClients.size(), listed.size(), rowsRight ? "equal" : "DIFFERENT", serverObjects.size(),
        shown.ids.size(), leavesRight ? "equal" : "DIFFERENT");
    if (!rowsRight || !leavesRight || refreshes != 2 * stormEvents) {
        std::fprintf(stderr,
                     "the views do not show the server after the storm (%d of %d refreshes handled)\n",
                     refreshes, 2 * stormEvents);
        return 1;
    }
    return 0;
}

} // namespace

int main() {
    // OLE, not COM alone: the controls are activated in place.
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    const HWND owner = ::CreateWindowExA(0, WC_STATICA, "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                         nullptr, nullptr, nullptr);
    if (!owner) {
        std::fprintf(stderr, "no window to hold the views (error %lu)\n", ::GetLastError());
        return 1;
    }
    int status = 1;
    try {
        // Every view, agent and server of the run is gone before COM is.
        status = Run(owner);
    } catch (const _com_error& failure) {
        std::fprintf(stderr, "a view or the simulator failed: 0x%08lX\n",
                     static_cast<unsigned long>(failure.Error()));
    }
    Fw::TypeLibrary::Release();
    ::DestroyWindow(owner);
    ::OleUninitialize();
    return status;
}
