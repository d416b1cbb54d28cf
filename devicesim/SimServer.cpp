#include "devicesim/SimServer.h"

#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimConfigAgent.h"
#include "devicesim/SimPortManager.h"
#include "devicesim/SimRecords.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

namespace Sim {

Microsoft::WRL::ComPtr<IOstrelServer> CreateSimServer(SimState state, SimServerHooks hooks) {
    return NewObject<SimServer, IOstrelServer>(std::move(state), std::move(hooks));
}

SimServer::~SimServer() {
    if (m_core)
        m_core->RemoveEventSource(this);
}

void SimServer::Init(SimState state, SimServerHooks hooks) {
    m_core = std::make_shared<SimCore>(std::move(state));
    m_hooks = std::move(hooks);
    m_core->AddEventSource(static_cast<IOstrelServer*>(this), this);
}

// --- IOstrelServer -------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SimServer::CreateConfigAgent(BSTR bstrProgId, long, long* plCookie,
                                                       IUnknown** ppAgent) {
    return Fw::Boundary(plCookie, ppAgent, [&] {
        m_core->Enter("CreateConfigAgent");
        if (::lstrcmpiA(Lang::FromBstr(bstrProgId).c_str(), AgentProgId) != 0)
            Com::Throw(CO_E_CLASSSTRING);
        const long cookie = m_nextCookie++;
        Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent =
            NewObject<SimConfigAgent, IOstrelConfigAgent>(m_core, cookie);
        m_agents.emplace(cookie, agent);
        *plCookie = cookie;
        *ppAgent = agent.Detach();
    });
}

HRESULT STDMETHODCALLTYPE SimServer::ReleaseConfigAgent(long lCookie) {
    return Fw::Boundary([&] {
        m_core->Enter("ReleaseConfigAgent");
        const auto found = m_agents.find(lCookie);
        if (found == m_agents.end())
            Com::Throw(E_INVALIDARG);
        Microsoft::WRL::ComPtr<IUnknown> agent = std::move(found->second);
        m_agents.erase(found);
        Microsoft::WRL::ComPtr<IOstrelConfigAgent> known;
        agent.As(&known);
        static_cast<SimConfigAgent*>(known.Get())->Deactivate();
    });
}

HRESULT STDMETHODCALLTYPE SimServer::GetServerState(long* plState) {
    return Fw::Boundary(plState, [&] {
        m_core->Enter("GetServerState");
        *plState = m_core->PollServerState();
    });
}

HRESULT STDMETHODCALLTYPE SimServer::GetPortManager(IOstrelPortManager** ppPortManager) {
    return Fw::Boundary(ppPortManager, [&] {
        m_core->Enter("GetPortManager");
        *ppPortManager = NewObject<SimPortManager, IOstrelPortManager>(m_core).Detach();
    });
}

// --- IOstrelOutgoingConnections ------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SimServer::StartOutgoingConnection(BSTR bstrMachine, unsigned short usIpPort) {
    return Fw::Boundary([&] {
        m_core->Enter("StartOutgoingConnection");
        const std::string machine = Lang::FromBstr(bstrMachine);
        if (machine.empty())
            Com::Throw(E_INVALIDARG);
        SimState& state = m_core->State();
        for (const UnreachableMachine& unreachable : state.unreachableMachines)
            if (::lstrcmpiA(unreachable.machine.c_str(), machine.c_str()) == 0)
                // The views tell a winsock error by the code under the top bit.
                Com::Throw(static_cast<HRESULT>(0x80000000UL |
                                                static_cast<unsigned long>(unreachable.winsockError)));
        // The connection becomes a network port of the server, pending until the far end answers.
        SimPort port;
        port.name = Lang::Format("%s:%u", machine.c_str(), usIpPort);
        port.label = machine;
        port.state = portPending;
        port.linkType = linkNetwork;
        port.host = machine;
        port.networkPort = usIpPort;
        port.linkQualifier = "out";
        port.baudRates = DefaultBaudRates();
        const short portId = m_core->AddPort(std::move(port));
        state.outgoingConnections.push_back({machine, usIpPort, portId});
    });
}

