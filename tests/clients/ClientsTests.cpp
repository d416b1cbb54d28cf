// The client list and the object tree as a host embeds them, started on the in-process
// simulator's bench scenario and read back from their real list view and tree view, their
// menus and their properties windows.
#include "clients/ClientList.h"
#include "clients/ObjectList.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "framework/windows/TreeView.h"
#include "resources/resource.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/NotificationListener.h"
#include "tests/support/Scoped.h"
#include "tests/support/SimCalls.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Row = std::vector<std::string>;

// The bench scenario's clients in the server's order: four texts and the picture.
const std::vector<Row> benchClients = {
    {"Bench Monitor", "BENCH-PC", "2006-03-14 08:15:02", "4120", "2"},
    {"Flash Tool", "lab7", "2006-03-14 09:40:51", "888", "2"},
    {"No Client Name", "No Machine Name", "Unknown", "12", "2"},
};

bool IsBold(HWND dialog, int id) {
    LOGFONTA font = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfWeight == FW_BOLD;
}

// Both controls on one container and one simulator, as the demo's Clients tab holds them.
class ClientsTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        ASSERT_EQ(S_OK, Fw::Object<COstrelClientList>::Create(nullptr, IID_PPV_ARGS(&clients)));
        ASSERT_EQ(S_OK, Fw::Object<COstrelObjectList>::Create(nullptr, IID_PPV_ARGS(&objects)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 600, 200};
        clientSite = &container.Embed(clients.Get(), options);
        options.rect = {0, 200, 600, 600};
        objectSite = &container.Embed(objects.Get(), options);
        ASSERT_EQ(S_OK, clientSite->Activate());
        ASSERT_EQ(S_OK, objectSite->Activate());
        list = Fw::ListView(::GetDlgItem(clientSite->Window(), COstrelClientList::listId));
        tree = Fw::TreeView(::GetDlgItem(objectSite->Window(), COstrelObjectList::treeId));
        ASSERT_TRUE(list && tree);
        TestSupport::TakeCalls(sim.Get(), {});
        ASSERT_EQ(S_OK, clients->StartupEx(server.Get()));
        ASSERT_EQ(S_OK, objects->StartupEx(server.Get()));
    }
    void TearDown() override {
        clients->Shutdown();
        objects->Shutdown();
        TestSupport::FlushMessages();
        clients.Reset();
        objects.Reset();
        Fw::TypeLibrary::Release();
    }

    std::vector<Row> Rows() const {
        std::vector<Row> rows(list.GetItemCount());
        for (int row = 0; row < int(rows.size()); ++row) {
            for (int column = 0; column < clientColumnCount; ++column)
                rows[row].push_back(list.GetItemText(row, column));
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            list.GetItem(item);
            rows[row].push_back(std::to_string(item.iImage));
        }
        return rows;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Row& row : Rows())
            names.push_back(row[clientColumnName]);
        return names;
    }
    void ClickColumn(int column) {
        NMLISTVIEW click = {};
        click.hdr = {list.Handle(), COstrelClientList::listId, LVN_COLUMNCLICK};
        click.iSubItem = column;
        ::SendMessageA(clientSite->Window(), WM_NOTIFY, COstrelClientList::listId, reinterpret_cast<LPARAM>(&click));
    }

    // The tree as lines "text [picture/selected picture]", indented two blanks a level, with
    // " bold", " +" (has children) and " open" where they hold.
    std::vector<std::string> Tree() const {
        std::vector<std::string> lines;
        Walk(tree.Root(), 0, lines);
        return lines;
    }
    void Walk(HTREEITEM item, int depth, std::vector<std::string>& lines) const {
        for (; item; item = tree.NextSibling(item)) {
            TVITEMA query = {};
            query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
            query.hItem = item;
            query.stateMask = TVIS_BOLD | TVIS_EXPANDED;
            tree.GetItem(query);
            std::string line = std::string(2 * depth, ' ') + tree.GetItemText(item) + " [" +
                               std::to_string(query.iImage) + "/" + std::to_string(query.iSelectedImage) + "]";
            if (query.state & TVIS_BOLD)
                line += " bold";
            if (query.cChildren)
                line += " +";
            if (query.state & TVIS_EXPANDED)
                line += " open";
            lines.push_back(line);
            Walk(tree.FirstChild(item), depth + 1, lines);
        }
    }
    // The leaves of one group (0 Agents, 1 Clients, 2 Phones, 3 Ports: the sorted order).
    std::vector<std::string> Leaves(int group) const {
        HTREEITEM item = tree.FirstChild(tree.Root());
        for (int skipped = 0; skipped < group; ++skipped)
            item = tree.NextSibling(item);
        std::vector<std::string> texts;
        for (HTREEITEM leaf = tree.FirstChild(item); leaf; leaf = tree.NextSibling(leaf))
            texts.push_back(tree.GetItemText(leaf));
        return texts;
    }
    HTREEITEM LeafNamed(const std::string& text) const {
        for (HTREEITEM group = tree.FirstChild(tree.Root()); group; group = tree.NextSibling(group))
            for (HTREEITEM leaf = tree.FirstChild(group); leaf; leaf = tree.NextSibling(leaf))
                if (tree.GetItemText(leaf) == text)
                    return leaf;
        return nullptr;
    }

    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    TestSupport::TestContainer container;
    TestSupport::ControlSite* clientSite = nullptr;
    TestSupport::ControlSite* objectSite = nullptr;
    ComPtr<IOstrelClientList> clients;
    ComPtr<IOstrelObjectList> objects;
    Fw::ListView list;
    Fw::TreeView tree;
};

