#include "connection/MRUServerList.h"

#include "foundation/Win32/Unique.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace {

CMRUServerList::Location& CurrentDefault() {
    static CMRUServerList::Location location = CMRUServerList::DefaultLocation();
    return location;
}

// Value `index` of the key as a name, or nothing for a value that is not one: of another type,
// longer than a name may be, or without its terminating NUL. `exists` turns false past the end.
std::optional<std::string> ReadName(HKEY key, DWORD index, bool& exists) {
    char valueName[64] = {};
    DWORD nameLength = sizeof valueName;
    DWORD type = 0;
    BYTE data[CMRUServerList::maxNameBytes] = {};
    DWORD size = sizeof data;
    const LSTATUS status = ::RegEnumValueA(key, index, valueName, &nameLength, nullptr, &type, data, &size);
    exists = status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return CMRUServerList::NameOf(type, data, size);
}

} // namespace

CMRUServerList::Location CMRUServerList::DefaultLocation() {
    return {HKEY_CURRENT_USER, "Software\\Kelmar\\OSTREL\\ServerMRU\\"};
}

CMRUServerList::Location CMRUServerList::SetDefaultLocation(Location location) {
    return std::exchange(CurrentDefault(), std::move(location));
}

std::optional<std::string> CMRUServerList::NameOf(DWORD type, const BYTE* data, DWORD size) {
    // Windows hands an unterminated string over as stored, without adding a NUL.
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size > maxNameBytes || data[size - 1] != 0)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data), size - 1);
}

CMRUServerList::CMRUServerList()
    : m_location(CurrentDefault()) {}

CMRUServerList::CMRUServerList(Location location)
    : m_location(std::move(location)) {}

int CMRUServerList::Add(const std::string& name) {
    Win32::UniqueKey key;
    if (::RegOpenKeyExA(m_location.root, m_location.path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        key.put()) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    for (bool exists = true;; ++values) {
        const std::optional<std::string> stored = ReadName(key.get(), values, exists);
        if (!exists)
            break;
        if (stored == name)
            return static_cast<int>(values);
    }
    char valueName[32] = {};
    std::snprintf(valueName, sizeof valueName, "Server%lu", static_cast<unsigned long>(values + 1));
    if (::RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                         static_cast<DWORD>(name.size() + 1)) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(values);
}

HRESULT CMRUServerList::Get(int index, std::string& name) const {
    const std::vector<std::string> names = Names();
    if (index < 0 || index >= static_cast<int>(names.size()))
        return E_FAIL;
    name = names[index];
    return S_OK;
}

int CMRUServerList::Count() const {
    return static_cast<int>(Names().size());
}

std::vector<std::string> CMRUServerList::Names() const {
    std::vector<std::string> names;
    Win32::UniqueKey key;
    if (::RegOpenKeyExA(m_location.root, m_location.path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return names;
    bool exists = true;
    for (DWORD index = 0; exists; ++index) {
        if (std::optional<std::string> name = ReadName(key.get(), index, exists))
            names.push_back(std::move(*name));
    }
    return names;
}
