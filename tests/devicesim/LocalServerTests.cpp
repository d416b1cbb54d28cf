// OstrelDeviceSim.exe as its clients meet it: registered by its own /RegServer, started by COM
// or by hand, reached from C++ and from a script, ended by Exit or by its last client's death
// (a COM-started instance watches its clients as one started by hand does).
// Every test ends the instances it started, so that the next one starts from none.

#include "devicesim/main/ExitCodes.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "tests/devicesim/SimulatorSession.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/ModuleRegistration.h"
#include "tests/support/RegistryReader.h"
#include "tests/support/Scoped.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace TestSupport;

namespace {

constexpr const char* kServerClsid = "{73E70492-EED3-11D3-A096-00805F9B0C38}";
constexpr const char* kServerLibrary = "{E8401252-FCAC-4169-B817-87C30778247B}";
constexpr const char* kSimControlLibrary = "{BC2B4A65-773A-47B2-AD4A-080F984BF324}";
// A library is registered for the bitness of the process that registers it.
constexpr const char* kLibraryPlatform = sizeof(void*) == 8 ? "win64" : "win32";

std::string script(const std::string& arguments) {
    return "cscript.exe //nologo \"" + moduleFolder() + "\\scripts\\devicesim.vbs\"" + arguments;
}

// Ids of one kind of object, as the views ask for them.
std::vector<short> objectIds(IOstrelConfigAgent* agent, long typeMask) {
    short count = 0;
    SAFEARRAY* ids = nullptr;
    EXPECT_EQ(S_OK, agent->GetObjectIds(typeMask, &count, &ids));
    const Win32::UniqueSafeArray owned(ids);
    const Win32::SafeArrayAccess<short> access(ids);
    return {access.Items().begin(), access.Items().end()};
}

class LocalServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(0u, runSimulator("/RegServer")) << simulatorPath(); }
};

TEST_F(LocalServer, RegistersItsClassProgIdsAndBothLibraries) {
    const std::string classKey = std::string("CLSID\\") + kServerClsid;
    const std::string serverLibrary =
        std::string("TypeLib\\") + kServerLibrary + "\\1.0\\0\\" + kLibraryPlatform;
    const std::string controlLibrary =
        std::string("TypeLib\\") + kSimControlLibrary + "\\1.0\\0\\" + kLibraryPlatform;
    struct Row {
        std::string key;
        std::string expected;
    };
    const Row rows[] = {
        {classKey + "\\LocalServer32", "\"" + simulatorPath() + "\""},
        {classKey + "\\ProgID", "OstrelDeviceSim.Server.1"},
        {classKey + "\\VersionIndependentProgID", "OstrelDeviceSim.Server"},
        {"OstrelDeviceSim.Server.1\\CLSID", kServerClsid},
        {"OstrelDeviceSim.Server\\CLSID", kServerClsid},
        {"OstrelDeviceSim.Server\\CurVer", "OstrelDeviceSim.Server.1"},
        {controlLibrary, simulatorPath()},
        {serverLibrary, simulatorPath() + "\\2"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, readString(HKEY_CLASSES_ROOT, row.key).value_or("(missing)")) << row.key;

    ASSERT_EQ(0u, runSimulator("/UnregServer"));
    for (const Row& row : rows)
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, row.key)) << row.key << " left after /UnregServer";
    ASSERT_EQ(0u, runSimulator("-regserver"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, classKey + "\\LocalServer32"));
}

TEST_F(LocalServer, RefusesWhatItCannotServe) {
    const ScratchFile broken("devicesim-broken.json", "{\n  \"ports\": [\n    {\"id\": \"one\"}\n  ]\n}\n");
    struct Row {
        std::string arguments;
        DWORD exitCode;
        std::string said;
    };
    const Row rows[] = {
        {"/scenario \"" + broken.Path() + "\"", DeviceSim::ExitBadScenario, "devicesim-broken.json:3: "},
        {"/scenario", DeviceSim::ExitBadCommandLine, "/scenario"},
        {"/serve", DeviceSim::ExitBadCommandLine, "/serve"},
    };
    for (const Row& row : rows) {
        ChildProcess child(simulatorCommand(row.arguments), restartRpcSs);
        ASSERT_TRUE(child.Started() && child.Ended()) << row.arguments;
        EXPECT_EQ(row.exitCode, child.ExitCode()) << row.arguments;
        EXPECT_NE(std::string::npos, child.Output().find(row.said))
            << row.arguments << ": " << child.Output();
    }
}

