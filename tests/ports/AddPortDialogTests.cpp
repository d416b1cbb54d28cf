// "Add New Port" and the add command, driven as a user would against the in-process simulator: the
// local ports offered by a copy of the device library or a scratch registry, the two pages, the
// values left for the suite's other tools, and what reaches the server.
#include "devicesim/ScenarioDocument.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "ports/AddPortCommand.h"
#include "ports/AddPortDialog.h"
#include "ports/DevMgmtProxy.h"
#include "resources/resource.h"
#include "tests/connection/ScratchKey.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RegistryReader.h"
#include "tests/support/SimCalls.h"

#include <comdef.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using TestSupport::DialogIcon;
using TestSupport::ModalDialog;
using TestSupport::ModalDriver;
using Texts = std::vector<std::string>;

namespace {

const char enteredKey[] = "Software\\Kelmar\\NORVIK Configuration";
const char settingsKey[] = "Software\\Kelmar\\NORVIK Settings\\Server";

// What the machine has, beside the bench's own COM1 and COM12; descriptions as the simulator's
// classifier knows them.
const char libraryPorts[] = "com\tCOM1\tserial\tCommunications Port\t\n"
                            "com\tCOM10\tusb\tBench Diagnostics Interface\tBench Devices\n"
                            "com\tCOM2\tserial\t\t\n"
                            "com\tCOM13\tusb\tBench Remote File System\t\n"
                            "com\tCOM11\tusb\tBench NMEA Device\t\n"
                            "com\tCOM14\tusb\tGeneric USB Serial\t\n"
                            "com\tCOM16\tusb\tBluetooth Link\t\n"
                            "com\tCOM17\tserial\tCommunications Port\t\n"
                            "com\tCOM12\tserial\t\t\n"
                            "com\tCOM3\tserial\tCommunications Port\tMotherboard\n"
                            "modem\tCOM5\tusb\tBench USB Modem\tBench Devices\n";
const std::string com2 = "COM2 - Serial", com3 = "COM3 - Serial (Communications Port, Motherboard)",
                  com5 = "COM5 - USB/KM Data Modem (Bench USB Modem, Bench Devices)",
                  com10 = "COM10 - USB/KM Diagnostic (Bench Diagnostics Interface, Bench Devices)",
                  com11 = "COM11 - USB/KM NMEA (Bench NMEA Device)",
                  com13 = "COM13 - USB/KM Remote EFS (Bench Remote File System)",
                  com14 = "COM14 - USB/Unknown (Generic USB Serial)";
const Texts allRows = {com2, com3, com5, com10, com11, com13, com14};
const Texts diagRows = {com2, com3, com10, com13};

// Keeps a copy of the keys the dialog and the settings library write, and puts them back as they were
// (or deletes them, when there were none) when the test ends.
class RegistryGuard {
public:
    RegistryGuard() {
        for (int key = 0; key < 2; ++key) {
            if ((m_existed[key] = TestSupport::keyExists(HKEY_CURRENT_USER, keys[key])))
                Copy(keys[key], m_copies[key].Path().c_str());
            ::RegDeleteTreeA(HKEY_CURRENT_USER, keys[key]);
        }
    }
    ~RegistryGuard() {
        for (int key = 0; key < 2; ++key) {
            ::RegDeleteTreeA(HKEY_CURRENT_USER, keys[key]);
            if (m_existed[key])
                Copy(m_copies[key].Path().c_str(), keys[key]);
        }
    }

private:
    static void Copy(const char* from, const char* to) {
        Win32::UniqueKey source, target;
        ::RegOpenKeyExA(HKEY_CURRENT_USER, from, 0, KEY_READ, source.put());
        ::RegCreateKeyExA(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.put(),
                          nullptr);
        ::RegCopyTreeA(source.get(), nullptr, target.get());
    }
    static constexpr const char* keys[2] = {enteredKey, settingsKey};
    bool m_existed[2] = {};
    const TestSupport::ScratchKey m_copies[2] = {TestSupport::ScratchKey({}), TestSupport::ScratchKey({})};
};

// "name=data" per value of the key, sorted.
Texts Values(const char* key) {
    Texts values;
    for (const std::string& line : TestSupport::snapshot(HKEY_CURRENT_USER, key))
        if (line.size() > strlen(key))
            values.push_back(line.substr(strlen(key) + 1));
    return values;
}

void StoreFlag(bool diagOnly) {
    const DWORD value = diagOnly;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey, "DiagPortsOnly", REG_DWORD, &value, sizeof value);
}

