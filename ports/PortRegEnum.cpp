#include "ports/PortRegEnum.h"

#include "foundation/Win32/Unique.h"

#include <optional>

namespace {

// Names and texts are read into buffers of this size; longer ones are not read at all.
constexpr DWORD nameBufferSize = MAX_PATH;

constexpr const char* portClassGuid = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr const char* modemClassGuid = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";

// Upper case as the "C" locale has it: ASCII letters only, whatever the system's code page.
std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

Win32::UniqueKey OpenKey(HKEY parent, const char* path) {
    Win32::UniqueKey key;
    if (::RegOpenKeyExA(parent, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

// A string value that fits the buffer with its terminating zero; the zero is not part of it.
std::optional<std::string> ReadString(HKEY key, const char* name) {
    char data[nameBufferSize];
    DWORD type = 0, size = sizeof data;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || data[size - 1] != '\0')
        return std::nullopt;
    return std::string(data, size - 1);
}

// Calls visit with each subkey's name until a name cannot be fetched.
template <class Visit>
void ForEachSubkey(HKEY key, Visit visit) {
    char name[nameBufferSize];
    DWORD length = sizeof name;
    for (DWORD index = 0;
         ::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++index, length = sizeof name)
        visit(name);
}

} // namespace

bool UsbPortRegParams::IsModem() const {
    return Upper(ClassGUID) == modemClassGuid;
}

bool UsbPortRegParams::IsDiagnosticPort() const {
    return Upper(ClassGUID) == portClassGuid && Upper(DeviceDesc).find("NMEA") == std::string::npos;
}

bool UsbPortRegParams::IsNmeaPort() const {
    return Upper(ClassGUID) == portClassGuid && Upper(DeviceDesc).find("NMEA") != std::string::npos;
}

void UsbPortRegEnum::Enumerate(HKEY root) {
    const Win32::UniqueKey usb = OpenKey(root, "SYSTEM\\CurrentControlSet\\Enum\\USB");
    if (!usb)
        return;
    ForEachSubkey(usb.get(), [&](const char* deviceName) {
        const Win32::UniqueKey device = OpenKey(usb.get(), deviceName);
        if (!device)
            return;
        ForEachSubkey(device.get(), [&](const char* instanceName) {
            const Win32::UniqueKey instance = OpenKey(device.get(), instanceName);
            const Win32::UniqueKey parameters =
                instance ? OpenKey(instance.get(), "Device Parameters") : Win32::UniqueKey();
            const std::optional<std::string> portName =
                parameters ? ReadString(parameters.get(), "PortName") : std::nullopt;
            if (!portName)
                return;
            const auto text = [&](const char* name) { return ReadString(instance.get(), name).value_or(""); };
            m_ports[*portName] = {text("Class"),   text("FriendlyName"), text("Mfg"),
                                  text("Service"), text("ClassGUID"),    text("DeviceDesc")};
        });
    });
}

bool UsbPortRegEnum::Find(const std::string& portName, UsbPortRegParams& params) const {
    const auto found = m_ports.find(portName);
    if (found == m_ports.end())
        return false;
    params = found->second;
    return true;
}

const char* PortKindTypeName(int kind) {
    switch (kind) {
    case portKindSerial:
        return PortTypeName::serial;
    case portKindUsbUnknown:
        return PortTypeName::usbUnknown;
    case portKindDataModem:
        return PortTypeName::dataModem;
    case portKindDiagnostic:
        return PortTypeName::diagnostic;
    case portKindNmea:
        return PortTypeName::nmea;
    default:
        return PortTypeName::unknown;
    }
}

bool IsPortKindOffered(int kind, bool diagOnly) {
    return !diagOnly || kind == portKindSerial || kind == portKindDiagnostic;
}

void ComPortRegEnum::Build(const UsbPortRegEnum& usbPorts, const KnownPortTest& isKnown, HKEY root) {
    const Win32::UniqueKey map = OpenKey(root, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    if (!map)
        return;
    char name[nameBufferSize];
    DWORD length = sizeof name;
    for (DWORD index = 0; ::RegEnumValueA(map.get(), index, name, &length, nullptr, nullptr, nullptr,
                                          nullptr) == ERROR_SUCCESS;
         ++index, length = sizeof name) {
        const std::optional<std::string> portName = ReadString(map.get(), name);
        if (!portName || isKnown(*portName))
            continue;
        int kind = portKindSerial;
        UsbPortRegParams usb;
        if (usbPorts.Find(*portName, usb))
            kind = usb.IsModem()            ? portKindDataModem
                   : usb.IsDiagnosticPort() ? portKindDiagnostic
                   : usb.IsNmeaPort()       ? portKindNmea
                                            : portKindUsbUnknown;
        m_ports[*portName] = {name, kind};
    }
}

std::vector<PortListRow> ListRegistryPorts(const ComPortRegEnum& comPorts, bool diagOnly) {
    std::vector<PortListRow> rows;
    for (const auto& [portName, params] : comPorts.Ports())
        if (IsPortKindOffered(params.PortKind, diagOnly))
            rows.push_back({portName + " - " + PortKindTypeName(params.PortKind), portName});
    return rows;
}
