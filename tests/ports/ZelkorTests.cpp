// The boot-protocol (Zelkor) commands through their real dialog and message boxes, driven as a
// user would, against the in-process simulator's bench scenario; and transfer progress events
// as a port list's sink hands them to its rows.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Win32/Unique.h"
#include "ports/ListViewHelper.h"
#include "ports/PortRows.h"
#include "ports/ZelkorCommands.h"
#include "ports/ZelkorConfigDlg.h"
#include "server/ServerEventSink.h"
#include "tests/server/FakeServer.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"

#include <comdef.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using TestSupport::ModalDialog;

namespace {

constexpr short com1 = 1, com9 = 4; // an ordinary phone's port, and the bench's Zelkor port
const std::string hyphens(20, '-');
const std::string benchPath = std::string(OSTREL_SCENARIO_DIR) + "/bench.json";

// COM9 of the bench, its continue-boot flag on so that every setting differs from the preset.
const ZelkorSettings bench = {
    "C:\\Images\\bench\\rawprogram.xml", true, "C:\\Dumps", true, false, true, 1, true,
    {"BOOT", "MODEM", "RAMDUMP_A"}};

// Each setting as text, in declaration order, so that a difference names its field.
std::vector<std::string> Fields(const ZelkorSettings& s) {
    std::string sections;
    for (const std::string& name : s.sections)
        sections += name + ";";
    return {s.xmlFile,
            std::to_string(s.oneDownload),
            s.dumpFolder,
            std::to_string(s.timestampFolders),
            std::to_string(s.autoReset),
            std::to_string(s.continueBoot),
            std::to_string(s.helloResponse),
            std::to_string(s.sectionFilter),
            sections};
}

ZelkorSettings Stored(IOstrelConfigAgentEx* agent, short port) {
    ZelkorSettings s;
    long flags[5] = {}, count = 0;
    _bstr_t xml, dumps;
    agent->GetZelkorXmlFile(port, xml.GetAddress());
    agent->GetZelkorDumpFolder(port, dumps.GetAddress());
    agent->GetZelkorOneDownload(port, &flags[0]);
    agent->GetZelkorTimestampFolders(port, &flags[1]);
    agent->GetZelkorAutoReset(port, &flags[2]);
    agent->GetZelkorContinueBoot(port, &flags[3]);
    agent->GetZelkorHelloResponse(port, &s.helloResponse);
    Win32::UniqueSafeArray names;
    agent->GetZelkorDumpSections(port, 64, &flags[4], &count, names.put());
    s.xmlFile = xml.length() ? static_cast<const char*>(xml) : "";
    s.dumpFolder = dumps.length() ? static_cast<const char*>(dumps) : "";
    s.oneDownload = flags[0], s.timestampFolders = flags[1], s.autoReset = flags[2],
    s.continueBoot = flags[3];
    s.sectionFilter = flags[4];
    for (LONG index = 0; index < count; ++index) {
        BSTR name = nullptr;
        ::SafeArrayGetElement(names.get(), &index, &name);
        s.sections.push_back(static_cast<const char*>(_bstr_t(name, false)));
    }
    return s;
}

std::string Text(HWND dialog, int id) {
    char text[300] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

Fw::ListView SectionList(HWND dialog) {
    return Fw::ListView(::GetDlgItem(dialog, IDC_ZELKOR_SECTIONS));
}

// The rows as shown, and the sixteen rows that should show these names.
std::vector<ZelkorSectionRow> SectionRows(HWND dialog) {
    std::vector<ZelkorSectionRow> rows;
    for (int row = 0; row < SectionList(dialog).GetItemCount(); ++row)
        rows.push_back({SectionList(dialog).GetItemText(row, 0), SectionList(dialog).GetItemData(row)});
    return rows;
}
std::vector<ZelkorSectionRow> RowsShowing(std::vector<std::string> names) {
    std::vector<ZelkorSectionRow> rows;
    for (std::string& name : names)
        rows.push_back({std::move(name), 1});
    rows.resize(16, {hyphens, 0});
    return rows;
}

ZelkorSettings Shown(HWND dialog) {
    const auto checked = [&](int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    ZelkorSettings s = {
        Text(dialog, IDC_ZELKOR_XML_FILE),
        checked(IDC_ZELKOR_ONE_DOWNLOAD),
        Text(dialog, IDC_ZELKOR_DUMP_FOLDER),
        checked(IDC_ZELKOR_TIMESTAMP),
        checked(IDC_ZELKOR_AUTO_RESET),
        checked(IDC_ZELKOR_CONTINUE_BOOT),
        static_cast<long>(::SendDlgItemMessageA(dialog, IDC_ZELKOR_HELLO, CB_GETCURSEL, 0, 0)),
        checked(IDC_ZELKOR_SECTION_FILTER),
        {}};
    for (const ZelkorSectionRow& row : SectionRows(dialog))
        if (row.mark == 1)
            s.sections.push_back(row.text);
    return s;
}

// A double click on `clicked` with `row` selected; answers the in-place editor when it opened.
HWND DoubleClick(HWND dialog, int row, int clicked) {
    SectionList(dialog).SelectItem(row);
    const RECT bounds = SectionList(dialog).GetItemRect(clicked);
    SectionList(dialog).Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(bounds.left + 5, bounds.top + 2));
    const HWND focus = ::GetFocus();
    return ::GetParent(focus) == dialog && ::GetDlgCtrlID(focus) == 0 && ::IsWindowVisible(focus) ? focus
                                                                                                  : nullptr;
}

// Types into the row's editor as the keyboard would (its limit applies), then presses `key`.
void EditRow(HWND dialog, int row, const std::string& text, UINT key) {
    const HWND editor = DoubleClick(dialog, row, row);
    ASSERT_TRUE(editor) << "row " << row;
    EXPECT_FALSE(SectionList(dialog).IsEnabled()) << "the list waits while a row is edited";
    ::SendMessageA(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ::SendMessageA(editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(editor, WM_KEYDOWN, key, 0);
    EXPECT_FALSE(::IsWindowVisible(editor)) << "row " << row;
    EXPECT_TRUE(SectionList(dialog).IsEnabled()) << "row " << row;
}

class ZelkorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        owner.reset(
            ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
        Start([](Sim::SimState&) {});
    }
    void TearDown() override {
        agent.Reset(), sim.Reset(), server.Reset();
        ::OleUninitialize();
    }

    // The bench scenario, as `change` leaves it.
    template <class Change>
    void Start(Change change) {
        Sim::SimState state = Sim::LoadScenario(benchPath);
        state.findPort(com9)->zelkor.continueBoot = true;
        change(state);
        server = Sim::CreateSimServer(std::move(state));
        long cookie = 0;
        ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &object));
        ASSERT_EQ(S_OK, object.As(&agent));
        ASSERT_EQ(S_OK, server.As(&sim));
    }
    PortCommandContext Context(short port) {
        PortCommandContext context{port, "", nullptr, owner.get(), [this](const char* trace) {
                                       serverTraces.emplace_back(trace);
                                       return server.Get();
                                   }};
        agent.As(&context.agent);
        return context;
    }
    void Configure(short port, TestSupport::ModalDriver::Script script) {
        TestSupport::ModalDriver driver;
        driver.Expect(std::move(script));
        PortCommandContext context = Context(port);
        ConfigureZelkor(context);
    }
    void Fail(const char* operation, HRESULT status = E_ACCESSDENIED) {
        ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(operation), status));
    }

    Win32::UniqueWindow owner;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelConfigAgentEx> agent;
    std::vector<std::string> serverTraces;
};

