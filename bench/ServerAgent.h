// A configuration agent the benchmarks read through, as a list holds its own.
#pragma once

#include "devicesim/SimServer.h"
#include "server/OstrelServer.h"

#include <comdef.h>
#include <wrl/client.h>

#include <cstdlib>

namespace Bench {

// A configuration agent of the server, handed back when this goes.
struct Agent {
    explicit Agent(IOstrelServer* server)
        : server(server) {
        if (FAILED(server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &object)) ||
            FAILED(object.As(&agent)) || FAILED(object.As(&agentEx)))
            std::abort();
    }
    ~Agent() {
        agentEx.Reset();
        agent.Reset();
        object.Reset();
        server->ReleaseConfigAgent(cookie);
    }

    IOstrelServer* server;
    long cookie = 0;
    Microsoft::WRL::ComPtr<IUnknown> object;
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent;
    Microsoft::WRL::ComPtr<IOstrelConfigAgentEx> agentEx;
};

} // namespace Bench