Texts Rows(const ModalDialog& dialog) {
    const HWND list = dialog.Control(IDC_ADD_PORT_LIST);
    Texts rows;
    for (LRESULT row = 0, count = ::SendMessageA(list, LB_GETCOUNT, 0, 0); row < count; ++row) {
        std::string text(static_cast<size_t>(::SendMessageA(list, LB_GETTEXTLEN, row, 0)) + 1, '\0');
        text.resize(static_cast<size_t>(::SendMessageA(list, LB_GETTEXT, row, LPARAM(text.data()))));
        rows.push_back(text);
    }
    return rows;
}

// The page titles, then the texts of the group box, the two captions and the two edits.
Texts Fields(const ModalDialog& dialog) {
    Texts texts;
    for (int page = 0; page < 2; ++page) {
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(dialog.Control(IDC_ADD_PORT_TABS), TCM_GETITEMA, page, LPARAM(&item));
        texts.push_back(text);
    }
    for (const int id : {IDC_ADD_PORT_GROUP, IDC_ADD_PORT_NAME_CAPTION, IDC_ADD_PORT_LABEL_CAPTION,
                         IDC_ADD_PORT_NAME, IDC_ADD_PORT_LABEL})
        texts.push_back(dialog.Text(id));
    return texts;
}

// A left click in the middle of a tab or list box row, as the mouse gives it.
void ClickItem(HWND control, UINT rectMessage, LRESULT index) {
    RECT rect = {};
    ::SendMessageA(control, rectMessage, index, LPARAM(&rect));
    ASSERT_FALSE(::IsRectEmpty(&rect)) << "no item " << index;
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(control, WM_LBUTTONUP, 0, at);
}

void ClickPage(const ModalDialog& dialog, int page) {
    ClickItem(dialog.Control(IDC_ADD_PORT_TABS), TCM_GETITEMRECT, page);
}

// Clicks the row of that port ("COM13" picks "COM13 - ...").
void ClickRow(const ModalDialog& dialog, const std::string& port) {
    const HWND list = dialog.Control(IDC_ADD_PORT_LIST);
    ClickItem(list, LB_GETITEMRECT,
              ::SendMessageA(list, LB_FINDSTRING, WPARAM(-1), LPARAM((port + " - ").c_str())));
}

std::string SystemText(DWORD code) {
    char text[512] = "";
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                     sizeof text, nullptr);
    std::string result = text;
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

// An agent of an older server: it answers IOstrelConfigAgent and nothing newer.
class PlainAgent : public IUnknown {
public:
    explicit PlainAgent(IOstrelConfigAgent* agent)
        : m_agent(agent) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == __uuidof(IOstrelConfigAgent))
            return m_agent->QueryInterface(iid, object);
        *object = iid == __uuidof(IUnknown) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

private:
    IOstrelConfigAgent* m_agent;
};

class AddPortDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartServer();
        ::CreateDirectoryW(library.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW((HostProgramFolder() + L"NorvikDevMgmt.dll").c_str(),
                                (library + L"NorvikDevMgmt.dll").c_str(), FALSE));
        std::ofstream((library + L"NorvikDevMgmt.ports").c_str(), std::ios::binary) << libraryPorts;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegOpenKeyExA(HKEY_CURRENT_USER, scratch.Path().c_str(), 0, KEY_READ, machine.put()));
    }
    // A bench server of its own, with an agent, and no calls taken yet.
    void StartServer() {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        long cookie = 0;
        ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t("Kelmar.OstrelConfigAgent.1"), -1, &cookie, &object));
        ASSERT_EQ(S_OK, object.As(&agent));
        Calls();
    }
    void TearDown() override {
        ::DeleteFileW((library + L"NorvikDevMgmt.dll").c_str());
        ::DeleteFileW((library + L"NorvikDevMgmt.ports").c_str());
        ::RemoveDirectoryW(library.c_str());
    }

    LocalPortSources Library() const { return {library, machine.get()}; }

    // Runs the dialog over the bench's ports, `script` playing the user; the dialog is gone on return.
    // Answers "result page port|label".
    std::string Run(ModalDriver::Script script, const LocalPortSources& sources) {
        ModalDriver driver;
        driver.Expect(std::move(script));
        AddPortDialog dialog(server.Get(), sources);
        dialog.KnownPorts().Load(agent.Get());
        const INT_PTR result = dialog.Run(nullptr);
        return Lang::Format("%d %d %s|%s", int(result), dialog.TabIndex(),
                            Lang::FromWide(dialog.PortText()).c_str(),
                            Lang::FromWide(dialog.LabelText()).c_str());
    }
    // The calls that add ports since the last look, separated by spaces.
    std::string Calls() {
        return TestSupport::TakeCalls(sim.Get(), {"AddPort", "AddRemoteEfsPort", "StartOutgoingConnection"});
    }
    // "label @rate" for the server's port of that name (each rate it was tried at), "none" without one.
    std::string Port(const char* name) {
        ComPtr<IOstrelPortManager> manager;
        ComPtr<IOstrelPortLookup> lookup;
        short id = 0;
        if (FAILED(server->GetPortManager(&manager)) || FAILED(manager->GetPortLookup(&lookup)) ||
            FAILED(lookup->GetPortIdByName(_bstr_t(name), &id)))
            return "none";
        _bstr_t json;
        EXPECT_EQ(S_OK, sim->GetPortSettings(id, json.GetAddress()));
        const auto settings = Sim::ScenarioDocument::Parse(static_cast<const char*>(json), "port");
        std::string text = settings.root().field("label").asString();
        for (const Sim::ScenarioNode& rate : settings.root().field("baudRates").items())
            if (rate.field("tried").asBool())
                text += " @" + std::to_string(rate.field("rate").asInteger<long>());
        return text;
    }
    void Fail(const char* operation, HRESULT status = E_FAIL) {
        ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(operation), status));
    }

    RegistryGuard guard;
    const TestSupport::ScratchKey scratch{{}};
    const std::wstring library = [] {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"OstrelAddPort-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    }();
    Win32::UniqueKey machine;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelConfigAgent> agent;
};

const Texts pages = {"Serial/USB Ports", "Outgoing IP Connections"};

TEST_F(AddPortDialogTest, OpensOnThePortsPageWithTheStoredFlagAndItsRows) {
    for (const bool stored : {false, true}) {
        StoreFlag(stored);
        Run(
            [&](ModalDialog& dialog) {
                EXPECT_EQ("Add New Port", dialog.Record().caption);
                EXPECT_EQ(0, ::SendMessageA(dialog.Control(IDC_ADD_PORT_TABS), TCM_GETCURSEL, 0, 0));
                EXPECT_EQ(stored ? BST_CHECKED : BST_UNCHECKED, dialog.CheckState(IDC_ADD_PORT_DIAG_ONLY));
                EXPECT_EQ(stored ? diagRows : allRows, Rows(dialog)) << "stored " << stored;
                Texts fields = pages;
                fields.insert(fields.end(), {"Please enter port to be monitored by the NORVIK Server",
                                             "Port:", "Port Label:", "", ""});
                EXPECT_EQ(fields, Fields(dialog));
                EXPECT_EQ("Note: The baud rate for the port will be set to 38400 bps",
                          dialog.Text(IDC_ADD_PORT_NOTE));
                dialog.Click(IDCANCEL);
            },
            Library());
    }
}

