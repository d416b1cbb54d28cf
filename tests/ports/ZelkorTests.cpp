// The boot-protocol (Zelkor) commands through their real dialog and message boxes, driven as a
// user would, against the in-process simulator's bench scenario; and the transfer progress
// events as a port list's rows show them.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Win32/Unique.h"
#include "framework/windows/ListView.h"
#include "ports/ListViewHelper.h"
#include "ports/PortRows.h"
#include "ports/ZelkorCommands.h"
#include "ports/ZelkorConfigDlg.h"
#include "resources/resource.h"
#include "server/ServerEventSink.h"
#include "tests/server/FakeServer.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"

#include <comdef.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

void PrintTo(const ZelkorSettings& s, std::ostream* out) {
    *out << "{xml \"" << s.xmlFile << "\" once " << s.oneDownload << ", dumps \"" << s.dumpFolder
         << "\" stamped " << s.timestampFolders << ", reset " << s.autoReset << ", boot " << s.continueBoot
         << ", hello " << s.helloResponse << ", filter " << s.sectionFilter << " [";
    for (const std::string& name : s.sections)
        *out << name << ";";
    *out << "]}";
}

namespace {

using TestSupport::ModalDialog;

constexpr short com9 = 4; // the bench port whose phone is in Zelkor download mode
constexpr short com1 = 1; // a port with an ordinary phone
const std::string hyphens(20, '-');

// COM9's settings in the bench scenario.
ZelkorSettings BenchCom9() {
    return {"C:\\Images\\bench\\rawprogram.xml", true, "C:\\Dumps", true, false, false, 1, true,
            {"BOOT", "MODEM", "RAMDUMP_A"}};
}

// What the server stores for a port, read through the agent.
ZelkorSettings Stored(IOstrelConfigAgentEx* agent, short port) {
    ZelkorSettings stored;
    long flag = 0;
    _bstr_t text;
    agent->GetZelkorXmlFile(port, text.GetAddress());
    stored.xmlFile = static_cast<const char*>(text);
    agent->GetZelkorDumpFolder(port, text.GetAddress());
    stored.dumpFolder = static_cast<const char*>(text);
    agent->GetZelkorOneDownload(port, &flag);
    stored.oneDownload = flag;
    agent->GetZelkorTimestampFolders(port, &flag);
    stored.timestampFolders = flag;
    agent->GetZelkorAutoReset(port, &flag);
    stored.autoReset = flag;
    agent->GetZelkorContinueBoot(port, &flag);
    stored.continueBoot = flag;
    agent->GetZelkorHelloResponse(port, &stored.helloResponse);
    long count = 0;
    SAFEARRAY* names = nullptr;
    agent->GetZelkorDumpSections(port, 64, &flag, &count, &names);
    stored.sectionFilter = flag;
    for (LONG index = 0; index < count; ++index) {
        BSTR name = nullptr;
        ::SafeArrayGetElement(names, &index, &name);
        stored.sections.push_back(static_cast<const char*>(_bstr_t(name, false)));
    }
    ::SafeArrayDestroy(names);
    return stored;
}

std::string Text(HWND window) {
    char text[300] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

Fw::ListView SectionList(HWND dialog) {
    return Fw::ListView(::GetDlgItem(dialog, IDC_ZELKOR_SECTIONS));
}

std::vector<ZelkorSectionRow> SectionRows(HWND dialog) {
    const Fw::ListView list = SectionList(dialog);
    std::vector<ZelkorSectionRow> rows;
    for (int row = 0; row < list.GetItemCount(); ++row)
        rows.push_back({list.GetItemText(row, 0), list.GetItemData(row)});
    return rows;
}

// The sixteen rows the user should see for these names.
std::vector<ZelkorSectionRow> RowsShowing(const std::vector<std::string>& names) {
    std::vector<ZelkorSectionRow> rows;
    for (const std::string& name : names)
        rows.push_back({name, 1});
    rows.resize(16, {hyphens, 0});
    return rows;
}

// The settings as the dialog's controls show them; the sections are the named rows.
ZelkorSettings Shown(HWND dialog) {
    const auto checked = [&](int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    ZelkorSettings shown;
    shown.xmlFile = Text(::GetDlgItem(dialog, IDC_ZELKOR_XML_FILE));
    shown.oneDownload = checked(IDC_ZELKOR_ONE_DOWNLOAD);
    shown.dumpFolder = Text(::GetDlgItem(dialog, IDC_ZELKOR_DUMP_FOLDER));
    shown.timestampFolders = checked(IDC_ZELKOR_TIMESTAMP);
    shown.autoReset = checked(IDC_ZELKOR_AUTO_RESET);
    shown.continueBoot = checked(IDC_ZELKOR_CONTINUE_BOOT);
    shown.helloResponse =
        static_cast<long>(::SendDlgItemMessageA(dialog, IDC_ZELKOR_HELLO, CB_GETCURSEL, 0, 0));
    shown.sectionFilter = checked(IDC_ZELKOR_SECTION_FILTER);
    for (const ZelkorSectionRow& row : SectionRows(dialog))
        if (row.mark == 1)
            shown.sections.push_back(row.text);
    return shown;
}

// A double click on a row, the row selected first as the click before it would; answers the
// in-place editor when it opened (it then has the focus).
HWND DoubleClickRow(HWND dialog, int row, int clickedRow = -1) {
    const Fw::ListView list = SectionList(dialog);
    list.SelectItem(row);
    const RECT bounds = list.GetItemRect(clickedRow < 0 ? row : clickedRow, LVIR_BOUNDS);
    list.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(bounds.left + 5, (bounds.top + bounds.bottom) / 2));
    const HWND focus = ::GetFocus();
    return ::IsWindowVisible(focus) && ::GetParent(focus) == dialog && ::GetDlgCtrlID(focus) == 0 ? focus
                                                                                                  : nullptr;
}

// Types into the editor as the keyboard would (its limit applies), then ends the edit with a key.
void EditRow(HWND dialog, int row, const std::string& text, UINT endKey) {
    const HWND editor = DoubleClickRow(dialog, row);
    ASSERT_TRUE(editor) << "no editor for row " << row;
    EXPECT_FALSE(SectionList(dialog).IsEnabled()) << "the list waits while a row is edited";
    ::SendMessageA(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ::SendMessageA(editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(editor, WM_KEYDOWN, endKey, 0);
    EXPECT_FALSE(::IsWindowVisible(editor)) << "row " << row;
    EXPECT_TRUE(SectionList(dialog).IsEnabled()) << "row " << row;
}

class ZelkorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        owner.reset(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr));
        Start(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
    }
    void TearDown() override {
        agentEx.Reset();
        agent.Reset();
        sim.Reset();
        server.Reset();
        owner.reset();
        ::OleUninitialize();
    }

    void Start(Sim::SimState state) {
        server = Sim::CreateSimServer(std::move(state));
        ASSERT_EQ(S_OK, server.As(&sim));
        long cookie = 0;
        ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &object));
        ASSERT_EQ(S_OK, object.As(&agent));
        ASSERT_EQ(S_OK, object.As(&agentEx));
    }
    Sim::SimState Bench() const {
        return Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json");
    }