constexpr int agents = 0, clientGroup = 1;

TEST_F(ClientsTest, ListsEveryClientWithItsPlaceholdersUnderTheStringTablesColumns) {
    EXPECT_EQ(benchClients, Rows());
    std::vector<std::string> titles;
    std::vector<int> widths;
    for (int column = 0; column < clientColumnCount; ++column) {
        char title[64] = {};
        LVCOLUMNA format = {};
        format.mask = LVCF_TEXT;
        format.pszText = title;
        format.cchTextMax = sizeof title;
        list.GetColumn(column, format);
        titles.push_back(title);
        widths.push_back(list.GetColumnWidth(column));
    }
    EXPECT_EQ((std::vector<std::string>{"Client Name", "Server Machine Name", "Client Start Time", "Client Process ID"}),
              titles);
    EXPECT_EQ((std::vector<int>{200, 150, 135, 100}), widths);
    EXPECT_EQ(0, list.SelectedItem());

    TestSupport::NotificationListener parent(::GetParent(clientSite->Window()));
    list.Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(std::vector<UINT>{COstrelClientList::activateCode}, parent.Codes());
    EXPECT_EQ(clientSite->Window(), parent.heard.at(0).hwndFrom);
}

TEST_F(ClientsTest, SortsNamesAndMachinesAndKeepsTheOrderOnTimesAndProcessIds) {
    const std::vector<std::string> byName = {"Bench Monitor", "Flash Tool", "No Client Name"};
    const std::vector<std::string> descending(byName.rbegin(), byName.rend());
    {
        const TestSupport::ScopedKey shift(VK_SHIFT, true);
        ClickColumn(clientColumnName);
    }
    EXPECT_EQ(descending, Names());
    // Start times and process ids never tell two rows apart, in either direction.
    for (const int column : {clientColumnStartTime, clientColumnProcessId}) {
        ClickColumn(column);
        EXPECT_EQ(descending, Names()) << column;
        const TestSupport::ScopedKey shift(VK_SHIFT, true);
        ClickColumn(column);
        EXPECT_EQ(descending, Names()) << column;
    }
    ClickColumn(clientColumnMachine); // BENCH-PC, lab7, No Machine Name: case does not count
    EXPECT_EQ(byName, Names());
}

