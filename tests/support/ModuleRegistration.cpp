#include "ModuleRegistration.h"

#include "ChildProcess.h"

#include <sstream>
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
    return runCommand(std::string("regsvr32.exe /s ") + (unregister ? "/u " : "") + "\"" + path + "\"",
                      60'000);
}

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void RegisteredModule::SetUp() {
    ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ASSERT_EQ(0u, runRegsvr32(false)) << "regsvr32 " << modulePath();
}

void RegisteredModule::TearDown() {
    ::CoUninitialize();
}

std::vector<std::string> runScript(const std::string& name) {
    const ChildProcess cscript("cscript.exe //nologo \"" + moduleFolder() + "\\scripts\\" + name + "\"");
    if (!cscript.Started() || !cscript.Ended(60'000))
        return {"(cscript did not finish)"};
    std::istringstream output(cscript.Output());
    std::vector<std::string> lines;
    for (std::string line; std::getline(output, line);)
        lines.push_back(line.substr(0, line.find_last_not_of("\r") + 1));
    return lines;
}

} // namespace TestSupport