    PortCommandContext Context(short port) {
        PortCommandContext context;
        context.portId = port;
        context.agent = agent;
        context.messageOwner = owner.get();
        context.server = [this](const char* trace) {
            serverTraces.emplace_back(trace);
            return server.Get();
        };
        return context;
    }
    // The configuration command on a port, with the user's part played by `script`.
    void Configure(short port, TestSupport::ModalDriver::Script script) {
        TestSupport::ModalDriver driver;
        driver.Expect(std::move(script));
        PortCommandContext context = Context(port);
        ConfigureZelkor(context);
    }
    void Fail(const char* operation, HRESULT status = E_FAIL) {
        ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(operation), status));
    }

    Win32::UniqueWindow owner;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelConfigAgent> agent;
    ComPtr<IOstrelConfigAgentEx> agentEx;
    std::vector<std::string> serverTraces;
};

TEST_F(ZelkorTest, DialogShowsThePortsSettingsAndOkWritesWhatTheUserChanged) {
    TestSupport::TraceCapture trace;
    Configure(com9, [&](ModalDialog& dialog) {
        const HWND window = dialog.Window();
        EXPECT_EQ("Zelkor Configuration", dialog.Record().caption);
        EXPECT_EQ(BenchCom9(), Shown(window));
        EXPECT_EQ(RowsShowing({"BOOT", "MODEM", "RAMDUMP_A"}), SectionRows(window));
        const HWND hello = ::GetDlgItem(window, IDC_ZELKOR_HELLO);
        std::vector<std::string> modes;
        for (int item = 0; item < ::SendMessageA(hello, CB_GETCOUNT, 0, 0); ++item) {
            char text[100] = {};
            ::SendMessageA(hello, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
            modes.push_back(text);
        }
        EXPECT_EQ((std::vector<std::string>{"Perform requested action",
                                            "If a download request, perform RAM dump instead",
                                            "If a RAM dump request, perform a download instead",
                                            "Do nothing until one of the other response modes is selected"}),
                  modes);

        // The filter box enables the list and its help with it.
        for (const bool on : {false, true}) {
            dialog.Click(IDC_ZELKOR_SECTION_FILTER);
            EXPECT_EQ(on, SectionList(window).IsEnabled());
            EXPECT_EQ(on, ::IsWindowEnabled(::GetDlgItem(window, IDC_ZELKOR_SECTIONS_HELP)) != FALSE);
        }

        dialog.Click(IDC_ZELKOR_ONE_DOWNLOAD);
        dialog.Click(IDC_ZELKOR_AUTO_RESET);
        dialog.Click(IDC_ZELKOR_CONTINUE_BOOT);
        ::SetDlgItemTextA(window, IDC_ZELKOR_XML_FILE, "D:\\flash\\other.xml");
        ::SendMessageA(hello, CB_SETCURSEL, 3, 0);
        EditRow(window, 1, "MODEM_B", VK_RETURN); // renamed
        EditRow(window, 2, "", VK_TAB);           // erased
        EditRow(window, 4, "EFS", VK_RETURN);     // a name after a gap
        EditRow(window, 0, "IGNORED", VK_ESCAPE); // Esc keeps the row
        EditRow(window, 5, std::string(25, 'x'), VK_RETURN);
        EXPECT_EQ(std::string(20, 'x'), SectionList(window).GetItemText(5, 0)) << "a name has 20 characters";
        // A hyphen row opened and left unchanged is still no name.
        EditRow(window, 6, hyphens, VK_RETURN);
        // A double click below the selected row edits nothing.
        EXPECT_FALSE(DoubleClickRow(window, 7, 8));
        dialog.Click(IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"GUI display default zelkor hello rsp value: 1\n"}), trace.lines);
    EXPECT_EQ((std::vector<std::string>{" ZelkorConfiguration: CoCreateInstance failed \n"}), serverTraces);

    const ZelkorSettings expected = {"D:\\flash\\other.xml",
                                     false,
                                     "C:\\Dumps",
                                     true,
                                     true,
                                     true,
                                     3,
                                     true,
                                     {"BOOT", "MODEM_B", "EFS", std::string(20, 'x')}};
    EXPECT_EQ(expected, Stored(agentEx.Get(), com9));
}

TEST_F(ZelkorTest, BrowseButtonsPutTheChosenFilesPathIntoTheirEdits) {
    const TestSupport::ScratchFile xml("zelkor-images.xml", "<images/>"), dump("zelkor-dump.dmp", "dump");
    struct Case {
        int button, edit;
        const TestSupport::ScratchFile& file;
        std::vector<std::string> filters;
    };
    const Case cases[] = {
        {IDC_ZELKOR_XML_BROWSE, IDC_ZELKOR_XML_FILE, xml, {"XML Files (*.xml)", "All Files (*.*)"}},
        {IDC_ZELKOR_DUMP_BROWSE, IDC_ZELKOR_DUMP_FOLDER, dump, {"DMP Files (*.dmp)", "All Files (*.*)"}},
    };
    for (const Case& c : cases) {
        TestSupport::ModalDriver driver;
        driver.Expect([&](ModalDialog& dialog) {
            dialog.Click(c.button);
            EXPECT_EQ(c.file.Path(), Text(::GetDlgItem(dialog.Window(), c.edit))) << c.button;
            dialog.Click(IDCANCEL);
        });
        driver.Expect([&](ModalDialog& open) {
            const HWND types = ::GetDlgItem(open.Window(), cmb1);
            std::vector<std::string> filters;
            for (int item = 0; item < ::SendMessageA(types, CB_GETCOUNT, 0, 0); ++item) {
                char text[100] = {};
                ::SendMessageA(types, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
                filters.push_back(text);
            }
            EXPECT_EQ(c.filters, filters) << c.button;
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(open.Window(), chx1))) << "no read-only box";
            ::SetWindowTextA(::GetDlgItem(open.Window(), cmb13), c.file.Path().c_str());
            open.Click(IDOK);
        });
        PortCommandContext context = Context(com9);
        ConfigureZelkor(context);
    }
    EXPECT_EQ(BenchCom9(), Stored(agentEx.Get(), com9)) << "Cancel writes nothing";
}