TEST_F(ZelkorTest, DialogShowsThePortsSettingsAndOkWritesWhatTheUserChanged) {
    TestSupport::TraceCapture trace;
    Configure(com9, [&](ModalDialog& dialog) {
        const HWND window = dialog.Window();
        EXPECT_EQ("Zelkor Configuration", dialog.Record().caption);
        EXPECT_EQ(Fields(bench), Fields(Shown(window)));
        EXPECT_EQ(RowsShowing(bench.sections), SectionRows(window));
        std::vector<std::string> modes(4, std::string(80, '\0'));
        for (size_t mode = 0; mode < modes.size(); ++mode)
            modes[mode].resize(::SendDlgItemMessageA(window, IDC_ZELKOR_HELLO, CB_GETLBTEXT, mode,
                                                     reinterpret_cast<LPARAM>(modes[mode].data())));
        EXPECT_EQ((std::vector<std::string>{"Perform requested action",
                                            "If a download request, perform RAM dump instead",
                                            "If a RAM dump request, perform a download instead",
                                            "Do nothing until one of the other response modes is selected"}),
                  modes);
        for (const bool on : {false, true}) {
            dialog.Click(IDC_ZELKOR_SECTION_FILTER);
            EXPECT_EQ(on, SectionList(window).IsEnabled());
            EXPECT_EQ(on, ::IsWindowEnabled(::GetDlgItem(window, IDC_ZELKOR_SECTIONS_HELP)) != FALSE);
        }
        dialog.Click(IDC_ZELKOR_ONE_DOWNLOAD);
        dialog.Click(IDC_ZELKOR_AUTO_RESET);
        ::SetDlgItemTextA(window, IDC_ZELKOR_XML_FILE, "D:\\other.xml");
        ::SendDlgItemMessageA(window, IDC_ZELKOR_HELLO, CB_SETCURSEL, 3, 0);
        EditRow(window, 1, "MODEM_B", VK_RETURN);
        EditRow(window, 2, "", VK_TAB); // erased
        EXPECT_EQ(SectionList(window).Handle(), ::GetFocus()) << "Tab goes on to the list";
        EditRow(window, 4, "EFS", VK_RETURN);
        EditRow(window, 0, "IGNORED", VK_ESCAPE);
        EditRow(window, 5, std::string(25, 'x'), VK_RETURN);
        EditRow(window, 6, hyphens, VK_RETURN); // opened and left as it was: still no name
        EXPECT_FALSE(DoubleClick(window, 7, 8)) << "only a click on the selected row edits";
        dialog.Click(IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"GUI display default zelkor hello rsp value: 1\n"}), trace.lines);
    EXPECT_EQ((std::vector<std::string>{" ZelkorConfiguration: CoCreateInstance failed \n"}), serverTraces);
    const ZelkorSettings expected = {"D:\\other.xml",
                                     false,
                                     "C:\\Dumps",
                                     true,
                                     true,
                                     true,
                                     3,
                                     true,
                                     {"BOOT", "MODEM_B", "EFS", std::string(20, 'x')}};
    EXPECT_EQ(Fields(expected), Fields(Stored(agent.Get(), com9)));
}

