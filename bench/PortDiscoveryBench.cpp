// What the add-port dialog's fill costs. From the registry: 256 serial ports and 256 USB device
// instances under a scratch key standing for the machine, read, classified and appended to a list
// box, against a bare walk of the same keys and values with the registry calls alone. From the
// device-management library: the stand-in library copied beside a listing of 256 ports, its two
// listings classified and appended, against the bare load, listings and unload of the library.
// All in one run.
#include "bench/Timing.h"
#include "foundation/Win32/Unique.h"
#include "ports/DevMgmtProxy.h"
#include "ports/LocalPortOffer.h"
#include "ports/PortDiscovery.h"

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int serialPorts = 256;
constexpr int usbInstances = 256;
constexpr int instancesPerDevice = 8;
// The first COM number of the USB instances: the serial map's ports from it on are theirs.
constexpr int firstUsbPort = 65;
constexpr int libraryLines = 256;
// The version of the library's declarations the fill names to its listings.
constexpr unsigned int layoutVersion = 16;

constexpr const char* usbTree = "SYSTEM\\CurrentControlSet\\Enum\\USB";
constexpr const char* serialMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* instanceValues[] = {"Class",   "FriendlyName", "Mfg",
                                          "Service", "ClassGUID",    "DeviceDesc"};

// The server already has these; the fill leaves them out.
const std::set<std::string> knownPorts = {"COM1", "COM2"};

bool IsKnown(const std::string& portName) {
    return knownPorts.count(portName) != 0;
}

std::string ComName(int number) {
    return "COM" + std::to_string(number);
}

void SetString(HKEY key, const char* name, const std::string& text) {
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}

Win32::UniqueKey CreateKey(HKEY parent, const std::string& path) {
    Win32::UniqueKey key;
    if (::RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        key.reset();
    return key;
}

// The USB instance texts of one class, by instance number: half the instances are ports (every
// fourth of those an NMEA port), a quarter modems, the rest of a class with no port kind.
struct UsbClass {
    const char* name;
    const char* guid;
    const char* description;
    const char* service;
};

UsbClass UsbClassOf(int instance) {
    if (instance % 8 == 6)
        return {"Ports", "{4D36E978-E325-11CE-BFC1-08002BE10318}", "Handset NMEA Port", "usbser"};
    if (instance % 2 == 0)
        return {"Ports", "{4D36E978-E325-11CE-BFC1-08002BE10318}", "Handset Diagnostic Interface", "usbser"};
    if (instance % 4 == 1)
        return {"Modem", "{4D36E96D-E325-11CE-BFC1-08002BE10318}", "Handset Data Modem", "usbmodem"};
    return {"USB", "{36FC9E60-C465-11CF-8056-444553540000}", "Handset Composite Device", "usbccgp"};
}

// A key of its own under the current user standing for the machine's HKEY_LOCAL_MACHINE: the
// USB device tree (three quarters of its ports are in the serial map, the rest unplugged) and
// the serial map, deleted with its tree when it goes.
class ScratchMachine {
public:
    ScratchMachine()
        : m_path("Software\\OstrelBench\\PortDiscovery-" + std::to_string(::GetCurrentProcessId())) {
        // A run that died midway left its key; process ids come round again.
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        const Win32::UniqueKey root = CreateKey(HKEY_CURRENT_USER, m_path);
        for (int instance = 0; instance < usbInstances; ++instance) {
            char device[64], name[64];
            std::snprintf(device, sizeof device, "VID_2E8A&PID_%04X", 0x0100 + instance / instancesPerDevice);
            std::snprintf(name, sizeof name, "6&%08X&0&%d", 0x1A2B3C00 + instance,
                          instance % instancesPerDevice);
            const Win32::UniqueKey key =
                CreateKey(root.get(), std::string(usbTree) + "\\" + device + "\\" + name);
            const UsbClass usbClass = UsbClassOf(instance);
            const std::string port = ComName(firstUsbPort + instance);
            SetString(key.get(), "Class", usbClass.name);
            SetString(key.get(), "FriendlyName", std::string(usbClass.description) + " (" + port + ")");
            SetString(key.get(), "Mfg", "Ostrel Bench Devices");
            SetString(key.get(), "Service", usbClass.service);
            SetString(key.get(), "ClassGUID", usbClass.guid);
            SetString(key.get(), "DeviceDesc", usbClass.description);
            SetString(CreateKey(key.get(), "Device Parameters").get(), "PortName", port);
        }
        const Win32::UniqueKey map = CreateKey(root.get(), serialMap);
        for (int number = 1; number <= serialPorts; ++number) {
            const std::string device = number < firstUsbPort
                                           ? "\\Device\\Serial" + std::to_string(number)
                                           : "\\Device\\USBSER" + std::to_string(number - firstUsbPort);
            SetString(map.get(), device.c_str(), ComName(number));
        }
        ::RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, m_machine.put());
    }
    ~ScratchMachine() {
        m_machine.reset();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        // Only when no other run's key is left under it.
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OstrelBench");
    }
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

    HKEY Machine() const { return m_machine.get(); }

private:
    std::string m_path;
    Win32::UniqueKey m_machine;
};