// Each write fails in turn: the ones before it are made, it raises its failure to the command's
// runner, and none after it is made. Every write changes what it writes, so the stored
// settings tell which were made.
TEST_F(ZelkorTest, WritesInOrderAndStopsAtTheFirstFailure) {
    const ZelkorSettings changed = {"D:\\new.xml", false, "D:\\dumps", false, true, true, 2, false, {}};
    struct Case {
        const char* failing;
        void (*keep)(ZelkorSettings& stored, const ZelkorSettings& bench); // what the bench keeps
    };
    const Case cases[] = {
        {"SetZelkorXmlFile", [](ZelkorSettings& s, const ZelkorSettings& b) { s = b; }},
        {"SetZelkorDumpFolder",
         [](ZelkorSettings& s, const ZelkorSettings& b) {
             s = b;
             s.xmlFile = "D:\\new.xml";
             s.oneDownload = false;
         }},
        {"SetZelkorAutoReset",
         [](ZelkorSettings& s, const ZelkorSettings& b) {
             s.autoReset = b.autoReset, s.helloResponse = b.helloResponse,
             s.timestampFolders = b.timestampFolders;
             s.continueBoot = b.continueBoot, s.sectionFilter = b.sectionFilter, s.sections = b.sections;
         }},
        {"SetZelkorHelloResponse",
         [](ZelkorSettings& s, const ZelkorSettings& b) {
             s.helloResponse = b.helloResponse, s.timestampFolders = b.timestampFolders;
             s.continueBoot = b.continueBoot, s.sectionFilter = b.sectionFilter, s.sections = b.sections;
         }},
        {"SetZelkorTimestampFolders",
         [](ZelkorSettings& s, const ZelkorSettings& b) {
             s.timestampFolders = b.timestampFolders, s.continueBoot = b.continueBoot;
             s.sectionFilter = b.sectionFilter, s.sections = b.sections;
         }},
        {"SetZelkorContinueBoot",
         [](ZelkorSettings& s, const ZelkorSettings& b) {
             s.continueBoot = b.continueBoot, s.sectionFilter = b.sectionFilter, s.sections = b.sections;
         }},
        {"SetZelkorDumpSections",
         [](ZelkorSettings& s, const ZelkorSettings& b) {
             s.sectionFilter = b.sectionFilter, s.sections = b.sections;
         }},
    };
    for (const Case& c : cases) {
        Start(Bench());
        Fail(c.failing, E_ACCESSDENIED);
        try {
            Configure(com9, [&](ModalDialog& dialog) {
                const HWND window = dialog.Window();
                for (const int box : {IDC_ZELKOR_ONE_DOWNLOAD, IDC_ZELKOR_TIMESTAMP, IDC_ZELKOR_AUTO_RESET,
                                      IDC_ZELKOR_CONTINUE_BOOT, IDC_ZELKOR_SECTION_FILTER})
                    dialog.Click(box);
                ::SetDlgItemTextA(window, IDC_ZELKOR_XML_FILE, changed.xmlFile.c_str());
                ::SetDlgItemTextA(window, IDC_ZELKOR_DUMP_FOLDER, changed.dumpFolder.c_str());
                ::SendDlgItemMessageA(window, IDC_ZELKOR_HELLO, CB_SETCURSEL, 2, 0);
                dialog.Click(IDOK);
            });
            ADD_FAILURE() << c.failing << ": no failure raised";
        } catch (const _com_error& failure) {
            EXPECT_EQ(E_ACCESSDENIED, failure.Error()) << c.failing;
        }
        ZelkorSettings expected = changed;
        c.keep(expected, BenchCom9());
        Fail(c.failing, S_OK);
        EXPECT_EQ(expected, Stored(agentEx.Get(), com9)) << c.failing;
    }

    // No failure: everything written, the filter off as a list of no names.
    Start(Bench());
    Configure(com9, [&](ModalDialog& dialog) {
        dialog.Click(IDC_ZELKOR_SECTION_FILTER);
        dialog.Click(IDOK);
    });
    ZelkorSettings expected = BenchCom9();
    expected.sectionFilter = false;
    expected.sections.clear();
    EXPECT_EQ(expected, Stored(agentEx.Get(), com9));
}

