#pragma once

#include "connection/MRUServerList.h"

#include <string>
#include <vector>

namespace TestSupport {

struct RegValue {
    const char* name;
    DWORD type;
    std::string data;
};

// A key of its own under the current user, holding the given values, deleted with its tree when
// the guard goes.
class ScratchKey {
public:
    explicit ScratchKey(const std::vector<RegValue>& values) {
        static int serial = 0;
        m_path = "Software\\OstrelTests\\ServerMRU-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(++serial);
        // A process that died mid-test left its keys; process ids come round again.
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr);
        for (const RegValue& value : values)
            ::RegSetValueExA(key, value.name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                             static_cast<DWORD>(value.data.size()));
        ::RegCloseKey(key);
    }
    ~ScratchKey() { ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str()); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::string& Path() const { return m_path; }
    CMRUServerList::Location Location() const { return {HKEY_CURRENT_USER, m_path}; }

    // "name=text" per value in the key's order, "name=(type N)" for a value that is no string.
    std::vector<std::string> Values() const {
        std::vector<std::string> lines;
        HKEY key = nullptr;
        ::RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &key);
        char name[64] = {}, data[1024] = {};
        DWORD type = 0;
        for (DWORD i = 0, length = sizeof name, size = sizeof data;
             key &&
             !::RegEnumValueA(key, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
             ++i, length = sizeof name, size = sizeof data)
            lines.push_back(std::string(name) + "=" +
                            (type == REG_SZ || type == REG_EXPAND_SZ
                                 ? std::string(data)
                                 : "(type " + std::to_string(type) + ")"));
        ::RegCloseKey(key);
        return lines;
    }

private:
    std::string m_path;
};

} // namespace TestSupport
