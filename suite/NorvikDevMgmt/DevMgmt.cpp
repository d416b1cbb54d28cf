// The stand-in lists the ports a text file beside it names, so that tests and the demo choose what
// the machine has: "NorvikDevMgmt.ports", UTF-8, one port a line, tab-separated:
//     com<TAB>COM7<TAB>usb<TAB>Diagnostic interface<TAB>Bench cable
//     modem<TAB>COM9<TAB>usb<TAB>Data modem<TAB>
// (list, port name, "usb" or "serial", description, detail); lines starting with # are comments.
// Without the file the machine has no ports.
#include "PortDescription.h"

#include <fstream>
#include <memory>
#include <sstream>

namespace {

const GUID portsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID modemClass = {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    std::wstring wide(::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
    return wide;
}

std::wstring ListingFile() {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ListingFile), &self);
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(self, path.data(), DWORD(path.size())));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"NorvikDevMgmt.ports";
}

enum class Listing { com, modem };

// The ports of one listing in file order, only USB ones when asked.
std::unique_ptr<CPortDescriptions> Read(Listing listing, bool usbOnly) {
    auto ports = std::make_unique<CPortDescriptions>();
    std::ifstream file(ListingFile().c_str());
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string list, portName, kind, description, detail;
        std::getline(fields, list, '\t');
        std::getline(fields, portName, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, description, '\t');
        std::getline(fields, detail, '\t');
        if (list != (listing == Listing::com ? "com" : "modem") || (usbOnly && kind != "usb"))
            continue;
        CPortDescription& port = ports->emplace_back();
        port.deviceNumber = static_cast<unsigned long>(ports->size() - 1);
        port.portName = Wide(portName);
        port.description = Wide(description);
        port.detail = Wide(detail);
        port.isUsb = kind == "usb";
    }
    return ports;
}

} // namespace

CPortDescriptions* GetPortList(GUID deviceClass, unsigned int) {
    if (::IsEqualGUID(deviceClass, portsClass))
        return Read(Listing::com, false).release();
    if (::IsEqualGUID(deviceClass, modemClass))
        return Read(Listing::modem, false).release();
    return new CPortDescriptions;
}

CPortDescriptions* GetPortListCom(unsigned int) {
    return Read(Listing::com, false).release();
}

CPortDescriptions* GetPortListModem(unsigned int) {
    return Read(Listing::modem, false).release();
}

// A build that lacks this entry point stands for an older library.
#ifndef NORVIK_DEVMGMT_WITHOUT_COM_BOOL
CPortDescriptions* GetPortListCom(bool usbOnly) {
    return Read(Listing::com, usbOnly).release();
}
#endif

CPortDescriptions* GetPortListModem(bool usbOnly) {
    return Read(Listing::modem, usbOnly).release();
}

CPortDescription* DeviceParse(const std::wstring& portName) {
    for (const Listing listing : {Listing::com, Listing::modem})
        for (CPortDescription& port : *Read(listing, false))
            if (port.portName == portName)
                return new CPortDescription(std::move(port));
    return nullptr;
}

CPortDescriptions* DeviceParseVec(const std::vector<std::wstring>& portNames) {
    auto found = std::make_unique<CPortDescriptions>();
    for (const std::wstring& portName : portNames)
        if (const std::unique_ptr<CPortDescription> port{DeviceParse(portName)})
            found->push_back(std::move(*port));
    return found.release();
}
