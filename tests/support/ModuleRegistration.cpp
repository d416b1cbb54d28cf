#include "ModuleRegistration.h"

#include <vector>

namespace TestSupport {

std::string moduleFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length < buffer.size()) {
            const std::string path(buffer.data(), length);
            return path.substr(0, path.find_last_of("\\/"));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string modulePath() {
    return moduleFolder() + "\\OstrelUITools.dll";
}

DWORD runRegsvr32(bool unregister, const std::string& path) {
    std::string command = std::string("regsvr32.exe /s ") + (unregister ? "/u " : "") + "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return kRegsvr32NotStarted;
    CloseHandle(process.hThread);

    DWORD exitCode = kRegsvr32TimedOut;
    if (WaitForSingleObject(process.hProcess, 60'000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, kRegsvr32TimedOut);
    CloseHandle(process.hProcess);
    return exitCode;
}

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

} // namespace TestSupport