TEST_F(ZelkorTest, BrowseFillsItsEditAndCancelWritesNothing) {
    const TestSupport::ScratchFile xml("zelkor.xml", "<images/>"), dump("zelkor.dmp", "");
    const std::tuple<int, int, const TestSupport::ScratchFile&, const char*> cases[] = {
        {IDC_ZELKOR_XML_BROWSE, IDC_ZELKOR_XML_FILE, xml, "XML Files (*.xml)"},
        {IDC_ZELKOR_DUMP_BROWSE, IDC_ZELKOR_DUMP_FOLDER, dump, "DMP Files (*.dmp)"},
    };
    for (const char* write :
         {"SetZelkorXmlFile", "SetZelkorDumpFolder", "SetZelkorAutoReset", "SetZelkorHelloResponse",
          "SetZelkorTimestampFolders", "SetZelkorContinueBoot", "SetZelkorDumpSections"})
        Fail(write); // a write made after Cancel would raise
    for (const auto& [button, edit, file, filter] : cases) {
        TestSupport::ModalDriver driver;
        driver.Expect([&](ModalDialog& dialog) {
            dialog.Click(button);
            EXPECT_EQ(file.Path(), Text(dialog.Window(), edit));
            EditRow(dialog.Window(), 0, "CHANGED", VK_RETURN);
            dialog.Click(IDCANCEL);
        });
        driver.Expect([&](ModalDialog& open) {
            std::vector<std::string> filters(2, std::string(80, '\0'));
            for (size_t item = 0; item < filters.size(); ++item)
                filters[item].resize(::SendDlgItemMessageA(open.Window(), cmb1, CB_GETLBTEXT, item,
                                                           reinterpret_cast<LPARAM>(filters[item].data())));
            EXPECT_EQ((std::vector<std::string>{filter, "All Files (*.*)"}), filters);
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(open.Window(), chx1))) << "no read-only box";
            ::SetDlgItemTextA(open.Window(), cmb13, file.Path().c_str());
            open.Click(IDOK);
        });
        PortCommandContext context = Context(com9);
        ConfigureZelkor(context);
    }
}

