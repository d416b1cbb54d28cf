#pragma once

#include "server/OstrelServer.h"

#include <wrl/client.h>

// A view's hold on its configuration agent and its subscription to the server's events.
class ConfigAgentHelper {
public:
    ConfigAgentHelper() = default;
    ConfigAgentHelper(const ConfigAgentHelper&) = delete;
    ConfigAgentHelper& operator=(const ConfigAgentHelper&) = delete;
    ~ConfigAgentHelper() { Release(); }

    // Keeps the object's IOstrelConfigAgent, letting go of any agent held before; without
    // that interface it answers E_NOINTERFACE and keeps nothing. With advise set it
    // subscribes the sink to the agent's events: a refused subscription leaves the agent
    // held but unadvised (the view then loads once and hears nothing).
    HRESULT Init(IUnknown* pAgentObject, IUnknown* pSink, bool bAdvise);
    // Cancels the subscription, if any, and drops the agent.
    void Release();

    IOstrelConfigAgent* Agent() const { return m_agent.Get(); }
    DWORD Cookie() const { return m_cookie; }
    bool Advised() const { return m_advised; }

private:
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> m_agent;
    // The subscribed sink, to cut its remote references when the server can no longer be told.
    Microsoft::WRL::ComPtr<IUnknown> m_sink;
    DWORD m_cookie = 0;
    bool m_advised = false;
};