TEST_F(ZelkorTest, CancelWritesNothing) {
    // A write made anyway would fail and raise.
    for (const char* write :
         {"SetZelkorXmlFile", "SetZelkorDumpFolder", "SetZelkorAutoReset", "SetZelkorHelloResponse",
          "SetZelkorTimestampFolders", "SetZelkorContinueBoot", "SetZelkorDumpSections"})
        Fail(write);
    Configure(com9, [](ModalDialog& dialog) {
        dialog.Click(IDC_ZELKOR_AUTO_RESET);
        EditRow(dialog.Window(), 0, "CHANGED", VK_RETURN);
        dialog.Click(IDCANCEL);
    });
}

TEST_F(ZelkorTest, AFailedReadLeavesItsPresetValue) {
    const ZelkorSettings preset;
    struct Case {
        const char* read;
        void (*preset)(ZelkorSettings& shown, const ZelkorSettings& preset);
    };
    const Case cases[] = {
        {"GetZelkorOneDownload",
         [](ZelkorSettings& s, const ZelkorSettings& p) { s.oneDownload = p.oneDownload; }},
        {"GetZelkorAutoReset", [](ZelkorSettings& s, const ZelkorSettings& p) { s.autoReset = p.autoReset; }},
        {"GetZelkorXmlFile", [](ZelkorSettings& s, const ZelkorSettings& p) { s.xmlFile = p.xmlFile; }},
        {"GetZelkorDumpFolder",
         [](ZelkorSettings& s, const ZelkorSettings& p) { s.dumpFolder = p.dumpFolder; }},
        {"GetZelkorHelloResponse",
         [](ZelkorSettings& s, const ZelkorSettings& p) { s.helloResponse = p.helloResponse; }},
        {"GetZelkorTimestampFolders",
         [](ZelkorSettings& s, const ZelkorSettings& p) { s.timestampFolders = p.timestampFolders; }},
        {"GetZelkorContinueBoot",
         [](ZelkorSettings& s, const ZelkorSettings& p) { s.continueBoot = p.continueBoot; }},
        {"GetZelkorDumpSections",
         [](ZelkorSettings& s, const ZelkorSettings& p) {
             s.sectionFilter = p.sectionFilter, s.sections = p.sections;
         }},
    };
    // COM9 keeps auto reset off, so that a failed read shows the preset on.
    for (const Case& c : cases) {
        Fail(c.read);
        ZelkorSettings expected = BenchCom9();
        c.preset(expected, preset);
        Configure(com9, [&](ModalDialog& dialog) {
            EXPECT_EQ(expected, Shown(dialog.Window())) << c.read;
            dialog.Click(IDCANCEL);
        });
        Fail(c.read, S_OK);
    }
}

