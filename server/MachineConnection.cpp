#include "server/MachineConnection.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

#include <utility>

namespace {

constexpr int maximumPolls = 100;
constexpr DWORD startingPollInterval = 1000;
constexpr long serverReady = 1;
constexpr long serverStarting = 0;
const wchar_t configAgentProgId[] = L"Kelmar.OstrelConfigAgent.1";

const MachineConnectionHooks* replacedHooks = nullptr;

} // namespace

MachineConnectionHooks MachineConnectionHooks::Platform() {
    return {CreateServerOnMachine, WaitPaintingOnly};
}

const MachineConnectionHooks* SetMachineConnectionHooks(const MachineConnectionHooks* hooks) {
    return std::exchange(replacedHooks, hooks);
}

const MachineConnectionHooks& CurrentMachineConnectionHooks() {
    static const MachineConnectionHooks platform = MachineConnectionHooks::Platform();
    return replacedHooks ? *replacedHooks : platform;
}

HRESULT CreateServerOnMachine(const std::wstring& serverName, IOstrelServer** ppServer) {
    *ppServer = nullptr;
    // Windows needs both contexts and the name: the local machine's own name then reaches
    // the local server, any other name the remote one.
    COSERVERINFO server = {0, const_cast<LPWSTR>(serverName.c_str()), nullptr, 0};
    MULTI_QI request = {&IID_IOstrelServer, nullptr, S_OK};
    const HRESULT status = ::CoCreateInstanceEx(
        CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER, &server, 1, &request);
    if (FAILED(status))
        return status;
    if (FAILED(request.hr))
        return request.hr;
    *ppServer = static_cast<IOstrelServer*>(request.pItf);
    return S_OK;
}

void WaitPaintingOnly(DWORD milliseconds) {
    // Only paint messages are dispatched: input or timers here would re-enter the control
    // that is waiting for its server.
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_PAINT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageA(&message);
    }
}

HRESULT ConnectToMachine(const std::string& machineName, IOstrelConfigAgent** ppAgent,
                         const MachineConnectionHooks& hooks) {
    return Fw::Boundary(ppAgent, [&] {
        Microsoft::WRL::ComPtr<IOstrelServer> server;
        if (const HRESULT status = hooks.createServer(Lang::ToWide("\\\\" + machineName), &server);
            FAILED(status))
            return status;
        bool ready = false;
        for (int poll = 0; poll < maximumPolls && !ready; ++poll) {
            long state = -1;
            Com::Call(server, &IOstrelServer::GetServerState, &state);
            ready = state == serverReady;
            if (state == serverStarting)
                hooks.wait(startingPollInterval);
        }
        if (!ready)
            return E_FAIL;
        long cookie = 0;
        Microsoft::WRL::ComPtr<IUnknown> agentObject;
        Com::Call(server, &IOstrelServer::CreateConfigAgent, _bstr_t(configAgentProgId), -1L, &cookie,
                  &agentObject);
        // A server that answers success without an agent has made none.
        Com::ThrowIfNull(agentObject.Get());
        auto agent = Com::Query<IOstrelConfigAgent>(agentObject.Get());
        if (!agent)
            return E_NOINTERFACE;
        *ppAgent = agent.Detach();
        return S_OK;
    });
}
