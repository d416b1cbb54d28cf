// The boot-protocol (Zelkor) commands through their real dialog and message boxes, driven as a
// user would, against the in-process simulator's bench scenario; and transfer progress events
// reaching an embedded port list's rows inside the server's call.
#include "devicesim/ScenarioDocument.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/TypeLibrary.h"
#include "ports/PortList.h"
#include "ports/ZelkorCommands.h"
#include "ports/ZelkorConfigDlg.h"
#include "tests/server/FakeServer.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using TestSupport::ModalDialog;
using Texts = std::vector<std::string>;

namespace {

constexpr short com1 = 1, com9 = 4; // an ordinary phone's port, and the bench's Zelkor port
const std::string hyphens(20, '-');
const std::string benchPath = std::string(OSTREL_SCENARIO_DIR) + "/bench.json";

// COM9 of the bench, its continue-boot flag on so that every setting differs from the preset.
const ZelkorSettings bench = {
    "C:\\Images\\bench\\rawprogram.xml", true, "C:\\Dumps", true, false, true, 1, true,
    {"BOOT", "MODEM", "RAMDUMP_A"}};
const Texts reads = {"GetZelkorOneDownload(4)",  "GetZelkorAutoReset(4)",     "GetZelkorXmlFile(4)",
                     "GetZelkorDumpFolder(4)",   "GetZelkorHelloResponse(4)", "GetZelkorTimestampFolders(4)",
                     "GetZelkorContinueBoot(4)", "GetZelkorDumpSections(4)"};
const Texts writes = {"SetZelkorXmlFile(4)",       "SetZelkorDumpFolder(4)",       "SetZelkorAutoReset(4)",
                      "SetZelkorHelloResponse(4)", "SetZelkorTimestampFolders(4)", "SetZelkorContinueBoot(4)",
                      "SetZelkorDumpSections(4)"};

// Each setting as text, so that a difference names its field: the paths, hello mode and
// sections, then the flags (one download, timestamps, auto reset, continue boot, filter).
Texts Fields(const ZelkorSettings& s) {
    Texts fields = {s.xmlFile, s.dumpFolder, std::to_string(s.helloResponse), ""};
    for (const std::string& name : s.sections)
        fields[3] += name + ";";
    for (const bool flag : {s.oneDownload, s.timestampFolders, s.autoReset, s.continueBoot, s.sectionFilter})
        fields.push_back(flag ? "on" : "off");
    return fields;
}

Fw::ListView SectionList(HWND dialog) {
    return Fw::ListView(::GetDlgItem(dialog, IDC_ZELKOR_SECTIONS));
}

// The rows as shown, one that holds no name in brackets; and the sixteen rows that show `names`.
Texts SectionRows(HWND dialog) {
    Texts rows;
    for (int row = 0; row < SectionList(dialog).GetItemCount(); ++row) {
        const std::string text = SectionList(dialog).GetItemText(row, 0);
        rows.push_back(SectionList(dialog).GetItemData(row) == 1 ? text : "(" + text + ")");
    }
    return rows;
}
Texts RowsShowing(Texts names) {
    names.resize(16, "(" + hyphens + ")");
    return names;
}

// The dialog's settings as Fields.
Texts Shown(const ModalDialog& dialog) {
    const auto box = [&](int id) { return dialog.CheckState(id) == BST_CHECKED; };
    const auto hello = ::SendDlgItemMessageA(dialog.Window(), IDC_ZELKOR_HELLO, CB_GETCURSEL, 0, 0);
    ZelkorSettings s = {
        dialog.Text(IDC_ZELKOR_XML_FILE), box(IDC_ZELKOR_ONE_DOWNLOAD),   dialog.Text(IDC_ZELKOR_DUMP_FOLDER),
        box(IDC_ZELKOR_TIMESTAMP),        box(IDC_ZELKOR_AUTO_RESET),     box(IDC_ZELKOR_CONTINUE_BOOT),
        static_cast<long>(hello),         box(IDC_ZELKOR_SECTION_FILTER), {}};
    for (const std::string& row : SectionRows(dialog.Window()))
        if (!row.starts_with('('))
            s.sections.push_back(row);
    return Fields(s);
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
        // The active window, which the dialog is run over: a dialog without an owner would hand
        // the activation to whatever window the desktop holds when it closes.
        owner.reset(::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr));
        ::SetActiveWindow(owner.get());
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
        Calls();
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
    void Fail(const std::string& call, HRESULT status = E_ACCESSDENIED) {
        ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(call.substr(0, call.find('(')).c_str()), status));
    }
    // The server's boot-protocol calls since the last look, in order.
    Texts Calls() {
        _bstr_t taken;
        EXPECT_EQ(S_OK, sim->TakeCalls(taken.GetAddress()));
        Texts calls;
        std::istringstream lines(taken.length() ? static_cast<const char*>(taken) : "");
        for (std::string line; std::getline(lines, line);)
            if (line.find("Zelkor") != std::string::npos)
                calls.push_back(line);
        return calls;
    }
    // The port's settings as the server keeps them, in the order of Fields.
    Texts Stored(short port) {
        _bstr_t json;
        EXPECT_EQ(S_OK, sim->GetPortSettings(port, json.GetAddress()));
        const Sim::ScenarioDocument document =
            Sim::ScenarioDocument::Parse(static_cast<const char*>(json), "port");
        const Sim::ScenarioNode& z = document.root().field("zelkor");
        Texts fields = {z.field("xmlFile").asString(), z.field("dumpFolder").asString(),
                        std::to_string(z.field("helloResponse").asInteger<long>()), ""};
        for (const Sim::ScenarioNode& name : z.field("sections").items())
            fields[3] += name.asString() + ";";
        for (const char* flag :
             {"oneDownload", "timestampFolders", "autoReset", "continueBoot", "sectionFilter"})
            fields.push_back(z.field(flag).asBool() ? "on" : "off");
        return fields;
    }

    Win32::UniqueWindow owner;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelConfigAgentEx> agent;
    Texts serverTraces;
};