TEST_F(ZelkorTest, SixteenOfTwentyNamesAreShownAndKeptAndErasingTheOnlyNameSendsNone) {
    Sim::SimState state = Bench();
    std::vector<std::string> twenty;
    for (int name = 1; name <= 20; ++name)
        twenty.push_back("S" + std::to_string(name));
    state.findPort(com9)->zelkor.sections = twenty;
    state.findPort(com1)->zelkor.sectionFilter = true;
    state.findPort(com1)->zelkor.sections = {"ONLY"};
    Start(std::move(state));

    const std::vector<std::string> sixteen(twenty.begin(), twenty.begin() + 16);
    Configure(com9, [&](ModalDialog& dialog) {
        EXPECT_EQ(RowsShowing(sixteen), SectionRows(dialog.Window()));
        dialog.Click(IDOK);
    });
    EXPECT_EQ(sixteen, Stored(agentEx.Get(), com9).sections);

    Configure(com1, [&](ModalDialog& dialog) {
        EditRow(dialog.Window(), 0, "", VK_RETURN);
        dialog.Click(IDOK);
    });
    long filter = -1, count = -1;
    Win32::UniqueSafeArray names;
    ASSERT_EQ(S_OK, agentEx->GetZelkorDumpSections(com1, 16, &filter, &count, names.put()));
    EXPECT_EQ(0, count);
}

