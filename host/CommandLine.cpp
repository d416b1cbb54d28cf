#include "host/CommandLine.h"

#include "foundation/Lang/Exception.h"

#include <windows.h>

#include <iterator>

namespace DemoHost {

namespace {

bool IsSwitch(const std::string& argument, const char* name) {
    return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-') &&
           ::lstrcmpiA(argument.c_str() + 1, name) == 0;
}

struct OpenName {
    const char* name;
    OpenTarget target;
};

constexpr OpenName openNames[] = {
    {"menu", OpenTarget::Menu},
    {"properties", OpenTarget::Properties},
    {"zelkor", OpenTarget::Zelkor},
    {"phone-list", OpenTarget::PhoneList},
    {"phone-properties", OpenTarget::PhoneProperties},
    {"service-mapping", OpenTarget::ServiceMapping},
    {"ports", OpenTarget::Ports},
    {"add-port", OpenTarget::NewPort},
    {"add-port-outgoing", OpenTarget::OutgoingConnection},
    {"confirm", OpenTarget::Confirm},
    {"port-select", OpenTarget::PortSelect},
    {"clients", OpenTarget::Clients},
    {"client-properties", OpenTarget::ClientProperties},
    {"component-properties", OpenTarget::ComponentProperties},
};

OpenTarget OpenTargetNamed(const std::string& argument, const std::string& name) {
    for (const OpenName& entry : openNames)
        if (::lstrcmpiA(name.c_str(), entry.name) == 0)
            return entry.target;
    std::string names;
    for (const OpenName& entry : openNames) {
        if (!names.empty())
            names += &entry == &openNames[std::size(openNames) - 1] ? " or " : ", ";
        names += entry.name;
    }
    throw Lang::Exception(argument + " takes " + names + ", not " + name, argument);
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool open = IsSwitch(argument, "open");
        std::string* value = IsSwitch(argument, "scenario")     ? &result.scenarioPath
                             : IsSwitch(argument, "screenshot") ? &result.screenshotPath
                                                                : nullptr;
        if (!value && !open)
            throw Lang::Exception("unknown argument: " + argument, argument);
        if (i + 1 == arguments.size() || arguments[i + 1].empty())
            throw Lang::Exception(argument + (open ? " needs what to open" : " needs a path"), argument);
        if (open)
            result.open = OpenTargetNamed(argument, arguments[++i]);
        else
            *value = arguments[++i];
    }
    if (result.open != OpenTarget::None && !result.screenshotPath.empty())
        throw Lang::Exception("/open and /screenshot do not go together", "/open");
    return result;
}

} // namespace DemoHost
