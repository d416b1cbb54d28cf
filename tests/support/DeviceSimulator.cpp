#include "DeviceSimulator.h"

#include "ModuleRegistration.h"

namespace TestSupport {

const char* bitnessName(SimulatorBuild build) {
    const bool other = build == SimulatorBuild::OtherBitness;
    return (sizeof(void*) == 8) != other ? "x86_64" : "i686";
}

bool runsOnThisMachine(SimulatorBuild build) {
    if (build == SimulatorBuild::SameBitness)
        return true;
    if (sizeof(void*) == 4) {
        BOOL underWow64 = FALSE;
        return ::IsWow64Process(::GetCurrentProcess(), &underWow64) && underWow64;
    }
    char folder[MAX_PATH];
    const UINT length = ::GetSystemWow64DirectoryA(folder, MAX_PATH);
    return length && length < MAX_PATH &&
           ::GetFileAttributesA((std::string(folder) + "\\kernel32.dll").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string serverBitness(const ::testing::TestParamInfo<SimulatorBuild>& info) {
    return std::string(bitnessName(info.param)) + "_server";
}

std::string simulatorPath(SimulatorBuild build) {
    const std::string folder = build == SimulatorBuild::SameBitness ? moduleFolder() : OSTREL_PEER_BIN_DIR;
    return folder + "\\OstrelDeviceSim.exe";
}

std::string scenarioPath(const char* fileName) {
    return moduleFolder() + "\\scenarios\\" + fileName;
}

std::string simulatorCommand(const std::string& arguments, SimulatorBuild build) {
    return "\"" + simulatorPath(build) + "\"" + (arguments.empty() ? "" : " " + arguments);
}

DWORD runSimulator(const std::string& arguments, SimulatorBuild build) {
    return runCommand(simulatorCommand(arguments, build));
}

void restartRpcSs() {
    runCommand("net.exe stop RpcSs");
}

void EitherBitnessTest::SetUp() {
    const SimulatorBuild build = GetParam();
    if (!runsOnThisMachine(build))
        GTEST_SKIP() << "this machine runs no " << bitnessName(build) << " programs";
    ASSERT_EQ(0u, runSimulator("/RegServer", build)) << simulatorPath(build);
    if (build == SimulatorBuild::SameBitness)
        return;
    handStarted = std::make_unique<ChildProcess>(
        simulatorCommand("/scenario \"" + scenarioPath("bench.json") + "\"", build), restartRpcSs);
    ASSERT_TRUE(handStarted->Says("OstrelDeviceSim: serving")) << simulatorPath(build) << ": " << handStarted->Output();
}

} // namespace TestSupport
