#include "NorvikSettings.h"

#include "foundation/Win32/Unique.h"

namespace Norvik::Settings {

namespace {

// Under the current user, beside the suite's other settings.
const char settingsKey[] = "Software\\Kelmar\\NORVIK Settings\\Server";
const char diagPortsOnlyValue[] = "DiagPortsOnly";

} // namespace

// The current user's settings are the only ones kept, whatever is asked for.
Server::Server(bool) {}

Server::~Server() = default;

bool Server::getDiagPortsOnly() {
    DWORD value = 0, type = 0, size = sizeof value;
    // Anything but a 32-bit number (a damaged or hand-made value) reads as off.
    const LSTATUS status = ::RegGetValueA(HKEY_CURRENT_USER, settingsKey, diagPortsOnlyValue, RRF_RT_ANY, &type,
                                          &value, &size);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value != 0;
}

void Server::setDiagPortsOnly(bool diagPortsOnly) {
    // The caller has no way to hear of a failure: a user who may not write here keeps the old value.
    Win32::UniqueKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return;
    const DWORD value = diagPortsOnly ? 1 : 0;
    ::RegSetValueExA(key.get(), diagPortsOnlyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
}

} // namespace Norvik::Settings
