// The demo's /open add-port and add-port-outgoing: "Add New Port" as the port configuration
// control's add button will run it, run here on the port list's agent and the demo's server
// until that control lands.
#pragma once

#include "host/CommandLine.h"

#include <windows.h>
#include <unknwn.h>

namespace DemoHost {

bool IsAddPortTarget(OpenTarget target);

// Runs the add command once the caller's message loop runs again, over `window`; the outgoing
// target turns to the second page and fills in a machine and an IP port, the other picks the
// first offered port. False, having done nothing, while the list has no agent yet.
bool OpenAddPort(IUnknown* control, HWND window, IUnknown* server, OpenTarget target);

} // namespace DemoHost
