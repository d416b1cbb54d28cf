// The port configuration control in the test container, its face holding the module's real port
// list, against the in-process simulator: the buttons by the selected port's state, the
// confirmations with their remembered answers read back from the registry, the refusals and
// failure messages, and the layout.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/ClassTable.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "ports/PortConfigCtrl.h"
#include "ports/PortList.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"
#include "tests/support/SimCalls.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <optional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using TestSupport::DialogIcon;
using TestSupport::DialogRecord;
using TestSupport::ModalDialog;
using TestSupport::ModalDriver;
using Ctrl = COstrelPortConfigCtrl;

namespace {

// Bench rows, one less than their port ids.
constexpr int com1 = 0, com4 = 1, com9 = 3, com12 = 4, com15 = 5, rackRig = 6, com20 = 7, noRow = -1;
const std::string disableKey = "SOFTWARE\\KELMAR\\NORVIK Configuration\\DisablePort";
const std::string removeKey = "SOFTWARE\\KELMAR\\NORVIK Configuration\\RemovePort";
const char* const noSelection = "No port was selected.  Please select a port\nand try again.";

const Fw::ClassEntry childClasses[] = {{&CLSID_OstrelPortList, 0, Fw::CreatorOf<PortList>}};

struct Remembered {
    std::optional<DWORD> dontWarn, userChoice;
    bool operator==(const Remembered&) const = default;
};

std::optional<DWORD> Number(const std::string& key, const char* name) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::string Text(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) +
           "," + std::to_string(rect.bottom);
}

Remembered Read(const std::string& key) {
    return {Number(key, "DontWarn"), Number(key, "UserChoice")};
}

ModalDriver::Script Answer(int button, bool dontAskAgain) {
    return [=](ModalDialog& dialog) {
        if ((dialog.CheckState(IDC_MOM_DONT_WARN) == BST_CHECKED) != dontAskAgain)
            dialog.Click(IDC_MOM_DONT_WARN);
        dialog.Click(button);
    };
}

const ModalDriver::Script ok = [](ModalDialog& dialog) { dialog.Click(IDOK); };

class PortConfigCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetAnswers();
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        ASSERT_EQ(S_OK, Fw::Object<Ctrl>::Create(nullptr, IID_PPV_ARGS(&control)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 700, 360};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        long cookie = 0;
        ASSERT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t("Kelmar.OstrelConfigAgent.1"), -1, &cookie, &agent));
        ASSERT_EQ(S_OK, control->Initialize(server.Get()));
        ASSERT_EQ(S_OK, control->Initialize(agent.Get()));
        list = Fw::ListView(::GetDlgItem(Object().ChildSite(Ctrl::listId)->Window(), PortList::listId));
        ASSERT_TRUE(list);
        TestSupport::FlushMessages();
        Calls();
    }
    void TearDown() override {
        control->Shutdown();
        TestSupport::FlushMessages();
        control.Reset();
        Fw::TypeLibrary::Release();
        ForgetAnswers();
    }
    static void ForgetAnswers() {
        for (const std::string& key : {disableKey, removeKey})
            ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    }

    // Only `row` selected, none for noRow, once the rows rebuilt by earlier events are in.
    void Select(int row) {
        TestSupport::FlushMessages();
        list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (row != noRow)
            list.SelectItem(row);
        TestSupport::FlushMessages();
    }
    Ctrl& Object() const { return *static_cast<Ctrl*>(control.Get()); }
    HWND Face() const { return site->Window(); }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(Face(), id)) != FALSE; }

    // Selects `row` (none for noRow) as a click would, clicks the button and answers the dialogs
    // that come with `scripts`.
    std::vector<DialogRecord> Click(int row, int button, std::vector<ModalDriver::Script> scripts = {}) {
        Select(row);
        ModalDriver dialogs;
        for (ModalDriver::Script& script : scripts)
            dialogs.Expect(std::move(script));
        ::SendMessageA(Face(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       LPARAM(::GetDlgItem(Face(), button)));
        return dialogs.Seen();
    }
    // The port calls the server received since the last look, separated by spaces.
    std::string Calls() {
        return TestSupport::TakeCalls(sim.Get(), {"EnablePort", "DisablePort", "RemovePort"});
    }
    void Fail(const char* operation, HRESULT status) {
        ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t(operation), status));
    }

    Fw::ClassTable classTable{childClasses};
    TestSupport::Scoped<Fw::ClassTable*> classes{
        [](Fw::ClassTable* table) { return Fw::Module::Current().SetClasses(table); }, &classTable};
    TestSupport::TestContainer container;
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IUnknown> agent;
    ComPtr<IOstrelPortConfigCtrl> control;
    TestSupport::ControlSite* site = nullptr;
    Fw::ListView list;
};

