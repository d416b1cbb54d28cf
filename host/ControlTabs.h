// The module's visual controls the demo shows, one or more on each tab, and how each one is
// connected to the device server once it is active.
#pragma once

#include "host/CommandLine.h"

#include <windows.h>
#include <unknwn.h>

#include <functional>
#include <span>
#include <vector>

namespace DemoHost {

// One control on a tab's page. The page is cut into bands from the top down, in the order of the
// placements, each the full width of the page.
struct ControlPlacement {
    const CLSID* clsid;
    const char* progId;      // names the control in the tab's notes
    const char* displayName; // the ambient display name its site gives
    // Raise _com_error on a failed call; null where there is nothing to do. Startup answers the
    // cookie of a configuration agent it made on `server` for the control, 0 for none; shutdown
    // hands it back.
    long (*startup)(IUnknown* control, IUnknown* server);
    void (*shutdown)(IUnknown* control, IUnknown* server, long agentCookie);
    // The band's height in the host dialog's units; 0 for what the other bands leave.
    int height = 0;
};

// A tab's control as its opener sees it: null while it is not started.
struct PlacedControl {
    IUnknown* control;
    HWND window;
};

struct ControlTab {
    UINT titleId; // the tab's title in the string table
    std::span<const ControlPlacement> controls;
    // What /open opens on this tab, and how: on the tab's controls, in the order of their
    // placements, and the server the demo runs; true once opened, false while the controls' rows
    // are not in yet. Null for none.
    std::span<const OpenTarget> opens;
    bool (*open)(std::span<const PlacedControl> controls, IUnknown* server, OpenTarget target);
};

// A control gets its place here when it lands; until then its class is not handed out and its
// band says so.
std::span<const ControlTab> ControlTabs();

// The tab whose controls `target` is opened on, or null.
const ControlTab* TabOpening(OpenTarget target);

// Where the placements sit in `area`, in their order: bands `spacing` pixels apart, heights turned
// into pixels by `pixels`; a band of what is left is never less than empty.
std::vector<RECT> PlaceControls(std::span<const ControlPlacement> placements, const RECT& area, int spacing,
                                const std::function<int(int)>& pixels);

} // namespace DemoHost