TEST_F(AddPortDialogTest, LibraryRowsFollowTheClassifierAndTheBoxAndFillTheFields) {
    const std::pair<const char*, Texts> failures[] = {
        {"IsDiagnosticDevice", {com2, com3, com5}},
        {"IsExcludedDevice",
         {com2, com3, com5, com10, com11, com13, com14, "COM16 - USB/Unknown (Bluetooth Link)",
          "COM17 - Serial (Communications Port)"}},
    };
    for (const auto& [failing, expected] : failures) {
        Fail(failing);
        Run(
            [&](ModalDialog& dialog) {
                EXPECT_EQ(expected, Rows(dialog)) << failing << " failing";
                dialog.Click(IDCANCEL);
            },
            Library());
        Fail(failing, S_OK);
    }
    Run(
        [](ModalDialog& dialog) {
            dialog.Click(IDC_ADD_PORT_DIAG_ONLY);
            EXPECT_EQ(diagRows, Rows(dialog)) << "box ticked";
            dialog.Click(IDC_ADD_PORT_DIAG_ONLY);
            EXPECT_EQ(allRows, Rows(dialog)) << "box cleared";
            for (const auto& [port, label] :
                 {std::pair{"COM13", "Remote EFS"}, {"COM10", "COM10"}, {"COM5", "COM5"}}) {
                ClickRow(dialog, port);
                EXPECT_EQ(std::string(port) + "|" + label,
                          dialog.Text(IDC_ADD_PORT_NAME) + "|" + dialog.Text(IDC_ADD_PORT_LABEL));
            }
            dialog.Click(IDCANCEL);
        },
        Library());
}

TEST_F(AddPortDialogTest, WithoutAWholeLibraryTheSerialMapGivesTheRowsInByteOrder) {
    const std::string map = scratch.Path() + "\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
    for (const char* port : {"COM3", "COM12", "COM100", "COM21"})
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, map.c_str(), port, REG_SZ, port,
                                                   static_cast<DWORD>(strlen(port) + 1)));
    // An older suite's library lacks an entry point; it is let go as if it were not there.
    const std::wstring older = library + L"older\\";
    ::CreateDirectoryW(older.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((HostProgramFolder() + L"NorvikDevMgmtWithoutComBool.dll").c_str(),
                            (older + L"NorvikDevMgmt.dll").c_str(), FALSE));
    for (const std::wstring& folder : {library + L"none\\", older})
        Run(
            [](ModalDialog& dialog) {
                EXPECT_EQ((Texts{"COM100 - Serial", "COM21 - Serial", "COM3 - Serial"}), Rows(dialog));
                ClickRow(dialog, "COM21");
                EXPECT_EQ("COM21", dialog.Text(IDC_ADD_PORT_LABEL));
                dialog.Click(IDCANCEL);
            },
            {folder, machine.get()});
    ::DeleteFileW((older + L"NorvikDevMgmt.dll").c_str());
    ::RemoveDirectoryW(older.c_str());
}

TEST_F(AddPortDialogTest, TheOutgoingPageKeepsTheTypedTextsAndThePortsPageEmptiesThem) {
    Run(
        [](ModalDialog& dialog) {
            dialog.Type(IDC_ADD_PORT_NAME, "lab-rig");
            dialog.Type(IDC_ADD_PORT_LABEL, "2500");
            ClickPage(dialog, AddPortDialog::outgoingPage);
            Texts fields = pages;
            fields.insert(fields.end(), {"Please specify IP address and port to connect",
                                         "Machine Name or IP Address:", "IP Port:", "lab-rig", "2500"});
            EXPECT_EQ(fields, Fields(dialog));
            EXPECT_TRUE(dialog.Visible(IDC_ADD_PORT_LIST) && !dialog.Enabled(IDC_ADD_PORT_LIST));
            EXPECT_FALSE(dialog.Visible(IDC_ADD_PORT_NOTE) || dialog.Visible(IDC_ADD_PORT_DIAG_ONLY));
            ClickPage(dialog, AddPortDialog::portsPage);
            fields = pages;
            fields.insert(fields.end(), {"Please enter the port to be monitored by the NORVIK server",
                                         "Port: ", "Port Label: ", "", ""});
            EXPECT_EQ(fields, Fields(dialog));
            EXPECT_TRUE(dialog.Enabled(IDC_ADD_PORT_LIST) && dialog.Visible(IDC_ADD_PORT_NOTE) &&
                        dialog.Visible(IDC_ADD_PORT_DIAG_ONLY));
            dialog.Click(IDCANCEL);
        },
        Library());
}

