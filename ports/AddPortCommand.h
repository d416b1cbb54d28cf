#pragma once

#include "ports/LocalPortOffer.h"
#include "server/OstrelServer.h"

#include <windows.h>

// The add-port command: runs "Add New Port" over the active window and hands the choice to the
// server, a local port through `configAgent`, an outgoing connection through `server`. Failures
// are told in message boxes owned by `messageOwner`. Answers the status of the server call made
// (S_OK when none was), E_FAIL when a Remote EFS port cannot be added by this agent. Raises, having
// shown nothing, when the server cannot give the port manager the dialog's classifier comes from
// (no server, or one that has gone).
HRESULT AddPortThroughDialog(IOstrelServer* server, IUnknown* configAgent, HWND messageOwner,
                             const LocalPortSources& sources = LocalPortSources::OfThisMachine());
