#include "SimBench.h"

#include "devicesim/OstrelSimControl.h"
#include "devicesim/SimCore.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/ComObject.h"
#include "server/OwnedRecord.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <comdef.h>

#include <memory>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace SimBench {

namespace {

// --- answers as text -----------------------------------------------------------------------

std::string Text(BSTR text) {
    return Lang::FromBstr(text);
}

// The elements of an array the server handed out (the caller's to destroy), a space before each.
template <class T>
std::string Joined(SAFEARRAY* array) {
    const Win32::UniqueSafeArray owned(array);
    const Win32::SafeArrayAccess<T> access(array);
    std::string text;
    for (T element : access.Items()) {
        if constexpr (std::is_same_v<T, BSTR>)
            text += " " + Text(element);
        else
            text += " " + std::to_string(element);
    }
    return text;
}

// Each record as one line of every field the views read, so that a row states a whole record.
std::string Line(const OstrelPortInfo& r) {
    return Lang::Format("%d %s/%s/%ld", r.portId, Text(r.portName).c_str(), Text(r.label).c_str(),
                        r.portState);
}

std::string Line(const OstrelPortConfigEx& r) {
    return Lang::Format("%d %s/%s/%ld link %ld/%ld/%s:%lu/%s", r.portId, Text(r.portName).c_str(),
                        Text(r.label).c_str(), r.portState, r.linkType, r.baudRate, Text(r.host).c_str(),
                        r.networkPort, Text(r.linkQualifier).c_str());
}

// The port, the texts in the record's order, then its numbers.
std::string Line(const OstrelPhoneInfo& r) {
    std::string line = std::to_string(r.portId);
    for (BSTR text : {r.esn, r.analogMin, r.phoneNumber, r.phoneName, r.modelText, r.banner, r.phoneStateText,
                      r.stateText, r.buildVersion, r.compileDate, r.compileTime, r.releaseDate, r.releaseTime,
                      r.chipText})
        line += "|" + Text(text);
    return line + Lang::Format("|%d %d %d %d %d %d %ld %ld %ld %ld %ld", r.modelNumber, r.slotCycleIndex,
                               r.majorVersion, r.minorVersion, r.stationClassMark, r.protocolRevision, r.mode,
                               r.locked, r.authorized, r.platformDevice, r.formFactor);
}

std::string Line(const OstrelObjectInfo& r) {
    return Lang::Format("%s/%s/%ld/%s", Text(r.className).c_str(), Text(r.objectName).c_str(), r.objectType,
                        Text(r.version).c_str());
}

std::string Line(const OstrelClientInfo& r) {
    return Lang::Format("%d %s/%s/%ld/%s/%s", r.clientId, Text(r.clientName).c_str(),
                        Text(r.machineName).c_str(), r.processId, Text(r.version).c_str(),
                        Text(r.startTime).c_str());
}

std::string Line(const OstrelModelEx& r) {
    return Lang::Format("%d/%ld", r.hasValue, r.modelNumber);
}

// What a call gave, freed as a view frees what it receives.
template <class T>
std::string Take(T& value) {
    if constexpr (std::is_arithmetic_v<T>) {
        return std::to_string(value);
    } else if constexpr (std::is_same_v<T, BSTR>) {
        const Win32::UniqueBstr owned(std::exchange(value, nullptr));
        return Text(owned.get());
    } else {
        const std::string line = Line(value);
        Server::ClearRecord(value);
        return line;
    }
}

std::string Answer(HRESULT status) {
    return status == S_OK ? "ok" : Lang::Format("%08lX", static_cast<unsigned long>(status));
}

std::string Answer(std::string given) {
    return given;
}

template <class Member>
struct MemberOf;
template <class I, class... P>
struct MemberOf<HRESULT (STDMETHODCALLTYPE I::*)(P...)> {
    using Interface = I;
    using Out = std::remove_pointer_t<std::tuple_element_t<sizeof...(P) - 1, std::tuple<P...>>>;
};

// A getter's answer: what it gave, or its failure and whatever it still filled in.
template <class U, class Member, class... In>
std::string Get(const ComPtr<U>& object, Member member, In... in) {
    ComPtr<typename MemberOf<Member>::Interface> target;
    if (!object || FAILED(object.As(&target)))
        return "no such object";
    typename MemberOf<Member>::Out value{}, blank{};
    const HRESULT status = (target.Get()->*member)(in..., &value);
    const std::string given = Take(value);
    return status == S_OK ? given : given == Take(blank) ? Answer(status) : Answer(status) + " " + given;
}


// --- the bench -----------------------------------------------------------------------------

// One line per event heard: which listener, then code, object id and value, and where one arrives
// on another thread than the one that made the sink. The log is shared: a server in another
// process may still call a sink after its bench is gone.
class EventSink : public Fw::ObjectRoot, public IOstrelServerEvents {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {Fw::Entry<EventSink, IOstrelServerEvents>()};

