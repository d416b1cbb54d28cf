// OstrelDeviceSim.exe: the simulated device server as a local COM server.
//   OstrelDeviceSim.exe /RegServer | /UnregServer
//   OstrelDeviceSim.exe [/scenario <path>]      started by hand: serves that scenario (else bench)
//   OstrelDeviceSim.exe -Embedding              started by COM for a client: serves bench
// The exit codes are in ExitCodes.h.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/main/CommandLine.h"
#include "devicesim/main/Console.h"
#include "devicesim/main/ExitCodes.h"
#include "devicesim/main/LocalServer.h"
#include "devicesim/main/Registration.h"
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Exception.h"
#include "framework/com/Module.h"

using namespace DeviceSim;

namespace {

int Register(bool registering) {
    const HRESULT status = registering ? RegisterServer() : UnregisterServer();
    if (FAILED(status)) {
        Complain(std::string("OstrelDeviceSim: ") + (registering ? "registration" : "unregistration") +
                 " failed: " + Lang::ErrorText(status));
        return ExitComFailure;
    }
    return ExitDone;
}

int ServeScenario(const CommandLine& commandLine) {
    const std::string path = commandLine.scenarioPath.empty()
                                 ? Fw::Module::Current().Folder() + "\\scenarios\\bench.json"
                                 : commandLine.scenarioPath;
    Sim::SimState state;
    try {
        state = Sim::LoadScenario(path);
    } catch (const Lang::Exception& failure) {
        Complain(std::string("OstrelDeviceSim: ") + failure.what());
        return ExitBadScenario;
    }
    return Serve(std::move(state), {path, commandLine.startedByCom});
}

} // namespace

int main(int argc, char** argv) {
    CommandLine commandLine;
    try {
        commandLine = ParseCommandLine({argv + 1, argv + argc});
    } catch (const Lang::Exception& failure) {
        Complain(std::string("OstrelDeviceSim: ") + failure.what());
        Complain("usage: OstrelDeviceSim.exe /RegServer | /UnregServer | [/scenario <path>]");
        return ExitBadCommandLine;
    }
    switch (commandLine.action) {
    case CommandLine::Action::Register:
        return Register(true);
    case CommandLine::Action::Unregister:
        return Register(false);
    case CommandLine::Action::Serve:
        break;
    }
    return ServeScenario(commandLine);
}
