// The port list as a host embeds it: in a container, started on the in-process simulator's
// bench scenario, and read back from its real list view, header and progress bars.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/StateVocabulary.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "framework/com/TypeLibrary.h"
#include "framework/controls/Persistence.h"
#include "framework/windows/DeviceChangeListener.h"
#include "framework/windows/Header.h"
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "ports/PortList.h"
#include "ports/PortListProps.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/NotificationListener.h"
#include "tests/support/Scoped.h"
#include "tests/support/Streams.h"
#include "tests/support/TestContainer.h"

#include <dbt.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Row = std::vector<std::string>;

// The bench scenario's ports as the list shows them, in the server's order: each row's five
// texts and its icon.
const std::vector<Row> benchRows = {
    {"COM1", "Enabled", "Bench serial", "VX-210 (12345678)", "38400 baud", "icon 1"},
    {"COM4", "Disabled", "COM4", "N/A", "N/A", "icon 3"},
    {"COM7", "Enabled", "Flash station", "P/PHN-XXX (Download)", "USB", "icon 1"},
    {"COM9", "Pending", "Boot loader", "P/PHN-XXX (Zelkor Download)", "USB", "icon 4"},
    {"COM12", "Waiting", "Spare", "TPB", "N/A", "icon 1"},
    {"COM15", "Not Available", "Unplugged", "N/A", "N/A", "icon 3"},
    {"lab-rig:2500", "Enabled", "Rack 3", "Tarn 5 (FFFFFFFF)", "lab-rig/2500[q1]", "icon 1"},
    {"COM20", "Enabled", "Field unit", "Halden S2 (0)", "USB", "icon 1"},
};
const std::vector<int> resourceWidths = {70, 90, 130, 150, 60};

LPARAM Middle(const RECT& rect) {
    return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

BOOL CALLBACK CountDeviceChangeWindow(HWND window, LPARAM found) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    *reinterpret_cast<int*>(found) += std::string(name) == Fw::DeviceChangeListener::forwarderClassName;
    return TRUE;
}