TEST_F(ClientsTest, ListAndTreeFollowObjectEventsBySubCode) {
    TestSupport::FlushMessages();
    TestSupport::TakeCalls(sim.Get(), {});
    short added = 0;
    ASSERT_EQ(S_OK, sim->AddClient(_bstr_t(L"Tool"), _bstr_t(L"lab7"), 77, _bstr_t(L""), _bstr_t(L"09:00"), &added));
    short agent = 0, other = 0;
    ASSERT_EQ(S_OK, sim->AddObject(_bstr_t(L"Recorder"), _bstr_t(L"Call recorder"), 8, _bstr_t(L"2.0"), &agent));
    ASSERT_EQ(S_OK, sim->AddObject(_bstr_t(L"Mystery"), _bstr_t(L"Type four"), 4, _bstr_t(L"1"), &other));
    ASSERT_EQ(S_OK, sim->FireEvent(5, 1, 999)); // removed, an id nobody shows
    TestSupport::FlushMessages();
    std::vector<Row> expected = benchClients;
    expected.push_back({"Tool", "lab7", "09:00", "77", "2"});
    EXPECT_EQ(expected, Rows()) << "an added client at the end; no row for other objects";
    EXPECT_EQ(0, list.SelectedItem()) << "an added row takes no selection";
    EXPECT_EQ((std::vector<std::string>{" (Machine: )", "Bench Monitor (Machine: BENCH-PC)",
                                        "Flash Tool (Machine: lab7)", "Tool (Machine: lab7)"}),
              Leaves(clientGroup));
    const std::vector<std::string> agentLeaves = Leaves(agents);
    EXPECT_NE(agentLeaves.end(), std::find(agentLeaves.begin(), agentLeaves.end(), "Call recorder (Recorder)"));
    EXPECT_FALSE(LeafNamed("Type four (Mystery)")) << "type 4 has no group";
    // Each control asks what an added object is, and reads a client as one; a removal costs no call.
    EXPECT_EQ("GetObjectInfo GetClientInfo GetObjectInfo GetClientInfo GetObjectInfo GetObjectInfo GetObjectInfo "
              "GetObjectInfo",
              TestSupport::TakeCalls(sim.Get(), {"GetObjectInfo", "GetClientInfo"}));

    ASSERT_EQ(S_OK, sim->RemoveClient(202));
    ASSERT_EQ(S_OK, sim->RemoveObject(agent));
    TestSupport::FlushMessages();
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(expected, Rows());
    EXPECT_FALSE(LeafNamed("Flash Tool (Machine: lab7)"));
    EXPECT_FALSE(LeafNamed("Call recorder (Recorder)"));

    // A change the server cannot name reloads both; the server going away empties the list but
    // is one more change to the tree, which reads everything again.
    ASSERT_EQ(S_OK, sim->ChangeObject(201, _bstr_t(L"{\"name\": \"Monitor 2\"}")));
    TestSupport::FlushMessages();
    EXPECT_EQ("Monitor 2", Rows().at(0).at(0));
    EXPECT_TRUE(LeafNamed("Monitor 2 (Machine: BENCH-PC)"));
    ASSERT_EQ(S_OK, sim->AnnounceShutdown());
    TestSupport::FlushMessages();
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_TRUE(LeafNamed("Monitor 2 (Machine: BENCH-PC)"));
    ASSERT_EQ(S_OK, sim->AddClient(_bstr_t(L"Late"), _bstr_t(L"x"), 1, _bstr_t(L""), _bstr_t(L""), &added));
    TestSupport::FlushMessages();
    EXPECT_EQ(0, list.GetItemCount()) << "a detached list hears nothing more";
    EXPECT_TRUE(LeafNamed("Late (Machine: x)"));
}

