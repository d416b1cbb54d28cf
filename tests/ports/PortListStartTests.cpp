// Starting and stopping the port list the unusual ways a host or a server may take: before
// the control has a window, against a server that answers success without an agent, and
// from inside the list's own notification.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "ports/PortList.h"
#include "tests/support/NotificationListener.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

using Microsoft::WRL::ComPtr;

namespace {

class PortListStart : public ::testing::Test {
protected:
    void SetUp() override {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        ASSERT_EQ(S_OK, Fw::Object<PortList>::Create(nullptr, IID_PPV_ARGS(&control)));
    }
    void TearDown() override {
        control->Shutdown();
        control.Reset();
        Fw::TypeLibrary::Release();
    }
    void Embed() {
        Fw::EmbedOptions options;
        options.rect = {0, 0, 520, 260};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        list = Fw::ListView(::GetDlgItem(site->Window(), PortList::listId));
        ASSERT_TRUE(list);
    }

    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelPortList> control;
    TestSupport::TestContainer container;
    TestSupport::ControlSite* site = nullptr;
    Fw::ListView list;
};

TEST_F(PortListStart, AServerAnsweringSuccessWithoutAnAgentFailsTheStartAndLeavesTheListEmpty) {
    Embed();
    ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t("CreateConfigAgent"), S_FALSE));
    EXPECT_EQ(E_POINTER, control->StartupEx(server.Get()));
    EXPECT_EQ(0, list.GetItemCount());
    ComPtr<IUnknown> agent;
    EXPECT_EQ(E_FAIL, control->GetConfigAgent(&agent)) << "no agent is held";
}

TEST_F(PortListStart, BeforeItsWindowTheListStartsLaterAndAttachesOnlyWhenToldTo) {
    EXPECT_EQ(S_OK, control->Startup()) << "no window: nothing to make yet";
    EXPECT_EQ(E_FAIL, control->StartupEx(server.Get())) << "no window to attach";
    Embed();
    EXPECT_EQ(0, list.GetItemCount()) << "nothing attaches a view by itself";
    ComPtr<IUnknown> agent;
    long cookie = 0;
    ASSERT_EQ(S_OK, server->CreateConfigAgent(_bstr_t("Kelmar.OstrelConfigAgent.1"), -1, &cookie, &agent));
    EXPECT_EQ(S_OK, control->InitializeList(agent.Get()));
    EXPECT_EQ(8, list.GetItemCount());
    EXPECT_EQ(5, list.GetHeader().GetItemCount()) << "started on the way";
}

// The selection a reload makes notifies the host at once; a host may shut the list down from
// there, and the reload must not touch what the shutdown freed.
TEST_F(PortListStart, AHostMayShutTheListDownFromTheSelectionOfAReload) {
    Embed();
    ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
    TestSupport::NotificationListener host;
    ASSERT_EQ(S_OK, control->SetNotificationWindow(static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(host.window))));
    bool shutDown = false;
    host.react = [&](const NMHDR& header) {
        if (header.code == LVN_ITEMCHANGED && !shutDown) {
            shutDown = true;
            control->Shutdown();
        }
    };
    EXPECT_EQ(S_OK, control->RefreshDisplay());
    EXPECT_TRUE(shutDown);
    EXPECT_TRUE(::GetWindowLongPtrA(list.Handle(), GWL_STYLE) & WS_VISIBLE) << "redrawing is on again";
    EXPECT_TRUE(::GetWindowLongPtrA(list.Handle(), GWL_STYLE) & WS_CLIPCHILDREN)
        << "rows repaint around the transfer bars in their cells";
    host.react = nullptr;
    EXPECT_EQ(S_OK, control->StartupEx(server.Get())) << "and starts again";
    EXPECT_EQ(8, list.GetItemCount());
}

} // namespace