// The thread's windows that hear device broadcasts for its port lists.
int DeviceChangeWindows() {
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountDeviceChangeWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class PortListTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        Embed({});
    }
    void TearDown() override {
        for (const ComPtr<IOstrelPortList>& each : controls)
            each->Shutdown();
        controls.clear();
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    // A new port list in the container, in place active and started; `data` is what it loads first.
    void Embed(ComPtr<IStream> data) {
        Make();
        Place(std::move(data));
        Start();
    }
    void Make() {
        ASSERT_EQ(S_OK, Fw::Object<PortList>::Create(nullptr, IID_PPV_ARGS(&control)));
        controls.push_back(control);
    }
    void Place(ComPtr<IStream> data) {
        Fw::EmbedOptions options;
        options.data = std::move(data);
        options.rect = {0, 0, 520, 260};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        FindList();
    }
    void FindList() {
        list = Fw::ListView(::GetDlgItem(site->Window(), PortList::listId));
        ASSERT_TRUE(list);
    }
    void Start() { ASSERT_EQ(S_OK, control->StartupEx(server.Get())); }

    std::vector<Row> Rows() const {
        std::vector<Row> rows(list.GetItemCount());
        for (int row = 0; row < int(rows.size()); ++row) {
            for (int column = 0; column < portColumnCount; ++column)
                rows[row].push_back(list.GetItemText(row, column));
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            list.Send(LVM_GETITEMA, 0, &item);
            rows[row].push_back("icon " + std::to_string(item.iImage));
        }
        return rows;
    }
    Row Column(int column) const {
        Row texts;
        for (const Row& row : Rows())
            texts.push_back(row[column]);
        return texts;
    }
    std::vector<int> Widths() const {
        const Fw::Header header(list.GetHeader());
        std::vector<int> widths;
        for (int column = 0; column < header.GetItemCount(); ++column)
            widths.push_back(header.GetItemWidth(column));
        return widths;
    }
    std::vector<HWND> ProgressBars() const {
        std::vector<HWND> bars;
        for (HWND bar = nullptr; (bar = ::FindWindowExA(list.Handle(), bar, PROGRESS_CLASSA, nullptr));)
            bars.push_back(bar);
        return bars;
    }
    // Whether there is one progress bar, lying exactly over the State cell of `row`.
    bool BarOverStateOf(int row) const {
        const std::vector<HWND> bars = ProgressBars();
        const RECT cell = list.GetSubItemRect(row, portColumnState);
        const RECT bar = bars.size() == 1 ? Fw::Window(bars[0]).RectInParent() : RECT{};
        return ::EqualRect(&cell, &bar);
    }
    // Marks every row's Label cell, so that a rebuilt row is told from an untouched one.
    void MarkRows() const {
        for (int row = 0; row < list.GetItemCount(); ++row)
            list.SetItemText(row, portColumnLabel, "marked");
    }
    std::vector<bool> MarkedRows() const {
        std::vector<bool> marked;
        for (const std::string& text : Column(portColumnLabel))
            marked.push_back(text == "marked");
        return marked;
    }
    void ClickHeader(int column, bool shift) {
        const TestSupport::ScopedKey shiftKey(VK_SHIFT, shift);
        const Fw::Header header(list.GetHeader());
        header.Send(WM_LBUTTONDOWN, MK_LBUTTON, Middle(header.GetItemRect(column)));
        header.Send(WM_LBUTTONUP, 0, Middle(header.GetItemRect(column)));
    }
    // The port id and state the control answers for its selection.
    std::pair<LONG, short> Selected() const {
        LONG port = -1;
        short state = 0;
        EXPECT_EQ(S_OK, control->GetSelectedPort(&port));
        EXPECT_EQ(S_OK, control->GetSelectedPortState(&state));
        return {port, state};
    }

    TestSupport::TestContainer container;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    std::vector<ComPtr<IOstrelPortList>> controls;
    ComPtr<IOstrelPortList> control;
    TestSupport::ControlSite* site = nullptr;
    Fw::ListView list;
};

