// The demo's /open on the Clients tab: the client list above the object tree, and the properties
// window of a client in either, chosen from the control's right-click menu as a user would.
#pragma once

#include "host/CommandLine.h"
#include "host/ControlTabs.h"

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace DemoHost {

// Finds the client list and the object tree among `controls` by what they answer. Clients: true
// once the list has rows and the tree has the leaf of the first client the server lists, having
// opened nothing. ClientProperties: selects the list's first row, that client's, and chooses
// Properties... from the list's menu. ComponentProperties: selects that client's leaf in the tree
// and chooses Properties... from the tree's menu. The menu and the key that chooses from it are
// posted: the modal window opens once the caller's message loop runs. False, having done nothing,
// while either control is not started or has not filled yet.
bool OpenOnClientsTab(std::span<const PlacedControl> controls, IUnknown* server, OpenTarget target);

} // namespace DemoHost