TEST_F(ZelkorTest, AnAgentWithoutTheExtensionOpensTheDialogEmptyAndWritesNothing) {
    ComPtr<IOstrelConfigAgent> plain;
    ASSERT_EQ(S_OK, Fw::Object<FakeAgent>::Create(nullptr, IID_PPV_ARGS(&plain)));
    TestSupport::TraceCapture trace;
    TestSupport::ModalDriver driver;
    driver.Expect([](ModalDialog& dialog) {
        EXPECT_EQ(ZelkorSettings{}, Shown(dialog.Window()));
        EXPECT_EQ(RowsShowing({}), SectionRows(dialog.Window()));
        dialog.Click(IDOK);
    });
    PortCommandContext context = Context(com9);
    context.agent = plain;
    ConfigureZelkor(context);
    // The reset has nothing to ask: no message.
    SendZelkorReset(context);
    EXPECT_EQ(
        (std::vector<std::string>{"spConfig3 is NULL\n", "GUI display default zelkor hello rsp value: 0\n"}),
        trace.lines);
}

TEST_F(ZelkorTest, ResetTellsWhyItFailedInAPlainBoxOverTheControl) {
    Sim::SimState state = Bench();
    state.findPort(com9)->zelkor.resetAccepted = false;
    Start(std::move(state));
    struct Case {
        short port;
        bool accepting;
        const char* message; // none: no box
    };
    const Case cases[] = {
        {com1, false, "Reset failed \x96 not in Zelkor mode"},
        {com9, false, "Reset failed \x96 device in wrong state"},
        {com9, true, nullptr},
    };
    for (const Case& c : cases) {
        if (c.accepting)
            Start(Bench());
        TestSupport::ModalDriver driver;
        if (c.message)
            driver.Expect([&](ModalDialog& box) {
                EXPECT_EQ(c.message, box.Record().message);
                EXPECT_EQ("", box.Record().caption);
                EXPECT_EQ(std::vector<int>{IDOK}, box.Record().buttons);
                EXPECT_EQ(TestSupport::DialogIcon::None, box.Record().icon);
                EXPECT_EQ(owner.get(), ::GetWindow(box.Window(), GW_OWNER));
                box.Click(IDOK);
            });
        PortCommandContext context = Context(c.port);
        SendZelkorReset(context);
    }
}

