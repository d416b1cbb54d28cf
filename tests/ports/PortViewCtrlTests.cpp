// The port view: its line's rules as a table, then the control in the test container over the
// in-process simulator's bench, its face read back from the real text and icon statics, and its
// port selection dialog driven as a user would.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "framework/com/ClassTable.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "ports/PortList.h"
#include "ports/PortViewCtrl.h"
#include "ports/PortViewRules.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/NotificationListener.h"
#include "tests/support/Scoped.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

using Ctrl = COstrelPortViewCtrl;

TEST(PortViewRules, LineByStateRefreshTypeKindAndLock) {
    const struct {
        portState state;
        long refreshType, kind, esn;
        bool locked;
        const char* text;
        UINT icon;
    } cases[] = {
        {noPhone, 0, 1, 0, false, "COM1  No Phone Connected", 301},
        {noPhone, 0, 7, -1, false, "COM1   TPB  (A0000012345678)", 225},
        {noPhone, 2, 7, -1, true, "COM1   TPB  (A0000012345678)", 224},
        {noPhone, 1, 7, -1, true, "COM1  No Phone Connected", 301},
        {downloadPort, 0, 1, -1, false, "COM1  Phone in Download Mode", 309},
        {downloadPort, 2, 1, 0x12345678, true, "COM1  VX-210  12345678  (Bench A)", 309},
        {diagPort, 0, 1, 0x12345678, false, "COM1  VX-210  12345678  (Bench A)", 310},
        {diagPort, 1, 7, 0x12345678, true, "COM1  VX-210  12345678  (Bench A)", 302},
        {diagPort, 2, 1, 0x12345678, false, "COM1  No Phone Connected", 301},
        {diagPort, 2, 7, 0x12345678, true, "COM1   TPB  (A0000012345678)", 224},
        {unavailablePort, 0, 1, -1, false, "COM1  Port not available", 228},
        {noPorts, 0, 1, -1, false, "COM1  No Ports Active", 301},
        {portState(9), 0, 1, -1, false, "COM1  No Ports Active", 301},
    };
    for (const auto& c : cases) {
        PortViewReading reading{c.state, "COM1", "VX-210", "12345678", "Bench A", "A0000012345678"};
        reading.esn = c.esn;
        reading.phoneKind = c.kind;
        reading.refreshType = c.refreshType;
        reading.phoneStatus = 1;
        reading.locked = c.locked;
        reading.authorised = true;
        EXPECT_EQ((PortViewFace{c.text, c.icon}), PortViewFaceOf(reading))
            << "state " << c.state << ", refresh type " << c.refreshType << ", kind " << c.kind;
    }
}

TEST(PortViewRules, DiagnosticIconByStatusAndLock) {
    const struct {
        long status;
        UINT open, held;
    } cases[] = {{1, 310, 302}, {8, 310, 302}, {2, 225, 224}, {3, 225, 224}, {4, 303, 304}, {5, 311, 312},
                 {6, 305, 306}, {7, 307, 308}, {9, 223, 227}, {0, 311, 312}, {10, 311, 312}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.open, DiagnosticPhoneIcon(true, c.status, false)) << "status " << c.status;
        EXPECT_EQ(c.held, DiagnosticPhoneIcon(true, c.status, true)) << "status " << c.status << " locked";
        EXPECT_EQ(226u, DiagnosticPhoneIcon(false, c.status, true))
            << "status " << c.status << " unauthorised";
    }
    for (const long mode : {2, 6, 7, 11, 12})
        EXPECT_EQ(downloadPort, PortViewStateOfMode(mode)) << "mode " << mode;
    for (const long mode : {1, 3, 5, 13})
        EXPECT_EQ(diagPort, PortViewStateOfMode(mode)) << "mode " << mode;
    EXPECT_EQ(noPhone, PortViewStateOfMode(0));
}

const Fw::ClassEntry childClasses[] = {{&CLSID_OstrelPortList, 0, Fw::CreatorOf<PortList>}};

