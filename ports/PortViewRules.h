#pragma once

#include "interfaces/OstrelUITools.h"

#include <windows.h>

#include <string>

// The rules behind the port view's one line, as plain functions of what the control read of its
// port and phone: the control only sets the text and icon they give.

// The phone kind of a phone known by its MEID text instead of an ESN.
constexpr long phoneKindMeid = 7;

// What the port view read of its port and phone.
struct PortViewReading {
    portState state = noPhone;
    std::string portName;
    std::string modelText;
    std::string esnText;
    std::string phoneText;
    std::string meidText;
    long esn = -1;
    long phoneKind = 0;
    long refreshType = 0;
    long phoneStatus = 0;
    bool locked = false;
    bool authorised = false;
};

struct PortViewFace {
    std::string text;
    UINT icon = 0;

    bool operator==(const PortViewFace&) const = default;
};

// The state of a port whose phone mode could be read: 0 no phone, the download modes (2, 6, 7,
// 11, 12) a download port, anything else a phone in diagnostic mode.
portState PortViewStateOfMode(long phoneMode);

// The icon of a phone in diagnostic mode: by its status, locked or not; an unauthorised phone has
// its own.
UINT DiagnosticPhoneIcon(bool authorised, long phoneStatus, bool locked);

// The status text (always from the port name on) and the icon of the reading.
PortViewFace PortViewFaceOf(const PortViewReading& reading);
