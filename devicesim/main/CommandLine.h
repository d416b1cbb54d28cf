// The switches OstrelDeviceSim.exe takes, read before anything else happens.
#pragma once

#include <string>
#include <vector>

namespace DeviceSim {

struct CommandLine {
    enum class Action { Serve, Register, Unregister };

    Action action = Action::Serve;
    // -Embedding: COM started us for a client, so a start that no client follows must end.
    bool startedByCom = false;
    // Empty: the bench scenario beside the executable.
    std::string scenarioPath;
};

// Switches start with '/' or '-' and ignore case: /RegServer, /UnregServer, /Embedding,
// /scenario <path>. Throws Lang::Exception naming the argument it cannot use.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace DeviceSim
