#pragma once

#include "server/OstrelServer.h"

#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <string>

// What a port command acts on and through. It holds copies and references of its own: while
// the command's dialog is open, the message loop may rebuild the port's row or let the list's
// agent go.
struct PortCommandContext {
    short portId = 0;
    std::string portName;
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent;
    // The owner of the command's message boxes: the control's window, else its container's.
    HWND messageOwner = nullptr;
    // The list's device server, created on first need; null after writing `failureTrace` to
    // the debug output when none can be had.
    std::function<IOstrelServer*(const char* failureTrace)> server;
};
