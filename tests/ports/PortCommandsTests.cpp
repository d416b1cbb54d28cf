// The port list's right-click menu and its commands, driven as a user would, against the in-process
// simulator, whose record of calls and settings tells what reached the server.
#include "devicesim/ScenarioDocument.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "ports/PortList.h"
#include "resources/resource.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"
#include "tests/support/SimCalls.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using TestSupport::DialogIcon;
using TestSupport::DialogRecord;
using TestSupport::ModalDialog;
using TestSupport::ModalDriver;
using Texts = std::vector<std::string>;

namespace {

// Bench rows (and port ids, one more than the row).
constexpr int com1 = 0, com4 = 1, com7 = 2, network = 6, com20 = 7;
constexpr int noRow = -1;

const char *const password = "Send Password...", *const baud = "Baud Rate...", *const trace = "Port Trace...",
                  *const zelkor = "Zelkor Configuration...", *const reset = "Send Zelkor Reset Command...",
                  *const diag = "Send Diag Command...",
                  *const protocol = "Configure Communication Protocol...";
const std::string baudReads = "GetBaudRateEntry(1) GetBaudRateEntry(1) GetBaudRateEntry(1)";
const Texts protocolTexts = {"Use the HDLC communication protocol only",
                             "On initial connection switch to non-HDLC if device is compatible",
                             "Support non-HDLC protocol but don't initiate the mode change"};
// The server calls that read or write a port's settings; the rest (rows, menu) are left out.
const std::set<std::string> settingCalls = {
    "GetBaudRateEntry",      "SetBaudRateMask", "GetProtocolMode",       "SetProtocolMode",
    "GetTraceLevel",         "SetTraceLevel",   "GetSecurityPassword",   "SetSecurityPassword",
    "GetDiagCommandHistory", "SendDiagCommand", "SetDiagCommandHistory", "GetFlowControl",
    "SetFlowControl",        "GetPollingMode",  "SetPollingMode",        "GetShutdownAction",
    "SetShutdownAction",     "SetPortLabel",    "SetDiagSwitchState"};

// The menu as shown: the resource items, Properties and Shutdown greyed without a target, the modem
// switch's state ("", " (greyed)", " (checked)"), then the items appended.
Texts Menu(bool target, const std::string& modemSwitch, const Texts& appended) {
    const std::string greyed = target ? "" : " (greyed)";
    Texts menu = {"&View[Lar&ge Icons, S&mall Icons, &List, &Details]", "-", "&Properties..." + greyed,
                  "Port &Shutdown..." + greyed, "Switch modem port to diagnostic mode" + modemSwitch};
    menu.insert(menu.end(), appended.begin(), appended.end());
    return menu;
}

std::string SystemText(HRESULT status) {
    char text[512] = "";
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(status), 0,
                     text, sizeof text, nullptr);
    std::string result = text;
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

class PortCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sim::SimState state = Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json");
        // The dialogs' edge cases: COM1 with two baud rates, one tried, and a protocol mode no
        // dialog item stands for; COM4 with a shutdown action no button stands for.
        state.ports[com1].baudRates = {{9600, 1, true}, {38400, 4, false}};
        state.ports[com1].protocolMode = 7;
        state.ports[com4].shutdownAction = 5;
        server = Sim::CreateSimServer(std::move(state));
        ASSERT_EQ(S_OK, server.As(&sim));
        ASSERT_EQ(S_OK, Fw::Object<PortList>::Create(nullptr, IID_PPV_ARGS(&control)));
        Fw::EmbedOptions options;
        options.rect = {0, 0, 520, 260};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        list = Fw::ListView(::GetDlgItem(site->Window(), PortList::listId));
        ASSERT_TRUE(list);
        ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
        ComPtr<IUnknown> agentObject;
        ASSERT_EQ(S_OK, control->GetConfigAgent(&agentObject));
        ASSERT_EQ(S_OK, agentObject.As(&agent));
        ASSERT_EQ(S_OK, agentObject.As(&agentEx));
        ASSERT_EQ(S_OK, agentObject.As(&portOptions));
        Calls();
    }
    void TearDown() override {
        control->Shutdown();
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    // Right-clicks `row` (noRow: the empty space below the rows), answers the menu with `command`
    // (0 dismisses it) and the dialogs that come with `scripts`; answers what the dialogs showed.
    // The control-line commands, which no menu offers, are sent for the selected row as a host's
    // menu would.
    std::vector<DialogRecord> Run(int row, UINT command, std::vector<ModalDriver::Script> scripts = {},
                                  bool shift = false, const std::function<void()>& whilePressed = {}) {
        TestSupport::FlushMessages();
        ModalDriver dialogs;
        for (ModalDriver::Script& script : scripts)
            dialogs.Expect(std::move(script));
        if (command == ID_PORT_CONTROL_LINES || command == ID_PORT_CONTROL_LINES_NO_FLOW) {
            list.SelectItem(row);
            ::SendMessageA(site->Window(), WM_COMMAND, command, 0);
            return dialogs.Seen();
        }
        TestSupport::MenuDriver menus;
        command ? menus.Choose(command) : menus.Dismiss();
        const TestSupport::ScopedKey shiftKey(VK_SHIFT, shift);
        const RECT rect = row == noRow ? RECT{200, 230, 200, 230} : list.GetItemRect(row, LVIR_LABEL);
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        // A right press makes Wine's list follow the mouse until a button message comes.
        list.Post(WM_RBUTTONUP, 0, at);
        if (whilePressed)
            whilePressed();
        list.Send(WM_RBUTTONDOWN, MK_RBUTTON, at);
        menu = menus.Seen().empty() ? Texts{} : menus.Seen()[0];
        return dialogs.Seen();
    }
    // The setting calls the server received since the last look, in order, separated by spaces.
    std::string Calls() { return TestSupport::TakeCalls(sim.Get(), settingCalls); }
    // One field of the port's settings as the server keeps them, in JSON.
    template <class Read>
    auto Setting(int row, const char* field, Read read) {
        _bstr_t json;
        EXPECT_EQ(S_OK, sim->GetPortSettings(short(row + 1), json.GetAddress()));
        return read(Sim::ScenarioDocument::Parse(static_cast<const char*>(json), "port").root().field(field));
    }
    long Number(int row, const char* field) {
        return Setting(row, field, [](const Sim::ScenarioNode& node) { return node.asInteger<long>(); });
    }
    std::string Text(int row, const char* field) {
        return Setting(row, field, [](const Sim::ScenarioNode& node) { return node.asString(); });
    }
    void Fail(const char* operation, HRESULT status = E_FAIL) {
        ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(operation), status));
    }
    TestSupport::TestContainer container;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelPortList> control;
    ComPtr<IOstrelConfigAgent> agent;
    ComPtr<IOstrelConfigAgentEx> agentEx;
    ComPtr<IOstrelPortOptions> portOptions;
    TestSupport::ControlSite* site = nullptr;
    Fw::ListView list;
    Texts menu;
};