TEST_F(ClientsTest, TreeHoldsTheServerItsGroupsAndALeafPerShownObject) {
    const std::vector<std::string> lines = Tree();
    std::vector<std::string> groups;
    for (const std::string& line : lines)
        if (line.find(" bold") != std::string::npos)
            groups.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"NORVIK [9/9] bold + open", "  Agents [5/5] bold + open",
                                        "  Clients [6/6] bold + open", "  Phones [0/0] bold + open",
                                        "  Ports [8/8] bold + open"}),
              groups);
    for (const char* leaf : {"    Log collector (LogCollector) [7/7]", "    Bench Monitor (Machine: BENCH-PC) [6/6]",
                             "    COM1 (OstrelPort) [8/8]", "    lab-rig:2500 (OstrelPort) [8/8]"})
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), leaf)) << leaf;
    EXPECT_EQ(5u, Leaves(2).size()) << "every phone";
    EXPECT_EQ(8u, Leaves(3).size()) << "every port";
    for (const std::string& phone : Leaves(2))
        EXPECT_NE(std::string::npos, phone.find(" (OstrelPhone)")) << phone;
    // The tree's own agent counts itself among the server's objects before it reads them.
    const std::string calls = TestSupport::TakeCalls(sim.Get(), {"CreateConfigAgent", "ActivateAgent", "GetObjectIds"});
    EXPECT_NE(std::string::npos, calls.find("CreateConfigAgent ActivateAgent GetObjectIds")) << calls;
    EXPECT_EQ(2u, Leaves(agents).size()) << "Log collector and the tree's own agent";

    // A server that cannot list its objects leaves the groups and says so.
    ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(L"GetObjectIds"), E_ACCESSDENIED));
    EXPECT_EQ(E_FAIL, objects->RefreshDisplay());
    EXPECT_EQ(5u, tree.Count());
}

TEST_F(ClientsTest, PropertiesWindowsShowTheSelectedClientAndComponent) {
    TestSupport::ModalDriver dialogs;
    std::vector<bool> bold;
    dialogs.Expect([&](TestSupport::ModalDialog& dialog) {
        for (const int id : {IDC_CLIENT_NAME, IDC_CLIENT_MACHINE, IDC_CLIENT_VERSION})
            bold.push_back(IsBold(dialog.Window(), id));
        EXPECT_TRUE(::SendMessageA(dialog.Control(IDC_CLIENT_ICON), STM_GETICON, 0, 0));
        dialog.Click(IDOK);
    });
    dialogs.Expect([&](TestSupport::ModalDialog& dialog) {
        EXPECT_EQ("202", dialog.Text(IDC_COMPONENT_OBJECT_ID));
        EXPECT_TRUE(::SendMessageA(dialog.Control(IDC_COMPONENT_ICON), STM_GETICON, 0, 0));
        dialog.Click(IDOK);
    });
    list.SelectItem(1);
    EXPECT_EQ(S_OK, clients->ShowProperties());
    ASSERT_TRUE(tree.Select(LeafNamed("Flash Tool (Machine: lab7)")));
    EXPECT_EQ(S_OK, objects->ShowProperties());
    ASSERT_EQ(2u, dialogs.Seen().size());
    EXPECT_EQ("Client Properties", dialogs.Seen()[0].caption);
    EXPECT_EQ((std::vector<std::string>{"Flash Tool", "Running on Machine:", "lab7", "Version:", "Unknown"}),
              dialogs.Seen()[0].labels);
    EXPECT_EQ((std::vector<bool>{true, true, true}), bold);
    EXPECT_EQ("Component Properties", dialogs.Seen()[1].caption);
    EXPECT_EQ((std::vector<std::string>{"Flash Tool", "Class Name:", "N/A", "Type:", "Client", "Version:", "",
                                        "Object ID:", "202"}),
              dialogs.Seen()[1].labels);

    // Without a client row or a leaf there is nothing to show.
    list.SetItemState(-1, 0, LVIS_SELECTED);
    EXPECT_EQ(S_OK, clients->ShowProperties());
    ASSERT_TRUE(tree.Select(tree.Root()));
    EXPECT_EQ(S_OK, objects->ShowProperties());
    EXPECT_EQ(2u, dialogs.Seen().size());
}