TEST_F(PortConfigCtrlTest, ButtonsFollowTheSelectedPortsStateAndTheListHidesThePortErrors) {
    const struct {
        int row;
        bool enable, disable, remove;
    } cases[] = {
        {com1, false, true, true},  {com4, true, false, true},  {com9, true, false, true},
        {com12, false, true, true}, {com15, true, false, true}, {noRow, false, false, false},
    };
    for (const auto& c : cases) {
        Select(c.row);
        EXPECT_EQ(c.enable, Enabled(IDC_PORT_CONFIG_ENABLE)) << c.row;
        EXPECT_EQ(c.disable, Enabled(IDC_PORT_CONFIG_DISABLE)) << c.row;
        EXPECT_EQ(c.remove, Enabled(IDC_PORT_CONFIG_REMOVE)) << c.row;
        EXPECT_TRUE(Enabled(IDC_PORT_CONFIG_ADD)) << c.row;
    }
    const auto ports = Object().Child<IOstrelPortList>(Ctrl::listId);
    LONG shown[2] = {};
    ASSERT_EQ(S_OK, ports->get_ShowPortErrorLabel(&shown[0]));
    ASSERT_EQ(S_OK, ports->get_ShowPortLabel(&shown[1]));
    EXPECT_EQ(0, shown[0]);
    EXPECT_EQ(1, shown[1]);
}

TEST_F(PortConfigCtrlTest, ARememberedYesStopsTheQuestionARememberedNoDoesNot) {
    // A fresh user is asked, the box clear; Yes with the box checked is remembered.
    auto seen = Click(com1, IDC_PORT_CONFIG_DISABLE, {Answer(IDOK, true)});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Disable NORVIK Port", seen[0].caption);
    EXPECT_EQ((std::vector<std::string>{
                  "The port you have chosen to be disabled will be immediately closed and will be "
                  "unavailable to any NORVIK application.  Any NORVIK application that is "
                  "currently using this port will be affected and any current communication "
                  "with an attached phone will be terminated..\n\nAre you sure you want to "
                  "continue disabling this port?"}),
              std::vector<std::string>(seen[0].labels.begin(), seen[0].labels.begin() + 1));
    EXPECT_EQ((Remembered{1, 0}), Read(disableKey));
    EXPECT_EQ("DisablePort(1)", Calls());
    // Remembered: the next port is disabled without a word; removing still asks, under its own key.
    EXPECT_TRUE(Click(com20, IDC_PORT_CONFIG_DISABLE).empty());
    EXPECT_EQ("DisablePort(8)", Calls());
    seen = Click(com4, IDC_PORT_CONFIG_REMOVE, {Answer(IDCANCEL, true)});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Remove NORVIK Port", seen[0].caption);
    EXPECT_EQ((Remembered{1, 1}), Read(removeKey));
    EXPECT_EQ((Remembered{1, 0}), Read(disableKey));
    EXPECT_EQ("", Calls());
    // A remembered No asks again, the box shown checked; Yes then removes.
    seen = Click(com4, IDC_PORT_CONFIG_REMOVE, {[](ModalDialog& dialog) {
                     EXPECT_EQ(BST_CHECKED, dialog.CheckState(IDC_MOM_DONT_WARN));
                     EXPECT_EQ(dialog.Control(IDOK), ::GetFocus()) << "Enter answers Yes";
                     EXPECT_EQ("&Yes", dialog.Text(IDOK));
                     EXPECT_EQ("&No", dialog.Text(IDCANCEL));
                     dialog.Click(IDC_MOM_DONT_WARN);
                     dialog.Click(IDOK);
                 }});
    EXPECT_EQ(1u, seen.size());
    EXPECT_EQ((Remembered{0, 0}), Read(removeKey));
    EXPECT_EQ("RemovePort(2)", Calls());
}

