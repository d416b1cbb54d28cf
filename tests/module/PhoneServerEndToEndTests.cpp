// The registered phone server control as a host embeds it, connecting by machine name to
// OstrelDeviceSim.exe started by hand on a scenario of its own: Wine reaches the local server
// whatever machine is named, so any name takes the production connection path. Then the
// simulator killed under it, and no simulator to be started at all.
#include "foundation/Win32/Unique.h"
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/ServerEventRoute.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RegistryReader.h"
#include "tests/support/Scoped.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Lines = std::vector<std::string>;

// Longer than any call may take once the simulator is gone: Wine answers a dead server in ms.
constexpr ULONGLONG kPromptMs = 3'000;
const char kRemembered[] = "Software\\Kelmar\\OSTREL\\ServerMRU";

const char kScenario[] = R"({
  "name": "phone-server",
  "ports": [
    {"id": 1, "name": "COM3", "label": "", "state": "enabled", "link": "usb"},
    {"id": 2, "name": "COM5", "label": "Desk", "state": "enabled", "link": "usb"}
  ],
  "phones": [
    {"id": 11, "port": 1, "esn": "3054", "modelText": "Kestrel 3", "mode": 5},
    {"id": 12, "port": 2, "esn": "255", "modelText": "Lorn 8", "mode": 5}
  ],
  "clients": []
})";
// Phone, ESN and Port columns of the scenario's phones, in the list's order.
const Lines kScenarioRows = {"Kestrel 3|BEE|COM3", "Lorn 8|FF|COM5 (Desk)"};

Win32::UniqueKey CreatedKey(const std::string& path) {
    Win32::UniqueKey key;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                      nullptr);
    return key;
}

// The user's remembered names, saved aside and put back exactly, values and their order
// included: the combos inside the module remember into the user's own key. Missing parents the
// test created go again.
class SavedUserKey {
public:
    SavedUserKey() {
        for (const char* key : {"Software\\Kelmar", "Software\\Kelmar\\OSTREL", kRemembered})
            if (m_created.empty() && !TestSupport::keyExists(HKEY_CURRENT_USER, key))
                m_created = key;
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_backup.c_str());
        if (m_created.empty())
            Copy(kRemembered, m_backup);
    }
    ~SavedUserKey() {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_created.empty() ? kRemembered : m_created.c_str());
        if (m_created.empty())
            Copy(m_backup, kRemembered);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_backup.c_str());
    }
    SavedUserKey(const SavedUserKey&) = delete;
    SavedUserKey& operator=(const SavedUserKey&) = delete;

private:
    static void Copy(const std::string& from, const std::string& to) {
        const TestSupport::RegKey source(HKEY_CURRENT_USER, from);
        EXPECT_EQ(ERROR_SUCCESS, ::RegCopyTreeA(source.get(), nullptr, CreatedKey(to).get()))
            << from << " -> " << to;
    }

    std::string m_created;
    std::string m_backup = "Software\\OstrelTests\\SavedServerMRU-" + std::to_string(::GetCurrentProcessId());
};

// One embedded control and the windows a user sees of it.
struct Embedded {
    ComPtr<IOstrelPhoneServerCtrl> control;
    Fw::ListView list;
    HWND comboEdit = nullptr;
};

class PhoneServerEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(0u, TestSupport::runSimulator("/RegServer")); }

    void SetUp() override {
        // Empty to start with, so that what a connection remembers shows.
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kRemembered);
        ASSERT_TRUE(CreatedKey(kRemembered));
    }

    Embedded Embed() {
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 640, 360};
        TestSupport::ControlSite& site = container.Embed(CLSID_OstrelPhoneServerCtrl, options);
        EXPECT_EQ(S_OK, site.Activate());
        const HWND phoneList = ::GetDlgItem(site.Window(), IDC_PHONE_SERVER_LIST);
        COMBOBOXINFO combo = {};
        combo.cbSize = sizeof combo;
        ::GetComboBoxInfo(::GetDlgItem(::GetDlgItem(site.Window(), IDC_PHONE_SERVER_COMBO), 1), &combo);
        EXPECT_TRUE(phoneList && combo.hwndItem) << "the face lacks its phone list or combo";
        return {site.Control<IOstrelPhoneServerCtrl>(), Fw::ListView(::GetDlgItem(phoneList, 1)),
                combo.hwndItem};
    }

    bool StartSimulator() {
        simulator.reset();
        simulator = std::make_unique<TestSupport::ChildProcess>(
            TestSupport::simulatorCommand("/scenario \"" + scenario.Path() + "\""),
            TestSupport::restartRpcSs);
        return simulator->Says("OstrelDeviceSim: serving");
    }

    static Lines Rows(const Fw::ListView& list) {
        Lines rows;
        for (int row = 0; row < list.GetItemCount(); ++row)
            rows.push_back(list.GetItemText(row, 0) + "|" + list.GetItemText(row, 1) + "|" +
                           list.GetItemText(row, 4));
        return rows;
    }
    static std::string Selected(IOstrelPhoneServerCtrl* control) {
        _bstr_t name;
        EXPECT_EQ(S_OK, control->get_SelectedServer(name.GetAddress()));
        return name.length() ? static_cast<const char*>(name) : "";
    }
    // The user types the name into the combo and presses Enter.
    static void Type(const Embedded& face, const char* name) {
        ::SetWindowTextA(face.comboEdit, name);
        ::SendMessageA(face.comboEdit, WM_KEYDOWN, VK_RETURN, 0);
        ::SendMessageA(face.comboEdit, WM_CHAR, '\r', 0);
    }
    static bool Remembers(const char* name) {
        const Lines values = TestSupport::snapshot(HKEY_CURRENT_USER, kRemembered);
        return std::any_of(values.begin(), values.end(),
                           [&](const std::string& line) { return line.ends_with(std::string("=") + name); });
    }

    SavedUserKey saved;
    TestSupport::ScratchFile scenario{"phone-server-scenario.json", kScenario};
    // Killed after the container has let its controls go.
    std::unique_ptr<TestSupport::ChildProcess> simulator;
    TestSupport::TestContainer container;
    // No message box may come: each would fail the test.
    TestSupport::ModalDriver user;
};