TEST_F(PortListTest, ShowsTheBenchPortsInItsFiveColumns) {
    Row headers;
    for (int column = 0; column < Fw::Header(list.GetHeader()).GetItemCount(); ++column) {
        char text[32] = {};
        LVCOLUMNA format{};
        format.mask = LVCF_TEXT;
        format.pszText = text;
        format.cchTextMax = sizeof text;
        list.Send(LVM_GETCOLUMNA, column, &format);
        headers.push_back(text);
    }
    EXPECT_EQ((Row{"Port", "State", "Label", "Phone", "Link"}), headers);
    EXPECT_EQ(resourceWidths, Widths());
    EXPECT_EQ(benchRows, Rows());
    EXPECT_TRUE(list.Style() & LVS_OWNERDRAWFIXED);
    EXPECT_TRUE(list.Send(LVM_GETIMAGELIST, LVSIL_SMALL));
    EXPECT_TRUE(list.Send(LVM_GETIMAGELIST, LVSIL_NORMAL));

    // COM9's phone is in Zelkor download mode: one bar over its State cell, a quarter on.
    ASSERT_TRUE(BarOverStateOf(3));
    const HWND bar = ProgressBars()[0];
    EXPECT_EQ(250, ::SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(1, ::SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(1000, ::SendMessageA(bar, PBM_GETRANGE, FALSE, 0));

    EXPECT_EQ(E_FAIL, control->StartupEx(server.Get())) << "already started";
}

TEST_F(PortListTest, DisplayMaskChoosesTheStatesShown) {
    const Row enabled = {"COM1", "COM7", "lab-rig:2500", "COM20"};
    ASSERT_EQ(S_OK, control->Shutdown());
    ASSERT_EQ(S_OK, control->SetDisplayMask(2));
    Start();
    EXPECT_EQ(enabled, Column(portColumnPort)) << "a mask set while detached";
    const std::pair<int, Row> cases[] = {
        {0, {}},
        {10, {"COM1", "COM4", "COM7", "lab-rig:2500", "COM20"}},
        {2, enabled},
        {-1, {"COM1", "COM4", "COM7", "COM9", "COM12", "COM15", "lab-rig:2500", "COM20"}},
    };
    for (const auto& [mask, ports] : cases) {
        ASSERT_EQ(S_OK, control->SetDisplayMask(mask));
        EXPECT_EQ(ports, Column(portColumnPort)) << "mask " << mask;
    }
}

TEST_F(PortListTest, ShowFlagsHideColumnsAtWidthZeroAndBringThemBack) {
    // Each Show property by DISPID, as scripts and the saved state reach it, and the column it
    // hides; the port errors have no column of their own.
    const std::pair<DISPID, int> cases[] = {{5, 0}, {6, 2}, {7, 4}, {8, 3}, {9, -1}};
    ITypeInfo* const info = Fw::TypeLibrary::TypeInfoOf(IID_IOstrelPortList);
    for (const auto& [id, column] : cases) {
        site->ClearChangedProperties();
        Fw::PutProperty(info, control.Get(), id, 0);
        std::vector<int> hidden = resourceWidths;
        if (column >= 0)
            hidden[column] = 0;
        EXPECT_EQ(hidden, Widths()) << "dispid " << id << " off";
        EXPECT_EQ(0, Fw::GetProperty(info, control.Get(), id)) << "dispid " << id;
        Fw::PutProperty(info, control.Get(), id, 1);
        Fw::PutProperty(info, control.Get(), id, 1);
        EXPECT_EQ(resourceWidths, Widths()) << "dispid " << id << " on again";
        EXPECT_EQ((std::vector<DISPID>{id, id}), site->ChangedProperties())
            << "dispid " << id << ": the second 1 is no change";
    }
    EXPECT_EQ(E_POINTER, control->get_ShowPhoneLabel(nullptr));
}

TEST_F(PortListTest, HeaderClicksSortAndShiftReverses) {
    // COM2 and COM10 come from the server like any new port: through its event.
    ComPtr<IUnknown> agentObject;
    ASSERT_EQ(S_OK, control->GetConfigAgent(&agentObject));
    ComPtr<IOstrelConfigAgent> agent;
    ASSERT_EQ(S_OK, agentObject.As(&agent));
    ASSERT_EQ(S_OK, agent->AddPort(_bstr_t(L"COM10"), _bstr_t(L""), 38400));
    ASSERT_EQ(S_OK, agent->AddPort(_bstr_t(L"COM2"), _bstr_t(L""), 38400));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return list.GetItemCount() == 10; }, 2000));
    EXPECT_EQ("COM10", list.GetItemText(8, 0)) << "a port without a row is appended";
    EXPECT_EQ("COM2", list.GetItemText(9, 0));

    const Row ascending = {"COM1",  "COM2",  "COM4",  "COM7",  "COM9",
                           "COM10", "COM12", "COM15", "COM20", "lab-rig:2500"};
    ClickHeader(portColumnPort, false);
    EXPECT_EQ(ascending, Column(portColumnPort));
    ClickHeader(portColumnPort, true);
    EXPECT_EQ(Row(ascending.rbegin(), ascending.rend()), Column(portColumnPort));

    ClickHeader(portColumnState, false);
    const Row byCode = {"Not Available", "Enabled", "Enabled", "Enabled",  "Enabled",
                        "Enabled",       "Enabled", "Pending", "Disabled", "Waiting"};
    EXPECT_EQ(byCode, Column(portColumnState)) << "ordered by state code, not by text";
    EXPECT_TRUE(BarOverStateOf(list.FindItem(4))) << "the bar follows COM9's row";
}