class PortViewCtrlTest : public ::testing::Test {
protected:
    void TearDown() override {
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    // A new control, active in the container, on a new simulator of the scenario; `prepare` then
    // changes the simulated world before the control is initialised.
    void Start(const char* scenario = "bench.json") {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/" + scenario));
        ASSERT_EQ(S_OK, server.As(&sim));
        control.Reset();
        ASSERT_EQ(S_OK, Fw::Object<Ctrl>::Create(nullptr, IID_PPV_ARGS(&control)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 700, 40};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        face = site->Window();
        ASSERT_TRUE(face);
    }

    std::string Text() const {
        char text[300] = {};
        ::GetDlgItemTextA(face, Ctrl::textId, text, sizeof text);
        return text;
    }
    // The icon's id, told by the shared handle that loading it by id gives.
    UINT Icon() const {
        const auto shown =
            reinterpret_cast<HICON>(::SendDlgItemMessageA(face, Ctrl::iconId, STM_GETICON, 0, 0));
        for (const UINT id :
             {223, 224, 225, 226, 227, 228, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312})
            if (shown && shown == ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)))
                return id;
        return 0;
    }
    std::string Read(HRESULT (STDMETHODCALLTYPE IOstrelPortViewCtrl::*member)(BSTR*)) const {
        _bstr_t value;
        EXPECT_EQ(S_OK, (control.Get()->*member)(value.GetAddress()));
        return value.length() ? std::string(value) : std::string();
    }
    portState State() const {
        portState state = portState(-1);
        EXPECT_EQ(S_OK, control->GetPortState(&state));
        return state;
    }
    short PortId() const {
        short id = -1;
        EXPECT_EQ(S_OK, control->GetPortId(&id));
        return id;
    }
    HRESULT Initialize(const char* portName, long browse = 0, long autoUpdate = 0) {
        return control->InitializePortCtrl(server.Get(), _bstr_t(portName), browse, autoUpdate);
    }
    int Heard(UINT code) const {
        return int(std::count_if(host.heard.begin(), host.heard.end(),
                                 [&](const NMHDR& h) { return h.code == code && h.hwndFrom == face; }));
    }

    Fw::ClassTable classTable{childClasses};
    const TestSupport::Scoped<Fw::ClassTable*> classes{
        [](Fw::ClassTable* table) { return Fw::Module::Current().SetClasses(table); }, &classTable};
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    TestSupport::TestContainer container;
    TestSupport::NotificationListener host{container.Window()};
    TestSupport::ControlSite* site = nullptr;
    ComPtr<IOstrelPortViewCtrl> control;
    HWND face = nullptr;
};

TEST_F(PortViewCtrlTest, ShowsWhatTheServerReportsOfThePortAndPhone) {
    const struct {
        const char* name;
        const char* change; // sim: "mode:N" on the port, else ChangePhone fields, else nothing
        short portId;
        int refreshType;
        const char* text;
        UINT icon;
        portState state;
        const char* esn;
    } cases[] = {
        {"COM1", "", 1, 0, "COM1  VX-210  12345678  (Bench A)", 310, diagPort, "12345678"},
        {"COM1", R"({"locked": true, "phoneStatus": 4, "esn": "3735928559"})", 1, 0,
         "COM1  VX-210  DEADBEEF  (Bench A)", 304, diagPort, "DEADBEEF"},
        {"COM1", "", 1, 2, "COM1  No Phone Connected", 301, diagPort, "12345678"},
        {"COM1", "mode:0", 1, 0, "COM1  No Phone Connected", 301, noPhone, "12345678"},
        {"COM1", "mode:2", 1, 0, "COM1  Phone in Download Mode", 309, downloadPort, ""},
        {"COM7", "", 3, 0, "COM7  Phone in Download Mode", 309, downloadPort, ""},
        {"COM20", "", 8, 2, "COM20   TPB  (A0000012345678)", 225, diagPort, ""},
        {"COM20", "mode:0", 8, 0, "COM20   TPB  (A0000012345678)", 225, noPhone, ""},
        {"COM20", "mode:0", 8, 1, "COM20  No Phone Connected", 301, noPhone, ""},
        // A port the server does not know gives way to its first port.
        {"COM99", "", 1, 0, "COM1  VX-210  12345678  (Bench A)", 310, diagPort, "12345678"},
        // No phone object to read: the port is shown as not available, named by the lookup.
        {"COM4", "", 2, 0, "COM4  Port not available", 228, unavailablePort, ""},
        {"COM1", "fail:GetPhoneKind", 1, 0, "COM1  Port not available", 228, unavailablePort, ""},
    };
    for (const auto& c : cases) {
        Start();
        const std::string change = c.change;
        HRESULT changed = S_OK;
        if (change.starts_with("mode:"))
            changed = sim->SetPhoneMode(c.portId, std::stol(change.substr(5)));
        else if (change.starts_with("fail:"))
            changed = sim->FailOperation(_bstr_t(change.substr(5).c_str()), E_FAIL);
        else if (!change.empty())
            changed = sim->ChangePhone(c.portId, _bstr_t(c.change));
        ASSERT_EQ(S_OK, changed) << c.change;
        ASSERT_EQ(S_OK, Initialize(c.name)) << c.name;
        ASSERT_EQ(S_OK, c.refreshType ? control->Refresh(c.refreshType) : S_OK);
        const std::string row =
            std::string(c.name) + " " + c.change + " refresh " + std::to_string(c.refreshType);
        EXPECT_EQ(c.text, Text()) << row;
        EXPECT_EQ(c.icon, Icon()) << row;
        EXPECT_EQ(c.state, State()) << row;
        EXPECT_EQ(c.portId, PortId()) << row;
        EXPECT_EQ(c.esn, Read(&IOstrelPortViewCtrl::GetEsnString)) << row;
        EXPECT_EQ(std::string(c.text).substr(0, std::string(c.text).find(' ')),
                  Read(&IOstrelPortViewCtrl::GetPortNameString))
            << row;
    }
}

