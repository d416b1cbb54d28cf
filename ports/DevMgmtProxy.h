#pragma once

#include "PortDescription.h"
#include "foundation/Win32/Unique.h"
#include "ports/PortDiscovery.h"

#include <memory>
#include <string>

// The suite's device-management library, loaded from the host program's folder (it belongs to the
// program's installation, not to this module's) for the time of one listing. Its entry points are
// found by the names g++ gives them; the library shares PortDescription.h, compiler and standard
// library with this module, so its vectors can be read and destroyed here. A listing goes before
// its proxy: its elements' virtual destructor is the library's.
class CDevMgmtProxy {
public:
    using Listing = std::unique_ptr<CPortDescriptions>;

    // 0 once the library and all seven entry points are there; otherwise the system's error of the
    // failed load, or ERROR_INVALID_ADDRESS (487) for a missing entry point, and nothing is kept.
    DWORD Load();
    // The same from another folder, named with its trailing backslash.
    DWORD LoadFrom(const std::wstring& folder);

    // The port listings; empty without the library.
    Listing GetPortListCom(unsigned int layoutVersion) const;
    Listing GetPortListModem(unsigned int layoutVersion) const;

private:
    struct EntryPoints {
        CPortDescriptions* (*portList)(GUID, unsigned int) = nullptr;
        CPortDescriptions* (*portListCom)(unsigned int) = nullptr;
        CPortDescriptions* (*portListModem)(unsigned int) = nullptr;
        CPortDescription* (*deviceParse)(const std::wstring&) = nullptr;
        CPortDescriptions* (*deviceParseVec)(const std::vector<std::wstring>&) = nullptr;
        CPortDescriptions* (*portListComUsb)(bool) = nullptr;
        CPortDescriptions* (*portListModemUsb)(bool) = nullptr;
    };

    Win32::UniqueLibrary m_library;
    EntryPoints m_entries;
};

// The host program's folder (not this module's) with its trailing backslash, however long its path:
// the suite's libraries sit there.
std::wstring HostProgramFolder();

// What the listing reads of the library's descriptions.
LocalPortDescriptions Described(const CDevMgmtProxy::Listing& listing);
