#pragma once

#include "ports/PortDiscovery.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// The texts of a USB device instance key that has a port.
struct UsbPortRegParams {
    std::string Class;
    std::string FriendlyName;
    std::string Mfg;
    std::string Service;
    std::string ClassGUID;
    std::string DeviceDesc;

    bool IsModem() const;
    bool IsDiagnosticPort() const;
    bool IsNmeaPort() const;
};

// The USB device instances of the machine that have a port name, by port name (byte-wise).
class UsbPortRegEnum {
public:
    // Reads root\SYSTEM\CurrentControlSet\Enum\USB; a later instance with the same port name
    // replaces the earlier one.
    void Enumerate(HKEY root = HKEY_LOCAL_MACHINE);
    bool Find(const std::string& portName, UsbPortRegParams& params) const;

    const std::map<std::string, UsbPortRegParams>& Ports() const { return m_ports; }

private:
    std::map<std::string, UsbPortRegParams> m_ports;
};

// What a serial port is, as far as the registry tells.
enum PortKind : int {
    portKindSerial = 0,
    portKindUsbUnknown = 1,
    portKindDataModem = 2,
    portKindDiagnostic = 3,
    portKindNmea = 4,
    portKindNotClassified = 5,
};

const char* PortKindTypeName(int kind);
bool IsPortKindOffered(int kind, bool diagOnly);

struct CComPortRegParams {
    // The value name under the serial device map.
    std::string devicePath;
    int PortKind = portKindNotClassified;
};

// The serial ports of the machine, by port name (byte-wise, so COM10 comes before COM2).
class ComPortRegEnum {
public:
    // Reads root\HARDWARE\DEVICEMAP\SERIALCOMM and classifies each port through the USB map;
    // ports the server already has are left out.
    void Build(const UsbPortRegEnum& usbPorts, const KnownPortTest& isKnown, HKEY root = HKEY_LOCAL_MACHINE);

    const std::map<std::string, CComPortRegParams>& Ports() const { return m_ports; }

private:
    std::map<std::string, CComPortRegParams> m_ports;
};

// The rows of the add-port dialog's list from the registry: "COM3 - Serial".
std::vector<PortListRow> ListRegistryPorts(const ComPortRegEnum& comPorts, bool diagOnly);
