#include "ports/PortViewRules.h"

#include "foundation/StateVocabulary.h"
#include "framework/com/Module.h"
#include "resources/resource.h"

namespace {

constexpr char gap[] = "  ";

std::string Caption(const PortViewReading& reading, portState state) {
    return reading.portName + gap + Fw::Module::Current().String(PortViewCaptionId(state));
}

std::string Identity(const PortViewReading& reading) {
    return reading.portName + gap + reading.modelText + gap + reading.esnText + gap + "(" +
           reading.phoneText + ")";
}

// A platform device is named by its MEID; its icon says whether it is locked.
PortViewFace Platform(const PortViewReading& reading) {
    return {reading.portName + "   TPB  (" + reading.meidText + ")",
            reading.locked ? UINT(IDI_PORT_VIEW_PLATFORM_LOCKED) : UINT(IDI_PORT_VIEW_PLATFORM)};
}

} // namespace

portState PortViewStateOfMode(long phoneMode) {
    switch (phoneMode) {
    case 0:
        return noPhone;
    case 2:
    case 6:
    case 7:
    case 11:
    case 12:
        return downloadPort;
    default:
        return diagPort;
    }
}

UINT DiagnosticPhoneIcon(bool authorised, long phoneStatus, bool locked) {
    if (!authorised)
        return IDI_PORT_VIEW_UNAUTHORISED;
    const auto pick = [locked](UINT open, UINT held) { return locked ? held : open; };
    switch (phoneStatus) {
    case 1:
    case 8:
        return pick(IDI_PORT_VIEW_STATUS1, IDI_PORT_VIEW_STATUS1_LOCKED);
    case 2:
    case 3:
        return pick(IDI_PORT_VIEW_PLATFORM, IDI_PORT_VIEW_PLATFORM_LOCKED);
    case 4:
        return pick(IDI_PORT_VIEW_STATUS4, IDI_PORT_VIEW_STATUS4_LOCKED);
    case 6:
        return pick(IDI_PORT_VIEW_STATUS6, IDI_PORT_VIEW_STATUS6_LOCKED);
    case 7:
        return pick(IDI_PORT_VIEW_STATUS7, IDI_PORT_VIEW_STATUS7_LOCKED);
    case 9:
        return pick(IDI_PORT_VIEW_STATUS9, IDI_PORT_VIEW_STATUS9_LOCKED);
    default:
        return pick(IDI_PORT_VIEW_STATUS_OTHER, IDI_PORT_VIEW_STATUS_OTHER_LOCKED);
    }
}

PortViewFace PortViewFaceOf(const PortViewReading& reading) {
    const bool platform = reading.phoneKind == phoneKindMeid;
    switch (reading.state) {
    case noPhone:
        // Refresh type 1 asks for the port alone, without a platform device's identity.
        if (platform && reading.refreshType != 1)
            return Platform(reading);
        return {Caption(reading, noPhone), IDI_PORT_VIEW_NO_PHONE};
    case downloadPort:
        return {reading.esn == -1 ? Caption(reading, downloadPort) : Identity(reading),
                IDI_PORT_VIEW_DOWNLOAD};
    case diagPort:
        // Refresh type 2 shows whether a phone is there, not which one.
        if (reading.refreshType != 2)
            return {Identity(reading),
                    DiagnosticPhoneIcon(reading.authorised, reading.phoneStatus, reading.locked)};
        if (platform)
            return Platform(reading);
        return {Caption(reading, noPhone), IDI_PORT_VIEW_NO_PHONE};
    case unavailablePort:
        return {Caption(reading, unavailablePort), IDI_PORT_VIEW_UNAVAILABLE};
    default:
        return {Caption(reading, noPorts), IDI_PORT_VIEW_NO_PHONE};
    }
}
