// The simulator the out-of-process benchmarks feed from, started by hand on a scenario.
#pragma once

#include "devicesim/OstrelSimControl.h"
#include "server/OstrelServer.h"

#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

namespace Bench {

// How long a simulator may take to serve once started.
constexpr DWORD simulatorStartMs = 30000;

// The simulator started by hand on the large scenario (COM would start it on bench), reached
// once its class object answers; it is asked to end when this goes.
struct RemoteSimulator {
    PROCESS_INFORMATION process = {};
    Microsoft::WRL::ComPtr<IOstrelServer> server;

    bool Start(const std::string& folder) {
        std::string commandLine =
            "\"" + folder + "\\OstrelDeviceSim.exe\" /scenario \"" + folder + "\\scenarios\\large.json\"";
        // Its output comes back through a pipe: a CoCreateInstance made before its "serving"
        // line would have COM start a second simulator, on the bench scenario.
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
            return false;
        ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = writeEnd;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        const BOOL started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                              nullptr, &startup, &process);
        ::CloseHandle(writeEnd);
        if (!started) {
            ::CloseHandle(readEnd);
            return false;
        }
        // The read ends when the simulator writes or, having ended, closes the pipe.
        std::string output;
        char chunk[256];
        DWORD got = 0;
        while (output.find("serving") == std::string::npos &&
               ::ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
            output.append(chunk, got);
        ::CloseHandle(readEnd);
        if (output.find("serving") == std::string::npos ||
            output.find("another instance") != std::string::npos) {
            std::fprintf(stderr, "%s", output.c_str());
            return false;
        }
        const DWORD deadline = ::GetTickCount() + simulatorStartMs;
        while (::GetTickCount() < deadline) {
            if (SUCCEEDED(::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER,
                                             IID_PPV_ARGS(&server))))
                return true;
            ::Sleep(100);
        }
        return false;
    }
    ~RemoteSimulator() {
        if (server) {
            Microsoft::WRL::ComPtr<IOstrelSimControl> control;
            if (SUCCEEDED(server.As(&control)))
                control->Exit();
        }
        server.Reset();
        if (process.hProcess) {
            if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
                ::TerminateProcess(process.hProcess, 1);
            ::CloseHandle(process.hProcess);
            ::CloseHandle(process.hThread);
        }
    }
};

} // namespace Bench
