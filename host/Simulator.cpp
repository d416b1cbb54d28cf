#include "host/Simulator.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Exception.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Module.h"
#include "host/resource.h"

#include <cstdio>

namespace DemoHost {

namespace {

// The simulator says this on its standard output once its class is offered. Asking COM for
// the class any earlier would have COM start a second instance, on the bench scenario.
constexpr const char* servingLine = "OstrelDeviceSim: serving ";
constexpr DWORD servingWaitMs = 15'000;
// The exit code the simulator gives when another instance serves already. One that is still
// ending after its last client gives it too, for a moment: ours then starts again, and only an
// instance that stays is left to serve.
constexpr DWORD alreadyRunning = 3;
constexpr int endingRestarts = 6;
constexpr DWORD endingPauseMs = 500;
// The first activation costs about a second under Wine.
constexpr int connectAttempts = 20;
constexpr DWORD connectPauseMs = 250;

std::string ResourceText(UINT id) {
    return Fw::Module::Current().String(id);
}

} // namespace

Simulator::Simulator(std::string executable, std::string scenario)
    : m_executable(std::move(executable))
    , m_scenario(std::move(scenario)) {}

Simulator::~Simulator() {
    if (!m_reached && m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT)
        ::TerminateProcess(m_process.get(), 1);
}

DWORD Simulator::StartAndWait(ULONGLONG deadline) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        throw Lang::Exception(Lang::Format(ResourceText(IDS_SIMULATOR_NOT_STARTED).c_str(),
                                           m_executable.c_str(),
                                           Lang::ErrorText(HRESULT_FROM_WIN32(::GetLastError())).c_str()),
                              m_executable);
    const Win32::UniqueHandle output(readEnd);
    Win32::UniqueHandle childOutput(writeEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = "\"" + m_executable + "\" /scenario \"" + m_scenario + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(m_executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          nullptr, &startup, &process))
        throw Lang::Exception(Lang::Format(ResourceText(IDS_SIMULATOR_NOT_STARTED).c_str(),
                                           m_executable.c_str(),
                                           Lang::ErrorText(HRESULT_FROM_WIN32(::GetLastError())).c_str()),
                              m_executable);
    ::CloseHandle(process.hThread);
    m_process.reset(process.hProcess);
    childOutput.reset(); // the pipe ends when the simulator does

    // What the simulator says is passed on to whoever reads this host's standard error.
    std::string said;
    DWORD code = STILL_ACTIVE;
    while (::GetTickCount64() < deadline) {
        DWORD available = 0;
        if (::PeekNamedPipe(output.get(), nullptr, 0, nullptr, &available, nullptr) && available) {
            char chunk[512];
            DWORD read = 0;
            if (::ReadFile(output.get(), chunk, sizeof chunk, &read, nullptr) && read) {
                std::fwrite(chunk, 1, read, stderr);
                said.append(chunk, read);
                if (said.find(servingLine) != std::string::npos)
                    return STILL_ACTIVE;
            }
            continue;
        }
        if (::GetExitCodeProcess(m_process.get(), &code) && code != STILL_ACTIVE)
            return code;
        ::Sleep(50);
    }
    return STILL_ACTIVE;
}

Microsoft::WRL::ComPtr<IOstrelServer> Simulator::Connect() {
    const ULONGLONG started = ::GetTickCount64();
    DWORD code = StartAndWait(started + servingWaitMs);
    for (int restart = 0; code == alreadyRunning && restart < endingRestarts; ++restart) {
        ::Sleep(endingPauseMs);
        code = StartAndWait(started + servingWaitMs);
    }
    if (code != STILL_ACTIVE && code != alreadyRunning)
        throw Lang::Exception(
            Lang::Format(ResourceText(IDS_SIMULATOR_ENDED).c_str(), code, m_scenario.c_str()), m_scenario);

    HRESULT status = E_FAIL;
    for (int attempt = 0; attempt < connectAttempts; ++attempt) {
        Microsoft::WRL::ComPtr<IOstrelServer> server;
        status = ::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&server));
        if (SUCCEEDED(status)) {
            m_reached = true;
            return server;
        }
        ::Sleep(connectPauseMs);
    }
    const DWORD waitedSeconds = DWORD((::GetTickCount64() - started) / 1000);
    throw Lang::Exception(Lang::Format(ResourceText(IDS_SIMULATOR_SILENT).c_str(), waitedSeconds,
                                       Lang::ErrorText(status).c_str()),
                          m_scenario);
}

} // namespace DemoHost