// A folder under %TEMP% holding a copy of the stand-in library and the 256 ports it lists, and an
// empty folder beside it, where the fill finds no library and takes the registry.
class ScratchFolders {
public:
    ScratchFolders() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        m_library = std::wstring(temp) + L"OstrelPortDiscoveryBench-" +
                    std::to_wstring(::GetCurrentProcessId()) + L"\\";
        m_empty = m_library + L"none\\";
        ::CreateDirectoryW(m_library.c_str(), nullptr);
        ::CreateDirectoryW(m_empty.c_str(), nullptr);
        m_copied = ::CopyFileW((HostProgramFolder() + L"NorvikDevMgmt.dll").c_str(),
                               (m_library + L"NorvikDevMgmt.dll").c_str(), FALSE) != 0;
        std::ofstream ports((m_library + L"NorvikDevMgmt.ports").c_str(), std::ios::binary);
        ports << "# " << libraryLines
              << " ports: a quarter modems, a quarter serial, the rest USB COM ports\n";
        for (int line = 0; line < libraryLines; ++line)
            ports << PortLine(line);
    }
    ~ScratchFolders() {
        ::DeleteFileW((m_library + L"NorvikDevMgmt.ports").c_str());
        ::DeleteFileW((m_library + L"NorvikDevMgmt.dll").c_str());
        ::RemoveDirectoryW(m_empty.c_str());
        ::RemoveDirectoryW(m_library.c_str());
    }
    ScratchFolders(const ScratchFolders&) = delete;
    ScratchFolders& operator=(const ScratchFolders&) = delete;

    bool Copied() const { return m_copied; }
    const std::wstring& Library() const { return m_library; }
    const std::wstring& Empty() const { return m_empty; }

private:
    // list, port, "usb" or "serial", description, detail; tab-separated.
    static std::string PortLine(int line) {
        const std::string port = ComName(line + 1), handset = "Handset " + std::to_string(line / 8);
        switch (line % 8) {
        case 0:
        case 4:
            return "modem\t" + port + "\tusb\tHandset Data Modem\t" + handset + "\n";
        case 1:
        case 5:
            return "com\t" + port + "\tserial\tCommunications Port\t\n";
        case 2:
            return "com\t" + port + "\tusb\tHandset Diagnostic Interface\t" + handset + "\n";
        case 3:
            return "com\t" + port + "\tusb\tHandset NMEA Port\t" + handset + "\n";
        case 6:
            return "com\t" + port + "\tusb\tHandset Remote EFS Interface\t" + handset + "\n";
        default:
            return "com\t" + port + "\tusb\tUSB Serial Adapter\t\n";
        }
    }

    std::wstring m_library;
    std::wstring m_empty;
    bool m_copied = false;
};

