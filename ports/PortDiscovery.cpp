#include "ports/PortDiscovery.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "server/NorvikPortStateEnum.h"

#include <comdef.h>

#include <optional>

namespace {

using Question = HRESULT (STDMETHODCALLTYPE IOstrelPortClassifier::*)(BSTR, long*);

// Raises the question's failure, and a missing classifier as a failure too.
bool Ask(IOstrelPortClassifier* classifier, Question question, const std::wstring& text) {
    const Win32::UniqueBstr bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    long answer = 0;
    Com::Call(classifier, question, Com::ThrowIfNull(bstr.get(), E_OUTOFMEMORY), &answer);
    return answer != 0;
}

std::wstring Wide(const char* text) {
    return Lang::ToWide(text);
}

// The type of a USB port of the COM listing, or nothing when it is not offered.
std::optional<std::wstring> UsbPortType(IOstrelPortClassifier* classifier, const LocalPortDescription& port,
                                        bool diagOnly, std::set<std::wstring>& remoteEfsPorts) {
    if (Ask(classifier, &IOstrelPortClassifier::IsDiagnosticDevice, port.description))
        return Wide(PortTypeName::diagnostic);
    if (Ask(classifier, &IOstrelPortClassifier::IsNmeaDevice, port.description))
        return diagOnly ? std::nullopt : std::optional(Wide(PortTypeName::nmea));
    if (Ask(classifier, &IOstrelPortClassifier::IsRemoteEfsDevice, port.description)) {
        remoteEfsPorts.insert(port.portName);
        return Wide(PortTypeName::remoteEfs);
    }
    return diagOnly ? std::nullopt : std::optional(Wide(PortTypeName::usbUnknown));
}

// A question that cannot be answered here keeps the port: better offered than lost.
bool IsOffered(IOstrelPortClassifier* classifier, const DiscoveredPort& port) {
    try {
        if (Ask(classifier, &IOstrelPortClassifier::IsExcludedDevice, port.description))
            return false;
        return Ask(classifier, &IOstrelPortClassifier::IsPortAllowed, port.portName);
    } catch (const _com_error&) {
        return true;
    }
}

} // namespace

KnownPortTest KnownPortsOf(const CNorvikPortStateEnum& knownPorts) {
    return [&knownPorts](const std::string& portName) { return knownPorts.Contains(portName); };
}

std::wstring DiscoveredPortRowText(const DiscoveredPort& port) {
    std::wstring text = port.portName + L" - " + port.typeName;
    if (!port.description.empty() && !port.detail.empty())
        text += L" (" + port.description + L", " + port.detail + L")";
    else if (!port.description.empty() || !port.detail.empty())
        text += L" (" + port.description + port.detail + L")";
    return text;
}

LibraryPortListing ListLibraryPorts(const std::function<LocalPortDescriptions()>& modemPorts,
                                    const LocalPortDescriptions& comPorts, const KnownPortTest& isKnown,
                                    IOstrelPortClassifier* classifier, bool diagOnly) {
    LibraryPortListing listing;
    DiscoveredPortSet ports;
    if (!diagOnly)
        for (const LocalPortDescription& modem : modemPorts())
            if (!isKnown(Lang::FromWide(modem.portName)))
                ports.insert(
                    {modem.portName, Wide(PortTypeName::dataModem), modem.description, modem.detail});
    for (const LocalPortDescription& port : comPorts) {
        if (isKnown(Lang::FromWide(port.portName)))
            continue;
        std::optional<std::wstring> type = Wide(PortTypeName::serial);
        if (port.isUsb) {
            try {
                type = UsbPortType(classifier, port, diagOnly, listing.remoteEfsPorts);
            } catch (const _com_error&) {
                continue;
            }
        }
        if (type)
            ports.insert({port.portName, *type, port.description, port.detail});
    }
    for (const DiscoveredPort& port : ports)
        if (IsOffered(classifier, port))
            listing.rows.push_back(
                {Lang::FromWide(DiscoveredPortRowText(port)), Lang::FromWide(port.portName)});
    return listing;
}
