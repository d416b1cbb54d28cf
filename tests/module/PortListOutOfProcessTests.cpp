// The port list in a container, fed by OstrelDeviceSim.exe across processes until the simulator
// goes away under it, and its property page in the system's property frame.
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "tests/devicesim/SimulatorSession.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ModuleRegistration.h"
#include "tests/support/TestContainer.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kListId = 1;
// Longer than any call may take once the simulator is gone: Wine answers a dead server in ms.
constexpr ULONGLONG kPromptMs = 3'000;

// A 32-bit host's list is fed by a 64-bit server as well as by one of its own bitness.
class PortListFedByEitherBitness : public TestSupport::EitherBitnessTest {
protected:
    // Wine's RpcSs may still hold a registration of a simulator this test saw end; stopping it
    // lets the next activation start a fresh simulator (RpcSs comes back on demand).
    static void TearDownTestSuite() { TestSupport::restartRpcSs(); }
};

TEST_P(PortListFedByEitherBitness, FollowsTheSimulatorAndSurvivesItsEnd) {
    TestSupport::TestContainer container;
    TestSupport::EmbedOptions options;
    options.rect = {0, 0, 520, 260};
    TestSupport::ControlSite& site = container.Embed(CLSID_OstrelPortList, options);
    ASSERT_EQ(S_OK, site.Activate());
    ComPtr<IOstrelPortList> control = site.Control<IOstrelPortList>();
    ASSERT_TRUE(control);
    const HWND list = ::GetDlgItem(site.Window(), kListId);
    ASSERT_TRUE(list);

    ComPtr<IOstrelServer> server = TestSupport::ConnectToSimulator();
    ASSERT_TRUE(server);
    ComPtr<IOstrelSimControl> sim;
    ASSERT_EQ(S_OK, server.As(&sim));
    ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return Fw::ListView(list).GetItemCount() == 8; }, 5'000))
        << Fw::ListView(list).GetItemCount();

    // The event crosses back from the simulator; which rows it rebuilds is the in-process tests'.
    ASSERT_EQ(S_OK, sim->SetPortState(3, 8));
    ASSERT_TRUE(
        TestSupport::PumpUntil([&] { return Fw::ListView(list).GetItemText(2, 1) == "Disabled"; }, 5'000))
        << "no event reached the control: " << Fw::ListView(list).GetItemText(2, 1);

    sim.Reset();
    ASSERT_TRUE(FAILED(TestSupport::EndSimulator(server.Get()))) << "the simulator did not end";

    ULONGLONG started = ::GetTickCount64();
    const HRESULT refreshed = control->RefreshDisplay();
    TestSupport::PumpMessages(200);
    EXPECT_TRUE(FAILED(refreshed) || Fw::ListView(list).GetItemCount() == 0)
        << std::hex << refreshed << " with " << std::dec << Fw::ListView(list).GetItemCount()
        << " rows of a dead server";
    EXPECT_LT(::GetTickCount64() - started, kPromptMs + 200) << "RefreshDisplay waited on the dead server";
    started = ::GetTickCount64();
    EXPECT_EQ(S_OK, control->Shutdown());
    EXPECT_LT(::GetTickCount64() - started, kPromptMs) << "Shutdown waited on the dead server";
    EXPECT_EQ(0, Fw::ListView(list).GetItemCount());
    server.Reset();
}

INSTANTIATE_TEST_SUITE_P(, PortListFedByEitherBitness, TestSupport::kEitherBitness,
                         TestSupport::serverBitness);

// The simulator dies while a command's dialog is open: OK ends the command with one message
// naming it and the lost server, and the list serves a new simulator afterwards.
TEST(PortListOutOfProcess, ACommandWhoseServerDiedEndsWithAMessageAndANewServerServes) {
    TestSupport::TestContainer container;
    TestSupport::EmbedOptions options;
    options.rect = {0, 0, 520, 260};
    TestSupport::ControlSite& site = container.Embed(CLSID_OstrelPortList, options);
    ASSERT_EQ(S_OK, site.Activate());
    const ComPtr<IOstrelPortList> control = site.Control<IOstrelPortList>();
    const Fw::ListView list(::GetDlgItem(site.Window(), kListId));
    const auto start = [&](IOstrelServer* server) {
        EXPECT_EQ(S_OK, control->StartupEx(server));
        return TestSupport::PumpUntil([&] { return list.GetItemCount() == 8; }, 5'000);
    };
    ComPtr<IOstrelServer> server = TestSupport::ConnectToSimulator();
    ASSERT_TRUE(server && start(server.Get()));
    list.SelectItem(0);

    TestSupport::ModalDriver user;
    user.Expect([&](TestSupport::ModalDialog& dialog) {
        TestSupport::EndSimulator(server.Get());
        dialog.Click(IDOK);
    });
    user.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
    ::SendMessageA(site.Window(), WM_COMMAND, ID_PORT_BAUD_RATE, 0);
    ASSERT_EQ(2u, user.Seen().size());
    EXPECT_EQ("Baud Rate Selection", user.Seen()[0].caption);
    EXPECT_EQ("Baud Rate", user.Seen()[1].caption);
    EXPECT_EQ(TestSupport::DialogIcon::Stop, user.Seen()[1].icon);
    EXPECT_EQ(0u, user.Seen()[1].message.find("The command failed on port COM1 - Error = 0x800706b"))
        << user.Seen()[1].message;

    EXPECT_EQ(S_OK, control->Shutdown());
    server.Reset();
    TestSupport::restartRpcSs();
    server = TestSupport::ConnectToSimulator();
    ASSERT_TRUE(server);
    EXPECT_TRUE(start(server.Get())) << list.GetItemCount();
    EXPECT_EQ(S_OK, control->Shutdown());
    TestSupport::EndSimulator(server.Get());
    TestSupport::restartRpcSs();
}

TEST(PortListOutOfProcess, PropertyFrameShowsItsOnePage) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_OstrelPortList, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&control)));
    std::string tab;
    bool pageHasBaud = false;
    {
        TestSupport::ModalDriver driver;
        driver.Expect([&](TestSupport::ModalDialog& frame) {
            const HWND tabs = ::FindWindowExA(frame.Window(), nullptr, WC_TABCONTROLA, nullptr);
            EXPECT_EQ(1, ::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
            char text[64] = {};
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ::SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            tab = text;
            // The page's own dialog sits inside the frame's page window: its boxes are descendants.
            const std::vector<int>& boxes = frame.Record().buttons;
            pageHasBaud = std::find(boxes.begin(), boxes.end(), IDC_SHOW_BAUD) != boxes.end();
            frame.Click(IDCANCEL);
        });
        IUnknown* objects[] = {control.Get()};
        CLSID pages[] = {CLSID_PortListProps};
        EXPECT_EQ(S_OK, ::OleCreatePropertyFrame(nullptr, 0, 0, L"Port list", 1, objects, 1, pages,
                                                 LOCALE_USER_DEFAULT, 0, nullptr));
        ASSERT_EQ(1u, driver.Seen().size());
        EXPECT_NE(std::string::npos, driver.Seen()[0].caption.find("Port list")) << driver.Seen()[0].caption;
    }
    // The page's title comes from its dialog template in the module.
    EXPECT_EQ("Columns", tab);
    EXPECT_TRUE(pageHasBaud) << "the frame did not show the PortListProps page";
}

} // namespace