TEST_F(AddPortDialogTest, OkStoresTheEnteredValuesAndEveryEndStoresTheFlag) {
    // clang-format off
    const struct {
        int page;
        const char* port;
        const char* label;
        int button;
        const char* outcome; // result, page, port|label
        Texts entered;
    } cases[] = {
        {0, "com6", "Bench six", IDOK, "1 0 COM6|Bench six",
         {"OutgoingIp=com6", "OutgoingPort=Bench six", "PortsTab=(dword)0"}},
        {1, "lab-host", "017", IDOK, "1 1 LAB-HOST|017",
         {"OutgoingIp=lab-host", "OutgoingPort=017", "PortsTab=(dword)1"}},
        {0, "com6", "", IDOK, "1 0 |", {"OutgoingIp=com6", "OutgoingPort=", "PortsTab=(dword)0"}},
        {1, "", "8080", IDOK, "1 1 |", {"OutgoingIp=", "OutgoingPort=8080", "PortsTab=(dword)1"}},
        {0, "com6", "Bench six", IDCANCEL, "2 -1 |", {}},
    };
    // clang-format on
    bool flag = false;
    for (const auto& c : cases) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, enteredKey);
        StoreFlag(flag);
        const std::string outcome = Run(
            [&](ModalDialog& dialog) {
                dialog.Click(IDC_ADD_PORT_DIAG_ONLY);
                ClickPage(dialog, c.page);
                dialog.Type(IDC_ADD_PORT_NAME, c.port);
                dialog.Type(IDC_ADD_PORT_LABEL, c.label);
                dialog.Click(c.button);
            },
            Library());
        flag = !flag;
        EXPECT_EQ(c.outcome, outcome);
        EXPECT_EQ(c.entered, Values(enteredKey)) << c.outcome;
        EXPECT_EQ(Texts{std::string("DiagPortsOnly=(dword)") + (flag ? "1" : "0")}, Values(settingsKey))
            << c.outcome;
    }
}

// The user's part before OK: a page, the texts typed, or a row clicked.
ModalDriver::Script Enter(int page, const char* port, const char* label) {
    return [=](ModalDialog& dialog) {
        ClickPage(dialog, page);
        dialog.Type(IDC_ADD_PORT_NAME, port);
        dialog.Type(IDC_ADD_PORT_LABEL, label);
        dialog.Click(IDOK);
    };
}
ModalDriver::Script Pick(const char* port) {
    return [=](ModalDialog& dialog) {
        EXPECT_EQ(allRows, Rows(dialog)) << "the server's own ports are not offered";
        ClickRow(dialog, port);
        dialog.Click(IDOK);
    };
}

// "caption (stop): message" of a message box, with its last error number, which only the system
// knows, as N.
std::string Shown(const TestSupport::DialogRecord& box) {
    return box.caption +
           (box.icon == DialogIcon::Stop   ? " (stop)"
            : box.icon == DialogIcon::None ? ""
                                           : " (?)") +
           ": " + std::regex_replace(box.message, std::regex(" - -?[0-9]+\\)$"), " - N)");
}

