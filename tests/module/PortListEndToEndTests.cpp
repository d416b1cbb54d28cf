// The port list as real hosts use it: embedded by atl.dll's AtlAxWin window and started on the
// in-process simulator, and created by ProgID from VBScript and JScript under cscript.
#include "framework/ListView.h"
#include "foundation/Lang/ErrorText.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "module/OstrelUITools.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModuleRegistration.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

// atl.dll is taken as a host finds it on the machine: loaded by name, its two entry points
// looked up (mingw has no ATL headers, and no 32-bit import library for it).
struct AtlHost {
    HMODULE module = ::LoadLibraryA("atl.dll");
    BOOL(WINAPI* AtlAxWinInit)() = Export<BOOL(WINAPI*)()>("AtlAxWinInit");
    HRESULT(WINAPI* AtlAxGetControl)
    (HWND, IUnknown**) = Export<HRESULT(WINAPI*)(HWND, IUnknown**)>("AtlAxGetControl");

    template <class Function>
    Function Export(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

namespace {

constexpr DWORD kScriptTimeoutMs = 60'000;

// What a caller outside the object can learn of its references: AddRef's answer, less ours.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

std::string HeaderText(HWND header, int column) {
    char text[64] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    return ::SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)) ? text : "(none)";
}

TEST(PortListEndToEnd, AtlAxWinEmbedsItAndItFillsFromTheServer) {
    ComPtr<IOstrelServer> server =
        Sim::CreateSimServer(Sim::LoadScenario(TestSupport::moduleFolder() + "\\scenarios\\bench.json"));
    const ULONG serverReferences = References(server.Get());

    const AtlHost atl;
    ASSERT_TRUE(atl.AtlAxWinInit && atl.AtlAxGetControl) << "atl.dll";
    ASSERT_TRUE(atl.AtlAxWinInit());
    const HWND frame = ::CreateWindowExA(0, "STATIC", "port list host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                         0, 640, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    const HWND host = ::CreateWindowExA(0, "AtlAxWin", "OstrelUITools.OstrelPortList", WS_CHILD | WS_VISIBLE,
                                        10, 10, 520, 260, frame, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, atl.AtlAxGetControl(host, &unknown));
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
    const std::vector<std::string> benchPorts = {"COM1",  "COM4",  "COM7",         "COM9",
                                                 "COM12", "COM15", "lab-rig:2500", "COM20"};
    TestSupport::PumpUntil([&] { return Fw::ListView(list).GetItemCount() == int(benchPorts.size()); },
                           2'000);

    // The headers come from the module's own string table, not from the host's executable.
    const HMODULE module = ::GetModuleHandleA("OstrelUITools.dll");
    ASSERT_TRUE(module);
    const UINT headerIds[] = {IDS_PORT_COLUMN_PORT, IDS_PORT_COLUMN_STATE, IDS_PORT_COLUMN_LABEL,
                              IDS_PORT_COLUMN_PHONE, IDS_PORT_COLUMN_LINK};
    const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(5, ::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < 5; ++column) {
        char expected[64] = {};
        ASSERT_LT(0, ::LoadStringA(module, headerIds[column], expected, sizeof expected))
            << "column " << column;
        EXPECT_EQ(expected, HeaderText(header, column)) << "column " << column;
    }
    std::vector<std::string> ports;
    for (int row = 0; row < Fw::ListView(list).GetItemCount(); ++row)
        ports.push_back(Fw::ListView(list).GetItemText(row, 0));
    EXPECT_EQ(benchPorts, ports);
    EXPECT_EQ("Bench serial", Fw::ListView(list).GetItemText(0, 2));

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
std::string RunScript(const std::string& name) {
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    const std::string outputPath =
        std::string(folder) + "portlist-" + std::to_string(::GetCurrentProcessId()) + "-" + name + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output = ::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string command =
        "cscript.exe //nologo \"" + TestSupport::moduleFolder() + "\\scripts\\" + name + "\"";
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(output);
    if (!started)
        return "(cscript did not start)";
    ::CloseHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, kScriptTimeoutMs) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    std::ifstream file(outputPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    file.close();
    ::DeleteFileA(outputPath.c_str());
    return text.str();
}

// What needs the control's window is refused with E_FAIL, described by the status's text.
TEST(PortListEndToEnd, ScriptsCallItByNameAndSeeItsFailures) {
    const std::string refused = "0x80004005 \"" + Lang::ErrorText(E_FAIL) + "\"";
    struct Script {
        const char* name;
        std::vector<std::string> lines;
    };
    const Script scripts[] = {
        {"portlist.vbs",
         {"CreateObject: ok", "SetDisplayMask 2: ok", "ShowPropertiesOnDoubleClick 1: ok", "ShowBaudLabel 1",
          "ShowBaudLabel 0", "Startup: " + refused, "InitializeList Nothing: " + refused,
          "portlist script done"}},
        {"portlist.js",
         {"SetDisplayMask 2: ok", "ShowPropertiesOnDoubleClick 1: ok", "ShowBaudLabel 1", "ShowBaudLabel 0",
          "Startup: " + refused, "portlist script done"}},
    };
    for (const Script& script : scripts) {
        std::istringstream output(RunScript(script.name));
        std::vector<std::string> lines;
        for (std::string line; std::getline(output, line);)
            lines.push_back(line.substr(0, line.find_last_not_of("\r") + 1));
        EXPECT_EQ(script.lines, lines) << script.name;
    }
}

} // namespace