TEST_F(ZelkorTest, DialogShowsThePortsSettingsAndOkWritesWhatTheUserChanged) {
    TestSupport::TraceCapture trace;
    Configure(com9, [&](ModalDialog& dialog) {
        const HWND window = dialog.Window();
        EXPECT_EQ("Zelkor Configuration", dialog.Record().caption);
        EXPECT_EQ(owner.get(), dialog.Record().owner);
        EXPECT_EQ(
            (Texts{"Zelkor XML file", "(Image files will be relative to the path of this file)",
                   "Save memory dump at folder ", "(Dump files will be relative to the path of this file)",
                   "Upon receiving Zelkor Hello:",
                   "Double click a row to add/edit/erase a section name. Press <enter> or <tab> to enter "
                   "data."}),
            dialog.Record().labels);
        Texts boxes;
        for (const int id : dialog.Record().buttons)
            boxes.push_back(dialog.Text(id));
        EXPECT_EQ(
            (Texts{"...", "Use this file for only one download", "...",
                   "Save each memory dump in a unique timestamped folder",
                   "Auto reset after collecting memory dump", "Continue to boot after collecting memory dump",
                   "Create memory dump files for only these section names:", "OK", "Cancel"}),
            boxes);
        EXPECT_EQ(Fields(bench), Shown(dialog));
        EXPECT_EQ(RowsShowing(bench.sections), SectionRows(window));
        EXPECT_EQ((Texts{"Perform requested action", "If a download request, perform RAM dump instead",
                         "If a RAM dump request, perform a download instead",
                         "Do nothing until one of the other response modes is selected"}),
                  dialog.Items(IDC_ZELKOR_HELLO));
        for (const bool on : {false, true}) {
            dialog.Click(IDC_ZELKOR_SECTION_FILTER);
            EXPECT_EQ(on, dialog.Enabled(IDC_ZELKOR_SECTIONS));
            EXPECT_EQ(on, dialog.Enabled(IDC_ZELKOR_SECTIONS_HELP));
        }
        dialog.Click(IDC_ZELKOR_ONE_DOWNLOAD);
        dialog.Click(IDC_ZELKOR_AUTO_RESET);
        dialog.Type(IDC_ZELKOR_XML_FILE, "D:\\other.xml");
        dialog.Select(IDC_ZELKOR_HELLO, "Do nothing until one of the other response modes is selected");
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
    EXPECT_EQ(Texts{"GUI display default zelkor hello rsp value: 1\n"}, trace.lines);
    EXPECT_EQ(Texts{" ZelkorConfiguration: CoCreateInstance failed \n"}, serverTraces);
    ZelkorSettings expected = bench;
    expected.xmlFile = "D:\\other.xml", expected.oneDownload = false, expected.autoReset = true;
    expected.helloResponse = 3, expected.sections = {"BOOT", "MODEM_B", "EFS", std::string(20, 'x')};
    EXPECT_EQ(Fields(expected), Stored(com9));
}

TEST_F(ZelkorTest, BrowseFillsItsEditAndCancelWritesNothing) {
    const TestSupport::ScratchFile xml("zelkor.xml", "<images/>"), dump("zelkor.dmp", "");
    const std::tuple<int, int, const TestSupport::ScratchFile&, const char*> cases[] = {
        {IDC_ZELKOR_XML_BROWSE, IDC_ZELKOR_XML_FILE, xml, "XML Files (*.xml)"},
        {IDC_ZELKOR_DUMP_BROWSE, IDC_ZELKOR_DUMP_FOLDER, dump, "DMP Files (*.dmp)"},
    };
    for (const auto& [button, edit, file, filter] : cases) {
        TestSupport::ModalDriver driver;
        driver.Expect([&](ModalDialog& dialog) {
            dialog.Click(button);
            EXPECT_EQ(file.Path(), dialog.Text(edit));
            EditRow(dialog.Window(), 0, "CHANGED", VK_RETURN);
            dialog.Click(IDCANCEL);
        });
        driver.Expect([&](ModalDialog& open) {
            EXPECT_EQ((Texts{filter, "All Files (*.*)"}), open.Items(cmb1));
            EXPECT_FALSE(open.Visible(chx1)) << "no read-only box";
            open.Type(cmb13, file.Path());
            open.Click(IDOK);
        });
        PortCommandContext context = Context(com9);
        ConfigureZelkor(context);
        EXPECT_EQ(reads, Calls()) << "Cancel writes nothing";
    }
}

// Reads and writes in their order. A failing read is passed over, its setting left at the
// dialog's preset; a failing write raises its failure to the command's runner, and nothing is
// written after it.
TEST_F(ZelkorTest, CallsTheServerInOrderAndStopsAtTheFirstFailingWrite) {
    const size_t readOf[] = {2, 3, 4, 7, 0, 5, 1, 6, 7}; // each field's read, in Fields order
    for (size_t failing = 0; failing < reads.size(); ++failing) {
        const std::string write = failing < writes.size() ? writes[failing] : "none";
        Start([](Sim::SimState&) {});
        Fail(reads[failing]);
        Fail(write);
        Texts shown = Fields(bench);
        for (size_t field = 0; field < shown.size(); ++field)
            if (readOf[field] == failing)
                shown[field] = Fields(ZelkorSettings{})[field];
        try {
            Configure(com9, [&](ModalDialog& dialog) {
                EXPECT_EQ(shown, Shown(dialog)) << reads[failing];
                dialog.Click(IDOK);
            });
            EXPECT_EQ(writes.size(), failing) << write << " raised nothing";
        } catch (const _com_error& failure) {
            EXPECT_EQ(E_ACCESSDENIED, failure.Error()) << write;
        }
        Texts expected = reads;
        expected.insert(expected.end(), writes.begin(),
                        writes.begin() + std::min(failing + 1, writes.size()));
        EXPECT_EQ(expected, Calls()) << write;
    }
}

TEST_F(ZelkorTest, SixteenOfTwentyNamesAreShownAndKeptAndErasingTheOnlyNameSendsNone) {
    Texts names;
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
    ZelkorSettings named;
    named.sections = names;
    EXPECT_EQ(Fields(named)[3], Stored(com9)[3]);
    Configure(com1, [&](ModalDialog& dialog) {
        EditRow(dialog.Window(), 0, "", VK_RETURN);
        dialog.Click(IDOK);
    });
    EXPECT_EQ((Texts{"", "off"}), (Texts{Stored(com1)[3], Stored(com1)[8]}))
        << "a count of 0 turns the server's filter off";
}

TEST_F(ZelkorTest, WithoutTheExtensionTheDialogOpensEmptyAndTheResetSaysNothing) {
    TestSupport::TraceCapture trace;
    TestSupport::ModalDriver driver;
    driver.Expect([](ModalDialog& dialog) {
        EXPECT_EQ(Fields(ZelkorSettings{}), Shown(dialog));
        EXPECT_EQ(RowsShowing({}), SectionRows(dialog.Window()));
        dialog.Click(IDOK);
    });
    PortCommandContext context = Context(com9);
    context.agent.Reset();
    ASSERT_EQ(S_OK, Fw::Object<FakeAgent>::Create(nullptr, IID_PPV_ARGS(&context.agent)));
    ConfigureZelkor(context);
    SendZelkorReset(context);
    EXPECT_EQ((Texts{"spConfig3 is NULL\n", "GUI display default zelkor hello rsp value: 0\n"}), trace.lines);
}

TEST_F(ZelkorTest, ResetTellsWhyItFailedInAPlainBoxOverTheControl) {
    // COM1's phone is not in Zelkor mode; COM9's device refuses, until a fresh bench accepts.
    Start([](Sim::SimState& state) { state.findPort(com9)->zelkor.resetAccepted = false; });
    for (const auto& [port, message] : {std::pair{com1, "Reset failed \x96 not in Zelkor mode"},
                                        {com9, "Reset failed \x96 device in wrong state"}}) {
        TestSupport::ModalDriver driver;
        driver.Expect([&](ModalDialog& box) {
            const TestSupport::DialogRecord& shown = box.Record();
            EXPECT_EQ((Texts{message, ""}), (Texts{shown.message, shown.caption}));
            EXPECT_EQ(std::vector<int>{IDOK}, shown.buttons);
            EXPECT_EQ(TestSupport::DialogIcon::None, shown.icon);
            EXPECT_EQ(owner.get(), shown.owner);
            box.Click(IDOK);
        });
        PortCommandContext context = Context(port);
        SendZelkorReset(context);
    }
    Start([](Sim::SimState&) {});
    const TestSupport::ModalDriver noBox; // fails the test for a box no script expected
    PortCommandContext context = Context(com9);
    SendZelkorReset(context);
}

// Progress events from the server to an embedded port list: COM9 (row 3) has the bench's bar.
TEST(ZelkorProgress, EachEventSetsThePhoneTextAndTheBarInsideTheCall) {
    TestSupport::TestContainer container;
    const ComPtr<IOstrelServer> server = Sim::CreateSimServer(Sim::LoadScenario(benchPath));
    ComPtr<IOstrelSimControl> sim;
    ASSERT_EQ(S_OK, server.As(&sim));
    ComPtr<IOstrelPortList> control;
    ASSERT_EQ(S_OK, Fw::Object<PortList>::Create(nullptr, IID_PPV_ARGS(&control)));
    Fw::EmbedOptions options;
    options.rect = {0, 0, 520, 260};
    TestSupport::ControlSite& site = container.Embed(control.Get(), options);
    ASSERT_EQ(S_OK, site.Activate());
    ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
    const Fw::ListView list(::GetDlgItem(site.Window(), PortList::listId));
    const HWND bar = ::FindWindowExA(list.Handle(), nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_TRUE(bar);

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
        list.SetItemText(3, portColumnPhone, "unchanged");
        ASSERT_EQ(S_OK, sim->FireEvent(code, com9, value));
        EXPECT_EQ(text, list.GetItemText(3, portColumnPhone)) << code << "/" << value;
        EXPECT_EQ(position, ::SendMessageA(bar, PBM_GETPOS, 0, 0)) << code << "/" << value;
    }
    // A row without a bar still shows the stage; a port without a row is no fault.
    ASSERT_EQ(S_OK, sim->FireEvent(17, com1, 0));
    EXPECT_EQ("Zelkor Download...", list.GetItemText(0, portColumnPhone));
    EXPECT_EQ(S_OK, sim->FireEvent(17, 99, 0));
    // The item kept its own text: a rebuild of the row shows the phone again.
    ASSERT_EQ(S_OK, control->RefreshDisplay());
    EXPECT_EQ("P/PHN-XXX (Zelkor Download)", list.GetItemText(3, portColumnPhone));
    control->Shutdown();
    control.Reset();
    Fw::TypeLibrary::Release();
}

} // namespace
