// The registered client list and object tree, created by their ProgIDs side by side over
// OstrelDeviceSim.exe in another process: they follow its clients across the process boundary
// and stay whole when it is killed under them; and a script calls them by name.
#include "devicesim/OstrelSimControl.h"
#include "foundation/Lang/ErrorText.h"
#include "framework/windows/ListView.h"
#include "framework/windows/TreeView.h"
#include "interfaces/OstrelUITools.h"
#include "server/OstrelServer.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModuleRegistration.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kChildId = 1;
// Longer than any call may take once the simulator is gone: Wine answers a dead server in ms.
constexpr ULONGLONG kDeadServerMs = 3'000;

class ClientsEndToEnd : public ::testing::Test {
protected:
    // The kill leaves the simulator's registration in Wine's RpcSs, however the test ends; the
    // next activation needs it gone.
    static void TearDownTestSuite() { TestSupport::restartRpcSs(); }
};

template <class I>
ComPtr<I> EmbedByProgId(TestSupport::TestContainer& container, const wchar_t* progId, RECT rect, HWND& window) {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(progId, &clsid));
    TestSupport::EmbedOptions options;
    options.rect = rect;
    TestSupport::ControlSite& site = container.Embed(clsid, options);
    EXPECT_EQ(S_OK, site.Activate());
    window = ::GetDlgItem(site.Window(), kChildId);
    return site.Control<I>();
}

TEST_F(ClientsEndToEnd, BothFollowTheServersClientsAndOutliveItsKill) {
    ASSERT_EQ(0u, TestSupport::runSimulator("/RegServer"));
    TestSupport::ChildProcess simulator(
        TestSupport::simulatorCommand("/scenario \"" + TestSupport::scenarioPath("bench.json") + "\""),
        TestSupport::restartRpcSs);
    ASSERT_TRUE(simulator.Says("OstrelDeviceSim: serving")) << simulator.Output();
    ComPtr<IOstrelServer> server;
    ASSERT_EQ(S_OK,
              ::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&server)));
    ComPtr<IOstrelSimControl> sim;
    ASSERT_EQ(S_OK, server.As(&sim));

    TestSupport::TestContainer container;
    HWND listWindow = nullptr, treeWindow = nullptr;
    auto clients = EmbedByProgId<IOstrelClientList>(container, L"OstrelUITools.OstrelClientList", {0, 0, 600, 200},
                                                     listWindow);
    auto objects = EmbedByProgId<IOstrelObjectList>(container, L"OstrelUITools.OstrelObjectList",
                                                     {0, 200, 600, 600}, treeWindow);
    ASSERT_TRUE(clients && objects);
    const Fw::ListView list(listWindow);
    const Fw::TreeView tree(treeWindow);
    ASSERT_EQ(S_OK, clients->StartupEx(server.Get()));
    ASSERT_EQ(S_OK, objects->StartupEx(server.Get()));
    EXPECT_EQ(3, list.GetItemCount());
    // Root, four groups, 2 agents, 3 clients, 5 phones, 8 ports.
    EXPECT_EQ(23u, tree.Count());

    short added = 0;
    ASSERT_EQ(S_OK, sim->AddClient(_bstr_t(L"Remote tool"), _bstr_t(L"lab9"), 9, _bstr_t(L"1.0"), _bstr_t(L""),
                                   &added));
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return list.GetItemCount() == 4 && tree.Count() == 24u; }, 5'000))
        << list.GetItemCount() << " rows, " << tree.Count() << " items";
    EXPECT_EQ("Remote tool", list.GetItemText(3, 0));

    EXPECT_TRUE(::TerminateProcess(simulator.Process(), 1));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(simulator.Process(), 5'000));
    const ULONGLONG started = ::GetTickCount64();
    // Nothing tells the views that the server went; a reload finds nothing to read.
    EXPECT_EQ(S_OK, clients->RefreshDisplay());
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ(E_FAIL, objects->RefreshDisplay());
    EXPECT_EQ(5u, tree.Count()) << "the server and its groups, without leaves";
    EXPECT_EQ(S_OK, clients->ShowProperties());
    EXPECT_EQ(S_OK, objects->ShowProperties());
    EXPECT_EQ(S_OK, clients->Shutdown());
    EXPECT_EQ(S_OK, objects->Shutdown());
    EXPECT_LT(::GetTickCount64() - started, kDeadServerMs) << "a view waited on the dead server";
}

// Without a window, which a script never gives them, a start on a server is refused and lets
// the server go again; everything else answers.
TEST(ClientsScript, CallsThemByNameAndSeesTheWindowlessStartRefused) {
    ASSERT_EQ(0u, TestSupport::runSimulator("/RegServer"));
    const std::string refused = "0x80004005 \"" + Lang::ErrorText(E_FAIL) + "\"";
    EXPECT_EQ((std::vector<std::string>{"CreateObject client list: ok", "CreateObject object tree: ok",
                                        "CreateObject server: ok", "Startup: ok", "client list StartupEx: " + refused,
                                        "object tree StartupEx: " + refused, "RefreshDisplay: ok",
                                        "ShowProperties: ok", "Shutdown: ok", "clients script done"}),
              TestSupport::runScript("clients.vbs"));
}

} // namespace