TEST_F(PortListTest, ServerEventRebuildsOnlyItsRowInPlaceAndSelectsIt) {
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ((std::pair<LONG, short>{0, static_cast<short>(0xFFFF)}), Selected()) << "no selection, no port";

    MarkRows();
    ASSERT_EQ(S_OK, sim->SetPortState(3, 8)); // COM7 disabled
    ASSERT_TRUE(
        TestSupport::PumpUntil([&] { return list.GetItemText(2, portColumnState) == "Disabled"; }, 2000));
    EXPECT_EQ((Row{"COM7", "Disabled", "Flash station", "P/PHN-XXX (Download)", "N/A", "icon 3"}),
              Rows().at(2));
    EXPECT_EQ((std::vector<bool>{true, true, false, true, true, true, true, true}), MarkedRows());
    EXPECT_EQ(2, list.SelectedItem()) << "the rebuilt row is selected";
    EXPECT_EQ((std::pair<LONG, short>{3, 8}), Selected());

    // Once the port's refresh has run, its next event rebuilds the row again.
    ASSERT_EQ(S_OK, sim->SetPortState(3, portEnabled));
    ASSERT_TRUE(
        TestSupport::PumpUntil([&] { return list.GetItemText(2, portColumnState) == "Enabled"; }, 2000));

    // Phone events are not the port list's; a rebuilt COM9 keeps its one bar.
    MarkRows();
    ASSERT_EQ(S_OK, sim->FireEvent(9, 1, 0));
    ASSERT_EQ(S_OK, sim->FireEvent(10, 1, 0));
    ASSERT_EQ(S_OK, sim->FireEvent(11, 4, 0));
    TestSupport::FlushMessages();
    EXPECT_EQ((std::vector<bool>{true, true, true, false, true, true, true, true}), MarkedRows());
    EXPECT_TRUE(BarOverStateOf(3));
}

// COM9's phone is in the boot-protocol download mode: a rebuild of its row starts a new bar,
// and only a change of the two columns left of and at the State cell moves the bars.
TEST_F(PortListTest, TransferBarStartsAgainWithItsRowAndFollowsTheFirstTwoColumns) {
    ASSERT_TRUE(BarOverStateOf(3));
    ::SendMessageA(ProgressBars()[0], PBM_SETPOS, 600, 0);
    ASSERT_EQ(S_OK, sim->FireEvent(3, 4, 0));
    TestSupport::FlushMessages();
    ASSERT_TRUE(BarOverStateOf(3));
    const HWND bar = ProgressBars()[0];
    EXPECT_EQ(zelkorProgressStart, ::SendMessageA(bar, PBM_GETPOS, 0, 0)) << "a new bar for the new row";

    const Fw::Header header(list.GetHeader());
    for (const auto& [column, moves] : {std::pair{2, false}, {3, false}, {4, false}, {0, true}, {1, true}}) {
        ::MoveWindow(bar, 0, 0, 10, 10, FALSE);
        NMHEADERA change{};
        change.hdr = {header.Handle(), 0, HDN_ITEMCHANGINGA};
        change.iItem = column;
        ::SendMessageA(site->Window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
        EXPECT_EQ(moves, BarOverStateOf(3)) << "header item " << column;
    }
}

TEST_F(PortListTest, ReloadsOnF5AndDeviceChanges) {
    MarkRows();
    list.Send(WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(std::vector<bool>(8, false), MarkedRows());

    // The system tells top-level windows only of devices; two lists hear it through one
    // hidden window, which goes with the last of them.
    TestSupport::ControlSite* const firstSite = site;
    const Fw::ListView first = list;
    Embed({});
    const Fw::ListView lists[] = {first, list};
    for (const Fw::ListView& each : lists) {
        list = each;
        MarkRows();
    }
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                                      SMTO_ABORTIFHUNG, 1000, &answer));
    EXPECT_EQ(std::vector<bool>(8, true), MarkedRows()) << "the reload waits for the message loop";
    TestSupport::FlushMessages();
    for (const Fw::ListView& each : lists) {
        list = each;
        EXPECT_EQ(std::vector<bool>(8, false), MarkedRows());
    }
    EXPECT_EQ(1, DeviceChangeWindows());
    ASSERT_EQ(S_OK, firstSite->Deactivate());
    ASSERT_EQ(S_OK, site->Deactivate());
    EXPECT_EQ(0, DeviceChangeWindows());
}