// Progress events for the bench's ports, through a port list's sink bound as the port list
// binds it, onto rows filled from the simulator.
class ZelkorProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        long cookie = 0;
        ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &object));
        ASSERT_EQ(S_OK, object.As(&agent));
        list.reset(::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 300,
                                     nullptr, nullptr, nullptr, nullptr));
        helper = std::make_unique<CListViewHelper>(list.get());
        for (int column = 0; column < portColumnCount; ++column)
            helper->AddColumn(column, portListColumns[column].headerId, portListColumns[column].widthId,
                              true);
        rows.SetList(helper.get());
        rows.SetAgent(agent.Get());
        rows.FillList();
        ASSERT_EQ(S_OK, Fw::Object<ServerEventSink>::Create(nullptr, IID_PPV_ARGS(&sinkObject)));
        sink = static_cast<ServerEventSink*>(sinkObject.Get());
        sink->Bind(ViewKind::PortList, list.get(),
                   [this](const ServerEventRoute& route, short port, short value) {
                       rows.ShowTransferProgress(static_cast<long>(route.lParam), port, value);
                   });
    }
    void TearDown() override {
        sink->Unbind();
        rows.RemoveAllRows();
        rows.SetList(nullptr);
        helper.reset();
    }

    std::string Phone(short port) const {
        return helper->List().GetItemText(helper->FindRow(port), portColumnPhone);
    }
    LRESULT BarPosition(short port) const {
        return ::SendMessageA(rows.Progress().at(port)->Window(), PBM_GETPOS, 0, 0);
    }

    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelConfigAgent> agent;
    Win32::UniqueWindow list;
    std::unique_ptr<CListViewHelper> helper;
    CPortRows rows;
    ComPtr<IOstrelServerEvents> sinkObject;
    ServerEventSink* sink = nullptr;
};

TEST_F(ZelkorProgressTest, EachEventSetsThePhoneTextAndTheBarAtOnce) {
    struct Case {
        long code;
        short value;
        const char* phone;
        LRESULT position;
    };
    const Case cases[] = {
        {16, 0, "Zelkor Download...", 500},        {17, 0, "Zelkor Download...", 750},
        {18, 0, "Zelkor Download...", 1000},       {19, 0, "Zelkor Memory Dump...", 500},
        {20, 16383, "Zelkor Memory Dump...", 749}, {20, 32767, "Zelkor Memory Dump...", 1000},
        {20, 1, "Zelkor Memory Dump...", 500},     {20, -16383, "Zelkor Memory Dump...", 251},
        {21, 7, "Zelkor Memory Dump...", 1000},    {22, 7, "Zelkor Memory Dump...", 1000},
    };
    for (const Case& c : cases) {
        ::SendMessageA(rows.Progress().at(com9)->Window(), PBM_SETPOS, 2, 0);
        helper->List().SetItemText(helper->FindRow(com9), portColumnPhone, "before");
        EXPECT_EQ(S_OK, sink->OnServerEvent(c.code, com9, c.value));
        EXPECT_EQ(c.phone, Phone(com9)) << c.code << "/" << c.value;
        EXPECT_EQ(c.position, BarPosition(com9)) << c.code << "/" << c.value;
    }
    EXPECT_EQ("P/PHN-XXX (Zelkor Download)", rows.Items().Find(com9).item->phoneText)
        << "the item keeps its text";

    // Outside the range nothing changes; a row without a bar still shows the stage, and a port
    // without a row is no fault.
    for (const long code : {15L, 23L})
        sink->OnServerEvent(code, com9, 0);
    EXPECT_EQ("Zelkor Memory Dump...", Phone(com9));
    EXPECT_EQ(1000, BarPosition(com9));
    sink->OnServerEvent(17, com1, 0);
    EXPECT_EQ("Zelkor Download...", Phone(com1));
    EXPECT_EQ(S_OK, sink->OnServerEvent(17, 99, 0));
    MSG posted;
    EXPECT_FALSE(::PeekMessageA(&posted, list.get(), WM_SERVER_DETACH, WM_SERVER_REFRESH_ITEM, PM_NOREMOVE))
        << "handled in the call, nothing posted";
}

} // namespace