TEST_F(ClientsTest, MenusOfferTheirCommandsWithPropertiesOnlyForAClientOrALeaf) {
    TestSupport::MenuDriver menus;
    const auto rightClickList = [&](UINT command) {
        menus.Choose(command);
        const LPARAM at = MAKELPARAM(300, 150); // below the rows
        list.Post(WM_RBUTTONUP, 0, at);
        list.Send(WM_RBUTTONDOWN, MK_RBUTTON, at);
    };
    list.SetItemState(-1, 0, LVIS_SELECTED);
    rightClickList(ID_VIEW_SMALL_ICONS);
    EXPECT_EQ(LVS_SMALLICON, list.Style() & LVS_TYPEMASK);

    // A right click on the tree reaches the control as WM_CONTEXTMENU at the pointer, whose item
    // is selected before the menu opens.
    const auto rightClickTree = [&](HTREEITEM item, UINT command) {
        menus.Choose(command);
        const RECT rect = tree.ItemRect(item, true);
        POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(tree.Handle(), &point);
        ::SendMessageA(objectSite->Window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree.Handle()),
                       MAKELPARAM(point.x, point.y));
    };
    const HTREEITEM agentsGroup = tree.FirstChild(tree.Root());
    rightClickTree(agentsGroup, ID_OBJECT_COLLAPSE_ALL);
    EXPECT_FALSE(tree.GetItemState(tree.Root(), TVIS_EXPANDED) & TVIS_EXPANDED);
    rightClickTree(tree.Root(), ID_OBJECT_EXPAND_ALL);
    EXPECT_TRUE(tree.GetItemState(agentsGroup, TVIS_EXPANDED) & TVIS_EXPANDED);
    const HTREEITEM port = LeafNamed("COM1 (OstrelPort)");
    rightClickTree(port, 0);
    EXPECT_EQ(port, tree.Selection());
    ASSERT_EQ(4u, menus.Seen().size());
    EXPECT_EQ((std::vector<std::string>{"&View[Lar&ge Icons, S&mall Icons, &List, &Details]", "-",
                                        "&Properties... (greyed)"}),
              menus.Seen()[0]);
    EXPECT_EQ((std::vector<std::string>{"E&xpand All", "&Collapse All", "&Properties... (greyed)"}), menus.Seen()[1]);
    EXPECT_EQ((std::vector<std::string>{"E&xpand All", "&Collapse All", "&Properties..."}), menus.Seen()[3]);
}

// Events in a storm end with the rows and leaves the server holds, and repeated reloads are
// read once.
TEST_F(ClientsTest, AStormOfEventsEndsInTheServersStateAndRepeatedReloadsAreReadOnce) {
    std::vector<short> kept;
    for (int round = 0; round < 200; ++round) {
        short id = 0;
        const _bstr_t name(("Tool " + std::to_string(round)).c_str());
        ASSERT_EQ(S_OK, sim->AddClient(name, _bstr_t(L"m"), round, _bstr_t(L"1"), _bstr_t(L"t"), &id));
        if (round % 3)
            ASSERT_EQ(S_OK, sim->RemoveClient(id));
        else
            kept.push_back(id);
    }
    TestSupport::FlushMessages();
    EXPECT_EQ(int(benchClients.size() + kept.size()), list.GetItemCount());
    EXPECT_EQ(benchClients.size() + kept.size(), Leaves(clientGroup).size());
    for (const short id : kept)
        EXPECT_LE(0, list.FindItem(id)) << id;

    TestSupport::TakeCalls(sim.Get(), {});
    for (int repeat = 0; repeat < 50; ++repeat)
        ASSERT_EQ(S_OK, sim->FireEvent(5, 2, 0));
    TestSupport::FlushMessages();
    EXPECT_EQ("GetObjectIds GetObjectIds", TestSupport::TakeCalls(sim.Get(), {"GetObjectIds"}))
        << "one reload for each control";
}

} // namespace
