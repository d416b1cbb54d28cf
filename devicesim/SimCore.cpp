#include "devicesim/SimCore.h"

#include "foundation/Lang/Text.h"

#include <algorithm>

namespace Sim {

SimCore::SimCore(SimState state)
    : m_state(std::move(state)) {}

void SimCore::Enter(const char* member) {
    EnterAs(member, member);
}

void SimCore::Enter(const char* member, short portId) {
    EnterAs(member, Lang::Format("%s(%d)", member, portId));
}

void SimCore::Enter(const char* member, std::string_view arguments) {
    EnterAs(member, std::string(member) + "(" + std::string(arguments) + ")");
}

void SimCore::EnterAs(const char* member, std::string_view call) {
    if (!m_calls.empty())
        m_calls += '\n';
    m_calls += call;
    const auto found = m_failures.find(member);
    if (found != m_failures.end())
        Com::Throw(found->second);
}

void SimCore::FailOperation(const std::string& member, HRESULT status) {
    if (status == S_OK)
        m_failures.erase(member);
    else
        m_failures[member] = status;
}

long SimCore::PollServerState() {
    if (m_state.startingPolls > 0) {
        --m_state.startingPolls;
        return 0;
    }
    return 1;
}

SimPort& SimCore::Port(short portId) {
    SimPort* port = m_state.findPort(portId);
    if (!port)
        Com::Throw(Status::UnknownId);
    return *port;
}

SimPhone& SimCore::Phone(short phoneId) {
    SimPhone* phone = m_state.findPhone(phoneId);
    if (!phone)
        Com::Throw(Status::UnknownId);
    return *phone;
}

SimPhone& SimCore::PhoneOnPort(short portId) {
    Port(portId);
    SimPhone* phone = m_state.phoneOnPort(portId);
    if (!phone)
        Com::Throw(Status::NoPhone);
    return *phone;
}

void SimCore::AddEventSource(IUnknown* owner, EventSource* source) {
    m_sources.push_back({owner, source});
}

void SimCore::RemoveEventSource(EventSource* source) {
    std::erase_if(m_sources, [source](const Source& known) { return known.source == source; });
}

void SimCore::Fire(long code, short objectId, short value) {
    // A sink may release an agent or call back into the server while it hears the event:
    // the listeners as they stand now are kept alive until everyone has heard it.
    std::vector<std::pair<Microsoft::WRL::ComPtr<IUnknown>, EventSource*>> listeners;
    for (const Source& known : m_sources)
        listeners.emplace_back(known.owner, known.source);
    for (const auto& [owner, source] : listeners)
        source->Fire<IOstrelServerEvents>(
            [&](IOstrelServerEvents* sink) { sink->OnServerEvent(code, objectId, value); });
}

short SimCore::IssueId() {
    const short id = m_state.issueId();
    if (id == 0)
        Com::Throw(Status::IdsExhausted);
    return id;
}

short SimCore::AddPort(SimPort port) {
    if (port.name.empty())
        Com::Throw(E_INVALIDARG);
    if (m_state.findPortByName(port.name))
        Com::Throw(Status::AlreadyExists);
    port.id = IssueId();
    m_state.ports.push_back(std::move(port));
    const short id = m_state.ports.back().id;
    Fire(Event::PortAdded, id, 0);
    Fire(Event::ObjectsChanged, Event::ObjectAdded, id);
    return id;
}

void SimCore::RemovePort(short portId) {
    Port(portId);
    if (const SimPhone* phone = m_state.phoneOnPort(portId)) {
        const short phoneId = phone->id;
        std::erase_if(m_state.phones, [phoneId](const SimPhone& known) { return known.id == phoneId; });
        Fire(Event::PhoneArrivedOrLeft, portId, phoneId);
        Fire(Event::ObjectsChanged, Event::ObjectRemoved, phoneId);
    }
    std::erase_if(m_state.ports, [portId](const SimPort& known) { return known.id == portId; });
    Fire(Event::PortRemoved, portId, 0);
    Fire(Event::ObjectsChanged, Event::ObjectRemoved, portId);
}

void SimCore::SetPortState(short portId, long state) {
    Port(portId).state = state;
    Fire(Event::PortStateChanged, portId, 0);
}

void SimCore::PortSettingsChanged(short portId) {
    Fire(Event::PortSettingsChanged, portId, 0);
}

short SimCore::AttachPhone(short portId, SimPhone phone) {
    Port(portId);
    if (m_state.phoneOnPort(portId))
        Com::Throw(Status::AlreadyExists);
    phone.id = IssueId();
    phone.portId = portId;
    m_state.phones.push_back(std::move(phone));
    const short phoneId = m_state.phones.back().id;
    Fire(Event::PhoneArrivedOrLeft, portId, phoneId);
    Fire(Event::ObjectsChanged, Event::ObjectAdded, phoneId);
    return phoneId;
}

void SimCore::DetachPhone(short portId) {
    const short phoneId = PhoneOnPort(portId).id;
    std::erase_if(m_state.phones, [phoneId](const SimPhone& known) { return known.id == phoneId; });
    Fire(Event::PhoneArrivedOrLeft, portId, phoneId);
    Fire(Event::ObjectsChanged, Event::ObjectRemoved, phoneId);
}

void SimCore::ReplacePhone(short portId, SimPhone phone) {
    SimPhone& current = PhoneOnPort(portId);
    phone.id = current.id;
    phone.portId = portId;
    current = std::move(phone);
    Fire(Event::PhoneChanged, portId, current.id);
}

void SimCore::SetPhoneMode(short portId, long mode) {
    SimPhone& phone = PhoneOnPort(portId);
    phone.mode = mode;
    Fire(Event::PhoneChanged, portId, phone.id);
}

void SimCore::SetListeners(short portId, std::vector<Listener> listeners) {
    Port(portId).listeners = std::move(listeners);
}

short SimCore::AddClient(SimClient client) {
    client.id = IssueId();
    m_state.clients.push_back(std::move(client));
    const short id = m_state.clients.back().id;
    Fire(Event::ObjectsChanged, Event::ObjectAdded, id);
    return id;
}

void SimCore::RemoveClient(short clientId) {
    if (!m_state.findClient(clientId))
        Com::Throw(Status::UnknownId);
    std::erase_if(m_state.clients, [clientId](const SimClient& known) { return known.id == clientId; });
    Fire(Event::ObjectsChanged, Event::ObjectRemoved, clientId);
}

void SimCore::CheckObjectType(long type) {
    if (type < 1 || type == ObjectClient)
        Com::Throw(E_INVALIDARG);
}

short SimCore::AddObject(SimObject object) {
    CheckObjectType(object.type);
    object.id = IssueId();
    m_state.objects.push_back(std::move(object));
    const short id = m_state.objects.back().id;
    Fire(Event::ObjectsChanged, Event::ObjectAdded, id);
    return id;
}

void SimCore::RemoveObject(short objectId) {
    if (m_state.findClient(objectId)) {
        RemoveClient(objectId);
        return;
    }
    if (!std::erase_if(m_state.objects, [objectId](const SimObject& known) { return known.id == objectId; }))
        Com::Throw(Status::UnknownId);
    Fire(Event::ObjectsChanged, Event::ObjectRemoved, objectId);
}

void SimCore::ChangeClient(SimClient client) {
    SimClient* current = m_state.findClient(client.id);
    if (!current)
        Com::Throw(Status::UnknownId);
    *current = std::move(client);
    Fire(Event::ObjectsChanged, Event::ObjectChanged, current->id);
}

void SimCore::ChangeObject(SimObject object) {
    SimObject* current = m_state.findObject(object.id);
    if (!current)
        Com::Throw(Status::UnknownId);
    CheckObjectType(object.type);
    *current = std::move(object);
    Fire(Event::ObjectsChanged, Event::ObjectChanged, current->id);
}

short SimCore::AddAgentObject(long cookie) {
    SimObject agent;
    agent.className = "OstrelConfigAgent";
    agent.name = Lang::Format("Configuration agent %ld", cookie);
    agent.type = ObjectAgent;
    agent.version = m_state.serverVersion;
    return AddObject(std::move(agent));
}

void SimCore::RemoveAgentObject(short objectId, bool announce) {
    const auto removed =
        std::erase_if(m_state.objects, [objectId](const SimObject& known) { return known.id == objectId; });
    if (removed && announce)
        Fire(Event::ObjectsChanged, Event::ObjectRemoved, objectId);
}

} // namespace Sim
