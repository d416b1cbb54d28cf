#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Read-only views of the registry for tests: what hosts will find there, in
// the spelling it is stored under.
namespace TestSupport {

// Owns an open key; empty when the key could not be opened.
class RegKey {
public:
    RegKey() = default;
    RegKey(HKEY root, const std::string& path, REGSAM access = KEY_READ);
    RegKey(RegKey&& other) noexcept
        : key_(other.key_) {
        other.key_ = nullptr;
    }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey();

    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool keyExists(HKEY root, const std::string& path);

// A REG_SZ value (an empty name reads the default value); nothing when the
// key or value is missing or holds another type, since hosts read these as
// plain strings.
std::optional<std::string> readString(HKEY root, const std::string& path, const std::string& valueName = {});

// Sorted.
std::vector<std::string> subkeyNames(HKEY root, const std::string& path);

// The spelling under which `name` is stored below `parent`. Lookups ignore
// case, so only enumeration shows how a key was written. Gives `name` back
// when there is no such key.
std::string storedName(HKEY root, const std::string& parent, const std::string& name);

// One line per key ("path") and per value ("path:name=data", "@" for the
// default value) in the tree at `path`, sorted; nothing when it is missing.
// Non-string data is tagged with its type so that a wrongly typed value shows.
std::vector<std::string> snapshot(HKEY root, const std::string& path);

// "- line" for each line only in `expected`, "+ line" for each only in
// `actual`, one per row; empty when both hold the same lines.
std::string lineDiff(std::vector<std::string> expected, std::vector<std::string> actual);

} // namespace TestSupport