    std::string name;
    std::shared_ptr<std::vector<std::string>> log;

    HRESULT STDMETHODCALLTYPE OnServerEvent(long lCode, short sObjectId, short sValue) override {
        const char* where = ::GetCurrentThreadId() == m_thread ? "" : " elsewhere";
        log->push_back(Lang::Format("%s %ld %d %d%s", name.c_str(), lCode, sObjectId, sValue, where));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnServerMessage(BSTR) override { return S_OK; }

private:
    const DWORD m_thread = ::GetCurrentThreadId();
};

} // namespace

// The server with two agents, as two views would hold them, and one log of what the server and
// both agents heard.
struct Bench {
    explicit Bench(ComPtr<IOstrelServer> made)
        : server(std::move(made)) {
        agent = NewAgent(&cookie);
        second = NewAgent(&secondCookie);
        agent.As(&agentEx);
        agent.As(&options);
        server.As(&control);
        server.As(&outgoing);
        EXPECT_EQ(S_OK, server->GetPortManager(&manager));
        EXPECT_EQ(S_OK, manager->GetPortLookup(&lookup));
        Listen(server.Get(), "server");
        Listen(agent.Get(), "agent1");
        Listen(second.Get(), "agent2");
    }

    ComPtr<IOstrelServer> server;
    long cookie = 0, secondCookie = 0, otherCookie = 0;
    ComPtr<IOstrelConfigAgent> agent, second;
    ComPtr<IOstrelConfigAgentEx> agentEx;
    ComPtr<IOstrelPortOptions> options;
    ComPtr<IOstrelSimControl> control;
    ComPtr<IOstrelOutgoingConnections> outgoing;
    ComPtr<IOstrelPortManager> manager;
    ComPtr<IOstrelPortLookup> lookup;
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    short newId = 0;
    ComPtr<IStream> file; // a phone file kept open between steps