// Answers by the description's text, as a lookup's rules would; every port is allowed.
class TextClassifier : public IOstrelPortClassifier {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = iid == __uuidof(IUnknown) || iid == __uuidof(IOstrelPortClassifier) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE IsDiagnosticDevice(BSTR text, long* result) override {
        return Reply(text, L"Diagnostic", result);
    }
    HRESULT STDMETHODCALLTYPE IsNmeaDevice(BSTR text, long* result) override {
        return Reply(text, L"NMEA", result);
    }
    HRESULT STDMETHODCALLTYPE IsExcludedDevice(BSTR text, long* result) override {
        return Reply(text, L"Excluded", result);
    }
    HRESULT STDMETHODCALLTYPE IsPortAllowed(BSTR, long* result) override {
        *result = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsRemoteEfsDevice(BSTR text, long* result) override {
        return Reply(text, L"Remote EFS", result);
    }

private:
    static HRESULT Reply(BSTR text, const wchar_t* word, long* result) {
        *result = text && std::wcsstr(text, word) ? 1 : 0;
        return S_OK;
    }
};

// What the dialog does with the rows of a fill.
void Append(HWND listBox, const std::vector<PortListRow>& rows) {
    for (size_t index = 0; index < rows.size(); ++index) {
        const LRESULT item =
            ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rows[index].text.c_str()));
        ::SendMessageA(listBox, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(index));
    }
}

// A string value read into a buffer of the fill's size, nothing kept.
bool Query(HKEY key, const char* name) {
    char data[MAX_PATH];
    DWORD type = 0, size = sizeof data;
    return ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
           ERROR_SUCCESS;
}

struct Walked {
    int portNames = 0;
    int serialPorts = 0;
};

