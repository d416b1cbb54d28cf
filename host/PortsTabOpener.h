// The demo's /open on the Ports tab: the port configuration control's add-port dialog and its
// question before disabling a port, and the port view's port selection dialog, each opened by a
// click on the button a user would click.
#pragma once

#include "host/CommandLine.h"
#include "host/ControlTabs.h"

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace DemoHost {

// The remembered answer to the question before a port is disabled, under HKEY_CURRENT_USER: gone,
// the question is asked.
inline constexpr const char* disablePortAnswerKey = "SOFTWARE\\KELMAR\\NORVIK Configuration\\DisablePort";

// Finds the port configuration control and the port view among `controls` by what they answer.
// Ports: true once the configuration control's list has rows, having opened nothing. Confirm:
// selects the first row whose port the control offers to disable, forgets a remembered answer and
// clicks Disable. PortSelect: clicks the port view's Browse... button once it shows one. The
// clicks are posted: what they open opens once the caller's message loop runs. False, having done
// nothing, while the control is not started or offers no such row or button yet.
bool OpenOnPortsTab(std::span<const PlacedControl> controls, IUnknown* server, OpenTarget target);

} // namespace DemoHost
