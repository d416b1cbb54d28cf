#include "foundation/StateVocabulary.h"

#include "resources/resource.h"

UINT PortStateTextId(long stateCode) {
    switch (stateCode) {
    case portNotAvailable:
        return IDS_PORT_NOT_AVAILABLE;
    case portEnabled:
        return IDS_PORT_ENABLED;
    case portPending:
        return IDS_PORT_PENDING;
    case portDisabled:
        return IDS_PORT_DISABLED;
    case portWaiting:
        return IDS_PORT_WAITING;
    default:
        return IDS_PORT_UNKNOWN;
    }
}

UINT PortViewCaptionId(long portViewState) {
    // The values of the type library's portState enumeration.
    constexpr long noPorts = 0, noPhone = 1, downloadPort = 2, unavailablePort = 4;
    switch (portViewState) {
    case noPorts:
        return IDS_CAPTION_NO_PORTS;
    case noPhone:
        return IDS_CAPTION_NO_PHONE;
    case downloadPort:
        return IDS_CAPTION_DOWNLOAD_PORT;
    case unavailablePort:
        return IDS_CAPTION_UNAVAILABLE_PORT;
    default:
        return 0;
    }
}
