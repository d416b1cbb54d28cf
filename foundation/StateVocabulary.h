#pragma once

#include "foundation/ServerCodes.h"

#include <windows.h>

// The device server's numbers for port states and phone modes, and what the controls make
// of them. Texts are resource strings, named here by id and looked up when a row is built.

// Every state shown.
constexpr unsigned long defaultDisplayMask = 0xFFFFFFFF;

// The string id of a port state's text; every undefined code (0, two bits, ...) is "Unknown".
UINT PortStateTextId(long stateCode);

// A port is shown when its state shares a bit with the mask: state 0 never is.
constexpr bool IsShownByDisplayMask(long stateCode, unsigned long displayMask) {
    return (static_cast<unsigned long>(stateCode) & displayMask) != 0;
}

// Phone mode code of the phone record.
enum PhoneModeCode : long {
    phoneDownload = 2,
    phoneDownloadAlternate = 6,
    phoneZelkorDownload = 12,
};

// 2, 6 and 12 are download modes; any other mode is the phone's normal (diagnostic) mode.
constexpr bool IsDownloadMode(long phoneMode) {
    return phoneMode == phoneDownload || phoneMode == phoneDownloadAlternate ||
           phoneMode == phoneZelkorDownload;
}

// The caption id of a port view state (the type library's portState), or 0 for diagPort,
// whose caption is the identity of the connected phone.
UINT PortViewCaptionId(long portViewState);