TEST_F(PortListTest, ServerGoingAwayEmptiesAndDetaches) {
    ASSERT_EQ(S_OK, sim->AnnounceShutdown());
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return list.GetItemCount() == 0; }, 2000));
    ComPtr<IUnknown> agent;
    EXPECT_EQ(E_FAIL, control->GetConfigAgent(&agent));
    EXPECT_TRUE(ProgressBars().empty());
    ASSERT_EQ(S_OK, sim->SetPortState(1, 8));
    TestSupport::FlushMessages();
    EXPECT_EQ(0, list.GetItemCount()) << "nothing reattaches by itself";
    ASSERT_EQ(S_OK, control->RefreshDisplay());
    EXPECT_EQ(0, list.GetItemCount());
}

TEST_F(PortListTest, NotifiesTheHostsWindows) {
    TestSupport::NotificationListener frame(container.Window()), recorder;
    const HWND gone = TestSupport::NotificationListener().window;
    const auto notifyTo = [&](HWND window) {
        return control->SetNotificationWindow(static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(window)));
    };

    // Without a window of its own the activation goes to the control's parent, the frame.
    list.Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(std::vector<UINT>{PortList::activateCode}, frame.Codes());
    ASSERT_FALSE(frame.heard.empty());
    EXPECT_EQ(site->Window(), frame.heard.back().hwndFrom);

    // Item changes go to the parent of the control's parent: here a window holding the frame.
    TestSupport::NotificationListener outer;
    const HWND frameWindow = container.Window();
    const LONG_PTR frameStyle = ::GetWindowLongPtrA(frameWindow, GWL_STYLE);
    ::SetWindowLongPtrA(frameWindow, GWL_STYLE, (frameStyle & ~WS_POPUP) | WS_CHILD);
    ::SetParent(frameWindow, outer.window);
    list.SelectItem(3);
    ::SetParent(frameWindow, nullptr);
    ::SetWindowLongPtrA(frameWindow, GWL_STYLE, frameStyle);
    const std::vector<UINT> heard = outer.Codes();
    EXPECT_NE(heard.end(), std::find(heard.begin(), heard.end(), UINT(LVN_ITEMCHANGED)));

    EXPECT_EQ(E_FAIL, notifyTo(gone));
    ASSERT_EQ(S_OK, notifyTo(recorder.window));
    EXPECT_EQ(E_FAIL, notifyTo(gone)) << "and the recorder stays";
    list.SelectItem(4);
    const std::vector<UINT> changes = recorder.Codes();
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(std::vector<UINT>(changes.size(), LVN_ITEMCHANGED), changes);
    EXPECT_EQ(list.Handle(), recorder.heard.back().hwndFrom) << "the list's own record";

    // A double click activates its row, unless the host asked for the properties instead.
    frame.heard.clear();
    TestSupport::ModalDriver user;
    user.Expect([](TestSupport::ModalDialog& dialog) { dialog.Click(IDCANCEL); });
    for (const LONG properties : {0, 1}) {
        recorder.heard.clear();
        ASSERT_EQ(S_OK, control->ShowPropertiesOnDoubleClick(properties));
        list.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Middle(list.GetItemRect(1, LVIR_LABEL)));
        const std::vector<UINT> codes = recorder.Codes();
        EXPECT_EQ(properties ? 0 : 1, std::count(codes.begin(), codes.end(), PortList::activateCode))
            << "properties on double click: " << properties;
    }
    ASSERT_EQ(1u, user.Seen().size());
    EXPECT_EQ("Port Properties", user.Seen()[0].caption);
    EXPECT_TRUE(frame.heard.empty());
}

