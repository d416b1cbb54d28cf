#pragma once

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <string>

// OstrelDeviceSim.exe of this build, and the one of the other bitness: the module's hosts are
// mostly 32-bit programs, and they meet whatever server the machine runs.
namespace TestSupport {

enum class SimulatorBuild { SameBitness, OtherBitness };

const char* bitnessName(SimulatorBuild build);

// Whether this machine runs programs of that build's bitness: a 32-bit Windows runs no 64-bit
// programs, and a 64-bit one without its 32-bit subsystem (WoW64) no 32-bit ones. Wine without its
// 32-bit half is the latter.
bool runsOnThisMachine(SimulatorBuild build);

// For tests run against both: the instances are named after the server's bitness.
inline const auto kEitherBitness =
    ::testing::Values(SimulatorBuild::SameBitness, SimulatorBuild::OtherBitness);
std::string serverBitness(const ::testing::TestParamInfo<SimulatorBuild>& info);
std::string simulatorPath(SimulatorBuild build = SimulatorBuild::SameBitness);
std::string scenarioPath(const char* fileName);

// Runs the simulator with `arguments` to its end and answers its exit code.
DWORD runSimulator(const std::string& arguments, SimulatorBuild build = SimulatorBuild::SameBitness);

// Wine's RpcSs keeps the class registration of a killed simulator and fails every later
// activation; stopped, it starts again on the next activation without it.
void restartRpcSs();

// A simulator registered (class and type libraries in its own registry view, which its stubs
// read) and started by hand on the bench scenario; COM hands it to every client until it exits.
class HandStartedSimulator {
public:
    explicit HandStartedSimulator(SimulatorBuild build);
    // Whether it registered and now serves; what it said otherwise.
    bool Serving() const { return m_serving; }
    std::string Output() const { return m_process.Output(); }
    bool Ended(DWORD timeoutMs = kChildTimeoutMs) const { return m_process.Ended(timeoutMs); }

private:
    DWORD m_registered;
    ChildProcess m_process;
    bool m_serving;
};

} // namespace TestSupport