// The writes fail in turn: those before are made, the failing one raises to the command's runner,
// and none after it is made. The script changes every setting, so what is stored tells which.
TEST_F(ZelkorTest, WritesInOrderAndStopsAtTheFirstFailure) {
    const char* writes[] = {"SetZelkorXmlFile",          "SetZelkorDumpFolder",
                            "SetZelkorAutoReset",        "SetZelkorHelloResponse",
                            "SetZelkorTimestampFolders", "SetZelkorContinueBoot",
                            "SetZelkorDumpSections",     nullptr};
    const int writeOf[] = {0, 0, 1, 4, 2, 5, 3, 6, 6}; // each field's write, in Fields order
    const ZelkorSettings changed = {"D:\\new.xml", false, "D:\\dumps", false, true, false, 2, false, {}};
    for (int failing = 0; failing < 8; ++failing) {
        Start([](Sim::SimState&) {});
        if (writes[failing])
            Fail(writes[failing]);
        try {
            Configure(com9, [&](ModalDialog& dialog) {
                for (const int box : {IDC_ZELKOR_ONE_DOWNLOAD, IDC_ZELKOR_TIMESTAMP, IDC_ZELKOR_AUTO_RESET,
                                      IDC_ZELKOR_CONTINUE_BOOT, IDC_ZELKOR_SECTION_FILTER})
                    dialog.Click(box);
                ::SetDlgItemTextA(dialog.Window(), IDC_ZELKOR_XML_FILE, changed.xmlFile.c_str());
                ::SetDlgItemTextA(dialog.Window(), IDC_ZELKOR_DUMP_FOLDER, changed.dumpFolder.c_str());
                ::SendDlgItemMessageA(dialog.Window(), IDC_ZELKOR_HELLO, CB_SETCURSEL, 2, 0);
                dialog.Click(IDOK);
            });
            EXPECT_FALSE(writes[failing]) << writes[failing] << " raised nothing";
        } catch (const _com_error& failure) {
            EXPECT_EQ(E_ACCESSDENIED, failure.Error());
        }
        std::vector<std::string> expected = Fields(bench);
        for (size_t field = 0; field < expected.size(); ++field)
            if (writeOf[field] < failing)
                expected[field] = Fields(changed)[field];
        if (writes[failing])
            Fail(writes[failing], S_OK);
        EXPECT_EQ(expected, Fields(Stored(agent.Get(), com9)))
            << (writes[failing] ? writes[failing] : "none");
    }
}

