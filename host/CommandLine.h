// The switches OstrelDemoHost.exe takes.
#pragma once

#include <string>
#include <vector>

namespace DemoHost {

// What the host opens once the list it is opened on has its rows in, so that the controls'
// menus and windows can be looked at, or pictured, without a hand on the mouse: the port
// list's menu and dialogs, the Phones tab on its first usable phone, that phone's properties
// window, and the service map dialog of the first such phone with a map, mid-edit; the Ports tab
// alone, the add-port dialog on either page as its port configuration control's add button opens
// it, that control's question before it disables a port, and the port view's port selection
// dialog; the Clients tab alone, and the properties windows of its client list's first client
// and of that client's leaf in its object tree.
enum class OpenTarget {
    None,
    Menu,
    Properties,
    Zelkor,
    PhoneList,
    PhoneProperties,
    ServiceMapping,
    Ports,
    NewPort,
    OutgoingConnection,
    Confirm,
    PortSelect,
    Clients,
    ClientProperties,
    ComponentProperties
};

struct CommandLine {
    // Empty: scenarios\bench.json beside the executable.
    std::string scenarioPath;
    // Set: capture the dialog to this 24-bit bitmap once it is painted, then close.
    std::string screenshotPath;
    OpenTarget open = OpenTarget::None;
};

// Switches start with '/' or '-' and ignore case: /scenario <path>, /screenshot <file.bmp>,
// /open menu|properties|zelkor|phone-list|phone-properties|service-mapping|ports|add-port|
// add-port-outgoing|confirm|port-select|clients|client-properties|component-properties. /open and
// /screenshot exclude each other: the bitmap holds the host's dialog alone, never a menu or window
// above it. Throws Lang::Exception naming the argument it cannot use.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace DemoHost