    ComPtr<IOstrelConfigAgent> NewAgent(long* agentCookie) {
        ComPtr<IUnknown> object;
        ComPtr<IOstrelConfigAgent> result;
        EXPECT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, agentCookie, &object));
        object.As(&result);
        return result;
    }
    void Listen(IUnknown* source, const char* name) {
        ComPtr<IOstrelServerEvents> events;
        ASSERT_EQ(S_OK, Fw::Object<EventSink>::Create(nullptr, __uuidof(IOstrelServerEvents), &events));
        static_cast<EventSink*>(events.Get())->name = name;
        static_cast<EventSink*>(events.Get())->log = log;
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        DWORD connection = 0;
        ASSERT_EQ(S_OK, source->QueryInterface(IID_PPV_ARGS(&container)));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(__uuidof(IOstrelServerEvents), &point));
        ASSERT_EQ(S_OK, point->Advise(events.Get(), &connection));
    }
    ComPtr<IOstrelPort> Port(short id) {
        ComPtr<IOstrelPort> port;
        EXPECT_EQ(S_OK, manager->GetPort(id, &port));
        return port;
    }
    // Arrays: what the count says, then the elements. Mask 0 asks for the port ids instead.
    std::string ObjectIds(long mask) {
        short count = 0;
        SAFEARRAY* array = nullptr;
        EXPECT_EQ(S_OK, mask ? agent->GetObjectIds(mask, &count, &array) : agent->GetPortIds(&count, &array));
        return std::to_string(count) + ":" + Joined<short>(array);
    }
    // The count goes in as a capacity and comes back as what was filled.
    std::string Listeners(long count) {
        SAFEARRAY *cookies = nullptr, *bytes = nullptr;
        EXPECT_EQ(S_OK, agent->GetAccumulatedData(1, &count, &cookies, &bytes));
        return std::to_string(count) + ":" + Joined<long>(cookies) + " /" + Joined<LONGLONG>(bytes);
    }
    // The count tells all the server holds, the array what fits.
    std::string Sections(long capacity) {
        long filter = 0, count = 0;
        SAFEARRAY* names = nullptr;
        EXPECT_EQ(S_OK, agentEx->GetZelkorDumpSections(4, capacity, &filter, &count, &names));
        return Lang::Format("filter %ld, %ld:", filter, count) + Joined<BSTR>(names);
    }
    HRESULT SetSections(std::vector<const wchar_t*> names) {
        const Win32::UniqueSafeArray array(::SafeArrayCreateVector(VT_BSTR, 0, ULONG(names.size())));
        for (LONG i = 0; i < LONG(names.size()); ++i)
            ::SafeArrayPutElement(array.get(), &i, _bstr_t(names[i]).GetBSTR()); // copies
        return agentEx->SetZelkorDumpSections(4, long(names.size()), array.get());
    }
    // Each rate as rate/tried/mask bit, up to the S_FALSE that ends the list.
    std::string Rates() {
        std::string text;
        unsigned long rate = 0, bit = 0;
        long tried = 0, index = 0;
        HRESULT status = S_OK;
        while ((status = agentEx->GetBaudRateEntry(1, index++, 0, &rate, &tried, &bit)) == S_OK)
            text += Lang::Format("%lu/%ld/%lu ", rate, tried, bit);
        return text + Answer(status);
    }
    // Next's answer, how many it fetched, and those ids.
    std::string Next(IEnumOstrelPortId* from, long count) {
        SAFEARRAY* array = nullptr;
        long fetched = -1;
        const HRESULT status = from->Next(count, &array, &fetched);
        return Answer(status) + Lang::Format(" %ld:", fetched) + Joined<unsigned short>(array);
    }
    // Next answers S_FALSE with what was left; a clone starts where its source stood. The calls
    // are made in the order of the list.
    std::string Enumerate() {
        ComPtr<IEnumOstrelPortId> ids, clone;
        short count = 0;
        EXPECT_EQ(S_OK, lookup->EnumPortIds(&ids, &count));
        const std::string parts[] = {std::to_string(count),        Next(ids.Get(), 3),  Answer(ids->Skip(2)),
                                     Answer(ids->Clone(&clone)),   Next(ids.Get(), 10), Answer(ids->Reset()),
                                     Next(clone.Get(), 1),         Next(ids.Get(), 1)};
        std::string text;
        for (const std::string& part : parts)
            text += (text.empty() ? "" : " | ") + part;
        return text;
    }
    // What the lookup's classifier says of a device description or port name, member by member:
    // diagnostic, NMEA, excluded, allowed, remote file system.
    std::string Classify(const char* text) {
        ComPtr<IOstrelPortClassifier> classifier;
        EXPECT_EQ(S_OK, lookup.As(&classifier));
        const _bstr_t name(text);
        long values[5] = {-1, -1, -1, -1, -1};
        const HRESULT statuses[] = {classifier->IsDiagnosticDevice(name, &values[0]),
                                    classifier->IsNmeaDevice(name, &values[1]),
                                    classifier->IsExcludedDevice(name, &values[2]),
                                    classifier->IsPortAllowed(name, &values[3]),
                                    classifier->IsRemoteEfsDevice(name, &values[4])};
        std::string answers;
        for (int i = 0; i < 5; ++i)
            answers += (i ? " " : "") + (statuses[i] == S_OK ? std::to_string(values[i]) : Answer(statuses[i]));
        return answers;
    }
    ComPtr<IOstrelPortDescriptor> Descriptor(short portId) {
        ComPtr<IOstrelPortDescriptor> descriptor;
        EXPECT_EQ(S_OK, Port(portId)->GetPortDescriptor(&descriptor));
        return descriptor;
    }
    ComPtr<IOstrelServerSettings> Settings() {
        ComPtr<IOstrelPortManager2> manager2;
        ComPtr<IOstrelServerSettings> settings;
        EXPECT_EQ(S_OK, manager.As(&manager2));
        EXPECT_EQ(S_OK, manager2->GetServerSettings(&settings));
        return settings;
    }
    // The phone (kind 7) or the phone's file system (kind 17) on a port.
    ComPtr<IUnknown> PortObject(short portId, long kind) {
        ComPtr<IUnknown> object;
        Port(portId)->GetPortObject(kind, 0, &object);
        return object;
    }
    ComPtr<IPhoneEfs> Efs(short portId) {
        ComPtr<IPhoneEfs> efs;
        PortObject(portId, 17).As(&efs);
        return efs;
    }
    // A file opened for reading, in hex, with what a write to it answers.
    std::string Read(short portId, const char* name) {
        ComPtr<IUnknown> object;
        ComPtr<IStream> stream;
        const HRESULT opened = Efs(portId)->OpenFile(_bstr_t(name), 0, &object);
        if (FAILED(opened) || FAILED(object.As(&stream)))
            return Answer(opened);
        char content[64];
        ULONG read = 0;
        std::string text = "write " + Answer(stream->Write("x", 1, nullptr));
        text += ", read " + Answer(stream->Read(content, sizeof content, &read)) + ": ";
        for (const char c : std::string_view(content, read))
            text += c >= ' ' && c <= '~' ? std::string(1, c) : Lang::Format("\\x%02X", BYTE(c));
        return text;
    }
    HRESULT OpenForWriting(short portId, const char* name) {
        ComPtr<IUnknown> object;
        const HRESULT opened = Efs(portId)->OpenFile(_bstr_t(name), 1, &object);
        object.As(&file);
        return opened;
    }
};