TEST_F(ZelkorTest, AFailedReadShowsThePresetValue) {
    const char* reads[] = {"GetZelkorOneDownload",  "GetZelkorAutoReset",     "GetZelkorXmlFile",
                           "GetZelkorDumpFolder",   "GetZelkorHelloResponse", "GetZelkorTimestampFolders",
                           "GetZelkorContinueBoot", "GetZelkorDumpSections"};
    const int readOf[] = {2, 0, 3, 5, 1, 6, 4, 7, 7}; // each field's read, in Fields order
    for (int failing = 0; failing < 8; ++failing) {
        Fail(reads[failing]);
        std::vector<std::string> expected = Fields(bench);
        for (size_t field = 0; field < expected.size(); ++field)
            if (readOf[field] == failing)
                expected[field] = Fields(ZelkorSettings{})[field];
        Configure(com9, [&](ModalDialog& dialog) {
            EXPECT_EQ(expected, Fields(Shown(dialog.Window()))) << reads[failing];
            dialog.Click(IDCANCEL);
        });
        Fail(reads[failing], S_OK);
    }
}

TEST_F(ZelkorTest, SixteenOfTwentyNamesAreShownAndKeptAndErasingTheOnlyNameSendsNone) {
    std::vector<std::string> names;
    for (int name = 1; name <= 20; ++name)
        names.push_back("S" + std::to_string(name));
    Start([&](Sim::SimState& state) {
        state.findPort(com9)->zelkor.sections = names;
        state.findPort(com1)->zelkor.sectionFilter = true;
        state.findPort(com1)->zelkor.sections = {"ONLY"};
    });
    names.resize(16);
    Configure(com9, [&](ModalDialog& dialog) {
        EXPECT_EQ(RowsShowing(names), SectionRows(dialog.Window()));
        dialog.Click(IDOK);
    });
    EXPECT_EQ(names, Stored(agent.Get(), com9).sections);
    Configure(com1, [&](ModalDialog& dialog) {
        EditRow(dialog.Window(), 0, "", VK_RETURN);
        dialog.Click(IDOK);
    });
    long filter = -1, count = -1;
    Win32::UniqueSafeArray sent;
    ASSERT_EQ(S_OK, agent->GetZelkorDumpSections(com1, 16, &filter, &count, sent.put()));
    EXPECT_EQ(0, count);
}

TEST_F(ZelkorTest, WithoutTheExtensionTheDialogOpensEmptyAndTheResetSaysNothing) {
    TestSupport::TraceCapture trace;
    TestSupport::ModalDriver driver;
    driver.Expect([](ModalDialog& dialog) {
        EXPECT_EQ(Fields(ZelkorSettings{}), Fields(Shown(dialog.Window())));
        EXPECT_EQ(RowsShowing({}), SectionRows(dialog.Window()));
        dialog.Click(IDOK);
    });
    PortCommandContext context = Context(com9);
    context.agent.Reset();
    ASSERT_EQ(S_OK, Fw::Object<FakeAgent>::Create(nullptr, IID_PPV_ARGS(&context.agent)));
    ConfigureZelkor(context);
    SendZelkorReset(context);
    EXPECT_EQ(
        (std::vector<std::string>{"spConfig3 is NULL\n", "GUI display default zelkor hello rsp value: 0\n"}),
        trace.lines);
}

TEST_F(ZelkorTest, ResetTellsWhyItFailedInAPlainBoxOverTheControl) {
    // COM1's phone is not in Zelkor mode; COM9's device refuses, until a fresh bench accepts.
    Start([](Sim::SimState& state) { state.findPort(com9)->zelkor.resetAccepted = false; });
    const std::pair<short, const char*> cases[] = {{com1, "Reset failed \x96 not in Zelkor mode"},
                                                   {com9, "Reset failed \x96 device in wrong state"},
                                                   {com9, nullptr}};
    for (const auto& [port, message] : cases) {
        if (!message)
            Start([](Sim::SimState&) {});
        TestSupport::ModalDriver driver;
        if (message)
            driver.Expect([&](ModalDialog& box) {
                EXPECT_EQ(message, box.Record().message);
                EXPECT_EQ("", box.Record().caption);
                EXPECT_EQ(std::vector<int>{IDOK}, box.Record().buttons);
                EXPECT_EQ(TestSupport::DialogIcon::None, box.Record().icon);
                EXPECT_EQ(owner.get(), ::GetWindow(box.Window(), GW_OWNER));
                box.Click(IDOK);
            });
        PortCommandContext context = Context(port);
        SendZelkorReset(context);
    }
}

