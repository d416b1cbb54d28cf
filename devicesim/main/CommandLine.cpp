#include "devicesim/main/CommandLine.h"

#include "foundation/Lang/Exception.h"

#include <windows.h>

namespace DeviceSim {

namespace {

// The switch's name without its '/' or '-', or empty for an argument that is no switch.
std::string SwitchName(const std::string& argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
        return {};
    return argument.substr(1);
}

bool Is(const std::string& name, const char* expected) {
    return ::lstrcmpiA(name.c_str(), expected) == 0;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    bool actionGiven = false;
    const auto setAction = [&](CommandLine::Action action, const std::string& argument) {
        if (actionGiven && result.action != action)
            throw Lang::Exception("/RegServer and /UnregServer exclude each other", argument);
        result.action = action;
        actionGiven = true;
    };

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = SwitchName(argument);
        if (Is(name, "RegServer")) {
            setAction(CommandLine::Action::Register, argument);
        } else if (Is(name, "UnregServer")) {
            setAction(CommandLine::Action::Unregister, argument);
        } else if (Is(name, "Embedding")) {
            result.startedByCom = true;
        } else if (Is(name, "scenario")) {
            if (i + 1 == arguments.size() || arguments[i + 1].empty())
                throw Lang::Exception("/scenario needs the path of a scenario file", argument);
            result.scenarioPath = arguments[++i];
        } else {
            throw Lang::Exception("unknown argument: " + argument, argument);
        }
    }
    return result;
}

} // namespace DeviceSim