const ModalDriver::Script ok = [](ModalDialog& dialog) { dialog.Click(IDOK); };
const ModalDriver::Script cancel = [](ModalDialog& dialog) { dialog.Click(IDCANCEL); };

// --- the menu ---------------------------------------------------------------------------------

TEST_F(PortCommandsTest, OffersTheCommandsTheTargetsStateLinkAgentAndServerAllow) {
    enum Setup { none, protocolLocked, switchUnknown, noAgent };
    const Texts all = {trace, zelkor, reset, diag, protocol};
    const struct {
        int row;
        bool shift;
        Setup setup;
        Texts expected;
    } cases[] = {
        {noRow, true, none, Menu(false, " (greyed)", {})},
        {com4, true, none, Menu(true, "", all)}, // disabled serial
        {com7, false, none, Menu(true, " (checked)", all)},
        {com7, true, none, Menu(true, " (checked)", {password, trace, zelkor, reset, diag, protocol})},
        {com1, true, none, Menu(true, "", {password, baud, trace, zelkor, reset, diag, protocol})},
        {com1, false, protocolLocked, Menu(true, "", {baud, trace, zelkor, reset, diag})},
        {com4, false, switchUnknown, Menu(true, " (greyed)", all)},
        {com1, true, noAgent, Menu(false, " (greyed)", {})},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(S_OK, sim->SetProtocolLock(c.setup == protocolLocked));
        Fail("GetDiagSwitchState", c.setup == switchUnknown ? E_FAIL : S_OK);
        if (c.setup == noAgent) {
            ASSERT_EQ(S_OK, control->InitializeList(nullptr));
        }
        Run(c.row, 0, {}, c.shift);
        EXPECT_EQ(c.expected, menu) << "row " << c.row << ", setup " << c.setup;
    }
    EXPECT_EQ("", Calls()) << "building the menu changes nothing";
}