// --- IOstrelSimControl ---------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SimServer::AttachPhone(short sPortId, BSTR bstrPhone, short* psPhoneId) {
    return Fw::Boundary(psPhoneId, [&] {
        m_core->Port(sPortId);
        if (m_core->State().phoneOnPort(sPortId))
            Com::Throw(Status::AlreadyExists);
        std::string fields = Lang::FromBstr(bstrPhone);
        SimPhone phone = ParsePhoneFields(fields.empty() ? "{}" : fields, "AttachPhone", SimPhone());
        *psPhoneId = m_core->AttachPhone(sPortId, std::move(phone));
    });
}

HRESULT STDMETHODCALLTYPE SimServer::DetachPhone(short sPortId) {
    return Fw::Boundary([&] { m_core->DetachPhone(sPortId); });
}

HRESULT STDMETHODCALLTYPE SimServer::ChangePhone(short sPortId, BSTR bstrFields) {
    return Fw::Boundary([&] {
        const SimPhone& current = m_core->PhoneOnPort(sPortId);
        std::string fields = Lang::FromBstr(bstrFields);
        SimPhone phone = ParsePhoneFields(fields.empty() ? "{}" : fields, "ChangePhone", current);
        m_core->ReplacePhone(sPortId, std::move(phone));
    });
}

HRESULT STDMETHODCALLTYPE SimServer::SetPhoneMode(short sPortId, long lMode) {
    return Fw::Boundary([&] { m_core->SetPhoneMode(sPortId, lMode); });
}

HRESULT STDMETHODCALLTYPE SimServer::SetPortState(short sPortId, long lState) {
    return Fw::Boundary([&] { m_core->SetPortState(sPortId, lState); });
}

HRESULT STDMETHODCALLTYPE SimServer::AddClient(BSTR bstrName, BSTR bstrMachine, long lProcessId,
                                               BSTR bstrVersion, BSTR bstrStartTime, short* psClientId) {
    return Fw::Boundary(psClientId, [&] {
        SimClient client;
        client.name = Lang::FromBstr(bstrName);
        client.machine = Lang::FromBstr(bstrMachine);
        client.processId = lProcessId;
        client.version = Lang::FromBstr(bstrVersion);
        client.startTime = Lang::FromBstr(bstrStartTime);
        *psClientId = m_core->AddClient(std::move(client));
    });
}

HRESULT STDMETHODCALLTYPE SimServer::RemoveClient(short sClientId) {
    return Fw::Boundary([&] { m_core->RemoveClient(sClientId); });
}

HRESULT STDMETHODCALLTYPE SimServer::FireEvent(long lCode, short sObjectId, short sValue) {
    return Fw::Boundary([&] { m_core->Fire(lCode, sObjectId, sValue); });
}

HRESULT STDMETHODCALLTYPE SimServer::SetStartingPolls(long lPolls) {
    return Fw::Boundary([&] {
        if (lPolls < 0)
            Com::Throw(E_INVALIDARG);
        m_core->SetStartingPolls(lPolls);
    });
}

HRESULT STDMETHODCALLTYPE SimServer::FailOperation(BSTR bstrName, long lStatus) {
    return Fw::Boundary([&] {
        const std::string name = Lang::FromBstr(bstrName);
        if (name.empty())
            Com::Throw(E_INVALIDARG);
        m_core->FailOperation(name, static_cast<HRESULT>(lStatus));
    });
}

HRESULT STDMETHODCALLTYPE SimServer::AnnounceShutdown() {
    return Fw::Boundary([&] { m_core->Fire(Event::ServerGoingAway, 0, 0); });
}

HRESULT STDMETHODCALLTYPE SimServer::Exit() {
    return Fw::Boundary([&] {
        if (m_hooks.exitRequested)
            m_hooks.exitRequested();
    });
}

HRESULT STDMETHODCALLTYPE SimServer::TakeCalls(BSTR* pbstrCalls) {
    return Fw::Boundary(pbstrCalls, [&] { *pbstrCalls = Lang::ToBstr(m_core->TakeCalls()); });
}

