#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The machine names set on a server combo, remembered under the current user as string values
// "Server1", "Server2", ... of one key. Names are only ever added: nothing is reordered or
// forgotten. Values that are not strings, longer than a name can be or not terminated are
// somebody else's damage and are passed over, never trusted.
class CMRUServerList {
public:
    // Where the names live; tests point the combos of the process at a scratch key.
    struct Location {
        HKEY root;
        std::string path;
    };
    static constexpr size_t maxNameBytes = 260;

    static Location DefaultLocation();
    // The location new lists use; answers the one it replaces.
    static Location SetDefaultLocation(Location location);

    CMRUServerList();
    explicit CMRUServerList(Location location);

    // The index the name is stored at (a value already holding exactly these bytes answers its
    // own), or -1 when the key is missing or the value cannot be written. The key is never
    // created here.
    int Add(const std::string& name);
    // S_OK and the name at that index, or E_FAIL without one.
    HRESULT Get(int index, std::string& name) const;
    int Count() const;

    // The name a value of the key holds: a string type and data that fits, with its NUL last.
    static std::optional<std::string> NameOf(DWORD type, const BYTE* data, DWORD size);

private:
    // The well-formed names of the key, in its value order; none when it cannot be read.
    std::vector<std::string> Names() const;

    Location m_location;
};
