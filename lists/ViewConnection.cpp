#include "lists/ViewConnection.h"

#include "foundation/Com/Failure.h"
#include "framework/com/ComObject.h"

#include <comdef.h>

using Microsoft::WRL::ComPtr;

namespace {

// The ProgID of the agents a view asks its server for.
constexpr wchar_t agentProgId[] = L"Kelmar.OstrelConfigAgent.1";

} // namespace

ViewConnection::~ViewConnection() {
    if (m_sink)
        m_sink->Unbind();
    m_agent.Release();
    ReleaseOwnAgent();
}

HRESULT ViewConnection::CreateSink() {
    ComPtr<IOstrelServerEvents> sink;
    const HRESULT status = Fw::Object<ServerEventSink>::Create(nullptr, IID_PPV_ARGS(&sink));
    if (FAILED(status))
        return status;
    m_sink = static_cast<ServerEventSink*>(sink.Get());
    m_sinkObject = sink;
    return S_OK;
}

bool ViewConnection::Attach(IUnknown* agentObject) {
    return agentObject && SUCCEEDED(m_agent.Init(agentObject, m_sinkObject.Get(), true));
}

HRESULT ViewConnection::AttachedAgent(IUnknown** agent) const {
    IOstrelConfigAgent* attached = m_agent.Agent();
    if (!attached)
        return E_FAIL;
    return attached->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(agent));
}

HRESULT ViewConnection::StartOnServer(IUnknown* serverObject, const std::function<void()>& detach,
                                      const std::function<HRESULT(IOstrelConfigAgent*)>& start,
                                      Activation activation) {
    ComPtr<IOstrelServer> server;
    if (!serverObject || FAILED(serverObject->QueryInterface(IID_PPV_ARGS(&server))))
        return E_FAIL;
    const _bstr_t progId(agentProgId);
    long cookie = 0;
    ComPtr<IUnknown> agentObject;
    Com::Call(server, &IOstrelServer::CreateConfigAgent, progId, -1L, &cookie, &agentObject);
    // A server that answers success without an agent has made none.
    Com::ThrowIfNull(agentObject.Get());
    ComPtr<IOstrelConfigAgent> agent;
    HRESULT status = agentObject.As(&agent);
    if (SUCCEEDED(status) && !agent)
        status = E_NOINTERFACE;
    if (SUCCEEDED(status) && activation == Activation::activate)
        status = agent->ActivateAgent();
    if (FAILED(status)) {
        // An agent the view cannot use is handed straight back.
        server->ReleaseConfigAgent(cookie);
        return status;
    }
    // The agent of an earlier StartupEx, kept while the window was gone, goes back first.
    detach();
    ReleaseOwnAgent();
    m_ownAgent = agent;
    m_ownAgentCookie = cookie;
    m_server = server;
    status = start(agent.Get());
    if (FAILED(status)) {
        ReleaseOwnAgent();
        m_server.Reset();
    }
    return status;
}

void ViewConnection::ReleaseOwnAgent() {
    if (!m_ownAgent)
        return;
    if (m_server)
        m_server->ReleaseConfigAgent(m_ownAgentCookie);
    m_ownAgentCookie = 0;
    m_ownAgent.Reset();
}

IOstrelServer* ViewConnection::Server(const char* failureTrace) {
    if (!m_server &&
        FAILED(::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&m_server))))
        ::OutputDebugStringA(failureTrace);
    return m_server.Get();
}