namespace {

#define STEP(call) #call, [](Bench & b) { return Answer(call); }

using Agent = IOstrelConfigAgent;
using Ex = IOstrelConfigAgentEx;
using Options = IOstrelPortOptions;
const std::string invalid = Answer(E_INVALIDARG), noPhone = Answer(Sim::Status::NoPhone),
                  exists = Answer(Sim::Status::AlreadyExists);

// --- records -------------------------------------------------------------------------------

// The bench as the views read it. A port: id name/label/state, then link type/baud rate/
// host:network port/qualifier. A phone: its port, its texts, then its numbers.
const Step reads[] = {
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 1)), "1 COM1/Bench serial/2 link 1/38400/:0/"},
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 2)), "2 COM4//8 link 1/115200/:0/"},
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 7)), "7 lab-rig:2500/Rack 3/2 link 3/38400/lab-rig:2500/q1"},
    {STEP(Get(b.agent, &Agent::GetPortInfo, 1)), "1 COM1/Bench serial/2"},
    {STEP(Get(b.agent, &Agent::GetPhoneInfo, 101)),
     "1|305419896|5550100|5550101|Bench A|VX-210|READY|Idle|Online|VX210-4.2.0017|Mar 02 2006|14:21:07|"
     "Mar 10 2006|09:00:00|Unknown|84 2 2 1 170 6 5 0 1 0 4"},
    {STEP(Get(b.agent, &Agent::GetPhoneInfo, 103)), "4|||||||||||||||0 0 0 0 0 0 12 0 0 0 0"},
    {STEP(Get(b.agent, &Agent::GetPortPhoneInfo, 7)),
     "7|4294967295||5550177|Rack phone|Tarn 5|IN USE||Online|T5-1.9.0003|||||TMX-6|51 0 1 9 0 0 5 1 1 0 1"},
    {STEP(Get(b.agent, &Agent::GetPhoneInfo, 105)),
     "8||||Field MEID|Halden S2||||||||||120 0 0 0 0 0 5 0 1 1 9"},
    // A port without a phone still tells a platform device.
    {STEP(Get(b.agent, &Agent::GetPortPhoneInfo, 5)), noPhone + " 5|||||||||||||||0 0 0 0 0 0 0 0 0 1 0"},
    {STEP(Get(b.agent, &Agent::GetPortPhoneInfo, 2)), noPhone + " 2|||||||||||||||0 0 0 0 0 0 0 0 0 0 0"},
    {STEP(Get(b.agent, &Ex::GetPhoneModel, 101)), "1/2100"},
    {STEP(Get(b.agent, &Ex::GetPortPhoneModel, 7)), "0/0"},
    // What the port's own objects tell of its phone.
    {STEP(Get(b.Port(3), &IOstrelPort::GetPhoneMode)), "6"},
    {STEP(Get(b.Port(2), &IOstrelPort::GetPhoneMode)), "0"},
    {STEP(Get(b.Port(1), &IOstrelPort::GetPhoneKind)), "1"},
    {STEP(Get(b.Port(8), &IOstrelPort::GetPhoneKind)), "7"},
    {STEP(Get(b.Port(2), &IOstrelPort::GetPhoneKind)), "0"},
    {STEP(Get(b.Port(7), &IOstrelPort::IsLocked)), "1"},
    {STEP(Get(b.Port(1), &IOstrelPort::IsLocked)), "0"},
    {STEP(Get(b.PortObject(1, 7), &IOstrelPhone::GetEsn)), "305419896"},
    {STEP(Get(b.PortObject(3, 7), &IOstrelPhone::GetEsn)), "-1"}, // none
    {STEP(Get(b.PortObject(8, 7), &IOstrelPhone::GetMeidText)), "A0000012345678"},
    {STEP(b.Port(2)->GetPortObject(7, 0, ComPtr<IUnknown>().GetAddressOf())), noPhone},
    {STEP(Get(b.Port(8), &IOstrelPhoneModel::ReadModelNumber)), "4120"},
    {STEP(Get(b.Port(8), &IOstrelPhoneModel::ReadPhoneStatus)), "9"},
    {STEP(Get(b.Port(8), &IOstrelPhoneModel::ReadModelText)), "Halden S2"},
    {STEP(Get(b.PortObject(1, 7), &IOstrelPhone::GetPhoneText)), "Bench A"},
    {STEP(Get(b.Descriptor(7), &IOstrelPortDescriptor::GetName)), "lab-rig:2500"},
    {STEP(b.Port(1)->AwaitPhoneMode(5, 0, 0)), "ok"},
    {STEP(b.Port(1)->AwaitPhoneMode(12, 0, 0)), Answer(Sim::Status::PhoneModeTimeout)},
    {STEP(b.manager->FindPort(1, ComPtr<IUnknown>().GetAddressOf())), "ok"},
    // The lookup and its classifier.
    {STEP(Get(b.lookup, &IOstrelPortLookup::GetPortNameById, 7)), "lab-rig:2500"},
    {STEP(Get(b.lookup, &IOstrelPortLookup::GetPortIdByName, _bstr_t("COM9"))), "4"},
    {STEP(b.Enumerate()), "8 | ok 3: 1 2 3 | ok | ok | 00000001 3: 6 7 8 | ok | ok 1: 6 | ok 1: 1"},
    {STEP(b.Classify("Bench Diagnostics Interface")), "1 0 0 1 0"},
    {STEP(b.Classify("Bench NMEA Device")), "0 1 0 1 0"},
    {STEP(b.Classify("Bluetooth Link")), "0 0 1 1 0"},
    {STEP(b.Classify("Bench Remote File System")), "0 0 0 1 1"},
    {STEP(b.Classify("COM17")), "0 0 0 0 0"},
    // The phone's file system; a reader cannot write, and reads less than it asked for.
    {STEP(Get(b.Efs(8), &IPhoneEfs::IsEfsPresent)), "1"},
    {STEP(Get(b.Efs(8), &IPhoneEfs::GetEfsVersion)), "2"},
    {STEP(Get(b.Efs(3), &IPhoneEfs::IsEfsPresent)), "0"},
    {STEP(b.Read(8, "RDM_DEV_MAP")), "write 80030005, read 00000001: "
                                     "\\xFF\\x06\\xFF\\xFF\\x01\\xFF\\x00\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF"
                                     "\\x01\\xFF\\xFF\\xFF\\xFF\\x05\\xFF\\xFF\\xFF"},
    {STEP(b.Read(8, "NO_SUCH_FILE")), Answer(STG_E_FILENOTFOUND)},
    {STEP(b.Efs(8)->RemoveFile(_bstr_t("NO_SUCH_FILE"))), Answer(STG_E_FILENOTFOUND)},
    // Objects: ports carry the server's version, the others their own; clients have no class.
    {STEP(Get(b.agent, &Agent::GetObjectInfo, 7)), "OstrelPort/lab-rig:2500/1/2.4.1"},
    {STEP(Get(b.agent, &Agent::GetObjectInfo, 104)), "OstrelPhone/Rack phone/2/T5-1.9.0003"},
    {STEP(Get(b.agent, &Agent::GetObjectInfo, 202)), "/Flash Tool/32/"},
    {STEP(Get(b.agent, &Agent::GetObjectInfo, 301)), "LogCollector/Log collector/8/1.2"},
    {STEP(Get(b.agent, &Agent::GetClientInfo, 201)),
     "201 Bench Monitor/BENCH-PC/4120/3.0.2/2006-03-14 08:15:02"},
    // Port settings and what the port's phone answers.
    {STEP(Get(b.agent, &Ex::GetProtocolMode, 1)), "1"},
    {STEP(Get(b.agent, &Options::GetTraceLevel, 1)), "2"},
    {STEP(Get(b.agent, &Options::GetShutdownAction, 1)), "1"},
    {STEP(Get(b.agent, &Options::GetPollingMode, 1)), "2"},
    {STEP(Get(b.agent, &Ex::GetZelkorHelloResponse, 4)), "1"},
    {STEP(Get(b.agent, &Ex::GetZelkorAutoReset, 4)), "0"},
    {STEP(Get(b.agent, &Ex::GetZelkorTimestampFolders, 4)), "1"},
    {STEP(Get(b.agent, &Ex::GetZelkorContinueBoot, 4)), "0"},
    {STEP(Get(b.agent, &Ex::GetZelkorOneDownload, 4)), "1"},
    {STEP(Get(b.agent, &Ex::GetZelkorXmlFile, 4)), "C:\\Images\\bench\\rawprogram.xml"},
    {STEP(Get(b.agent, &Ex::GetZelkorDumpFolder, 4)), "C:\\Dumps"},
    {STEP(Get(b.agent, &Ex::GetDiagSwitchState, 3)), "1"},
    {STEP(Get(b.agent, &Options::GetFlowControl, 1)), "1"},
    {STEP(Get(b.agent, &Ex::GetSecurityPassword, 1)), "00000000"},
    {STEP(Get(b.agent, &Ex::GetDiagCommandHistory, 1)), "75 37 03 16 00;29 00;0C"},
    {STEP(Get(b.Settings(), &IOstrelServerSettings::GetProtocolLock)), "0"},
    {STEP(Get(b.agent, &Ex::SendDiagCommand, 1, _bstr_t("75 37 3 16 0"))), "75 37 03 16 00"},
    // Arrays.
    {STEP(b.Rates()), "9600/1/1 19200/0/2 38400/1/4 115200/0/8 00000001"},
    {STEP(b.Listeners(128)), "2: 17 18 / 48211 6442450944"}, // byte counts pass 2^32
    {STEP(b.Listeners(1)), "1: 17 / 48211"},
    {STEP(b.Listeners(0)), "0: /"},
    {STEP(b.Sections(2)), "filter 1, 3: BOOT MODEM"},
    // By type mask: ports, phones, the scenario's objects of types 4 and 8, clients.
    {STEP(b.ObjectIds(0)), "8: 1 2 3 4 5 6 7 8"},
    {STEP(b.ObjectIds(1)), "8: 1 2 3 4 5 6 7 8"},
    {STEP(b.ObjectIds(2)), "5: 101 102 103 104 105"},
    {STEP(b.ObjectIds(4)), "1: 302"},
    {STEP(b.ObjectIds(8)), "1: 301"},
    {STEP(b.ObjectIds(0x20)), "3: 201 202 203"},
    // Unknown ids of any kind are invalid arguments.
    {STEP(Get(b.agent, &Agent::GetPortInfo, 99)), invalid},
    {STEP(Get(b.agent, &Agent::GetPhoneInfo, 1)), invalid},
    {STEP(Get(b.agent, &Agent::GetObjectInfo, 999)), invalid},
    {STEP(Get(b.agent, &Agent::GetClientInfo, 101)), invalid},
    {STEP(b.manager->GetPort(99, ComPtr<IOstrelPort>().GetAddressOf())), invalid},
    {STEP(b.manager->FindPort(99, ComPtr<IUnknown>().GetAddressOf())), invalid},
    {STEP(Get(b.lookup, &IOstrelPortLookup::GetPortNameById, 99)), invalid},
    {STEP(Get(b.lookup, &IOstrelPortLookup::GetPortIdByName, _bstr_t("com1"))), invalid},
};

