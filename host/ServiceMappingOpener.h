// The demo's /open service-mapping: the phone list's "Configure Service to Port Mapping..." on a
// phone that holds a service map, and a user's first edit in the dialog it opens.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace DemoHost {

// Whether the phone on port `portId` of `server` has a file system with the map file in it; false
// for a port or phone the server does not answer for.
bool HoldsServiceMap(IUnknown* server, long portId);

// `list` is the phone list with the phone to map selected. Chooses the command from the list
// (posted: the modal dialog opens once the caller's message loop runs) and, once the dialog shows
// the phone's map, plays a user's drag of BT HCI from the Unassigned Services list onto the
// USB MDM device through the platform's drag loop, leaving that device's row selected.
void OpenServiceMapping(HWND list);

} // namespace DemoHost
