#pragma once

#include "ports/DiscoveredPort.h"
#include "server/OstrelServer.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

class CNorvikPortStateEnum;

// One port as the device-management library describes it: the members the listing reads.
struct LocalPortDescription {
    std::wstring portName;
    std::wstring description;
    std::wstring detail;
    // The port belongs to a USB device.
    bool isUsb = false;
};

using LocalPortDescriptions = std::vector<LocalPortDescription>;

// Whether the server already has a port of that name (8-bit, exact).
using KnownPortTest = std::function<bool(const std::string& portName)>;
KnownPortTest KnownPortsOf(const CNorvikPortStateEnum& knownPorts);

// A row of the add-port dialog's list and the port it offers.
struct PortListRow {
    std::string text;
    std::string portName;

    bool operator==(const PortListRow&) const = default;
};

struct LibraryPortListing {
    std::vector<PortListRow> rows;
    std::set<std::wstring> remoteEfsPorts;
};

// The type names shown after a port's name; the registry's port kinds share them.
namespace PortTypeName {
inline constexpr const char* serial = "Serial";
inline constexpr const char* usbUnknown = "USB/Unknown";
inline constexpr const char* dataModem = "USB/KM Data Modem";
inline constexpr const char* diagnostic = "USB/KM Diagnostic";
inline constexpr const char* nmea = "USB/KM NMEA";
inline constexpr const char* remoteEfs = "USB/KM Remote EFS";
inline constexpr const char* unknown = "Unknown";
} // namespace PortTypeName

// "COM7 - USB/KM Diagnostic (A, B)": the name, the type, then whichever texts the port has.
std::wstring DiscoveredPortRowText(const DiscoveredPort& port);

// The rows the library's two listings give. The modem listing is only asked for when all
// kinds are wanted (not diagOnly); a port in both listings is offered once, as a modem. The
// classifier may be null: then no USB port of the COM listing is offered.
LibraryPortListing ListLibraryPorts(const std::function<LocalPortDescriptions()>& modemPorts,
                                    const LocalPortDescriptions& comPorts, const KnownPortTest& isKnown,
                                    IOstrelPortClassifier* classifier, bool diagOnly);