TEST_F(PortListTest, TellsItsSiteWhenTheFocusEntersOrLeavesTheControl) {
    const Win32::UniqueWindow button(::CreateWindowExA(0, WC_BUTTONA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
                                                       270, 80, 20, container.Window(), nullptr, nullptr, nullptr));
    const HWND outside = button.get();
    ::SetFocus(outside);
    EXPECT_FALSE(site->Focused());

    // A click into the list gives the list the focus without the control's window seeing it.
    ::SetFocus(list.Handle());
    EXPECT_TRUE(site->Focused());
    EXPECT_TRUE(site->UIActive());

    ::SetFocus(outside);
    EXPECT_FALSE(site->Focused());
    // Focus given to the control goes on to its list, and the site is not told it left.
    ::SetFocus(site->Window());
    EXPECT_EQ(list.Handle(), ::GetFocus());
    EXPECT_TRUE(site->Focused());
}

TEST_F(PortListTest, InADialogTheListTakesEnterButNotTabOrEscape) {
    const auto code = [&](UINT key) {
        MSG message = {list.Handle(), WM_KEYDOWN, key, 0, 0, {}};
        return list.Send(WM_GETDLGCODE, key, &message);
    };
    EXPECT_TRUE(code(VK_RETURN) & DLGC_WANTMESSAGE);
    EXPECT_TRUE(code(VK_DOWN) & DLGC_WANTARROWS);
    for (const UINT key : {VK_TAB, VK_ESCAPE})
        EXPECT_FALSE(code(key) & (DLGC_WANTMESSAGE | DLGC_WANTTAB)) << "key " << key;
}

TEST_F(PortListTest, AHostMayLetTheControlGoFromItsNotification) {
    // A second list, held by its site alone, whose host closes it when a row is activated.
    Embed({});
    controls.pop_back();
    control.Reset();
    TestSupport::NotificationListener frame(container.Window());
    const LONG objects = Fw::Module::Current().LockCount();
    LONG objectsWhileHeard = 0;
    frame.react = [&](const NMHDR& notice) {
        if (notice.code != PortList::activateCode)
            return;
        site->Close();
        objectsWhileHeard = Fw::Module::Current().LockCount();
    };
    list.Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(objects, objectsWhileHeard) << "the list lives until its key is handled";
    EXPECT_GT(objects, Fw::Module::Current().LockCount()) << "and then goes";
}

// The selection a reload makes notifies the host at once; a host may shut the list down from
// there, and the reload must not touch what the shutdown freed.
TEST_F(PortListTest, AHostMayShutTheListDownFromTheSelectionOfAReload) {
    TestSupport::NotificationListener host;
    ASSERT_EQ(S_OK,
              control->SetNotificationWindow(static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(host.window))));
    bool shutDown = false;
    host.react = [&](const NMHDR& header) {
        if (header.code == LVN_ITEMCHANGED && !shutDown)
            shutDown = true, control->Shutdown();
    };
    EXPECT_EQ(S_OK, control->RefreshDisplay());
    EXPECT_TRUE(shutDown);
    EXPECT_TRUE(list.Style() & WS_VISIBLE) << "redrawing is on again";
    EXPECT_TRUE(list.Style() & WS_CLIPCHILDREN) << "rows repaint around the transfer bars in their cells";
    host.react = nullptr;
    Start();
    EXPECT_EQ(benchRows, Rows());
}

