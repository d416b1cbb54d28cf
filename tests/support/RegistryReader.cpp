#include "RegistryReader.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace TestSupport {

RegKey::RegKey(HKEY root, const std::string& path, REGSAM access) {
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key_) != ERROR_SUCCESS)
        key_ = nullptr;
}

// The key this held is closed with `other`.
RegKey& RegKey::operator=(RegKey&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
}

RegKey::~RegKey() {
    if (key_)
        RegCloseKey(key_);
}

bool keyExists(HKEY root, const std::string& path) {
    return bool(RegKey(root, path));
}

namespace {

std::vector<std::string> enumSubkeys(HKEY key) {
    std::vector<std::string> names;
    char name[256]; // the longest key name the registry takes, and its terminator
    for (DWORD i = 0, length = sizeof name;
         RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        names.emplace_back(name, length);
    return names;
}

struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};

std::vector<Value> enumValues(HKEY key) {
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                     nullptr, nullptr);
    std::vector<Value> values;
    std::string name(maxName + 1, '\0');
    std::string data(maxData + 1, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = DWORD(name.size());
        DWORD dataLength = DWORD(data.size());
        DWORD type = REG_NONE;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &dataLength) != ERROR_SUCCESS)
            break;
        values.push_back({std::string(name.data(), nameLength), type, data.substr(0, dataLength)});
    }
    return values;
}

std::string printable(const Value& v) {
    switch (v.type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        // Strings come back with their terminator, sometimes more than one.
        std::string text = v.data.substr(0, v.data.find('\0'));
        return v.type == REG_SZ ? text : "(expand)" + text;
    }
    case REG_DWORD: {
        DWORD n = 0;
        std::copy_n(v.data.data(), std::min(v.data.size(), sizeof n), reinterpret_cast<char*>(&n));
        return "(dword)" + std::to_string(n);
    }
    default:
        return "(type " + std::to_string(v.type) + ", " + std::to_string(v.data.size()) + " bytes)";
    }
}

void collect(HKEY key, const std::string& path, std::vector<std::string>& lines) {
    lines.push_back(path);
    for (const Value& v : enumValues(key))
        lines.push_back(path + ":" + (v.name.empty() ? "@" : v.name) + "=" + printable(v));
    for (const std::string& sub : enumSubkeys(key))
        if (RegKey child(key, sub); child)
            collect(child.get(), path + "\\" + sub, lines);
}

} // namespace

std::optional<std::string> readString(HKEY root, const std::string& path, const std::string& valueName) {
    RegKey key(root, path);
    if (!key)
        return std::nullopt;
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::string data(size + 1, '\0');
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    return printable({valueName, REG_SZ, data.substr(0, size)});
}

std::vector<std::string> subkeyNames(HKEY root, const std::string& path) {
    RegKey key(root, path);
    std::vector<std::string> names = key ? enumSubkeys(key.get()) : std::vector<std::string>{};
    std::sort(names.begin(), names.end());
    return names;
}

std::string storedName(HKEY root, const std::string& parent, const std::string& name) {
    if (RegKey key(root, parent); key)
        for (const std::string& stored : enumSubkeys(key.get()))
            if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, stored.c_str(), -1, name.c_str(), -1) ==
                CSTR_EQUAL)
                return stored;
    return name;
}

std::vector<std::string> snapshot(HKEY root, const std::string& path) {
    std::vector<std::string> lines;
    if (RegKey key(root, path); key)
        collect(key.get(), path, lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string lineDiff(std::vector<std::string> expected, std::vector<std::string> actual) {
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    std::vector<std::string> missing, unexpected;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(unexpected));
    std::string diff;
    for (const std::string& line : missing)
        diff += "- " + line + "\n";
    for (const std::string& line : unexpected)
        diff += "+ " + line + "\n";
    return diff;
}

} // namespace TestSupport
