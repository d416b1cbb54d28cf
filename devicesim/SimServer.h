// The simulated device server object: IOstrelServer for the views, IOstrelSimControl for tests
// and the demo, and the first source of the server's events.
#pragma once

#include "devicesim/OstrelSimControl.h"
#include "devicesim/SimCore.h"
#include "framework/com/Dispatch.h"

#include <functional>
#include <map>

namespace Sim {

struct SimServerHooks {
    // IOstrelSimControl::Exit: the local server ends its message loop here.
    std::function<void()> exitRequested;
};

// A server over the given state. Raises _com_error when it cannot be made.
Microsoft::WRL::ComPtr<IOstrelServer> CreateSimServer(SimState state, SimServerHooks hooks = {});

class SimServer : public Fw::ObjectRoot,
                  public IOstrelServer,
                  public IOstrelOutgoingConnections,
                  public Fw::Dispatch<IOstrelSimControl>,
                  public SimCore::EventSource {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimServer, IOstrelServer>(),
        Fw::Entry<SimServer, IOstrelOutgoingConnections>(),
        Fw::Entry<SimServer, IOstrelSimControl>(),
        Fw::Entry<SimServer, IDispatch, IOstrelSimControl>(),
        Fw::Entry<SimServer, IConnectionPointContainer>(),
    };

    // The agents' ProgID, as the views pass it to CreateConfigAgent.
    static constexpr const char* AgentProgId = "Kelmar.OstrelConfigAgent.1";

    ~SimServer() override;
    void Init(SimState state, SimServerHooks hooks);
    // The agents handed out and not released yet: what a view that forgets one leaves behind.
    size_t AgentCount() const { return m_agents.size(); }

    // IOstrelServer
    HRESULT STDMETHODCALLTYPE CreateConfigAgent(BSTR bstrProgId, long lOptions, long* plCookie,
                                                IUnknown** ppAgent) override;
    HRESULT STDMETHODCALLTYPE ReleaseConfigAgent(long lCookie) override;
    HRESULT STDMETHODCALLTYPE GetServerState(long* plState) override;
    HRESULT STDMETHODCALLTYPE GetPortManager(IOstrelPortManager** ppPortManager) override;

    // IOstrelOutgoingConnections
    HRESULT STDMETHODCALLTYPE StartOutgoingConnection(BSTR bstrMachine, unsigned short usIpPort) override;

    // IOstrelSimControl
    HRESULT STDMETHODCALLTYPE AttachPhone(short sPortId, BSTR bstrPhone, short* psPhoneId) override;
    HRESULT STDMETHODCALLTYPE DetachPhone(short sPortId) override;
    HRESULT STDMETHODCALLTYPE ChangePhone(short sPortId, BSTR bstrFields) override;
    HRESULT STDMETHODCALLTYPE SetPhoneMode(short sPortId, long lMode) override;
    HRESULT STDMETHODCALLTYPE SetPortState(short sPortId, long lState) override;
    HRESULT STDMETHODCALLTYPE AddClient(BSTR bstrName, BSTR bstrMachine, long lProcessId, BSTR bstrVersion,
                                        BSTR bstrStartTime, short* psClientId) override;
    HRESULT STDMETHODCALLTYPE RemoveClient(short sClientId) override;
    HRESULT STDMETHODCALLTYPE FireEvent(long lCode, short sObjectId, short sValue) override;
    HRESULT STDMETHODCALLTYPE SetStartingPolls(long lPolls) override;
    HRESULT STDMETHODCALLTYPE FailOperation(BSTR bstrName, long lStatus) override;
    HRESULT STDMETHODCALLTYPE AnnounceShutdown() override;
    HRESULT STDMETHODCALLTYPE Exit() override;
    HRESULT STDMETHODCALLTYPE TakeCalls(BSTR* pbstrCalls) override;
    HRESULT STDMETHODCALLTYPE GetPortSettings(short sPortId, BSTR* pbstrJson) override;
    HRESULT STDMETHODCALLTYPE SetProtocolLock(long lLocked) override;
    HRESULT STDMETHODCALLTYPE SetListeners(short sPortId, BSTR bstrListeners) override;
    HRESULT STDMETHODCALLTYPE AddObject(BSTR bstrClassName, BSTR bstrName, long lType, BSTR bstrVersion,
                                        short* psObjectId) override;
    HRESULT STDMETHODCALLTYPE RemoveObject(short sObjectId) override;
    HRESULT STDMETHODCALLTYPE ChangeObject(short sObjectId, BSTR bstrFields) override;
    HRESULT STDMETHODCALLTYPE SetPhoneFile(short sPortId, BSTR bstrName, BSTR bstrHexBytes) override;
    HRESULT STDMETHODCALLTYPE GetPhoneFile(short sPortId, BSTR bstrName, BSTR* pbstrHexBytes) override;

private:
    // The phone of a known port; a port without one is the caller's fault here (E_INVALIDARG).
    SimPhone& PhoneForFiles(short portId);

    std::shared_ptr<SimCore> m_core;
    SimServerHooks m_hooks;
    long m_nextCookie = 1;
    std::map<long, Microsoft::WRL::ComPtr<IUnknown>> m_agents;
};

} // namespace Sim