TEST_F(AddPortDialogTest, TheCommandHandsTheChoiceToTheServerAndTellsEachFailure) {
    const HRESULT refused = E_ACCESSDENIED;
    const std::string connectionFailed =
        "Outgoing connection error: Starting an outgoing connection failed the the "
        "error 0x";
    // clang-format off
    const struct {
        const char* what;
        ModalDriver::Script user;
        const char* failing;
        bool plainAgent;
        HRESULT result;
        const char* calls;
        const char* port;
        const char* added; // "label @rate" of the port the server has then
        std::string shown = "";
    } cases[] = {
        {"typed", Enter(0, "com6", "Bench six"), nullptr, false, S_OK, "AddPort", "COM6", "Bench six @38400"},
        {"Remote EFS", Pick("COM13"), nullptr, false, S_OK, "AddRemoteEfsPort", "COM13", "Remote EFS @38400"},
        {"serial row", Pick("COM3"), nullptr, false, S_OK, "AddPort", "COM3", "COM3 @38400"},
        {"connection", Enter(1, "bench-host", "017"), nullptr, false, S_OK, "StartOutgoingConnection",
         "BENCH-HOST:15", "BENCH-HOST @38400"},
        {"no machine", Enter(1, "", "017"), nullptr, false, S_OK, "", "BENCH-HOST:15", "none"},
        {"no label", Enter(0, "com6", ""), nullptr, false, S_OK, "", "COM6", "none"},
        {"AddPort fails", Enter(0, "com6", "Bench six"), "AddPort", false, refused, "AddPort", "COM6", "none",
         "Error Enabling Port (stop): There was an error enabling COM6.  The port may not be\n"
         "working properly or may be busy. (-2147024891 [0x80070005] - N)"},
        {"AddRemoteEfsPort fails", Pick("COM13"), "AddRemoteEfsPort", false, refused, "AddRemoteEfsPort",
         "COM13", "none", "Error Enabling Port (stop): Error enabling the selected COM port."},
        {"agent without Remote EFS", Pick("COM13"), nullptr, true, E_FAIL, "", "COM13", "none",
         "Internal Error (stop): Remote EFS is not supported."},
        {"unreachable machine", Enter(1, "offline-host", "017"), nullptr, false, HRESULT(0x8000274D),
         "StartOutgoingConnection", "OFFLINE-HOST:15", "none",
         connectionFailed + "8000274D. The winsock error code is 10061. " + SystemText(10061) + "\n"},
        {"connection refused", Enter(1, "bench-host", "017"), "StartOutgoingConnection", false, refused,
         "StartOutgoingConnection", "BENCH-HOST:15", "none", connectionFailed + "80070005\n"},
    };
    // clang-format on
    const HWND owner =
        ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    for (const auto& c : cases) {
        StartServer();
        if (c.failing)
            Fail(c.failing, refused);
        PlainAgent plain(agent.Get());
        std::vector<TestSupport::DialogRecord> seen;
        HRESULT result = S_FALSE;
        {
            ModalDriver dialogs;
            dialogs.Expect(c.user);
            if (!c.shown.empty())
                dialogs.Expect([](ModalDialog& box) { box.Click(IDOK); });
            IUnknown* const configAgent = c.plainAgent ? static_cast<IUnknown*>(&plain) : agent.Get();
            result = AddPortThroughDialog(server.Get(), configAgent, owner, Library());
            seen = dialogs.Seen();
        }
        EXPECT_EQ(c.result, result) << c.what;
        EXPECT_EQ(c.calls, Calls()) << c.what;
        EXPECT_EQ(c.added, Port(c.port)) << c.what;
        EXPECT_EQ(c.shown, seen.size() > 1 ? Shown(seen[1]) : "") << c.what;
        for (size_t box = 1; box < seen.size(); ++box)
            EXPECT_TRUE(seen[box].owner == owner && seen[box].buttons == std::vector<int>{IDOK}) << c.what;
    }
    ::DestroyWindow(owner);
}

} // namespace