TEST_F(PortConfigCtrlTest, AnswersStoredInAnotherShapeAreNotTrusted) {
    Win32::UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, disableKey.c_str(), 0, nullptr, 0,
                                               KEY_SET_VALUE, nullptr, key.put(), nullptr));
    // "Don't ask, the answer was Yes", in four bytes each, but as raw bytes and as a big-endian number.
    const DWORD one = 1, zero = 0;
    ::RegSetValueExA(key.get(), "DontWarn", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&one), sizeof one);
    ::RegSetValueExA(key.get(), "UserChoice", 0, REG_DWORD_BIG_ENDIAN, reinterpret_cast<const BYTE*>(&zero),
                     sizeof zero);
    const auto seen = Click(com1, IDC_PORT_CONFIG_DISABLE, {[](ModalDialog& dialog) {
                                EXPECT_EQ(BST_UNCHECKED, dialog.CheckState(IDC_MOM_DONT_WARN));
                                dialog.Click(IDCANCEL);
                            }});
    EXPECT_EQ(1u, seen.size());
    EXPECT_EQ((Remembered{0, 1}), Read(disableKey));
    EXPECT_EQ("", Calls());
}

TEST_F(PortConfigCtrlTest, RefusalsAndFailuresAreToldInTheirOwnWords) {
    const auto message = [](const std::vector<DialogRecord>& seen) {
        return seen.size() == 1 ? seen[0].caption + "|" + seen[0].message
                                : std::to_string(seen.size()) + " dialogs";
    };
    for (const auto& [button, caption] : {std::pair{IDC_PORT_CONFIG_ENABLE, "Port Enable"},
                                          std::pair{IDC_PORT_CONFIG_DISABLE, "Port Disable"},
                                          std::pair{IDC_PORT_CONFIG_REMOVE, "Port Remove"}})
        EXPECT_EQ(std::string(caption) + "|" + noSelection, message(Click(noRow, button, {ok})));

    // The rack rig's phone is held by an application: refused, never asked.
    auto seen = Click(rackRig, IDC_PORT_CONFIG_DISABLE, {ok});
    EXPECT_EQ(
        "Disable NORVIK Port|The port you have chosen to be disabled is currently in use and the attached "
        "phone has been locked by an application for exclusive access.  You must release the exclusive lock "
        "on the attached phone before the port may be disabled.",
        message(seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(DialogIcon::Stop, seen[0].icon);
    EXPECT_EQ("", Calls());

    Fail("EnablePort", E_FAIL);
    seen = Click(com4, IDC_PORT_CONFIG_ENABLE, {ok});
    EXPECT_EQ(
        "Error Enabling Port|There was an error enabling the selected port.  The port may not be\nworking "
        "properly or may be busy. (-2147467259)",
        message(seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(DialogIcon::Stop, seen[0].icon);

    Fail("DisablePort", E_ACCESSDENIED);
    seen = Click(com1, IDC_PORT_CONFIG_DISABLE, {Answer(IDOK, false), ok});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Port Disable|Port Disable failed with the error 0x80070005\n",
              seen[1].caption + "|" + seen[1].message);
    EXPECT_EQ(DialogIcon::None, seen[1].icon);

    // Removing reports nothing, whatever the server says.
    Fail("RemovePort", E_FAIL);
    EXPECT_EQ(1u, Click(com1, IDC_PORT_CONFIG_REMOVE, {Answer(IDOK, false)}).size());
}

TEST_F(PortConfigCtrlTest, ButtonsSitOnTheBottomEdgeAndTheListFillsTheRest) {
    ASSERT_EQ(S_OK, site->SetRect({0, 0, 900, 500}));
    TestSupport::FlushMessages();
    RECT client = {};
    ::GetClientRect(Face(), &client);
    const int mx = 4 * ::GetSystemMetrics(SM_CXBORDER), my = 4 * ::GetSystemMetrics(SM_CYBORDER);
    const RECT add = Fw::Window(::GetDlgItem(Face(), IDC_PORT_CONFIG_ADD)).RectInParent();
    const int width = add.right - add.left, height = add.bottom - add.top, top = client.bottom - height - my;
    const struct {
        int id;
        int left;
    } buttons[] = {{IDC_PORT_CONFIG_ENABLE, mx},
                   {IDC_PORT_CONFIG_DISABLE, width + 3 * mx},
                   {IDC_PORT_CONFIG_REMOVE, 2 * width + 5 * mx},
                   {IDC_PORT_CONFIG_ADD, client.right - width - mx}};
    for (const auto& button : buttons) {
        const RECT place = Fw::Window(::GetDlgItem(Face(), button.id)).RectInParent();
        EXPECT_EQ(Text({button.left, top, button.left + width, top + height}), Text(place)) << button.id;
    }
    const RECT listPlace = Fw::Window(Object().ChildSite(Ctrl::listId)->Window()).RectInParent();
    EXPECT_EQ(Text({mx, my, mx + client.right - 2 * my, my + client.bottom - 4 * my - height}),
              Text(listPlace));
}

} // namespace
