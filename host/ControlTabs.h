// The module's visual controls the demo shows, one tab each, and how each one is connected
// to the device server once it is active.
#pragma once

#include "host/CommandLine.h"

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace DemoHost {

struct ControlTab {
    UINT titleId; // the tab's title in the string table
    const CLSID* clsid;
    const char* progId;      // names the control in the tab's notes
    const char* displayName; // the ambient display name its site gives
    // Raise _com_error on a failed call.
    void (*startup)(IUnknown* control, IUnknown* server);
    void (*shutdown)(IUnknown* control);
    // What /open opens on this tab's control, and how: on the started control, its window and
    // the server the demo runs, true once opened, false while the control's rows are not in yet.
    // Null for none.
    std::span<const OpenTarget> opens;
    bool (*open)(IUnknown* control, HWND window, IUnknown* server, OpenTarget target);
};

// A control gets its row here when it lands; until then its class is not handed out and the
// tab says so.
std::span<const ControlTab> ControlTabs();

// The tab whose control `target` is opened on, or null.
const ControlTab* TabOpening(OpenTarget target);

} // namespace DemoHost
