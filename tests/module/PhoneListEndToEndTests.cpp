// The registered phone list as hosts meet it: fed by OstrelDeviceSim.exe across processes until
// the simulator dies under an open properties window, its page in the system's property frame,
// and called by name from VBScript.
#include "foundation/Lang/ErrorText.h"
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "tests/devicesim/SimulatorSession.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ModuleRegistration.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kListId = 1;

std::string TextOf(HWND dialog, int id) {
    char text[128] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

struct CheckBoxSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindCheckBox(HWND child, LPARAM search) {
    auto* wanted = reinterpret_cast<CheckBoxSearch*>(search);
    if (::GetDlgCtrlID(child) != wanted->id || !(::GetWindowLongA(child, GWL_STYLE) & BS_CHECKBOX))
        return TRUE;
    wanted->found = child;
    return FALSE;
}

// A check box anywhere below `root` by its id: the frame holds the page's own dialog.
HWND Descendant(HWND root, int id) {
    CheckBoxSearch search = {id, nullptr};
    ::EnumChildWindows(root, FindCheckBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(PhoneListEndToEnd, PropertiesWindowStopsAskingWhenTheSimulatorDies) {
    TestSupport::TestContainer container;
    TestSupport::EmbedOptions options;
    options.rect = {0, 0, 520, 260};
    TestSupport::ControlSite& site = container.Embed(CLSID_OstrelPhoneList, options);
    ASSERT_EQ(S_OK, site.Activate());
    const ComPtr<IOstrelPhoneList> control = site.Control<IOstrelPhoneList>();
    ASSERT_TRUE(control);
    const Fw::ListView list(::GetDlgItem(site.Window(), kListId));
    ComPtr<IOstrelServer> server = TestSupport::ConnectToSimulator();
    ASSERT_TRUE(server);
    ComPtr<IOstrelSimControl> sim;
    ASSERT_EQ(S_OK, server.As(&sim));
    ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
    ASSERT_LT(0, list.GetItemCount());
    LONG esn = 0, portId = 0;
    ASSERT_EQ(S_OK, control->GetSelectedPhone(&esn, &portId));

    ASSERT_EQ(S_OK, control->ShowProperties());
    const HWND window = ::FindWindowA(nullptr, "Phone Properties");
    ASSERT_TRUE(window);
    ASSERT_EQ(S_OK, sim->ChangePhone(static_cast<short>(portId), _bstr_t(L"{\"stateText\": \"Calling\"}")));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return TextOf(window, IDC_PHONE_STATE) == "Calling"; }, 3'000))
        << "the window's ticks do not reach the simulator";

    // The process goes without a word to its clients; the next tick finds it gone.
    TestSupport::EndSimulator(server.Get());
    const std::string gone = Lang::ErrorText(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE));
    const std::string failed = Lang::ErrorText(HRESULT_FROM_WIN32(RPC_S_CALL_FAILED));
    ASSERT_TRUE(TestSupport::PumpUntil(
        [&] {
            const std::string state = TextOf(window, IDC_PHONE_STATE);
            return state == gone || state == failed;
        },
        3'000))
        << TextOf(window, IDC_PHONE_STATE);
    // A tick that still came would ask the dead server again and put the failure back.
    ::SetDlgItemTextA(window, IDC_PHONE_STATE, "no more ticks");
    TestSupport::PumpMessages(3 * 100);
    EXPECT_EQ("no more ticks", TextOf(window, IDC_PHONE_STATE));
    EXPECT_TRUE(::IsWindow(window)) << "the window keeps what it showed";
    ::SendMessageA(window, WM_COMMAND, IDOK, 0);
    TestSupport::FlushMessages();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(S_OK, control->Shutdown());
    TestSupport::restartRpcSs();
}

TEST(PhoneListEndToEnd, PropertyFrameShowsThePhoneListPage) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_OstrelPhoneList, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&control)));
    std::vector<std::string> labels;
    {
        TestSupport::ModalDriver driver;
        driver.Expect([&](TestSupport::ModalDialog& frame) {
            for (const int id : {IDC_PHONE_SHOW_SERVER, IDC_PHONE_SHOW_TYPE, IDC_PHONE_SHOW_ESN,
                                 IDC_PHONE_SHOW_BANNER, IDC_PHONE_SHOW_PORT, IDC_PHONE_SHOW_NUMBER}) {
                const Fw::Window box(Descendant(frame.Window(), id));
                labels.push_back(box.Text() + (box.Send(BM_GETCHECK) == BST_CHECKED ? " [x]" : " [ ]"));
            }
            frame.Click(IDCANCEL);
        });
        IUnknown* objects[] = {control.Get()};
        CLSID pages[] = {CLSID_PhoneListProps};
        EXPECT_EQ(S_OK, ::OleCreatePropertyFrame(nullptr, 0, 0, L"Phone list", 1, objects, 1, pages,
                                                 LOCALE_USER_DEFAULT, 0, nullptr));
        ASSERT_EQ(1u, driver.Seen().size());
    }
    EXPECT_EQ((std::vector<std::string>{"&Server [x]", "&Phone Type [x]", "&ESN [x]", "&Banner [x]", "Po&rt [x]",
                                        "&Number [x]"}),
              labels);
}

TEST(PhoneListEndToEnd, ScriptCallsItByNameAndSeesItsFailures) {
    const std::string refused = "0x80004005 \"" + Lang::ErrorText(E_FAIL) + "\"";
    EXPECT_EQ((std::vector<std::string>{"CreateObject: ok", "ShowESNLabel 1", "ShowESNLabel 0", "GetItemCount 0",
                                        "GetItemCount: ok", "GetModelString: " + refused,
                                        "InitializeList Nothing: " + refused, "phonelist script done"}),
              TestSupport::runScript("phonelist.vbs"));
}

} // namespace
