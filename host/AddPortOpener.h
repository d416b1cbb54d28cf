// The demo's /open add-port and add-port-outgoing: "Add New Port" as the port configuration
// control's add button runs it, and what a user then does in it.
#pragma once

#include "host/CommandLine.h"

#include <windows.h>

namespace DemoHost {

bool IsAddPortTarget(OpenTarget target);

// `window` is a started port configuration control's: once its list has rows, clicks its add
// button (posted: the dialog opens once the caller's message loop runs); the outgoing target then
// turns to the dialog's second page and fills in a machine and an IP port, the other picks the
// first offered port. False, having done nothing, while the list has no rows yet.
bool OpenAddPort(HWND window, OpenTarget target);

} // namespace DemoHost
