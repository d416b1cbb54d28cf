// Serving the simulated device server out of process: one server object for every client,
// reached through the device server's class identifier, for as long as clients live.
#pragma once

#include "devicesim/SimState.h"

#include <string>

namespace DeviceSim {

struct ServeOptions {
    std::string scenarioPath; // for the lines that tell what is served
    bool startedByCom = false;
};

// Runs until the last watched client is gone (or, started by COM, until no client has come for
// a while), or until IOstrelSimControl::Exit ends the process outright. Gives the exit code.
int Serve(Sim::SimState state, const ServeOptions& options);

} // namespace DeviceSim
