// The demo's /open: the port list's right-click menu or one of its port commands, opened on
// a chosen row as a user's click would open it.
#pragma once

#include "host/CommandLine.h"

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace DemoHost {

// What the choice of a row looks at, as the server tells it of each port.
struct PortFacts {
    short id;
    long state;
    long link;
    bool namesZelkorImage;
};

// The menu and the properties: the first enabled serial port, whose menu offers the most.
// The Zelkor dialog: the first port that names a boot image, whose dialog has settings to
// show; the serial port without one. 0 when no port fits.
short ChoosePort(std::span<const PortFacts> ports, OpenTarget target);

// `control` is an embedded control and `window` its control window; the demo's server is not
// needed, the list's own agent tells what is known of each port. On a port list whose
// rows are in, selects the chosen port's row and opens `target` there (posted: it opens
// once the caller's message loop runs); false, having done nothing, on another control or
// while the list holds no such row yet, as it fills itself from the server's answers.
bool OpenOnPortList(IUnknown* control, HWND window, IUnknown* server, OpenTarget target);

} // namespace DemoHost
