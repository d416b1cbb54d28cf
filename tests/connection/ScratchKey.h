#pragma once

#include "connection/MRUServerList.h"

#include <windows.h>

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
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
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

    // "name=text" per value in the key's order; a string without its NUL is marked, another type
    // named by its number.
    std::vector<std::string> Values() const {
        std::vector<std::string> lines;
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return lines;
        for (DWORD index = 0;; ++index) {
            char name[64] = {};
            DWORD nameLength = sizeof name;
            DWORD type = 0;
            BYTE data[1024] = {};
            DWORD size = sizeof data;
            if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
                break;
            std::string line = std::string(name) + "=";
            const std::string text(reinterpret_cast<const char*>(data), size);
            if (type != REG_SZ && type != REG_EXPAND_SZ)
                line += "(type " + std::to_string(type) + ")";
            else if (size == 0 || text.back() != '\0')
                line += text + "(unterminated)";
            else
                line += text.substr(0, size - 1);
            lines.push_back(line);
        }
        ::RegCloseKey(key);
        return lines;
    }

private:
    std::string m_path;
};

} // namespace TestSupport