TEST_F(PortCommandsTest, RunsTheViewAndModemSwitchCommands) {
    for (const auto& [command, style] : {std::pair{ID_VIEW_LARGE_ICONS, LVS_ICON},
                                         {ID_VIEW_SMALL_ICONS, LVS_SMALLICON},
                                         {ID_VIEW_LIST, LVS_LIST},
                                         {ID_VIEW_DETAILS, LVS_REPORT}}) {
        Run(com1, command);
        EXPECT_EQ(DWORD(style), list.Style() & LVS_TYPEMASK) << command;
    }
    // The switch goes to the opposite of what the menu showed (COM7's off, COM1's on), for the row
    // clicked even when another row is rebuilt (and selected) while the menu is open.
    const auto switchedOn = [&](int row) {
        return Setting(row, "diagSwitch", [](const Sim::ScenarioNode& on) { return on.asBool(); });
    };
    for (const int row : {com7, com1})
        Run(row, ID_PORT_DIAG_SWITCH);
    Run(com4, ID_PORT_DIAG_SWITCH, {}, false, [&] { sim->FireEvent(3, short(com7 + 1), 0); });
    EXPECT_EQ("SetDiagSwitchState(3) SetDiagSwitchState(1) SetDiagSwitchState(2)", Calls());
    EXPECT_EQ((std::vector<bool>{false, true, true}),
              (std::vector<bool>{switchedOn(com7), switchedOn(com1), switchedOn(com4)}));
}

// --- the settings dialogs -------------------------------------------------------------------

TEST_F(PortCommandsTest, BaudRatesListTheServersRatesAndSendTheMaskOfTheTickedOnes) {
    Run(com1, ID_PORT_BAUD_RATE, {[](ModalDialog& dialog) {
            EXPECT_EQ((Texts{"[x] 9600", "38400"}), dialog.Rows(IDC_BAUD_LIST));
            RECT client{};
            ::GetClientRect(dialog.Control(IDC_BAUD_LIST), &client);
            EXPECT_EQ(client.right - ::GetSystemMetrics(SM_CXVSCROLL),
                      ::SendMessageA(dialog.Control(IDC_BAUD_LIST), LVM_GETCOLUMNWIDTH, 0, 0));
            dialog.Tick(IDC_BAUD_LIST, 1, true);
            dialog.Tick(IDC_BAUD_LIST, 0, false);
            dialog.Click(IDOK);
        }});
    // The server took mask 4, 38400's alone: only it comes back tried.
    Run(com1, ID_PORT_BAUD_RATE, {[](ModalDialog& dialog) {
            EXPECT_EQ((Texts{"9600", "[x] 38400"}), dialog.Rows(IDC_BAUD_LIST));
            dialog.Click(IDCANCEL);
        }});
    EXPECT_EQ(baudReads + " SetBaudRateMask(1) " + baudReads, Calls());
}

TEST_F(PortCommandsTest, ProtocolShowsAnUnknownModeAsTheFirstItemAndSendsTheChosenIndex) {
    Run(com1, ID_PORT_PROTOCOL, {[](ModalDialog& dialog) {
            EXPECT_EQ(protocolTexts, dialog.Items(IDC_PROTOCOL_MODE));
            EXPECT_EQ(protocolTexts[0], dialog.Text(IDC_PROTOCOL_MODE)) << "mode 7";
            dialog.Select(IDC_PROTOCOL_MODE, protocolTexts[2]);
            dialog.Click(IDOK);
        }});
    EXPECT_EQ("GetProtocolMode(1) SetProtocolMode(1)", Calls());
    EXPECT_EQ(2, Number(com1, "protocolMode"));
}

