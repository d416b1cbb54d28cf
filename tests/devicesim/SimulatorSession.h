#pragma once

// OstrelDeviceSim.exe as a client in another process reaches it: the instance COM starts or hands
// out, an agent on it, and the end of that instance.
#include "devicesim/OstrelSimControl.h"
#include "foundation/Com/Failure.h"
#include "server/OstrelServer.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <utility>

namespace TestSupport {

inline Microsoft::WRL::ComPtr<IOstrelServer> ConnectToSimulator() {
    Microsoft::WRL::ComPtr<IOstrelServer> server;
    EXPECT_EQ(S_OK,
              ::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&server)));
    return server;
}

// An agent on the server, as a view holds one; null when the server refuses it.
inline Microsoft::WRL::ComPtr<IOstrelConfigAgent> AgentOf(IOstrelServer* server, long* cookie = nullptr) {
    long kept = 0;
    Microsoft::WRL::ComPtr<IUnknown> object;
    EXPECT_EQ(S_OK, server->CreateConfigAgent(_bstr_t(L"Kelmar.OstrelConfigAgent.1"), -1,
                                              cookie ? cookie : &kept, &object));
    return object ? Com::Query<IOstrelConfigAgent>(object.Get()) : nullptr;
}

// Exit, then the first failure of the instance's proxy: the process goes a little after Exit has
// answered, and only then does the next activation start a fresh instance.
inline HRESULT EndSimulator(IOstrelServer* server) {
    const Microsoft::WRL::ComPtr<IOstrelSimControl> control = Com::Query<IOstrelSimControl>(server);
    EXPECT_TRUE(control && control->Exit() == S_OK) << "Exit";
    long state = 0;
    HRESULT status = S_OK;
    PumpUntil([&] { return FAILED(status = server->GetServerState(&state)); }, 5'000);
    EXPECT_TRUE(status == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
                status == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED))
        << "the instance did not go: " << std::hex << status;
    return status;
}

// The instance a test reached, ended when the session goes, however the test ends.
class SimulatorSession {
public:
    SimulatorSession()
        : server(ConnectToSimulator()) {}
    ~SimulatorSession() { End(); }
    SimulatorSession(const SimulatorSession&) = delete;
    SimulatorSession& operator=(const SimulatorSession&) = delete;

    void End() {
        if (server)
            EndSimulator(std::exchange(server, nullptr).Get());
    }

    Microsoft::WRL::ComPtr<IOstrelServer> server;
};

} // namespace TestSupport
