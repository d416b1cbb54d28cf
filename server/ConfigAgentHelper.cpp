#include "server/ConfigAgentHelper.h"

#include <ocidl.h>

#include <utility>

HRESULT ConfigAgentHelper::Init(IUnknown* pAgentObject, IUnknown* pSink, bool bAdvise) {
    Release();
    if (!pAgentObject)
        return E_POINTER;
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent;
    // An object that answers success without the interface has not got it either.
    if (FAILED(pAgentObject->QueryInterface(IID_IOstrelConfigAgent, &agent)) || !agent)
        return E_NOINTERFACE;
    m_agent = std::move(agent);
    if (!bAdvise || !pSink)
        return S_OK;
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    Microsoft::WRL::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (SUCCEEDED(m_agent.As(&container)) && container &&
        SUCCEEDED(container->FindConnectionPoint(IID_IOstrelServerEvents, &point)) && point &&
        SUCCEEDED(point->Advise(pSink, &cookie))) {
        m_cookie = cookie;
        m_advised = true;
        m_sink = pSink;
    }
    return S_OK;
}

void ConfigAgentHelper::Release() {
    if (m_advised) {
        Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
        Microsoft::WRL::ComPtr<IConnectionPoint> point;
        // A server that has gone away cannot be told. Its stub would then keep the sink, and
        // with it the module, alive for good (Wine never times remote references out).
        const bool unadvised = SUCCEEDED(m_agent.As(&container)) && container &&
                               SUCCEEDED(container->FindConnectionPoint(IID_IOstrelServerEvents, &point)) &&
                               point && SUCCEEDED(point->Unadvise(m_cookie));
        if (!unadvised)
            ::CoDisconnectObject(m_sink.Get(), 0);
        m_sink.Reset();
        m_advised = false;
        m_cookie = 0;
    }
    m_agent.Reset();
}
