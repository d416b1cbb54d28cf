#include "host/CommandLine.h"

#include "foundation/Lang/Exception.h"

#include <windows.h>

namespace DemoHost {

namespace {

bool IsSwitch(const std::string& argument, const char* name) {
    return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-') &&
           ::lstrcmpiA(argument.c_str() + 1, name) == 0;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* value = IsSwitch(argument, "scenario")     ? &result.scenarioPath
                             : IsSwitch(argument, "screenshot") ? &result.screenshotPath
                                                                : nullptr;
        if (!value)
            throw Lang::Exception("unknown argument: " + argument, argument);
        if (i + 1 == arguments.size() || arguments[i + 1].empty())
            throw Lang::Exception(argument + " needs a path", argument);
        *value = arguments[++i];
    }
    return result;
}

} // namespace DemoHost
