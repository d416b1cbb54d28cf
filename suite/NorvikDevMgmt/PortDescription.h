#pragma once

// The suite's device-management library as its users see it: listings of the machine's COM and
// modem ports, each an owning pointer to a vector of port descriptions that the caller destroys.
// The library and its users must share this declaration, compiler and standard library: a caller
// reads the elements in place and destroys them through the virtual destructor.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#ifdef NORVIK_DEVMGMT_BUILD
#define NORVIK_DEVMGMT_API __declspec(dllexport)
#else
#define NORVIK_DEVMGMT_API __declspec(dllimport)
#endif

class CPortDescription {
public:
    virtual ~CPortDescription() = default;

    unsigned long deviceNumber = 0;
    unsigned long capabilities = 0;
    std::wstring description;
    std::wstring detail;
    std::wstring friendlyName;
    std::wstring manufacturer;
    std::wstring service;
    std::wstring classGuid;
    std::wstring hardwareId;
    std::wstring location;
    std::wstring portName;
    std::wstring driverKey;
    std::wstring instanceId;
    // The port belongs to a USB device.
    bool isUsb = false;
};

// Where the 32-bit callers read the members: the element is 280 bytes, the virtual destructor's
// table first.
#if defined(__i386__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(std::wstring) == 24);
static_assert(sizeof(CPortDescription) == 280);
static_assert(offsetof(CPortDescription, description) == 12);
static_assert(offsetof(CPortDescription, detail) == 36);
static_assert(offsetof(CPortDescription, portName) == 204);
static_assert(offsetof(CPortDescription, isUsb) == 276);
#pragma GCC diagnostic pop
#endif

using CPortDescriptions = std::vector<CPortDescription>;

// Every port of a device class, of the COM and modem classes; the bool forms list only the ports of
// USB devices when asked to. `layoutVersion` names the version of this declaration the caller was
// built with (16 for this one); every version the library knows is answered alike.
NORVIK_DEVMGMT_API CPortDescriptions* GetPortList(GUID deviceClass, unsigned int layoutVersion);
NORVIK_DEVMGMT_API CPortDescriptions* GetPortListCom(unsigned int layoutVersion);
NORVIK_DEVMGMT_API CPortDescriptions* GetPortListModem(unsigned int layoutVersion);
NORVIK_DEVMGMT_API CPortDescriptions* GetPortListCom(bool usbOnly);
NORVIK_DEVMGMT_API CPortDescriptions* GetPortListModem(bool usbOnly);
// The description of one port by name, or of several; null or empty for names the machine lacks.
NORVIK_DEVMGMT_API CPortDescription* DeviceParse(const std::wstring& portName);
NORVIK_DEVMGMT_API CPortDescriptions* DeviceParseVec(const std::vector<std::wstring>& portNames);