// Each level checks its buttons and OK sends it back unchanged; from Off, Traffic enables the
// options and Debugging disables them again, and Callback logs alone gives 3.
TEST_F(PortCommandsTest, TraceShowsEachLevelsButtonsAndSendsWhatTheyShow) {
    const int buttons[] = {IDC_TRACE_OFF, IDC_TRACE_DEBUGGING, IDC_TRACE_TRAFFIC, IDC_TRACE_EVENT_LOGS,
                           IDC_TRACE_CALLBACK_LOGS};
    const std::pair<int, int> checked[] = {{IDC_TRACE_OFF, IDC_TRACE_EVENT_LOGS}, // by level
                                           {IDC_TRACE_DEBUGGING, IDC_TRACE_EVENT_LOGS},
                                           {IDC_TRACE_TRAFFIC, IDC_TRACE_EVENT_LOGS},
                                           {IDC_TRACE_TRAFFIC, IDC_TRACE_CALLBACK_LOGS}};
    for (long level = 0; level <= 3; ++level) {
        ASSERT_EQ(S_OK, portOptions->SetTraceLevel(short(com20 + 1), level));
        Calls();
        Run(com20, ID_PORT_TRACE, {[&](ModalDialog& dialog) {
                for (const int button : buttons)
                    EXPECT_EQ(button == checked[level].first || button == checked[level].second,
                              dialog.CheckState(button) == BST_CHECKED)
                        << "level " << level << ", button " << button;
                EXPECT_EQ(level >= 2, dialog.Enabled(IDC_TRACE_CALLBACK_LOGS)) << "level " << level;
                if (level == 0) {
                    dialog.Click(IDC_TRACE_TRAFFIC);
                    EXPECT_TRUE(dialog.Enabled(IDC_TRACE_EVENT_LOGS));
                    dialog.Click(IDC_TRACE_DEBUGGING);
                    EXPECT_FALSE(dialog.Enabled(IDC_TRACE_EVENT_LOGS));
                    EXPECT_FALSE(dialog.Enabled(IDC_TRACE_CALLBACK_LOGS));
                    dialog.Click(IDC_TRACE_TRAFFIC);
                    dialog.Click(IDC_TRACE_CALLBACK_LOGS);
                }
                dialog.Click(IDOK);
            }});
        EXPECT_EQ("GetTraceLevel(8) SetTraceLevel(8)", Calls()) << "level " << level;
        EXPECT_EQ(level == 0 ? 3 : level, Number(com20, "traceLevel"));
    }
}