TEST_F(PhoneServerEndToEnd, ConnectsToTheMachineAHostOrTheUserNames) {
    ASSERT_TRUE(StartSimulator()) << simulator->Output();
    struct Way {
        const char* name;
        void (*connect)(const Embedded&, const char* machine);
    };
    const Way ways[] = {
        {"SelectedServer put",
         [](const Embedded& face, const char* machine) {
             EXPECT_EQ(S_OK, face.control->put_SelectedServer(_bstr_t(machine)));
         }},
        {"DefaultServer, then Startup",
         [](const Embedded& face, const char* machine) {
             EXPECT_EQ(S_OK, face.control->DefaultServer(_bstr_t(machine)));
             EXPECT_EQ(0, face.list.GetItemCount()) << "DefaultServer connected";
             EXPECT_EQ(S_OK, face.control->Startup());
         }},
        {"typed into the combo", Type},
    };
    for (const Way& way : ways) {
        const Embedded face = Embed();
        const std::string machine = std::string("bench-") + std::to_string(&way - ways);
        way.connect(face, machine.c_str());
        EXPECT_EQ(kScenarioRows, Rows(face.list)) << way.name;
        EXPECT_EQ(machine, Selected(face.control.Get())) << way.name;
        EXPECT_TRUE(Remembers(machine.c_str())) << way.name;
        LONG esn = 0, portId = 0;
        EXPECT_EQ(S_OK, face.control->GetSelectedPhone(&esn, &portId)) << way.name;
        EXPECT_TRUE((esn == 3054 && portId == 1) || (esn == 255 && portId == 2)) << way.name << ": " << esn;
    }
}

TEST_F(PhoneServerEndToEnd, NoServerToStartEmptiesTheListAndRemembersNothing) {
    ASSERT_TRUE(StartSimulator()) << simulator->Output();
    const Embedded face = Embed();
    ASSERT_EQ(S_OK, face.control->put_SelectedServer(_bstr_t("bench-7")));
    ASSERT_EQ(kScenarioRows, Rows(face.list));
    simulator.reset();
    ASSERT_EQ(0u, TestSupport::runSimulator("/UnregServer"));
    struct RegisteredAgain {
        ~RegisteredAgain() { TestSupport::runSimulator("/RegServer"); }
    } registeredAgain;

    const ULONGLONG started = ::GetTickCount64();
    Type(face, "bench-9");
    EXPECT_EQ(Lines(), Rows(face.list)) << "a failed connection left the rows of the last one";
    EXPECT_EQ("bench-9", Selected(face.control.Get())) << "the combo keeps the typed name";
    EXPECT_FALSE(Remembers("bench-9"));
    const HRESULT status = face.control->put_SelectedServer(_bstr_t("bench-10"));
    EXPECT_TRUE(FAILED(status)) << std::hex << status;
    EXPECT_EQ(Lines(), Rows(face.list));
    EXPECT_LT(::GetTickCount64() - started, kPromptMs);
}

// Last: the kill leaves its mark in Wine's RpcSs, restarted before the simulator starts again.
TEST_F(PhoneServerEndToEnd, SurvivesTheSimulatorKilledAndServesTheNextOne) {
    ASSERT_TRUE(StartSimulator()) << simulator->Output();
    const Embedded face = Embed();
    ASSERT_EQ(S_OK, face.control->put_SelectedServer(_bstr_t("bench-7")));
    ASSERT_EQ(kScenarioRows, Rows(face.list));

    ASSERT_TRUE(::TerminateProcess(simulator->Process(), 1));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(simulator->Process(), 5'000));
    ULONGLONG started = ::GetTickCount64();
    // The user's refresh, and the one a server event or a device change posts.
    ::SendMessageA(face.list.Handle(), WM_KEYDOWN, VK_F5, 0);
    ::PostMessageA(::GetParent(face.list.Handle()), WM_SERVER_REFRESH_ITEM, 0, refreshAllItems);
    TestSupport::PumpMessages(200);
    const Lines rows = Rows(face.list);
    EXPECT_TRUE(rows.empty() || rows == kScenarioRows) << rows.size() << " rows of a dead server";
    LONG esn = 0, portId = 0;
    face.control->GetSelectedPhone(&esn, &portId);
    EXPECT_LT(::GetTickCount64() - started, kPromptMs + 200) << "the control waited on the dead server";

    TestSupport::restartRpcSs();
    ASSERT_TRUE(StartSimulator()) << simulator->Output();
    started = ::GetTickCount64();
    EXPECT_EQ(S_OK, face.control->put_SelectedServer(_bstr_t("bench-7")));
    EXPECT_EQ(kScenarioRows, Rows(face.list));
    EXPECT_EQ(S_OK, face.control->Shutdown());
    EXPECT_EQ(0, face.list.GetItemCount());
    EXPECT_LT(::GetTickCount64() - started, kPromptMs);
}

} // namespace
