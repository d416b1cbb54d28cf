// The registered port configuration control, created by its ProgID, over OstrelDeviceSim.exe in
// another process that is killed while the user is being asked whether to disable a port.
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

using Microsoft::WRL::ComPtr;
using TestSupport::DialogIcon;

namespace {

const char kDisableKey[] = "SOFTWARE\\KELMAR\\NORVIK Configuration\\DisablePort";
constexpr int kListId = 1;
// Longer than any call may take once the simulator is gone: Wine answers a dead server in ms.
constexpr ULONGLONG kPromptMs = 3'000;

DWORD Remembered(const char* name) {
    DWORD value = 0xDEAD, size = sizeof value;
    ::RegGetValueA(HKEY_CURRENT_USER, kDisableKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// The answer a user gave is theirs to keep, not the test's: gone before and after.
struct ForgottenAnswer {
    ForgottenAnswer() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kDisableKey); }
    ~ForgottenAnswer() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kDisableKey); }
};

class PortConfigEndToEnd : public ::testing::Test {
protected:
    // The kill leaves the simulator's registration in Wine's RpcSs, however the test ends; the
    // next activation needs it gone.
    static void TearDownTestSuite() { TestSupport::restartRpcSs(); }
};

TEST_F(PortConfigEndToEnd, TheSimulatorKilledDuringTheQuestionEndsInOneMessageAndTheAnswerIsKept) {
    ASSERT_EQ(0u, TestSupport::runSimulator("/RegServer"));
    const ForgottenAnswer forgotten;
    // Started by hand, so the test holds the process to kill; COM hands clients its class object.
    TestSupport::ChildProcess simulator(
        TestSupport::simulatorCommand("/scenario \"" + TestSupport::scenarioPath("bench.json") + "\""),
        TestSupport::restartRpcSs);
    ASSERT_TRUE(simulator.Says("OstrelDeviceSim: serving")) << simulator.Output();
    ComPtr<IOstrelServer> server;
    ASSERT_EQ(S_OK,
              ::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&server)));
    long cookie = 0;
    ComPtr<IUnknown> agent;
    ASSERT_EQ(S_OK, server->CreateConfigAgent(_bstr_t(L"Kelmar.OstrelConfigAgent.1"), -1, &cookie, &agent));

    CLSID clsid = {};
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"OstrelUITools.OstrelPortConfigCtrl", &clsid));
    TestSupport::TestContainer container;
    TestSupport::EmbedOptions options;
    options.rect = {0, 0, 700, 360};
    TestSupport::ControlSite& site = container.Embed(clsid, options);
    ASSERT_EQ(S_OK, site.Activate());
    ComPtr<IOstrelPortConfigCtrl> control = site.Control<IOstrelPortConfigCtrl>();
    ASSERT_TRUE(control);
    ASSERT_EQ(S_OK, control->Initialize(server.Get()));
    ASSERT_EQ(S_OK, control->Initialize(agent.Get()));
    const HWND face = site.Window();
    const Fw::ListView list(::GetDlgItem(::GetDlgItem(face, IDC_PORT_CONFIG_LIST), kListId));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return list.GetItemCount() == 8; }, 5'000))
        << list.GetItemCount();
    list.SelectItem(0); // COM1, enabled
    TestSupport::FlushMessages();
    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(face, IDC_PORT_CONFIG_DISABLE)));
    const auto click = [&](int button) {
        ::SendMessageA(face, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(::GetDlgItem(face, button)));
    };

    ULONGLONG started = 0;
    TestSupport::ModalDriver user;
    user.Expect([&](TestSupport::ModalDialog& question) {
        EXPECT_TRUE(::TerminateProcess(simulator.Process(), 1));
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(simulator.Process(), 5'000));
        question.Click(IDC_MOM_DONT_WARN);
        started = ::GetTickCount64();
        question.Click(IDOK);
    });
    user.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
    click(IDC_PORT_CONFIG_DISABLE);
    ASSERT_EQ(2u, user.Seen().size());
    EXPECT_EQ("Disable NORVIK Port", user.Seen()[0].caption);
    EXPECT_EQ("Port Disable", user.Seen()[1].caption);
    // Wine's proxy answers every call after the kill with RPC_S_SERVER_UNAVAILABLE, never
    // RPC_E_DISCONNECTED or RPC_S_CALL_FAILED.
    EXPECT_EQ("Port Disable failed with the error 0x800706BA\n", user.Seen()[1].message);
    EXPECT_LT(::GetTickCount64() - started, kPromptMs + 300) << "DisablePort waited on the dead server";
    // Yes, with "don't ask again" ticked, though the server never heard it.
    EXPECT_EQ(1u, Remembered("DontWarn"));
    EXPECT_EQ(0u, Remembered("UserChoice"));

    // Nothing tells the list that the server went: the row and its selection stay, so Enable
    // reaches the dead agent and says so, the status in signed decimal (0x800706BA).
    user.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
    click(IDC_PORT_CONFIG_ENABLE);
    ASSERT_EQ(3u, user.Seen().size());
    EXPECT_EQ("Error Enabling Port", user.Seen()[2].caption);
    EXPECT_EQ(
        "There was an error enabling the selected port.  The port may not be\nworking properly or may be "
        "busy. (-2147023174)",
        user.Seen()[2].message);
    EXPECT_EQ(DialogIcon::Stop, user.Seen()[2].icon);

    started = ::GetTickCount64();
    EXPECT_EQ(S_OK, control->Shutdown());
    EXPECT_LT(::GetTickCount64() - started, kPromptMs) << "Shutdown waited on the dead server";
    control.Reset();
}

} // namespace