TEST_F(PortCommandsTest, PasswordIsSentAsTypedWithoutShowingTheOldOne) {
    const std::string typed = "a password longer than eight bytes";
    Run(com1, ID_PORT_SEND_PASSWORD, {[&](ModalDialog& dialog) {
            EXPECT_EQ("", dialog.Text(IDC_PASSWORD));
            EXPECT_TRUE(::GetWindowLongA(dialog.Control(IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
            dialog.Type(IDC_PASSWORD, typed);
            dialog.Click(IDOK);
        }},
        true);
    EXPECT_EQ("GetSecurityPassword(1) SetSecurityPassword(1)", Calls());
    EXPECT_EQ(typed, Text(com1, "password"));
}

TEST_F(PortCommandsTest, DiagCommandIsSentAndKeepsTheLastFiveDistinctCommandsNewestFirst) {
    const struct {
        const char *stored, *command;
        Texts shown; // sorted
        const char* history;
    } cases[] = {
        {"0A;0B;0C;0D;0E", "29 00", {"0A", "0B", "0C", "0D", "0E"}, "29 00;0A;0B;0C;0D"},
        {"0A;0B;0C;0D;0E", "0D", {"0A", "0B", "0C", "0D", "0E"}, "0A;0B;0C;0D;0E"},
        {"x;;y", "0C", {"", "x", "y"}, "0C;x;;y"},
        {"", "75 37 03 16 00", {}, "75 37 03 16 00"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(S_OK, agentEx->SetDiagCommandHistory(short(com1 + 1), _bstr_t(c.stored)));
        Calls();
        Run(com1, ID_PORT_DIAG_COMMAND, {[&](ModalDialog& dialog) {
                EXPECT_EQ(c.shown, dialog.Items(IDC_DIAG_COMMAND)) << c.stored;
                EXPECT_EQ(BS_DEFPUSHBUTTON,
                          ::GetWindowLongA(dialog.Control(IDC_DIAG_SEND), GWL_STYLE) & BS_TYPEMASK);
                dialog.Type(IDC_DIAG_COMMAND, c.command);
                dialog.Click(IDC_DIAG_SEND);
            }});
        EXPECT_EQ("GetDiagCommandHistory(1) SendDiagCommand(1) SetDiagCommandHistory(1)", Calls());
        EXPECT_EQ(c.history, Text(com1, "diagHistory")) << c.stored << " + " << c.command;
        EXPECT_EQ(c.command, Setting(com1, "diagCommands", [](const Sim::ScenarioNode& sent) {
                      return sent.items().back().asString();
                  }));
    }
}

TEST_F(PortCommandsTest, ControlLinesShowTheServersChoicesAndHideTheFlowGroupForTheSecondCommand) {
    // COM1 polls by timer and DSR/RLSD with flow control on. Each dialog's height, by whether the
    // flow group is shown, and the flow frame's height.
    LONG height[2] = {}, frame = 0;
    for (const UINT command : {ID_PORT_CONTROL_LINES, ID_PORT_CONTROL_LINES_NO_FLOW}) {
        const bool flow = command == ID_PORT_CONTROL_LINES;
        Run(com1, command, {[&](ModalDialog& dialog) {
                RECT box{}, group{};
                ::GetWindowRect(dialog.Window(), &box);
                ::GetWindowRect(dialog.Control(IDC_FLOW_GROUP), &group);
                height[flow] = box.bottom - box.top;
                frame = flow ? group.bottom - group.top : frame;
                EXPECT_EQ(BST_CHECKED, dialog.CheckState(IDC_POLLING_BOTH));
                for (const int id : {IDC_FLOW_GROUP, IDC_FLOW_IGNORE, IDC_FLOW_ENABLE})
                    EXPECT_EQ(flow, dialog.Visible(id)) << id;
                EXPECT_EQ(flow, dialog.CheckState(IDC_FLOW_ENABLE) == BST_CHECKED);
                dialog.Click(IDC_POLLING_LINES);
                dialog.Click(IDOK);
            }});
        EXPECT_EQ("GetFlowControl(1) GetPollingMode(1) SetFlowControl(1) SetPollingMode(1)", Calls());
        EXPECT_EQ(flow, Number(com1, "flowControl")) << "a hidden flow group sends 0";
        EXPECT_EQ(1, Number(com1, "pollingMode"));
        ASSERT_EQ(S_OK, portOptions->SetFlowControl(short(com1 + 1), 1));
        ASSERT_EQ(S_OK, portOptions->SetPollingMode(short(com1 + 1), 2));
        Calls();
    }
    EXPECT_GT(frame, 0);
    EXPECT_EQ(frame, height[1] - height[0]) << "the dialog shrinks by the frame";
}

TEST_F(PortCommandsTest, ShutdownShowsTheActionsButtonAndSendsTheChosenAction) {
    const int radios[] = {IDC_SHUTDOWN_NOTHING, IDC_SHUTDOWN_RELEASE, IDC_SHUTDOWN_RESTORE}; // by action
    // COM4's action 5 is none the dialog knows: no button is checked, and OK then sends 0.
    for (const auto& [row, action] : {std::pair{com1, 0L}, {com1, 1L}, {com1, 2L}, {com4, 5L}}) {
        if (row == com1) {
            ASSERT_EQ(S_OK, portOptions->SetShutdownAction(short(row + 1), action));
        }
        Calls();
        const long chosen = action == 5 ? 0 : (action + 1) % 3;
        Run(row, ID_PORT_SHUTDOWN, {[&](ModalDialog& dialog) {
                for (long each = 0; each <= 2; ++each)
                    EXPECT_EQ(each == action, dialog.CheckState(radios[each]) == BST_CHECKED)
                        << action << " " << each;
                if (action != 5)
                    dialog.Click(radios[chosen]);
                dialog.Click(IDOK);
            }});
        const std::string port = std::to_string(row + 1);
        EXPECT_EQ("GetShutdownAction(" + port + ") SetShutdownAction(" + port + ")", Calls());
        EXPECT_EQ(chosen, Number(row, "shutdownAction"));
    }
}

// Each dialog's caption and labels; Cancel sends nothing after the reads. The reads whose failure
// the dialog passes over fail here: it opens with its initial choices.
TEST_F(PortCommandsTest, EachDialogShowsItsTextsAndCancelSendsNothing) {
    for (const char* operation : {"GetTraceLevel", "GetSecurityPassword", "GetDiagCommandHistory",
                                  "GetFlowControl", "GetPollingMode", "GetShutdownAction"})
        Fail(operation);
    const auto initial = [](UINT command, ModalDialog& dialog) {
        std::vector<int> on;
        if (command == ID_PORT_TRACE)
            on = {IDC_TRACE_OFF, IDC_TRACE_EVENT_LOGS};
        if (command == ID_PORT_SHUTDOWN)
            on = {IDC_SHUTDOWN_NOTHING};
        for (const int id : {IDC_TRACE_OFF, IDC_TRACE_EVENT_LOGS, IDC_SHUTDOWN_NOTHING, IDC_POLLING_TIMER,
                             IDC_POLLING_LINES, IDC_POLLING_BOTH, IDC_FLOW_IGNORE, IDC_FLOW_ENABLE})
            if (::GetDlgItem(dialog.Window(), id)) {
                EXPECT_EQ(std::count(on.begin(), on.end(), id) != 0, dialog.CheckState(id) == BST_CHECKED)
                    << id;
            }
        if (command == ID_PORT_DIAG_COMMAND) {
            EXPECT_EQ(Texts{}, dialog.Items(IDC_DIAG_COMMAND));
        }
        dialog.Click(IDCANCEL);
    };
    const struct {
        UINT command;
        std::string caption;
        Texts labels;
        std::string reads;
    } cases[] = {
        {ID_PORT_BAUD_RATE,
         "Baud Rate Selection",
         {"Baud rates NORVIK should try using to establish a Diagnostics mode connection to the device"},
         baudReads},
        {ID_PORT_PROTOCOL,
         "Communication Protocol",
         {"Select the communication protocol to use on this port:",
          "A change from non-HDLC to HDLC will only occur on a protocol error or device reset."},
         "GetProtocolMode(1)"},
        {ID_PORT_TRACE,
         "Port Trace",
         {"Please specify the new Port Tracing value for the port COM20. Please note that having port "
          "tracing enabled will slow performance.",
          "Faster with dropped entries.", "Slower without dropped entries."},
         "GetTraceLevel(8)"},
        {ID_PORT_SEND_PASSWORD, "Password", {"8 bytes of security password:"}, "GetSecurityPassword(1)"},
        {ID_PORT_DIAG_COMMAND,
         "Send DIAG Command",
         {"Raw Diag Command(e.g. 75 37 03 16 00):"},
         "GetDiagCommandHistory(1)"},
        {ID_PORT_SHUTDOWN, "Port Shutdown Options", {}, "GetShutdownAction(1)"},
        {ID_PORT_PROPERTIES,
         "Port Properties",
         {"Port:", "COM1", "&Label:", "State:", "Enabled", "Phone:", "VX-210 (12345678)",
          "Link:", "38400 baud"},
         ""},
        {ID_PORT_CONTROL_LINES, "Define Port Control Line Usage", {}, "GetFlowControl(1) GetPollingMode(1)"},
    };
    for (const auto& c : cases) {
        const std::vector<DialogRecord> seen =
            Run(c.command == ID_PORT_TRACE ? com20 : com1, c.command,
                {[&](ModalDialog& dialog) { initial(c.command, dialog); }}, true);
        ASSERT_EQ(1u, seen.size()) << c.command;
        EXPECT_EQ(c.caption, seen[0].caption);
        EXPECT_EQ(c.labels, seen[0].labels) << c.caption;
        EXPECT_EQ(c.reads, Calls()) << c.caption;
    }
}

// --- failures -------------------------------------------------------------------------------

// A read the dialog needs, or a write, that fails ends its command with one box: the dialog does
// not open, or nothing is sent after it, and no row is rebuilt. The shutdown command alone looks
// at no result.
TEST_F(PortCommandsTest, AFailingCallEndsTheCommandWithOneBox) {
    const auto type = [](int id, const char* text, int button) {
        return [=](ModalDialog& dialog) {
            dialog.Type(id, text);
            dialog.Click(button);
        };
    };
    const std::string protocolCaption = "Configure Communication Protocol";
    const struct {
        UINT command;
        const char* operation;
        ModalDriver::Script dialog;
        std::string caption; // empty: no box
        std::string calls;
    } cases[] = {
        {ID_PORT_BAUD_RATE, "GetBaudRateEntry", nullptr, "Baud Rate", "GetBaudRateEntry(1)"},
        {ID_PORT_PROTOCOL, "GetProtocolMode", nullptr, protocolCaption, "GetProtocolMode(1)"},
        {ID_PORT_BAUD_RATE, "SetBaudRateMask", ok, "Baud Rate", baudReads + " SetBaudRateMask(1)"},
        {ID_PORT_PROTOCOL, "SetProtocolMode", ok, protocolCaption, "GetProtocolMode(1) SetProtocolMode(1)"},
        {ID_PORT_TRACE, "SetTraceLevel", ok, "Port Trace", "GetTraceLevel(1) SetTraceLevel(1)"},
        {ID_PORT_DIAG_COMMAND, "SendDiagCommand", type(IDC_DIAG_COMMAND, "29 00", IDC_DIAG_SEND),
         "Send Diag Command", "GetDiagCommandHistory(1) SendDiagCommand(1)"},
        {ID_PORT_DIAG_SWITCH, "SetDiagSwitchState", nullptr, "Switch modem port to diagnostic mode",
         "SetDiagSwitchState(1)"},
        {ID_PORT_SHUTDOWN, "SetShutdownAction", ok, "", "GetShutdownAction(1) SetShutdownAction(1)"},
        {ID_PORT_PROPERTIES, "SetPortLabel", type(IDC_PROPS_LABEL, "Refused", IDOK), "Properties",
         "SetPortLabel(1)"},
        // The control lines' first write failing keeps the second from being sent.
        {ID_PORT_CONTROL_LINES, "SetFlowControl", ok, "Control Lines",
         "GetFlowControl(1) GetPollingMode(1) SetFlowControl(1)"},
    };
    for (const auto& c : cases) {
        Fail(c.operation);
        list.SetItemText(com1, portColumnLabel, "marked");
        std::vector<ModalDriver::Script> scripts;
        if (c.dialog)
            scripts.push_back(c.dialog);
        if (!c.caption.empty())
            scripts.push_back(ok);
        const std::vector<DialogRecord> seen = Run(com1, c.command, scripts);
        ASSERT_EQ(scripts.size(), seen.size()) << c.operation;
        if (!c.caption.empty()) {
            EXPECT_EQ(c.caption, seen.back().caption);
            EXPECT_EQ("The command failed on port COM1 - Error = 0x80004005, " + SystemText(E_FAIL),
                      seen.back().message);
            EXPECT_EQ(DialogIcon::Stop, seen.back().icon);
            EXPECT_EQ(std::vector<int>{IDOK}, seen.back().buttons);
            EXPECT_EQ(::GetAncestor(site->Window(), GA_ROOT), seen.back().owner);
        }
        EXPECT_EQ(c.calls, Calls()) << c.operation;
        EXPECT_EQ("marked", list.GetItemText(com1, portColumnLabel)) << c.operation;
        Fail(c.operation, S_OK);
    }
}

// --- port properties ------------------------------------------------------------------------

TEST_F(PortCommandsTest, PropertiesShowTheRowInBoldAndSetTheTypedLabel) {
    const std::string typed(200, 'L');
    const std::vector<DialogRecord> seen = Run(
        com1, ID_PORT_PROPERTIES, {[&](ModalDialog& dialog) {
            // The row's other texts are the texts table's.
            EXPECT_EQ("Bench serial", dialog.Text(IDC_PROPS_LABEL));
            for (const int id :
                 {IDC_PROPS_PORT_NAME, IDC_PROPS_PHONE, IDC_PROPS_LINK, IDC_PROPS_LABEL, IDC_PROPS_STATE}) {
                LOGFONTA font{};
                ::GetObjectA(HFONT(::SendMessageA(dialog.Control(id), WM_GETFONT, 0, 0)), sizeof font, &font);
                EXPECT_GE(font.lfWeight, FW_BOLD) << id;
            }
            EXPECT_EQ(dialog.Control(IDC_PROPS_LABEL), ::GetFocus());
            dialog.Type(IDC_PROPS_LABEL, typed);
            dialog.Click(IDOK);
        }});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(container.Window(), seen[0].owner) << "over the active window";
    EXPECT_EQ("SetPortLabel(1)", Calls());
    EXPECT_EQ(typed.substr(0, 127), Text(com1, "label"));
    EXPECT_EQ(typed.substr(0, 127), list.GetItemText(com1, portColumnLabel)) << "the row is rebuilt at once";
}

// Serial ports offer the control lines with flow control, USB ones without, network ones not at all;
// and ShowProperties opens the dialog of the selected row only.
TEST_F(PortCommandsTest, PropertiesOfferTheControlLinesWithFlowControlForSerialPorts) {
    for (const auto& [row, offered, flow] :
         {std::tuple{com1, true, true}, {com7, true, false}, {network, false, false}}) {
        HWND properties = nullptr;
        std::vector<ModalDriver::Script> scripts = {[&](ModalDialog& dialog) {
            properties = dialog.Window();
            EXPECT_EQ(offered, dialog.Visible(IDC_PROPS_CONTROL_LINES)) << row;
            if (offered)
                dialog.Click(IDC_PROPS_CONTROL_LINES);
            dialog.Click(IDCANCEL);
        }};
        if (offered)
            scripts.push_back([&](ModalDialog& dialog) {
                EXPECT_EQ(flow, dialog.Visible(IDC_FLOW_GROUP)) << row;
                dialog.Click(IDCANCEL);
            });
        const std::vector<DialogRecord> seen = Run(row, ID_PORT_PROPERTIES, scripts);
        ASSERT_EQ(scripts.size(), seen.size());
        if (offered) {
            EXPECT_EQ(properties, seen[1].owner);
        }
    }
    EXPECT_EQ("GetFlowControl(1) GetPollingMode(1) GetFlowControl(3) GetPollingMode(3)", Calls());

    ModalDriver dialogs;
    list.SetItemState(-1, 0, LVIS_SELECTED);
    EXPECT_EQ(S_OK, control->ShowProperties());
    list.SelectItem(com7);
    dialogs.Expect([](ModalDialog& dialog) {
        EXPECT_EQ("COM7", dialog.Text(IDC_PROPS_PORT_NAME));
        dialog.Click(IDCANCEL);
    });
    EXPECT_EQ(S_OK, control->ShowProperties());
    EXPECT_EQ(1u, dialogs.Seen().size());
}

TEST_F(PortCommandsTest, PropertiesCloseWhenTheirRowGoes) {
    // The script leaves the dialog open; the driver fails the test if it is still open later.
    EXPECT_EQ(1u, Run(com4, ID_PORT_PROPERTIES,
                      {[&](ModalDialog&) { ASSERT_EQ(S_OK, agent->RemovePort(short(com4 + 1))); }})
                      .size());
    EXPECT_EQ(7, list.GetItemCount());
    // All rows going at once, as when the server goes away, closes it too.
    Run(com1, ID_PORT_PROPERTIES, {[&](ModalDialog&) { ASSERT_EQ(S_OK, sim->FireEvent(2, 0, 0)); }});
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ("", Calls()) << "no label is written for a row that went";
}

} // namespace
