#include "server/ConfigAgentHelper.h"

#include <ocidl.h>

#include <utility>

HRESULT ConfigAgentHelper::Init(IUnknown* pAgentObject, IUnknown* pSink, bool bAdvise) {
    Release();
    if (!pAgentObject)
        return E_POINTER;
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent;
    if (FAILED(pAgentObject->QueryInterface(IID_IOstrelConfigAgent, &agent)))
        return E_NOINTERFACE;
    m_agent = std::move(agent);
    if (!bAdvise || !pSink)
        return S_OK;
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    Microsoft::WRL::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (SUCCEEDED(m_agent.As(&container)) &&
        SUCCEEDED(container->FindConnectionPoint(IID_IOstrelServerEvents, &point)) &&
        SUCCEEDED(point->Advise(pSink, &cookie))) {
        m_cookie = cookie;
        m_advised = true;
    }
    return S_OK;
}

void ConfigAgentHelper::Release() {
    if (m_advised) {
        Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
        Microsoft::WRL::ComPtr<IConnectionPoint> point;
        // A server that has gone away cannot be told; the subscription dies with it.
        if (SUCCEEDED(m_agent.As(&container)) &&
            SUCCEEDED(container->FindConnectionPoint(IID_IOstrelServerEvents, &point)))
            point->Unadvise(m_cookie);
        m_advised = false;
        m_cookie = 0;
    }
    m_agent.Reset();
}
