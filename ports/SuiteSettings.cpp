#include "ports/SuiteSettings.h"

#include "NorvikSettings.h"
#include "foundation/Win32/LibraryExport.h"
#include "foundation/Win32/Unique.h"
#include "ports/DevMgmtProxy.h"

#include <cstddef>
#include <string>

namespace SuiteSettings {

namespace {

// Norvik::Settings::Server's members under the names g++ exports them by; the constructor and
// destructor take the object as a member function does.
struct ServerEntries {
    void(__thiscall* construct)(void* self, bool perUser) = nullptr;
    void(__thiscall* destroy)(void* self) = nullptr;
    bool (*getDiagPortsOnly)() = nullptr;
    void (*setDiagPortsOnly)(bool) = nullptr;
};

// One use of the library, as its own users make it: a Server for the current user lives while the
// static member is called.
template <class Use>
void WithServer(Use use) {
    const Win32::UniqueLibrary library(
        ::LoadLibraryW((HostProgramFolder() + L"SettingsManager.dll").c_str()));
    ServerEntries entries;
    if (!library || !Win32::FindExport(library.get(), "_ZN6Norvik8Settings6ServerC1Eb", entries.construct) ||
        !Win32::FindExport(library.get(), "_ZN6Norvik8Settings6ServerD1Ev", entries.destroy) ||
        !Win32::FindExport(library.get(), "_ZN6Norvik8Settings6Server16getDiagPortsOnlyEv",
                           entries.getDiagPortsOnly) ||
        !Win32::FindExport(library.get(), "_ZN6Norvik8Settings6Server16setDiagPortsOnlyEb",
                           entries.setDiagPortsOnly))
        return;
    alignas(Norvik::Settings::Server) std::byte server[sizeof(Norvik::Settings::Server)];
    entries.construct(server, true);
    use(entries);
    entries.destroy(server);
}

} // namespace

bool GetDiagPortsOnly() {
    bool diagPortsOnly = false;
    WithServer([&](const ServerEntries& entries) { diagPortsOnly = entries.getDiagPortsOnly(); });
    return diagPortsOnly;
}

void SetDiagPortsOnly(bool diagPortsOnly) {
    WithServer([&](const ServerEntries& entries) { entries.setDiagPortsOnly(diagPortsOnly); });
}

} // namespace SuiteSettings