TEST_F(PortViewCtrlTest, WithoutPortsOrServerNothingIsShown) {
    Start("empty.json");
    EXPECT_EQ("No Phone Connected", Text()) << "before InitializePortCtrl";
    EXPECT_EQ(E_FAIL, control->InitializePortCtrl(nullptr, _bstr_t("COM1"), 1, 1));
    EXPECT_EQ("No Phone Connected", Text());
    EXPECT_EQ(S_OK, Initialize("COM1"));
    EXPECT_EQ("  No Ports Active", Text());
    EXPECT_EQ(301u, Icon());
    EXPECT_EQ(noPorts, State());
    EXPECT_EQ(1, Heard(Ctrl::redrawnCode));
}

TEST_F(PortViewCtrlTest, ServerEventsRefreshTheShownPortOnly) {
    const struct {
        long code;
        short objectId;
        int redrawn, notified;
    } cases[] = {{2, 1, 0, 0},  {3, 1, 1, 1},  {4, 1, 1, 1},  {6, 1, 1, 1},  {9, 1, 1, 0},
                 {10, 1, 1, 0}, {11, 1, 1, 0}, {5, 1, 0, 0},  {12, 1, 0, 0}, {3, 5, 0, 0},
                 {6, 5, 0, 0},  {9, 5, 0, 0},  {11, 5, 0, 0}, {10, 5, 1, 0}};
    Start();
    // Twice: the second call lets go of the first connection, so that each event is heard once.
    ASSERT_EQ(S_OK, Initialize("COM1", 0, 1));
    ASSERT_EQ(S_OK, Initialize("COM1", 0, 1));
    for (const auto& c : cases) {
        host.heard.clear();
        ASSERT_EQ(S_OK, sim->FireEvent(c.code, c.objectId, 0));
        EXPECT_EQ(c.redrawn, Heard(Ctrl::redrawnCode)) << "code " << c.code << " for port " << c.objectId;
        EXPECT_EQ(c.notified, Heard(Ctrl::serverRefreshCode))
            << "code " << c.code << " for port " << c.objectId;
    }
    // What the server changes shows at once.
    ASSERT_EQ(S_OK, sim->SetPhoneMode(1, 6));
    EXPECT_EQ("COM1  Phone in Download Mode", Text());
    EXPECT_EQ(309u, Icon());
}

TEST_F(PortViewCtrlTest, BrowseChoosesAnotherPortInTheSelectionDialog) {
    Start();
    ASSERT_EQ(S_OK, Initialize("COM1", 1, 0));
    const HWND browse = ::GetDlgItem(face, Ctrl::browseId);
    RECT client = {}, button = {}, text = {};
    ::GetClientRect(face, &client);
    button = Fw::Window(browse).RectInParent();
    text = Fw::Window(::GetDlgItem(face, Ctrl::textId)).RectInParent();
    EXPECT_TRUE(::GetWindowLongPtrA(browse, GWL_STYLE) & WS_VISIBLE) << "the host asked for the button";
    EXPECT_EQ(client.right, button.right) << "the button keeps to the right edge";
    EXPECT_EQ(button.left, text.right) << "the text reaches the button";

    TestSupport::ModalDriver driver;
    // Cancel keeps the port; OK without a selection keeps the dialog open.
    driver.Expect([](TestSupport::ModalDialog& dialog) {
        dialog.Click(IDOK);
        EXPECT_TRUE(::IsWindow(dialog.Window()));
        dialog.Click(IDCANCEL);
    });
    driver.Expect([](TestSupport::ModalDialog& dialog) {
        const Fw::ListView list(::GetDlgItem(dialog.Control(IDC_PORT_SELECT_LIST), PortList::listId));
        ASSERT_TRUE(list.SelectItem(list.FindItem(3)));
        dialog.Click(IDOK);
    });
    host.heard.clear();
    ::SendMessageA(browse, BM_CLICK, 0, 0);
    EXPECT_EQ(1, PortId());
    EXPECT_EQ(0, Heard(Ctrl::portChosenCode));
    ::SendMessageA(browse, BM_CLICK, 0, 0);
    EXPECT_EQ(3, PortId());
    EXPECT_EQ("COM7  Phone in Download Mode", Text());
    EXPECT_EQ(1, Heard(Ctrl::portChosenCode));
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("Select Port", driver.Seen()[0].caption);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), driver.Seen()[0].buttons);
}

} // namespace