// The bench's rows over a list view, hearing a port list's sink bound as the port list binds it.
TEST(ZelkorProgress, EachEventSetsThePhoneTextAndTheBarInsideTheCall) {
    const ComPtr<IOstrelServer> server = Sim::CreateSimServer(Sim::LoadScenario(benchPath));
    long cookie = 0;
    ComPtr<IUnknown> agent;
    ASSERT_EQ(S_OK, server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &agent));
    const Win32::UniqueWindow window(::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600,
                                                       300, nullptr, nullptr, nullptr, nullptr));
    CListViewHelper helper(window.get());
    for (int column = 0; column < portColumnCount; ++column)
        helper.AddColumn(column, portListColumns[column].headerId, portListColumns[column].widthId, true);
    CPortRows rows;
    rows.SetList(&helper);
    ComPtr<IOstrelConfigAgent> configAgent;
    ASSERT_EQ(S_OK, agent.As(&configAgent));
    rows.SetAgent(configAgent.Get());
    rows.FillList();
    ComPtr<IOstrelServerEvents> sink;
    ASSERT_EQ(S_OK, Fw::Object<ServerEventSink>::Create(nullptr, IID_PPV_ARGS(&sink)));
    static_cast<ServerEventSink*>(sink.Get())
        ->Bind(ViewKind::PortList, window.get(), [&](const ServerEventRoute& route, short port, short value) {
            rows.ShowTransferProgress(static_cast<long>(route.lParam), port, value);
        });
    const auto phone = [&](short port) {
        return helper.List().GetItemText(helper.FindRow(port), portColumnPhone);
    };
    const HWND bar = rows.Progress().at(com9)->Window();

    const std::tuple<long, short, const char*, int> cases[] = {
        {16, 0, "Zelkor Download...", 500},
        {17, 0, "Zelkor Download...", 750},
        {18, 0, "Zelkor Download...", 1000},
        {19, 0, "Zelkor Memory Dump...", 500},
        {20, 16383, "Zelkor Memory Dump...", 749},
        {20, 32767, "Zelkor Memory Dump...", 1000},
        {20, 1, "Zelkor Memory Dump...", 500},
        {20, -16383, "Zelkor Memory Dump...", 251},
        {21, 7, "Zelkor Memory Dump...", 1000},
        {22, 7, "Zelkor Memory Dump...", 1000},
        {15, 7, "unchanged", 2},
        {23, 7, "unchanged", 2},
    };
    for (const auto& [code, value, text, position] : cases) {
        ::SendMessageA(bar, PBM_SETPOS, 2, 0);
        helper.List().SetItemText(helper.FindRow(com9), portColumnPhone, "unchanged");
        EXPECT_EQ(S_OK, sink->OnServerEvent(code, com9, value));
        EXPECT_EQ(text, phone(com9)) << code << "/" << value;
        EXPECT_EQ(position, ::SendMessageA(bar, PBM_GETPOS, 0, 0)) << code << "/" << value;
    }
    EXPECT_EQ("P/PHN-XXX (Zelkor Download)", rows.Items().Find(com9).item->phoneText)
        << "the item keeps its text";
    // A row without a bar still shows the stage; a port without a row is no fault.
    sink->OnServerEvent(17, com1, 0);
    EXPECT_EQ("Zelkor Download...", phone(com1));
    EXPECT_EQ(S_OK, sink->OnServerEvent(17, 99, 0));
    MSG posted;
    EXPECT_FALSE(
        ::PeekMessageA(&posted, window.get(), WM_SERVER_DETACH, WM_SERVER_REFRESH_ITEM, PM_NOREMOVE));
    static_cast<ServerEventSink*>(sink.Get())->Unbind();
    rows.RemoveAllRows();
}

} // namespace
