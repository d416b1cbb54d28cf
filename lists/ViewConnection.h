#pragma once

#include "server/ConfigAgentHelper.h"
#include "server/OstrelServer.h"
#include "server/ServerEventSink.h"

#include <wrl/client.h>

#include <functional>

// What every server view holds of its server: the agent it is attached to with the event
// subscription, its event sink, and the agent and server of its own that StartupEx makes. The
// view keeps its rows; this keeps the references, so that the views let go of them alike.
class ViewConnection {
public:
    ViewConnection() = default;
    ViewConnection(const ViewConnection&) = delete;
    ViewConnection& operator=(const ViewConnection&) = delete;
    ~ViewConnection();

    // The sink, made once with the view (its FinalConstruct).
    HRESULT CreateSink();
    ServerEventSink& Sink() const { return *m_sink; }

    IOstrelConfigAgent* Agent() const { return m_agent.Agent(); }
    // Keeps the object's agent and subscribes the sink; false when the object is no agent, and
    // the view then stays empty.
    bool Attach(IUnknown* agentObject);
    void Detach() { m_agent.Release(); }
    // GetConfigAgent: the attached agent as a new reference, general failure without one.
    HRESULT AttachedAgent(IUnknown** agent) const;

    // Whether StartupEx has the new agent counted among the server's objects (ActivateAgent)
    // before the view attaches to it, as the view of every object does to show itself.
    enum class Activation { none, activate };

    // StartupEx once the view has checked that it is not started: an agent of the view's own
    // from the server; then `detach` lets go of what the view holds and `start` starts the view
    // and attaches it to the new agent. A failed start keeps neither the agent nor the server.
    HRESULT StartOnServer(IUnknown* serverObject, const std::function<void()>& detach,
                          const std::function<HRESULT(IOstrelConfigAgent* agent)>& start,
                          Activation activation = Activation::none);
    // The own agent goes back to the server that made it (Shutdown).
    void ReleaseOwnAgent();
    // Shutdown of a view that keeps no hold on the server afterwards (the client list and the
    // object tree; the port and phone lists keep theirs).
    void ForgetServer() { m_server.Reset(); }

    // The server the view made its agent on, else the local one created now (the commands that
    // need one); null when neither can be had, with `failureTrace` on the debugger's output.
    IOstrelServer* Server(const char* failureTrace);

private:
    ConfigAgentHelper m_agent;
    Microsoft::WRL::ComPtr<IUnknown> m_sinkObject;
    ServerEventSink* m_sink = nullptr;
    Microsoft::WRL::ComPtr<IOstrelServer> m_server;
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> m_ownAgent;
    long m_ownAgentCookie = 0;
};