TEST_F(PortListTest, SavedFlagsComeBackAsColumnWidths) {
    ASSERT_EQ(S_OK, control->put_ShowBaudLabel(0));
    ASSERT_EQ(S_OK, control->put_ShowPhoneLabel(0));
    ASSERT_EQ(S_OK, control->put_ShowPortErrorLabel(0));
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, control.As(&persist));
    const ComPtr<IStream> saved = TestSupport::StreamOf({});
    ASSERT_EQ(S_OK, persist->Save(saved.Get(), TRUE));
    saved->Seek({}, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ((std::vector<LONG>{1, 1, 0, 0, 0}), Fw::ReadState(saved.Get(), 5).values)
        << "Port, Label, Baud, Phone, Errors";
    saved->Seek({}, STREAM_SEEK_SET, nullptr);

    // Between them the rows give each flag a pattern of its own, so that flags read back in
    // the wrong order show. Dialog 141's port list has everything but the port errors.
    const SIZEL extent = {15399, 7911};
    const std::tuple<const char*, ComPtr<IStream>, std::vector<int>> cases[] = {
        {"saved above", saved, {70, 90, 130, 0, 0}},
        {"dialog 141", TestSupport::StreamOf(Fw::EncodeState({extent, {1, 1, 1, 1, 0}}, 0x0300)), {70, 90, 130, 150, 60}},
        {"port and baud", TestSupport::StreamOf(Fw::EncodeState({extent, {1, 0, 1, 0, 0}})), {70, 90, 0, 0, 60}},
    };
    for (const auto& [name, data, widths] : cases) {
        Embed(data);
        EXPECT_EQ(widths, Widths()) << name;
        EXPECT_EQ(benchRows.size(), static_cast<size_t>(list.GetItemCount())) << name;
    }
    LONG errors = 1;
    EXPECT_EQ(S_OK, control->get_ShowPortErrorLabel(&errors));
    EXPECT_EQ(0, errors);
}

TEST_F(PortListTest, PropertyPageShowsTheFlagsAndAppliesThemToEveryList) {
    ComPtr<IOstrelPortList> first = control;
    const Fw::ListView firstList = list;
    Embed({});
    ASSERT_EQ(S_OK, first->put_ShowBaudLabel(0));

    ComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(S_OK, first.As(&specify));
    CAUUID pages = {};
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    const std::vector<CLSID> listed(pages.pElems, pages.pElems + pages.cElems);
    ::CoTaskMemFree(pages.pElems);
    EXPECT_EQ(std::vector<CLSID>{CLSID_PortListProps}, listed);

    // No page site: the page's dirty status is the framework's to report.
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, Fw::Object<CPortListProps>::Create(nullptr, IID_PPV_ARGS(&page)));
    IUnknown* objects[] = {first.Get(), control.Get(), server.Get()};
    ASSERT_EQ(S_OK, page->SetObjects(3, objects));
    const RECT at = {0, 0, 300, 200};
    EXPECT_EQ(E_INVALIDARG, page->Activate(container.Window(), &at, FALSE)) << "the server is no port list";
    const HWND dialog = ::FindWindowExA(container.Window(), nullptr, "#32770", nullptr);
    ASSERT_TRUE(dialog);
    std::vector<UINT> boxes;
    for (int box :
         {IDC_SHOW_PORT_NUMBER, IDC_SHOW_PORT_LABEL, IDC_SHOW_BAUD, IDC_SHOW_PHONE, IDC_SHOW_PORT_ERRORS})
        boxes.push_back(::IsDlgButtonChecked(dialog, box));
    EXPECT_EQ((std::vector<UINT>{1, 1, 0, 1, 1}), boxes) << "Port, Label, Baud, Phone, Errors";
    EXPECT_EQ(S_FALSE, page->IsPageDirty());

    // Tab moves between the boxes and, past the last, on to the frame; Enter and Esc are the
    // frame's OK and Cancel.
    const auto press = [&](int box, UINT key) {
        MSG message = {::GetDlgItem(dialog, box), WM_KEYDOWN, key, 0, 0, {}};
        return page->TranslateAccelerator(&message);
    };
    ::SetFocus(::GetDlgItem(dialog, IDC_SHOW_PORT_NUMBER));
    EXPECT_EQ(S_OK, press(IDC_SHOW_PORT_NUMBER, VK_TAB));
    EXPECT_EQ(::GetDlgItem(dialog, IDC_SHOW_STATE), ::GetFocus());
    EXPECT_EQ(S_FALSE, press(IDC_SHOW_PORT_ERRORS, VK_TAB));
    EXPECT_EQ(S_FALSE, press(IDC_SHOW_STATE, VK_RETURN));
    EXPECT_EQ(S_FALSE, press(IDC_SHOW_STATE, VK_ESCAPE));

    ::SendMessageA(::GetDlgItem(dialog, IDC_SHOW_STATE), BM_CLICK, 0, 0);
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "any box makes the page dirty";
    ::SendMessageA(::GetDlgItem(dialog, IDC_SHOW_PHONE), BM_CLICK, 0, 0);

    ASSERT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ((std::vector<int>{70, 90, 130, 0, 0}), Widths()) << "the second list took the first's Baud too";
    list = firstList;
    EXPECT_EQ((std::vector<int>{70, 90, 130, 0, 0}), Widths());
    EXPECT_EQ(S_OK, page->Deactivate());
    page->SetObjects(0, nullptr);
}

