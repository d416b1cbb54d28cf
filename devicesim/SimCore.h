// The simulated server's engine: the state, the listeners, the failures a test asked for, and
// every change the server's operations and the control interface make. The COM objects are
// thin boundaries over it and share it; it holds no COM reference of its own between calls.
#pragma once

#include "devicesim/SimState.h"
#include "foundation/Com/Failure.h"
#include "framework/com/ComObject.h"
#include "framework/com/ConnectionPoint.h"
#include "server/OstrelServer.h"

#include <comdef.h>
#include <wrl/client.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace Sim {

// What the simulator answers when a call cannot be served, so that tests can tell the causes
// apart. Unknown ids of any kind are E_INVALIDARG.
namespace Status {
constexpr HRESULT UnknownId = E_INVALIDARG;
constexpr HRESULT NoPhone = static_cast<HRESULT>(0x80070015);          // ERROR_NOT_READY
constexpr HRESULT NotZelkorMode = static_cast<HRESULT>(0x8007139F);    // ERROR_INVALID_STATE
constexpr HRESULT AlreadyExists = static_cast<HRESULT>(0x800700B7);    // ERROR_ALREADY_EXISTS
constexpr HRESULT PortNotPresent = static_cast<HRESULT>(0x80070037);   // ERROR_DEV_NOT_EXIST
constexpr HRESULT PhoneModeTimeout = static_cast<HRESULT>(0x800705B4); // ERROR_TIMEOUT
constexpr HRESULT NoFileSystem = static_cast<HRESULT>(0x80070032);     // ERROR_NOT_SUPPORTED
constexpr HRESULT IdsExhausted = E_OUTOFMEMORY;
} // namespace Status

// The event codes the server fires (IOstrelServerEvents::OnServerEvent).
namespace Event {
constexpr long ServerGoingAway = 2;
constexpr long PortAdded = 3;            // objectId = port id
constexpr long PortRemoved = 4;          // objectId = port id
constexpr long ObjectsChanged = 5;       // objectId = sub-code, value = object id
constexpr long PortStateChanged = 6;     // objectId = port id
constexpr long PhoneArrivedOrLeft = 9;   // objectId = port id, value = phone id
constexpr long PhoneChanged = 10;        // objectId = port id, value = phone id
constexpr long PortSettingsChanged = 11; // objectId = port id
constexpr short ObjectAdded = 0;
constexpr short ObjectRemoved = 1;
constexpr short ObjectChanged = 2; // its fields changed: the views read the objects again
} // namespace Event

// Creates one of the simulator's objects and runs its Init with the given arguments; the
// object's interfaces are reached from the returned one. I is one of T's own interfaces:
// the object's IUnknown is the framework's inner unknown, which is no T.
template <class T, class I, class... Args>
Microsoft::WRL::ComPtr<I> NewObject(Args&&... args) {
    static_assert(!std::is_same_v<I, IUnknown>, "ask for one of the object's own interfaces");
    Microsoft::WRL::ComPtr<I> object;
    Com::ThrowIfFailed(
        Fw::Object<T>::Create(nullptr, __uuidof(I), reinterpret_cast<void**>(object.GetAddressOf())));
    static_cast<T*>(object.Get())->Init(std::forward<Args>(args)...);
    return object;
}

class SimCore {
public:
    using EventSource = Fw::ConnectionPoints<IOstrelServerEvents>;

    explicit SimCore(SimState state);

    SimState& State() { return m_state; }

    // Notes the call in the call log, then raises the failure a test set for this member name,
    // if any. Every server member calls it first, whichever object it is on; a member whose first
    // argument is a port id gives it too, so that the log tells the ports apart, and a member
    // whose arguments a caller must get right gives them as the log shows them ("Commit(1)").
    void Enter(const char* member);
    void Enter(const char* member, short portId);
    void Enter(const char* member, std::string_view arguments);
    void FailOperation(const std::string& member, HRESULT status);
    // The calls entered since the last time, oldest first, one a line ("GetServerState",
    // "SetTraceLevel(7)") joined with "\n"; empty when there were none. Empties the log.
    std::string TakeCalls() { return std::exchange(m_calls, {}); }

    // GetServerState: 0 while polls of "starting" remain, then 1.
    long PollServerState();
    void SetStartingPolls(long polls) { m_state.startingPolls = polls; }

    // Lookups that raise Status::UnknownId (or Status::NoPhone for a port without a phone).
    SimPort& Port(short portId);
    SimPhone& Phone(short phoneId);
    SimPhone& PhoneOnPort(short portId);

    // Listeners hear events in the order they registered: the server object first, then the
    // agents in the order they were created.
    void AddEventSource(IUnknown* owner, EventSource* source);
    void RemoveEventSource(EventSource* source);
    // Synchronous: every sink of every source has been called when this returns.
    void Fire(long code, short objectId, short value);

    // Changes, each firing what the server fires for it, in this order.
    short AddPort(SimPort port);                           // 3, then 5 added (port)
    void RemovePort(short portId);                         // [9, 5 removed (phone)], 4, 5 removed (port)
    void SetPortState(short portId, long state);           // 6
    void PortSettingsChanged(short portId);                // 11
    short AttachPhone(short portId, SimPhone phone);       // 9, then 5 added (phone)
    void DetachPhone(short portId);                        // 9, then 5 removed (phone)
    void ReplacePhone(short portId, SimPhone phone);       // 10
    void SetPhoneMode(short portId, long mode);            // 10
    short AddClient(SimClient client);                     // 5 added
    void RemoveClient(short clientId);                     // 5 removed
    short AddObject(SimObject object);                     // 5 added; any type but a client's
    void RemoveObject(short objectId);                     // 5 removed; a client or a further object
    void ChangeClient(SimClient client);                   // 5 changed; in place of the same id
    void ChangeObject(SimObject object);                   // 5 changed; in place of the same id
    short AddAgentObject(long cookie);                     // 5 added (type 8)
    void RemoveAgentObject(short objectId, bool announce); // 5 removed when announced and still there
    // Fires nothing: the server announces no byte counts.
    void SetListeners(short portId, std::vector<Listener> listeners);

private:
    // `call` is the line the log gets for it.
    void EnterAs(const char* member, std::string_view call);
    short IssueId();
    // Further objects hold any type but a client's, which only a SimClient carries.
    static void CheckObjectType(long type);

    struct Source {
        IUnknown* owner;
        EventSource* source;
    };

    SimState m_state;
    std::map<std::string, HRESULT> m_failures;
    std::string m_calls; // the call log as TakeCalls hands it out: one text keeps it compact
    std::vector<Source> m_sources;
};

} // namespace Sim
