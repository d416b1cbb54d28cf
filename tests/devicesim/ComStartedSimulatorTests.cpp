// A simulator that COM started for a client ends once its last client process is gone, however
// that process went: killed, its references are never released, and only the watch ends it.
#include "devicesim/main/ExitCodes.h"
#include "foundation/Win32/Unique.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/ModuleRegistration.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

using namespace TestSupport;

namespace {

// The simulators running now, of either build, by process id.
std::vector<DWORD> runningSimulators() {
    std::vector<DWORD> ids;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    const Win32::UniqueHandle owned(snapshot);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, "OstrelDeviceSim.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

// A client that holds the server until it is killed (tests/scripts/devicesim.vbs).
std::string holdingClient() {
    return "cscript.exe //nologo \"" + moduleFolder() + "\\scripts\\devicesim.vbs\" hold";
}

// The instance COM started, ended by force should the test leave it running.
class StartedInstance {
public:
    explicit StartedInstance(DWORD id)
        : m_process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                  id)) {}
    ~StartedInstance() {
        if (m_process && !Ended(0)) {
            ::TerminateProcess(m_process.get(), 99);
            ::WaitForSingleObject(m_process.get(), kChildTimeoutMs);
            restartRpcSs();
        }
    }

    bool Opened() const { return static_cast<bool>(m_process); }
    bool Ended(DWORD timeoutMs) const {
        return ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = 0;
        ::GetExitCodeProcess(m_process.get(), &code);
        return code;
    }

private:
    Win32::UniqueHandle m_process;
};

// "Exits when the last one is gone": the watch wakes on the client's process handle, so a few
// seconds is slack for a loaded machine, not a grace the simulator takes.
constexpr DWORD kEndsWithinMs = 10'000;

TEST(ComStartedSimulator, OutlivesAKilledClientWhileAnotherLivesAndEndsWithTheLast) {
    ASSERT_EQ(0u, runSimulator("/RegServer")) << simulatorPath();
    ASSERT_TRUE(runningSimulators().empty()) << "a simulator is already running: COM would hand it out";

    ChildProcess first(holdingClient());
    ASSERT_TRUE(first.Says("client ")) << first.Output();
    const std::vector<DWORD> started = runningSimulators();
    ASSERT_EQ(1u, started.size()) << "COM did not start one simulator for the client";
    const StartedInstance simulator(started[0]);
    ASSERT_TRUE(simulator.Opened());
    ChildProcess second(holdingClient());
    ASSERT_TRUE(second.Says("client ")) << second.Output();
    ASSERT_EQ(started, runningSimulators()) << "the second client did not reach the same instance";

    ::TerminateProcess(first.Process(), 1);
    ASSERT_TRUE(first.Ended());
    EXPECT_FALSE(simulator.Ended(1'000)) << "ended while a client still lived";

    ::TerminateProcess(second.Process(), 1);
    ASSERT_TRUE(second.Ended());
    ASSERT_TRUE(simulator.Ended(kEndsWithinMs)) << "outlived its last client";
    EXPECT_EQ(DWORD(DeviceSim::ExitDone), simulator.ExitCode());
}

} // namespace