TEST_F(PortListTest, ShutdownLetsItsAgentGoAndEachWindowStartsAgain) {
    const auto agents = [&] { return static_cast<Sim::SimServer*>(server.Get())->AgentCount(); };
    EXPECT_EQ(1u, agents());
    ASSERT_EQ(S_OK, control->Shutdown());
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ(0u, agents());
    ComPtr<IUnknown> agent;
    EXPECT_EQ(E_FAIL, control->GetConfigAgent(&agent));
    // A server answering success without an agent fails the start, and no agent is held.
    ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t("CreateConfigAgent"), S_FALSE));
    EXPECT_EQ(E_POINTER, control->StartupEx(server.Get()));
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ(E_FAIL, control->GetConfigAgent(&agent));
    ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t("CreateConfigAgent"), S_OK));

    ASSERT_EQ(S_OK, control->Startup());
    ASSERT_EQ(S_OK, control->Startup());
    EXPECT_EQ(5, Fw::Header(list.GetHeader()).GetItemCount()) << "started twice, five columns";
    EXPECT_EQ(S_OK, control->InitializeList(nullptr));
    EXPECT_EQ(0, list.GetItemCount());
    ASSERT_EQ(S_OK, control->Shutdown());
    Start();

    // The host deactivates the control and brings it back: the new window starts again.
    ASSERT_EQ(S_OK, site->Deactivate());
    ASSERT_EQ(S_OK, site->Activate());
    FindList();
    Start();
    EXPECT_EQ(benchRows, Rows());
    EXPECT_EQ(1u, agents()) << "the first agent went back";

    ASSERT_EQ(S_OK, control->Shutdown());
    ASSERT_EQ(S_OK, site->Deactivate());
    EXPECT_EQ(E_FAIL, control->StartupEx(server.Get())) << "no list window";
    EXPECT_EQ(0u, agents());
}

TEST_F(PortListTest, BeforeItsWindowTheListStartsLaterAndAttachesOnlyWhenToldTo) {
    Make();
    EXPECT_EQ(S_OK, control->Startup()) << "no window: nothing to make yet";
    EXPECT_EQ(E_FAIL, control->StartupEx(server.Get())) << "no window to attach";
    Place({});
    EXPECT_EQ(0, list.GetItemCount()) << "nothing attaches a view by itself";
    ComPtr<IUnknown> agent;
    long cookie = 0;
    ASSERT_EQ(S_OK, server->CreateConfigAgent(_bstr_t("Kelmar.OstrelConfigAgent.1"), -1, &cookie, &agent));
    EXPECT_EQ(S_OK, control->InitializeList(agent.Get()));
    EXPECT_EQ(benchRows, Rows());
    EXPECT_EQ(resourceWidths, Widths()) << "started on the way";
}

} // namespace