// The registry calls of a registry fill, made bare: the same keys opened in the same order, the
// same values queried, every key closed.
Walked WalkRegistry(HKEY machine) {
    Walked walked;
    HKEY usb = nullptr;
    if (::RegOpenKeyExA(machine, usbTree, 0, KEY_READ, &usb) == ERROR_SUCCESS) {
        char deviceName[MAX_PATH];
        DWORD deviceLength = sizeof deviceName;
        for (DWORD d = 0; ::RegEnumKeyExA(usb, d, deviceName, &deviceLength, nullptr, nullptr, nullptr,
                                          nullptr) == ERROR_SUCCESS;
             ++d, deviceLength = sizeof deviceName) {
            HKEY device = nullptr;
            if (::RegOpenKeyExA(usb, deviceName, 0, KEY_READ, &device) != ERROR_SUCCESS)
                continue;
            char instanceName[MAX_PATH];
            DWORD instanceLength = sizeof instanceName;
            for (DWORD i = 0; ::RegEnumKeyExA(device, i, instanceName, &instanceLength, nullptr, nullptr,
                                              nullptr, nullptr) == ERROR_SUCCESS;
                 ++i, instanceLength = sizeof instanceName) {
                HKEY instance = nullptr, parameters = nullptr;
                if (::RegOpenKeyExA(device, instanceName, 0, KEY_READ, &instance) == ERROR_SUCCESS &&
                    ::RegOpenKeyExA(instance, "Device Parameters", 0, KEY_READ, &parameters) ==
                        ERROR_SUCCESS &&
                    Query(parameters, "PortName")) {
                    ++walked.portNames;
                    for (const char* name : instanceValues)
                        Query(instance, name);
                }
                if (parameters)
                    ::RegCloseKey(parameters);
                if (instance)
                    ::RegCloseKey(instance);
            }
            ::RegCloseKey(device);
        }
        ::RegCloseKey(usb);
    }
    HKEY map = nullptr;
    if (::RegOpenKeyExA(machine, serialMap, 0, KEY_READ, &map) == ERROR_SUCCESS) {
        char name[MAX_PATH];
        DWORD length = sizeof name;
        for (DWORD index = 0;
             ::RegEnumValueA(map, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++index, length = sizeof name)
            walked.serialPorts += Query(map, name);
        ::RegCloseKey(map);
    }
    return walked;
}

int Run(HWND listBox) {
    const ScratchMachine machine;
    const ScratchFolders folders;
    if (!machine.Machine() || !folders.Copied()) {
        std::fprintf(stderr, "the scratch key or the library's copy under %%TEMP%% could not be made\n");
        return 1;
    }
    TextClassifier classifier;
    const KnownPortTest isKnown = &IsKnown;
    const LocalPortSources registry{folders.Empty(), machine.Machine()};
    const LocalPortSources library{folders.Library(), machine.Machine()};

    // One fill of each before the rounds: the rows the appends alone are timed with, and proof
    // that each fill took the source it stands for.
    const LocalPortOffer registryOffer = OfferLocalPorts(registry, isKnown, &classifier, false);
    const LocalPortOffer libraryOffer = OfferLocalPorts(library, isKnown, &classifier, false);
    const Walked walked = WalkRegistry(machine.Machine());
    size_t listed = 0;
    {
        CDevMgmtProxy proxy;
        if (proxy.LoadFrom(folders.Library()) == 0)
            listed = proxy.GetPortListCom(layoutVersion)->size() + proxy.GetPortListModem(layoutVersion)->size();
    }
    if (registryOffer.remoteEfsPorts || registryOffer.rows.empty() || !libraryOffer.remoteEfsPorts ||
        libraryOffer.rows.empty() || listed == 0) {
        std::fprintf(stderr, "a fill did not take its source: registry %zu rows, library %zu rows\n",
                     registryOffer.rows.size(), libraryOffer.rows.size());
        return 1;
    }

    const auto empty = [listBox] { ::SendMessageA(listBox, LB_RESETCONTENT, 0, 0); };
    const std::vector<double> medians = Bench::MediansInTurn({
        {empty, [&] { Append(listBox, OfferLocalPorts(registry, isKnown, &classifier, false).rows); }},
        {nullptr, [&] { WalkRegistry(machine.Machine()); }},
        {empty, [&] { Append(listBox, registryOffer.rows); }},
        {empty, [&] { Append(listBox, OfferLocalPorts(library, isKnown, &classifier, false).rows); }},
        {nullptr,
         [&] {
             CDevMgmtProxy proxy;
             if (proxy.LoadFrom(folders.Library()) == 0) {
                 const CDevMgmtProxy::Listing com = proxy.GetPortListCom(layoutVersion);
                 const CDevMgmtProxy::Listing modem = proxy.GetPortListModem(layoutVersion);
             }
         }},
        {nullptr, [&] { CDevMgmtProxy().LoadFrom(folders.Empty()); }},
    });
    const double registryFill = medians[0], walk = medians[1], appends = medians[2], libraryFill = medians[3],
                 libraryBare = medians[4], missingLibrary = medians[5];

    std::printf("registry: %d serial ports, %d USB instances (%d with a port name read), %zu rows\n",
                walked.serialPorts, usbInstances, walked.portNames, registryOffer.rows.size());
    std::printf("registry fill + list box appends               %12.1f us\n", registryFill);
    std::printf("bare walk of the same keys and values          %12.1f us\n", walk);
    std::printf("list box appends of the same rows alone        %12.1f us\n", appends);
    std::printf("failed load of the missing library alone       %12.1f us\n", missingLibrary);
    std::printf("registry fill / bare walk                          %8.2f  (target <= 1.5)\n",
                registryFill / walk);
    std::printf("registry fill / (bare walk + appends)              %8.2f\n",
                registryFill / (walk + appends));
    std::printf("library: %d lines, %zu descriptions listed, %zu rows\n",
                libraryLines, listed, libraryOffer.rows.size());
    std::printf("library fill + list box appends                %12.1f us  (%.3f us a description listed, "
                "%.3f us a line)\n",
                libraryFill, libraryFill / static_cast<double>(listed), libraryFill / libraryLines);
    std::printf("bare load + listings + unload of the library   %12.1f us\n", libraryBare);
    std::printf("library fill / bare library                        %8.2f\n", libraryFill / libraryBare);
    return 0;
}

} // namespace

int main() {
    // A list box as the dialog's, in a window that is never shown.
    const Win32::UniqueWindow owner(::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                                      nullptr, nullptr, nullptr, nullptr));
    const HWND listBox =
        ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 380,
                          280, owner.get(), nullptr, nullptr, nullptr);
    return Run(listBox);
}
