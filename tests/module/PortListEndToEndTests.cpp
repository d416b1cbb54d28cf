// The port list as real hosts use it: embedded by atl.dll's AtlAxWin window and started on the
// in-process simulator, and created by ProgID from VBScript and JScript under cscript.
#include "framework/windows/ListView.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/ErrorText.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModuleRegistration.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

void* Export(HMODULE module, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(module, name));
}

// What a caller outside the object can learn of its references: AddRef's answer, less ours.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// The list's column headers, as its header control shows them.
std::vector<std::string> HeaderTexts(HWND list) {
    std::vector<std::string> texts;
    for (char text[64] = {};; text[0] = 0) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        if (!::SendMessageA(list, LVM_GETCOLUMNA, texts.size(), reinterpret_cast<LPARAM>(&column)))
            return texts;
        texts.push_back(text);
    }
}

TEST(PortListEndToEnd, AtlAxWinEmbedsItAndItFillsFromTheServer) {
    ComPtr<IOstrelServer> server =
        Sim::CreateSimServer(Sim::LoadScenario(TestSupport::moduleFolder() + "\\scenarios\\bench.json"));
    const ULONG serverReferences = References(server.Get());

    // atl.dll is taken as a host finds it on the machine: loaded by name, its two entry points
    // looked up (mingw has no ATL headers, and no 32-bit import library for it).
    const HMODULE atl = ::LoadLibraryA("atl.dll");
    const auto atlAxWinInit = reinterpret_cast<BOOL(WINAPI*)()>(Export(atl, "AtlAxWinInit"));
    const auto atlAxGetControl =
        reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(Export(atl, "AtlAxGetControl"));
    ASSERT_TRUE(atlAxWinInit && atlAxGetControl) << "atl.dll";
    ASSERT_TRUE(atlAxWinInit());
    const HWND frame = ::CreateWindowExA(0, "STATIC", "port list host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                         0, 640, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    const HWND host = ::CreateWindowExA(0, "AtlAxWin", "OstrelUITools.OstrelPortList", WS_CHILD | WS_VISIBLE,
                                        10, 10, 520, 260, frame, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, atlAxGetControl(host, &unknown));
    ComPtr<IOstrelPortList> control;
    ASSERT_EQ(S_OK, unknown.As(&control));

    // In place active: its own window fills the host's, the list fills its window.
    ComPtr<IOleWindow> oleWindow;
    ASSERT_EQ(S_OK, unknown.As(&oleWindow));
    HWND window = nullptr;
    ASSERT_EQ(S_OK, oleWindow->GetWindow(&window));
    EXPECT_EQ(host, ::GetParent(window));
    RECT hostClient = {}, controlClient = {};
    ::GetClientRect(host, &hostClient);
    ::GetClientRect(window, &controlClient);
    EXPECT_TRUE(::EqualRect(&hostClient, &controlClient))
        << "control " << controlClient.right << "x" << controlClient.bottom << " in a host of "
        << hostClient.right << "x" << hostClient.bottom;
    const HWND list = ::FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_TRUE(list) << "no list view inside the control's window";
    EXPECT_TRUE(::IsWindowVisible(list));

    ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
    // The rows' texts are the in-process tests'; here the bench's eight ports arrive.
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return Fw::ListView(list).GetItemCount() == 8; }, 2'000));

    // The headers come from the module's own string table, not from the host's executable.
    std::vector<std::string> headers;
    for (UINT id : {IDS_PORT_COLUMN_PORT, IDS_PORT_COLUMN_STATE, IDS_PORT_COLUMN_LABEL, IDS_PORT_COLUMN_PHONE,
                    IDS_PORT_COLUMN_LINK}) {
        char text[64] = {};
        ASSERT_LT(0, ::LoadStringA(::GetModuleHandleA("OstrelUITools.dll"), id, text, sizeof text)) << id;
        headers.push_back(text);
    }
    EXPECT_EQ(headers, HeaderTexts(list));

    // Closing the form is all a host does: the control must hand back what it took from the server.
    ComPtr<IUnknown> agent;
    ASSERT_EQ(S_OK, control->GetConfigAgent(&agent));
    ASSERT_TRUE(::DestroyWindow(frame));
    EXPECT_FALSE(::IsWindow(window));
    TestSupport::FlushMessages();
    oleWindow.Reset();
    control.Reset();
    unknown.Reset();
    EXPECT_EQ(1u, References(agent.Get())) << "the agent was not released by the control or the server";
    EXPECT_EQ(serverReferences, References(server.Get())) << "the control still holds the server";
}

// Runs one of the scripts copied beside the tests and gives back all it printed.
// What needs the control's window is refused with E_FAIL, described by the status's text;
// Startup without one answers success and waits for the window.
TEST(PortListEndToEnd, ScriptsCallItByNameAndSeeItsFailures) {
    const std::string refused = "0x80004005 \"" + Lang::ErrorText(E_FAIL) + "\"";
    const std::pair<const char*, std::vector<std::string>> scripts[] = {
        {"portlist.vbs",
         {"CreateObject: ok", "SetDisplayMask 2: ok", "ShowPropertiesOnDoubleClick 1: ok", "ShowBaudLabel 1",
          "ShowBaudLabel 0", "Startup: ok", "InitializeList Nothing: " + refused,
          "portlist script done"}},
        {"portlist.js",
         {"SetDisplayMask 2: ok", "ShowPropertiesOnDoubleClick 1: ok", "ShowBaudLabel 1", "ShowBaudLabel 0",
          "SetNotificationWindow 0: " + refused, "portlist script done"}},
    };
    for (const auto& [name, expected] : scripts) {
        EXPECT_EQ(expected, TestSupport::runScript(name)) << name;
    }
}

} // namespace