// --- changes and events --------------------------------------------------------------------

// Ids are issued above the highest id of the scenario (302). A failed call fires nothing.
const Step changes[] = {
    {STEP(b.agent->AddPort(_bstr_t("COM10"), _bstr_t("New"), 38400)), "ok", {"3 303 0", "5 0 303"}},
    {STEP(b.agent->AddPort(_bstr_t("COM10"), _bstr_t(""), 38400)), exists},
    // COM10 is a USB diagnostic port of the machine.
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 303)), "303 COM10/New/2 link 2/38400/:0/"},
    {STEP(b.agent->SetPortLabel(303, _bstr_t("Renamed"))), "ok", {"11 303 0"}},
    {STEP(Get(b.agent, &Agent::GetPortInfo, 303)), "303 COM10/Renamed/2"},
    {STEP(b.agent->DisablePort(1)), "ok", {"6 1 0"}},
    {STEP(Get(b.agent, &Agent::GetPortInfo, 1)), "1 COM1/Bench serial/8"},
    {STEP(b.agent->EnablePort(1)), "ok", {"6 1 0"}},
    {STEP(b.agent->EnablePort(6)), Answer(Sim::Status::PortNotPresent)},
    {STEP(b.agent->SetPortLabel(99, _bstr_t(""))), invalid},
    // Each setting comes back as written; out-of-range values are refused.
    {STEP(b.agentEx->SetProtocolMode(1, 2)), "ok", {"11 1 0"}},
    {STEP(b.agentEx->SetProtocolMode(1, 3)), invalid},
    {STEP(Get(b.agent, &Ex::GetProtocolMode, 1)), "2"},
    {STEP(b.options->SetTraceLevel(1, 3)), "ok", {"11 1 0"}},
    {STEP(b.options->SetTraceLevel(1, 4)), invalid},
    {STEP(Get(b.agent, &Options::GetTraceLevel, 1)), "3"},
    {STEP(b.options->SetShutdownAction(1, 0)), "ok", {"11 1 0"}},
    {STEP(b.options->SetShutdownAction(1, -1)), invalid},
    {STEP(Get(b.agent, &Options::GetShutdownAction, 1)), "0"},
    {STEP(b.options->SetPollingMode(1, 1)), "ok", {"11 1 0"}},
    {STEP(b.options->SetPollingMode(1, -1)), invalid},
    {STEP(Get(b.agent, &Options::GetPollingMode, 1)), "1"},
    {STEP(b.agentEx->SetZelkorHelloResponse(4, 3)), "ok", {"11 4 0"}},
    {STEP(b.agentEx->SetZelkorHelloResponse(4, 4)), invalid},
    {STEP(Get(b.agent, &Ex::GetZelkorHelloResponse, 4)), "3"},
    {STEP(b.agentEx->SetBaudRateMask(1, 2 | 8, 0)), "ok", {"11 1 0"}},
    {STEP(b.agentEx->SetBaudRateMask(1, 0x40, 0)), invalid}, // no rate owns the bit
    {STEP(b.Rates()), "9600/0/1 19200/1/2 38400/0/4 115200/1/8 00000001"},
    {STEP(b.agentEx->SetZelkorDumpSections(4, 0, nullptr)), "ok", {"11 4 0"}},
    {STEP(b.Sections(16)), "filter 0, 0:"},
    {STEP(b.SetSections({L"EFS", L""})), "ok", {"11 4 0"}},
    {STEP(b.Sections(16)), "filter 1, 2: EFS "},
    {STEP(b.agentEx->SetZelkorXmlFile(4, _bstr_t("D:\\a.xml"), 0)), "ok", {"11 4 0"}},
    {STEP(Get(b.agent, &Ex::GetZelkorXmlFile, 4)), "D:\\a.xml"},
    {STEP(Get(b.agent, &Ex::GetZelkorOneDownload, 4)), "0"},
    {STEP(b.agentEx->SetZelkorDumpFolder(4, _bstr_t(""), 0)), "ok", {"11 4 0"}},
    {STEP(Get(b.agent, &Ex::GetZelkorDumpFolder, 4)), ""},
    {STEP(b.agentEx->SetZelkorAutoReset(4, 1)), "ok", {"11 4 0"}},
    {STEP(Get(b.agent, &Ex::GetZelkorAutoReset, 4)), "1"},
    {STEP(b.agentEx->SetZelkorTimestampFolders(4, 0)), "ok", {"11 4 0"}},
    {STEP(Get(b.agent, &Ex::GetZelkorTimestampFolders, 4)), "0"},
    {STEP(b.agentEx->SetZelkorContinueBoot(4, 1)), "ok", {"11 4 0"}},
    {STEP(Get(b.agent, &Ex::GetZelkorContinueBoot, 4)), "1"},
    {STEP(b.agentEx->SetDiagSwitchState(3, 0)), "ok", {"11 3 0"}},
    {STEP(Get(b.agent, &Ex::GetDiagSwitchState, 3)), "0"},
    {STEP(b.options->SetFlowControl(1, 0)), "ok", {"11 1 0"}},
    {STEP(Get(b.agent, &Options::GetFlowControl, 1)), "0"},
    {STEP(b.agentEx->SetSecurityPassword(1, _bstr_t("12345678"))), "ok", {"11 1 0"}},
    {STEP(Get(b.agent, &Ex::GetSecurityPassword, 1)), "12345678"},
    {STEP(b.agentEx->SetDiagCommandHistory(1, _bstr_t("0C;29 00"))), "ok", {"11 1 0"}},
    {STEP(Get(b.agent, &Ex::GetDiagCommandHistory, 1)), "0C;29 00"},
    // Listeners put in place are read back as they were given, unannounced; a refused list keeps
    // the old ones.
    {STEP(b.control->SetListeners(
         1, _bstr_t(R"([{"cookie": 5, "bytes": "6000000000"}, {"cookie": 6, "bytes": 7}])"))),
     "ok"},
    {STEP(b.Listeners(128)), "2: 5 6 / 6000000000 7"},
    {STEP(b.Listeners(1)), "1: 5 / 6000000000"},
    {STEP(b.control->SetListeners(1, _bstr_t(R"([{"cookie": 8, "bytes": 1})"))), invalid},
    {STEP(b.control->SetListeners(99, _bstr_t("[]"))), invalid},
    {STEP(b.Listeners(128)), "2: 5 6 / 6000000000 7"},
    // Nothing written to a phone file reaches the phone before the commit.
    {STEP(b.OpenForWriting(8, "RDM_DEV_MAP")), "ok"},
    {STEP(b.file->Write("\xFF\x01\x02", 3, nullptr)), "ok"},
    {STEP(b.Read(8, "RDM_DEV_MAP")), "write 80030005, read 00000001: "
                                     "\\xFF\\x06\\xFF\\xFF\\x01\\xFF\\x00\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF"
                                     "\\x01\\xFF\\xFF\\xFF\\xFF\\x05\\xFF\\xFF\\xFF"},
    {STEP(b.file->Commit(STGC_OVERWRITE)), "ok"},
    {STEP(b.Read(8, "RDM_DEV_MAP")), "write 80030005, read 00000001: \\xFF\\x01\\x02"},
    // Phones come and go with their ports.
    {STEP(b.agent->RemovePort(3)), "ok", {"9 3 102", "5 1 102", "4 3 0", "5 1 3"}},
    {STEP(Get(b.agent, &Agent::GetPhoneInfo, 102)), invalid},
    {STEP(b.control->AttachPhone(303, _bstr_t(R"({"esn": "12", "mode": 5})"), &b.newId)),
     "ok",
     {"9 303 304", "5 0 304"}},
    {STEP(b.control->AttachPhone(7, _bstr_t(""), &b.newId)), exists},
    {STEP(b.control->AttachPhone(2, _bstr_t(R"({"mode": "five"})"), &b.newId)), Answer(E_FAIL)},
    {STEP(b.control->SetPhoneMode(303, 2)), "ok", {"10 303 304"}},
    {STEP(b.control->ChangePhone(303, _bstr_t(R"({"locked": true})"))), "ok", {"10 303 304"}},
    {STEP(Get(b.agent, &Agent::GetPortPhoneInfo, 303)), "303|12||||||||||||||0 0 0 0 0 0 2 1 1 0 0"},
    {STEP(b.control->DetachPhone(303)), "ok", {"9 303 304", "5 1 304"}},
    {STEP(Get(b.agent, &Ex::SendDiagCommand, 303, _bstr_t("0C"))), noPhone},
    {STEP(Get(b.agent, &Ex::SendDiagCommand, 1, _bstr_t("75 zz"))), invalid},
    {STEP(Get(b.agent, &Ex::ZelkorReset, 1)), Answer(Sim::Status::NotZelkorMode)},
    {STEP(Get(b.agent, &Ex::ZelkorReset, 4)), "1", {"10 4 103"}},
    {STEP(b.Port(1)->RequestPhoneMode(4)), "ok", {"10 1 101"}}, // a reset: back online
    {STEP(b.control->SetPortState(2, 16)), "ok", {"6 2 0"}},
    {STEP(b.control->AddClient(_bstr_t("Tool"), _bstr_t("lab7"), 42, _bstr_t("1.0"), _bstr_t(""), &b.newId)),
     "ok",
     {"5 0 305"}},
    {STEP(Get(b.agent, &Agent::GetClientInfo, 305)), "305 Tool/lab7/42/1.0/"},
    {STEP(b.control->RemoveClient(305)), "ok", {"5 1 305"}},
    // A failure asked for fails that member on every agent until it is cleared, and changes nothing.
    {STEP(b.control->FailOperation(_bstr_t("GetPortInfo"), E_ACCESSDENIED)), "ok"},
    {STEP(Get(b.agent, &Agent::GetPortInfo, 1)), Answer(E_ACCESSDENIED)},
    {STEP(Get(b.second, &Agent::GetPortInfo, 1)), Answer(E_ACCESSDENIED)},
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 1)), "1 COM1/Bench serial/2 link 1/38400/:0/"},
    {STEP(b.control->FailOperation(_bstr_t("GetPortInfo"), S_OK)), "ok"},
    {STEP(b.control->FailOperation(_bstr_t("DisablePort"), E_FAIL)), "ok"},
    {STEP(b.agent->DisablePort(1)), Answer(E_FAIL)},
    {STEP(Get(b.agent, &Agent::GetPortInfo, 1)), "1 COM1/Bench serial/2"},
    {STEP(b.control->FailOperation(_bstr_t(""), E_FAIL)), invalid},
    {STEP(b.second->ActivateAgent()), "ok", {"5 0 306"}},
    {STEP(b.server->ReleaseConfigAgent(b.secondCookie)), "ok", {"5 1 306"}},
    {STEP(b.server->CreateConfigAgent(_bstr_t("Other.Agent.1"), -1, &b.otherCookie,
                                      ComPtr<IUnknown>().GetAddressOf())),
     Answer(CO_E_CLASSSTRING)},
    {STEP(b.control->FireEvent(20, 4, 16383)), "ok", {"20 4 16383"}},
    // An outgoing connection becomes a network port, pending until the far end answers; an
    // unreachable machine answers its winsock error under the top bit.
    {STEP(b.outgoing->StartOutgoingConnection(_bstr_t("far-host"), 2600)), "ok", {"3 307 0", "5 0 307"}},
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 307)),
     "307 far-host:2600/far-host/4 link 3/38400/far-host:2600/out"},
    {STEP(b.outgoing->StartOutgoingConnection(_bstr_t("offline-host"), 2600)), "8000274D"},
    {STEP(b.agentEx->AddRemoteEfsPort(_bstr_t("COM13"), _bstr_t("Remote EFS"), 38400)),
     "ok",
     {"3 308 0", "5 0 308"}},
    {STEP(Get(b.agent, &Ex::GetPortConfigEx, 308)), "308 COM13/Remote EFS/2 link 2/38400/:0/"},
    {STEP(b.control->SetStartingPolls(2)), "ok"},
    {STEP(Get(b.server, &IOstrelServer::GetServerState)), "0"},
    {STEP(Get(b.server, &IOstrelServer::GetServerState)), "0"},
    {STEP(Get(b.server, &IOstrelServer::GetServerState)), "1"},
    {STEP(b.control->AnnounceShutdown()), "ok", {"2 0 0"}},
};

} // namespace

std::span<const Step> Reads() {
    return reads;
}

std::span<const Step> Changes() {
    return changes;
}

void ExpectWalk(ComPtr<IOstrelServer> server, std::span<const Step> steps) {
    ASSERT_TRUE(server);
    Bench bench(std::move(server));
    for (const Step& step : steps) {
        std::string expected = step.answer;
        for (const std::string& event : step.events)
            for (const char* listener : {"server", "agent1", "agent2"})
                expected += std::string(" | ") + listener + " " + event;
        bench.log->clear();
        std::string outcome = step.run(bench);
        // Listeners hear one event after another, the server first, then the agents as they were made.
        TestSupport::PumpUntil([&] { return bench.log->size() >= 3 * step.events.size(); }, 5'000);
        for (const std::string& event : *bench.log)
            outcome += " | " + event;
        EXPECT_EQ(expected, outcome) << step.call;
    }
}

} // namespace SimBench
