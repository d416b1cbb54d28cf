#pragma once

// Small stand-ins for the device server and its agent, each doing only what a test scripts.
#include "foundation/Lang/Text.h"
#include "framework/com/ComObject.h"
#include "framework/com/ConnectionPoint.h"
#include "server/OstrelServer.h"

#include <string>
#include <utility>
#include <vector>

class FakeAgent : public Fw::ObjectRoot,
                  public IOstrelConfigAgent,
                  public Fw::ConnectionPoints<IOstrelServerEvents> {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<FakeAgent, IOstrelConfigAgent>(),
        Fw::Entry<FakeAgent, IConnectionPointContainer>(),
    };

    // Ports by id and name; GetPortInfo of `failingPort` fails.
    std::vector<std::pair<short, std::string>> ports;
    short failingPort = -1;
    HRESULT portIdsStatus = S_OK;

    HRESULT STDMETHODCALLTYPE GetPortIds(short* psCount, SAFEARRAY** ppsaIds) override {
        if (FAILED(portIdsStatus))
            return portIdsStatus;
        *psCount = static_cast<short>(ports.size());
        *ppsaIds = ::SafeArrayCreateVector(VT_I2, 0, static_cast<ULONG>(ports.size()));
        for (LONG i = 0; i < static_cast<LONG>(ports.size()); ++i)
            ::SafeArrayPutElement(*ppsaIds, &i, &ports[i].first);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPortInfo(short sPortId, OstrelPortInfo* pInfo) override {
        *pInfo = {};
        if (sPortId == failingPort)
            return E_UNEXPECTED;
        for (const auto& [id, name] : ports)
            if (id == sPortId) {
                pInfo->portId = id;
                pInfo->portName = Lang::ToBstr(name);
                pInfo->portState = id * 2;
                return S_OK;
            }
        return E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE GetObjectIds(long, short*, SAFEARRAY**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetObjectInfo(short, OstrelObjectInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClientInfo(short, OstrelClientInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPhoneInfo(short, OstrelPhoneInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPortPhoneInfo(short, OstrelPhoneInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAccumulatedData(short, long*, SAFEARRAY**, SAFEARRAY**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPortLabel(short, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddPort(BSTR, BSTR, long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnablePort(short) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisablePort(short) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemovePort(short) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateAgent() override { return E_NOTIMPL; }
};

// An agent object that cannot be subscribed to: it has no connection points.
class UnadvisableAgent : public FakeAgent {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<UnadvisableAgent, IOstrelConfigAgent>(),
    };
};

class FakeServer : public Fw::ObjectRoot, public IOstrelServer {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<FakeServer, IOstrelServer>(),
    };

    // What GetServerState answers, poll by poll; the last answer repeats.
    std::vector<long> states{1};
    HRESULT stateStatus = S_OK;
    int polls = 0;
    int agentsReleased = 0;

    HRESULT STDMETHODCALLTYPE CreateConfigAgent(BSTR bstrProgId, long lOptions, long* plCookie,
                                                IUnknown** ppAgent) override {
        if (Lang::FromBstr(bstrProgId) != "Kelmar.OstrelConfigAgent.1" || lOptions != -1)
            return E_INVALIDARG;
        *plCookie = 41;
        return Fw::Object<FakeAgent>::Create(nullptr, IID_IUnknown, reinterpret_cast<void**>(ppAgent));
    }
    HRESULT STDMETHODCALLTYPE ReleaseConfigAgent(long) override {
        ++agentsReleased;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetServerState(long* plState) override {
        *plState = states[std::min<size_t>(polls++, states.size() - 1)];
        return stateStatus;
    }
    HRESULT STDMETHODCALLTYPE GetPortManager(IOstrelPortManager**) override { return E_NOTIMPL; }
};
