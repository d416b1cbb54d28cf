#pragma once

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <memory>
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
// The command line that starts the simulator with `arguments`.
std::string simulatorCommand(const std::string& arguments,
                             SimulatorBuild build = SimulatorBuild::SameBitness);

// Runs the simulator with `arguments` to its end and answers its exit code.
DWORD runSimulator(const std::string& arguments, SimulatorBuild build = SimulatorBuild::SameBitness);

// Wine's RpcSs keeps the class registration of a killed simulator and fails every later
// activation; stopped, it starts again on the next activation without it.
void restartRpcSs();

// A test against the simulator of either bitness (instantiate with kEitherBitness). This build's
// simulator is registered for COM to start. The other one registers itself too (its stubs read
// the interface keys and library path of its own registry view) and is started by hand on the
// bench scenario, so that COM hands its running class object to every client until it exits.
// Where this machine runs no programs of that bitness, the test is skipped.
class EitherBitnessTest : public ::testing::TestWithParam<SimulatorBuild> {
protected:
    void SetUp() override;

    // The simulator started by hand, for the other bitness only.
    std::unique_ptr<ChildProcess> handStarted;
};

} // namespace TestSupport