TEST_F(LocalServer, GivesEveryClientTheOneServerUntilExitEndsIt) {
    SimulatorSession first;
    const ComPtr<IOstrelServer> second = ConnectToSimulator();
    ASSERT_TRUE(first.server && second);
    long state = 0;
    EXPECT_EQ(S_OK, first.server->GetServerState(&state));
    EXPECT_EQ(1, state);
    ComPtr<IUnknown> firstIdentity, secondIdentity;
    first.server.As(&firstIdentity);
    second.As(&secondIdentity);
    EXPECT_EQ(firstIdentity.Get(), secondIdentity.Get()) << "each client must get the same server object";
    firstIdentity.Reset();
    first.End();
    EXPECT_TRUE(FAILED(second->GetServerState(&state))) << "Exit ended it for every client";

    // The ended instance took its class registration with it: COM starts a fresh one.
    SimulatorSession fresh;
    ASSERT_TRUE(fresh.server);
    EXPECT_EQ(S_OK, fresh.server->GetServerState(&state));
}

TEST_F(LocalServer, ScriptReachesTheSameModelThroughItsProgId) {
    SimulatorSession session;
    ASSERT_TRUE(session.server);
    const ComPtr<IOstrelConfigAgent> agent = AgentOf(session.server.Get());
    ASSERT_TRUE(agent);
    const size_t clientsBefore = objectIds(agent.Get(), 0x20).size();

    ChildProcess cscript(script(""));
    ASSERT_TRUE(cscript.Started() && cscript.Ended());
    const std::string output = cscript.Output();
    EXPECT_NE(std::string::npos, output.find("devicesim.vbs done")) << output;
    EXPECT_EQ(clientsBefore + 1, objectIds(agent.Get(), 0x20).size())
        << "the script's client is not in our model";
}

TEST_F(LocalServer, HandStartedInstanceServesItsScenarioAndRefusesASecond) {
    ChildProcess first(simulatorCommand("/scenario \"" + scenarioPath("empty.json") + "\""), restartRpcSs);
    ASSERT_TRUE(first.Says("OstrelDeviceSim: serving")) << first.Output();

    ChildProcess second(simulatorCommand(""), restartRpcSs);
    ASSERT_TRUE(second.Started() && second.Ended());
    EXPECT_EQ(DWORD(DeviceSim::ExitAlreadyRunning), second.ExitCode());
    EXPECT_NE(std::string::npos, second.Output().find("already serving")) << second.Output();

    SimulatorSession session;
    ASSERT_TRUE(session.server);
    const ComPtr<IOstrelConfigAgent> agent = AgentOf(session.server.Get());
    ASSERT_TRUE(agent);
    EXPECT_TRUE(objectIds(agent.Get(), 1).empty())
        << "reached a bench instance, not the empty one started by hand";
    session.End();
    EXPECT_TRUE(first.Ended(5'000)) << "Exit reached another process than the one started by hand";
}

// A killed client releases nothing: only the watch on each client's process ends the server, and
// only once the last of them is gone. The watch wakes on the process handle, so the seconds
// allowed are slack for a loaded machine, not a grace the simulator takes.
TEST_F(LocalServer, EndsWhenItsLastClientDies) {
    ChildProcess server(simulatorCommand(""), restartRpcSs);
    ASSERT_TRUE(server.Says("OstrelDeviceSim: serving")) << server.Output();
    ChildProcess first(script(" hold")), second(script(" hold"));
    ASSERT_TRUE(first.Says("client ") && second.Says("client ")) << first.Output() << second.Output();

    ::TerminateProcess(first.Process(), 1);
    ASSERT_TRUE(first.Ended());
    EXPECT_FALSE(server.Ended(1'000)) << "ended while a client still lived";
    ::TerminateProcess(second.Process(), 1);
    ASSERT_TRUE(server.Ended(10'000)) << "the server outlived its last client: " << server.Output();
    EXPECT_EQ(DWORD(DeviceSim::ExitDone), server.ExitCode());
    EXPECT_NE(std::string::npos, server.Output().find("the last client is gone")) << server.Output();
}

} // namespace