HRESULT STDMETHODCALLTYPE SimServer::GetPortSettings(short sPortId, BSTR* pbstrJson) {
    return Fw::Boundary(pbstrJson,
                        [&] { *pbstrJson = Lang::ToBstr(PortSettingsJson(m_core->Port(sPortId))); });
}

HRESULT STDMETHODCALLTYPE SimServer::SetProtocolLock(long lLocked) {
    return Fw::Boundary([&] { m_core->State().protocolLock = lLocked != 0; });
}

HRESULT STDMETHODCALLTYPE SimServer::SetListeners(short sPortId, BSTR bstrListeners) {
    return Fw::Boundary([&] {
        m_core->Port(sPortId);
        std::vector<Listener> listeners;
        try {
            listeners = ParseListeners(Lang::FromBstr(bstrListeners), "SetListeners");
        } catch (const ScenarioError&) {
            Com::Throw(E_INVALIDARG); // the caller's text, not the simulator, is at fault
        }
        m_core->SetListeners(sPortId, std::move(listeners));
    });
}

HRESULT STDMETHODCALLTYPE SimServer::AddObject(BSTR bstrClassName, BSTR bstrName, long lType,
                                               BSTR bstrVersion, short* psObjectId) {
    return Fw::Boundary(psObjectId, [&] {
        SimObject object;
        object.className = Lang::FromBstr(bstrClassName);
        object.name = Lang::FromBstr(bstrName);
        object.type = lType;
        object.version = Lang::FromBstr(bstrVersion);
        *psObjectId = m_core->AddObject(std::move(object));
    });
}

HRESULT STDMETHODCALLTYPE SimServer::RemoveObject(short sObjectId) {
    return Fw::Boundary([&] { m_core->RemoveObject(sObjectId); });
}

HRESULT STDMETHODCALLTYPE SimServer::ChangeObject(short sObjectId, BSTR bstrFields) {
    return Fw::Boundary([&] {
        SimState& state = m_core->State();
        std::string fields = Lang::FromBstr(bstrFields);
        if (fields.empty())
            fields = "{}";
        // Parsed whole before anything changes, so that a refused text leaves the object as it was.
        try {
            if (const SimClient* client = state.findClient(sObjectId))
                m_core->ChangeClient(ParseClientFields(fields, "ChangeObject", *client));
            else if (const SimObject* object = state.findObject(sObjectId))
                m_core->ChangeObject(ParseObjectFields(fields, "ChangeObject", *object));
            else
                Com::Throw(Status::UnknownId);
        } catch (const ScenarioError&) {
            Com::Throw(E_INVALIDARG); // the caller's text, not the simulator, is at fault
        }
    });
}

SimPhone& SimServer::PhoneForFiles(short portId) {
    m_core->Port(portId);
    SimPhone* phone = m_core->State().phoneOnPort(portId);
    if (!phone)
        Com::Throw(E_INVALIDARG);
    return *phone;
}

HRESULT STDMETHODCALLTYPE SimServer::SetPhoneFile(short sPortId, BSTR bstrName, BSTR bstrHexBytes) {
    return Fw::Boundary([&] {
        SimPhone& phone = PhoneForFiles(sPortId);
        std::vector<std::uint8_t> bytes;
        if (ParseFileHex(Lang::FromBstr(bstrHexBytes), bytes) != std::string_view::npos)
            Com::Throw(E_INVALIDARG);
        phone.files[Lang::FromBstr(bstrName)] = std::move(bytes);
    });
}

HRESULT STDMETHODCALLTYPE SimServer::GetPhoneFile(short sPortId, BSTR bstrName, BSTR* pbstrHexBytes) {
    return Fw::Boundary(pbstrHexBytes, [&] {
        const SimPhone& phone = PhoneForFiles(sPortId);
        const auto found = phone.files.find(Lang::FromBstr(bstrName));
        if (found == phone.files.end())
            Com::Throw(STG_E_FILENOTFOUND);
        *pbstrHexBytes = Lang::ToBstr(HexBytes(found->second));
    });
}

} // namespace Sim
