// The simulator across the universal marshaler. Every operation is made on a server in this process
// and on OstrelDeviceSim.exe, both over the bench scenario, and each answer is rendered field by
// field: a field the type library drops, narrows or moves shows as a row whose renderings differ.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/ComObject.h"
#include "tests/devicesim/SimulatorSession.h"
#include "tests/support/DeviceSimulator.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <comdef.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// An interface a row needs: without it the row ends, rendered as that failure.
template <class I>
ComPtr<I> Query(IUnknown* object) {
    return Com::ThrowIfNull(Com::Query<I>(object), E_NOINTERFACE);
}

std::string Hex(HRESULT status) {
    return Lang::Format("%08lX", static_cast<unsigned long>(status));
}

// A row's answers as text: each call's status, then the values it gave, named. Rendering frees
// the BSTRs and arrays and clears the records, so that the next call in the row starts clean.
class Row {
public:
    explicit Row(HRESULT status)
        : m_text(Hex(status)) {}
    operator std::string() const { return m_text; }
    Row& Then(HRESULT status) {
        m_text += "|" + Hex(status);
        return *this;
    }

    template <class... T>
    Row& Fields(const char* names, T&&... values) {
        std::istringstream list(names);
        std::string name;
        ((list >> name, m_text += "|" + name + "=" + Text(values)), ...);
        return *this;
    }
    template <class T>
    Row& operator()(const char* name, T&& value) {
        return Fields(name, value);
    }

    Row& operator()(OstrelPortConfigEx& r) {
        Fields("portId r02 r04 r08 portName baudRate label r18 portState linkType host networkPort qualifier",
               r.portId, r.reserved02, r.reserved04, r.reserved08, r.portName, r.baudRate, r.label,
               r.reserved18, r.portState, r.linkType, r.host, r.networkPort, r.linkQualifier);
        return r = {}, *this;
    }
    Row& operator()(OstrelPortInfo& r) {
        Fields("portId r02 r04 r08 portName r10 label r18 portState", r.portId, r.reserved02, r.reserved04,
               r.reserved08, r.portName, r.reserved10, r.label, r.reserved18, r.portState);
        return r = {}, *this;
    }
    Row& operator()(OstrelPhoneInfo& r) {
        Fields("portId r02 r04 esn analogMin phoneNumber phoneName modelText modelNumber r1D r1E banner "
               "phoneStateText stateText buildVersion compileDate compileTime releaseDate releaseTime",
               r.portId, r.reserved02, r.reserved04, r.esn, r.analogMin, r.phoneNumber, r.phoneName,
               r.modelText, r.modelNumber, r.reserved1D, r.reserved1E, r.banner, r.phoneStateText,
               r.stateText, r.buildVersion, r.compileDate, r.compileTime, r.releaseDate, r.releaseTime);
        Fields("slotCycleIndex major minor r43 chipText r48 r4C r50 r54 r58 r5C r60 r64 r68 r6A "
               "stationClassMark r6C protocolRevision r6F mode locked authorized platformDevice formFactor",
               r.slotCycleIndex, r.majorVersion, r.minorVersion, r.reserved43, r.chipText, r.reserved48,
               r.reserved4C, r.reserved50, r.reserved54, r.reserved58, r.reserved5C, r.reserved60,
               r.reserved64, r.reserved68, r.reserved6A, r.stationClassMark, r.reserved6C, r.protocolRevision,
               r.reserved6F, r.mode, r.locked, r.authorized, r.platformDevice, r.formFactor);
        return r = {}, *this;
    }
    Row& operator()(OstrelModelEx& r) {
        Fields("hasValue r02 modelNumber", r.hasValue, r.reserved02, r.modelNumber);
        return r = {}, *this;
    }
    Row& operator()(OstrelClientInfo& r) {
        Fields("clientName r04 clientId machineName processId version startTime", r.clientName, r.reserved04,
               r.clientId, r.machineName, r.processId, r.version, r.startTime);
        return r = {}, *this;
    }
    Row& operator()(OstrelObjectInfo& r) {
        Fields("className objectName objectType version", r.className, r.objectName, r.objectType, r.version);
        return r = {}, *this;
    }

private:
    static std::string Text(const std::string& text) { return text; }
    template <class T>
    static std::string Text(T value) {
        static_assert(std::is_arithmetic_v<T>);
        return std::to_string(static_cast<long long>(value));
    }
    // By length: a text cut at an embedded zero, or null turned empty, shows.
    static std::string Text(BSTR& text) {
        const Win32::UniqueBstr owned(std::exchange(text, nullptr));
        return owned ? "\"" + Lang::FromWide({owned.get(), ::SysStringLen(owned.get())}) + "\"" : "null";
    }
    // Element type, dimensions and lower bound with the elements: an array of another shape shows.
    static std::string Text(SAFEARRAY*& array) {
        if (!array)
            return "null";
        Win32::UniqueSafeArray owned(std::exchange(array, nullptr));
        VARTYPE type = VT_EMPTY;
        LONG lower = 0, upper = -1;
        ::SafeArrayGetVartype(owned.get(), &type);
        ::SafeArrayGetLBound(owned.get(), 1, &lower);
        ::SafeArrayGetUBound(owned.get(), 1, &upper);
        std::string text = Lang::Format("vt%u:%u:%ld[", type, ::SafeArrayGetDim(owned.get()), lower);
        for (LONG i = lower; i <= upper; ++i) {
            LONGLONG number = 0; // a narrower element fills its low bytes
            BSTR name = nullptr;
            ::SafeArrayGetElement(owned.get(), &i, type == VT_BSTR ? static_cast<void*>(&name) : &number);
            text += (type == VT_BSTR ? Text(name) : std::to_string(number)) + ",";
        }
        return text + "]";
    }

    std::string m_text;
};

// The out-parameters of one row; each is rendered right after the call that fills it.
struct Outs {
    long n = -1, m = -1;
    short id = -1, count = -1;
    unsigned long u = 0, bit = 0;
    unsigned char flag = 9;
    unsigned short number = 0;
    BSTR text = nullptr;
    SAFEARRAY *array = nullptr, *array2 = nullptr;
    OstrelPortConfigEx config{};
    OstrelPortInfo port{};
    OstrelPhoneInfo phone{};
    OstrelClientInfo client{};
    ComPtr<IUnknown> unknown;
};

// One end of the comparison: a server, an agent on it as a view holds one, and a row's outs.
struct Side : Outs {
    ComPtr<IOstrelServer> server;
    long cookie = 0; // set as the agent is made
    ComPtr<IOstrelConfigAgent> agent;

    explicit Side(ComPtr<IOstrelServer> made)
        : server(std::move(made))
        , agent(server ? TestSupport::AgentOf(server.Get(), &cookie) : nullptr) {}
    template <class I>
    ComPtr<I> Agent() const {
        return Query<I>(agent.Get());
    }
    ComPtr<IOstrelConfigAgentEx> Ex() const { return Agent<IOstrelConfigAgentEx>(); }
    ComPtr<IOstrelSimControl> Control() const { return Query<IOstrelSimControl>(server.Get()); }
    ComPtr<IOstrelPortManager2> Manager() const {
        ComPtr<IOstrelPortManager> manager;
        Com::ThrowIfFailed(server->GetPortManager(&manager));
        return Query<IOstrelPortManager2>(manager.Get());
    }
    ComPtr<IOstrelPortLookup> Lookup() const {
        ComPtr<IOstrelPortLookup> lookup;
        Com::ThrowIfFailed(Manager()->GetPortLookup(&lookup));
        return Query<IOstrelPortLookup>(lookup.Get());
    }
    ComPtr<IOstrelPort> Port(short id) const {
        ComPtr<IOstrelPort> port;
        Com::ThrowIfFailed(Manager()->GetPort(id, &port));
        return Query<IOstrelPort>(port.Get());
    }
    ComPtr<IPhoneEfs> Efs(short portId) const {
        ComPtr<IUnknown> object;
        Com::ThrowIfFailed(Port(portId)->GetPortObject(17, 0, &object));
        return Query<IPhoneEfs>(object.Get());
    }
};

using Render = std::function<std::string(Side&)>;

// A record per id, from a member of one of the agent's interfaces.
template <class I, class R>
Render Records(HRESULT (STDMETHODCALLTYPE I::*get)(short, R*), std::vector<short> ids) {
    return [=](Side& s) {
        std::string text;
        for (short id : ids) {
            R record{};
            text +=
                Lang::Format("{%d}", id) + std::string(Row((s.Agent<I>().Get()->*get)(id, &record))(record));
        }
        return text;
    };
}

long Keep(long value) {
    return value;
}
_bstr_t Keep(const wchar_t* text) {
    return _bstr_t(text);
}

// Read, write, read back, and put the first value back.
template <class I, class V, class W>
Render Setting(HRESULT (STDMETHODCALLTYPE I::*get)(short, V*), HRESULT (STDMETHODCALLTYPE I::*set)(short, V),
               short portId, W value) {
    return [=](Side& s) {
        const ComPtr<I> object = s.Agent<I>();
        V before{}, after{};
        Row row((object.Get()->*get)(portId, &before));
        const auto kept = Keep(before);
        row("before", before).Then((object.Get()->*set)(portId, Keep(value)));
        row.Then((object.Get()->*get)(portId, &after))("after", after);
        return std::string(row.Then((object.Get()->*set)(portId, kept)));
    };
}

// A file's bytes in hex; a file opened for reading refuses a write.
std::string ReadFile(Side& s, short portId, const wchar_t* path) {
    unsigned char bytes[64] = {};
    ULONG read = 0;
    Row row(s.Efs(portId)->OpenFile(_bstr_t(path), 0, &s.unknown));
    const ComPtr<IStream> file = Query<IStream>(s.unknown.Get());
    row.Then(file->Read(bytes, sizeof bytes, &read)).Then(file->Write("x", 1, nullptr));
    std::string hex;
    for (ULONG i = 0; i < read; ++i)
        hex += Lang::Format("%02X", bytes[i]);
    return row("bytes", hex);
}

HRESULT WriteFile(Side& s, short portId, const std::string& content) {
    const HRESULT opened = s.Efs(portId)->OpenFile(_bstr_t(L"RDM_DEV_MAP"), 1, &s.unknown);
    const ComPtr<IStream> file = Query<IStream>(s.unknown.Get());
    const HRESULT written = file->Write(content.data(), static_cast<ULONG>(content.size()), nullptr);
    return FAILED(opened) ? opened : FAILED(written) ? written : file->Commit(STGC_DEFAULT);
}

SAFEARRAY* Names(std::vector<const wchar_t*> names) {
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(names.size()));
    for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i)
        ::SafeArrayPutElement(array, &i, _bstr_t(names[i]).GetBSTR()); // copies
    return array;
}

using Agent = IOstrelConfigAgent;
using Ex = IOstrelConfigAgentEx;
using Options = IOstrelPortOptions;

struct Operation {
    const char* name;
    Render render;
};

// Every operation, once. A row that changes the bench changes it back.
const Operation operations[] = {
    {"SetStartingPolls GetServerState",
     [](Side& s) {
         Row row(s.Control()->SetStartingPolls(1));
         row.Then(s.server->GetServerState(&s.n))("state", s.n);
         return row.Then(s.server->GetServerState(&s.n))("state", s.n);
     }},
    {"CreateConfigAgent ActivateAgent ReleaseConfigAgent",
     [](Side& s) {
         Row row(s.server->CreateConfigAgent(_bstr_t("Other.Agent.1"), -1, &s.n, &s.unknown));
         row("null", !s.unknown)
             .Then(s.server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &s.m, &s.unknown));
         row("cookie", s.m).Then(Query<Agent>(s.unknown.Get())->ActivateAgent());
         row.Then(s.agent->GetObjectIds(8, &s.count, &s.array))("count", s.count)("ids", s.array);
         return row.Then(s.server->ReleaseConfigAgent(s.m)).Then(s.server->ReleaseConfigAgent(s.m));
     }},
    {"GetObjectIds GetPortIds",
     [](Side& s) {
         Row row(s.agent->GetPortIds(&s.count, &s.array));
         row("count", s.count)("ids", s.array);
         for (long mask : {0x2B, 2, 0x20})
             row.Then(s.agent->GetObjectIds(mask, &s.count, &s.array))("count", s.count)("ids", s.array);
         return row;
     }},
    {"GetObjectInfo", Records(&Agent::GetObjectInfo, {7, 104, 202, 301, 999})},
    {"GetClientInfo", Records(&Agent::GetClientInfo, {201, 203, 101})},
    {"GetPhoneInfo", Records(&Agent::GetPhoneInfo, {101, 104, 105, 1})},
    // Port 5 has no phone: the failure still carries the platform-device flag.
    {"GetPortPhoneInfo", Records(&Agent::GetPortPhoneInfo, {1, 5, 99})},
    {"GetPortInfo", Records(&Agent::GetPortInfo, {1, 7, 99})},
    {"GetPortConfigEx", Records(&Ex::GetPortConfigEx, {1, 4, 7, 99})},
    {"GetPhoneModel", Records(&Ex::GetPhoneModel, {101, 104, 1})},
    {"GetPortPhoneModel", Records(&Ex::GetPortPhoneModel, {8, 2})},
    // The count goes in as a capacity: with less room than listeners, it and the arrays agree.
    {"GetAccumulatedData",
     [](Side& s) {
         Row row(S_OK);
         for (long capacity : {128, 1, 0}) {
             s.n = capacity;
             row.Then(s.agent->GetAccumulatedData(1, &s.n, &s.array, &s.array2));
             row("count", s.n)("cookies", s.array)("bytes", s.array2);
         }
         return row;
     }},
    {"AddPort AddRemoteEfsPort RemovePort",
     [](Side& s) {
         Row row(s.agent->AddPort(_bstr_t("COM10"), _bstr_t("New"), 38400));
         row.Then(s.Ex()->AddRemoteEfsPort(_bstr_t("COM13"), _bstr_t("Remote"), 38400));
         for (const char* name : {"COM10", "COM13"}) {
             row.Then(s.Lookup()->GetPortIdByName(_bstr_t(name), &s.id));
             row.Then(s.Ex()->GetPortConfigEx(s.id, &s.config))(s.config).Then(s.agent->RemovePort(s.id));
         }
         return row.Then(s.agent->AddPort(_bstr_t("COM1"), _bstr_t(""), 38400)).Then(s.agent->RemovePort(99));
     }},
    {"SetPortLabel DisablePort EnablePort",
     [](Side& s) {
         Row row(s.agent->SetPortLabel(1, _bstr_t(L"B\u00e9nch")));
         row.Then(s.agent->DisablePort(1)).Then(s.agent->GetPortInfo(1, &s.port))(s.port);
         row.Then(s.agent->EnablePort(1)).Then(s.agent->EnablePort(6));
         return row.Then(s.agent->SetPortLabel(1, _bstr_t("Bench serial")));
     }},
    {"DiagSwitchState", Setting(&Ex::GetDiagSwitchState, &Ex::SetDiagSwitchState, 3, 0L)},
    {"ProtocolMode", Setting(&Ex::GetProtocolMode, &Ex::SetProtocolMode, 1, 2L)},
    {"ProtocolMode refused", Setting(&Ex::GetProtocolMode, &Ex::SetProtocolMode, 1, 3L)},
    {"ZelkorAutoReset", Setting(&Ex::GetZelkorAutoReset, &Ex::SetZelkorAutoReset, 4, 1L)},
    {"ZelkorHelloResponse", Setting(&Ex::GetZelkorHelloResponse, &Ex::SetZelkorHelloResponse, 4, 3L)},
    {"ZelkorTimestampFolders",
     Setting(&Ex::GetZelkorTimestampFolders, &Ex::SetZelkorTimestampFolders, 4, 0L)},
    {"ZelkorContinueBoot", Setting(&Ex::GetZelkorContinueBoot, &Ex::SetZelkorContinueBoot, 4, 1L)},
    {"FlowControl", Setting(&Options::GetFlowControl, &Options::SetFlowControl, 1, 0L)},
    {"PollingMode", Setting(&Options::GetPollingMode, &Options::SetPollingMode, 1, 1L)},
    {"TraceLevel", Setting(&Options::GetTraceLevel, &Options::SetTraceLevel, 1, 3L)},
    {"ShutdownAction", Setting(&Options::GetShutdownAction, &Options::SetShutdownAction, 1, 2L)},
    {"SecurityPassword", Setting(&Ex::GetSecurityPassword, &Ex::SetSecurityPassword, 1, L"12345678")},
    {"DiagCommandHistory", Setting(&Ex::GetDiagCommandHistory, &Ex::SetDiagCommandHistory, 1, L"0C;29 00")},
    {"ZelkorXmlFile ZelkorDumpFolder ZelkorOneDownload",
     [](Side& s) {
         const ComPtr<Ex> ex = s.Ex();
         Row row(ex->SetZelkorXmlFile(4, _bstr_t("D:\\a.xml"), 0));
         row.Then(ex->SetZelkorDumpFolder(4, _bstr_t(""), 0))
             .Then(ex->GetZelkorOneDownload(4, &s.n))("one", s.n);
         row.Then(ex->GetZelkorXmlFile(4, &s.text))("xml", s.text).Then(ex->GetZelkorDumpFolder(4, &s.text));
         row("folder", s.text).Then(ex->SetZelkorXmlFile(4, _bstr_t("C:\\Images\\bench\\rawprogram.xml"), 1));
         row.Then(ex->SetZelkorDumpFolder(4, _bstr_t("C:\\Dumps"), 0))
             .Then(ex->GetZelkorOneDownload(4, &s.n));
         return row("one", s.n).Then(ex->GetZelkorXmlFile(4, &s.text))("xml", s.text);
     }},
    // The count tells all the server holds; the array carries what the capacity allows.
    {"ZelkorDumpSections",
     [](Side& s) {
         const ComPtr<Ex> ex = s.Ex();
         const Win32::UniqueSafeArray written(Names({L"EFS", L""})),
             bench(Names({L"BOOT", L"MODEM", L"RAMDUMP_A"}));
         Row row(S_OK);
         for (const auto& [count, names] :
              {std::pair<long, SAFEARRAY*>{2, written.get()}, {0, nullptr}, {3, bench.get()}}) {
             row.Then(ex->GetZelkorDumpSections(4, 2, &s.n, &s.m, &s.array));
             row("filter", s.n)("count", s.m)("names", s.array)
                 .Then(ex->SetZelkorDumpSections(4, count, names));
         }
         return row;
     }},
    // S_FALSE past the last rate; the mask's bits decide which rates are tried.
    {"GetBaudRateEntry SetBaudRateMask",
     [](Side& s) {
         const ComPtr<Ex> ex = s.Ex();
         Row row(ex->SetBaudRateMask(1, 0x8000000A, 0));
         for (unsigned long mask : {0xAul, 0x5ul}) {
             row.Then(ex->SetBaudRateMask(1, mask, 0));
             for (long index = 0; index < 5; ++index) {
                 row.Then(ex->GetBaudRateEntry(1, index, 0, &s.u, &s.n, &s.bit));
                 row.Fields("rate tried bit", s.u, s.n, s.bit);
             }
         }
         return row;
     }},
    {"SendDiagCommand ZelkorReset",
     [](Side& s) {
         Row row(s.Ex()->ZelkorReset(4, &s.n));
         row("accepted", s.n).Then(s.Ex()->ZelkorReset(1, &s.n))("accepted", s.n);
         for (const auto& [port, command] :
              {std::pair<short, const char*>{1, "75 37 3 16 0"}, {1, "75 zz"}, {2, "0C"}})
             row.Then(s.Ex()->SendDiagCommand(port, _bstr_t(command), &s.text))("response", s.text);
         return row;
     }},
    {"GetPort FindPort GetServerSettings GetProtocolLock",
     [](Side& s) {
         const ComPtr<IOstrelPortManager2> manager = s.Manager();
         ComPtr<IOstrelPort> port;
         ComPtr<IOstrelServerSettings> settings;
         Row row(manager->GetPort(99, &port));
         row("null", !port).Then(manager->FindPort(1, &s.unknown))("found", !!s.unknown);
         row.Then(manager->FindPort(99, &s.unknown))("found", !!s.unknown)
             .Then(manager->GetServerSettings(&settings));
         return row.Then(Query<IOstrelServerSettings>(settings.Get())->GetProtocolLock(&s.n))("locked", s.n);
     }},
    // Next answers S_FALSE with what was left; a clone starts where its source stood.
    {"EnumPortIds Next Skip Reset Clone",
     [](Side& s) {
         ComPtr<IEnumOstrelPortId> ids, clone;
         Row row(s.Lookup()->EnumPortIds(&ids, &s.count));
         const auto next = [&](IUnknown* from, long count) {
             row.Then(Query<IEnumOstrelPortId>(from)->Next(count, &s.array, &s.n))("fetched", s.n)("ids",
                                                                                                   s.array);
         };
         next(ids.Get(), 3);
         row("count", s.count).Then(ids->Skip(2)).Then(ids->Clone(&clone));
         next(ids.Get(), 10);
         row.Then(ids->Skip(1)).Then(ids->Reset());
         next(clone.Get(), 1);
         return row;
     }},
    {"GetPortNameById GetPortIdByName",
     [](Side& s) {
         const ComPtr<IOstrelPortLookup> lookup = s.Lookup();
         Row row(lookup->GetPortNameById(7, &s.text));
         row("name", s.text).Then(lookup->GetPortIdByName(_bstr_t("COM9"), &s.id))("id", s.id);
         return row.Then(lookup->GetPortIdByName(_bstr_t("com1"), &s.id))("id", s.id);
     }},
    {"PortClassifier",
     [](Side& s) {
         const auto classify = Query<IOstrelPortClassifier>(s.Lookup().Get());
         Row row(S_OK);
         for (const char* text : {"Bench Diagnostics Interface", "Bench NMEA Device", "Bluetooth Link",
                                  "Bench Remote File System", "COM17", "COM2"}) {
             long d = -1, n = -1, e = -1, a = -1, r = -1;
             const _bstr_t t(text);
             row.Then(classify->IsDiagnosticDevice(t, &d)).Then(classify->IsNmeaDevice(t, &n));
             row.Then(classify->IsExcludedDevice(t, &e)).Then(classify->IsPortAllowed(t, &a));
             row.Then(classify->IsRemoteEfsDevice(t, &r)).Fields("d n e a r", d, n, e, a, r);
         }
         return row;
     }},
    {"port, phone and model objects",
     [](Side& s) {
         Row row(S_OK);
         for (short id : {1, 2, 7, 8}) {
             const ComPtr<IOstrelPort> port = s.Port(id);
             ComPtr<IOstrelPortDescriptor> descriptor;
             row.Then(port->IsLocked(&s.flag))("locked", s.flag).Then(port->GetPhoneMode(&s.n))("mode", s.n);
             row.Then(port->GetPhoneKind(&s.n))("kind", s.n).Then(port->GetPortDescriptor(&descriptor));
             row.Then(Query<IOstrelPortDescriptor>(descriptor.Get())->GetName(&s.text))("name", s.text);
             row.Then(port->GetPortObject(7, 0, &s.unknown));
             if (s.unknown) {
                 const auto phone = Query<IOstrelPhone>(s.unknown.Get());
                 row.Then(phone->GetEsn(&s.n))("esn", s.n).Then(phone->GetPhoneText(&s.text))("text", s.text);
                 row.Then(phone->GetMeidText(&s.text))("meid", s.text);
             }
             const auto model = Query<IOstrelPhoneModel>(port.Get());
             row.Then(model->ReadModelNumber(&s.number))("model", s.number)
                 .Then(model->ReadModelText(&s.text));
             row("text", s.text).Then(model->ReadPhoneStatus(&s.n))("status", s.n);
         }
         return row;
     }},
    {"RequestPhoneMode AwaitPhoneMode",
     [](Side& s) {
         const ComPtr<IOstrelPort> port = s.Port(1);
         Row row(port->RequestPhoneMode(12));
         row.Then(port->GetPhoneMode(&s.n))("mode", s.n).Then(port->AwaitPhoneMode(12, 6000, 0));
         row.Then(port->AwaitPhoneMode(5, 0, 0))
             .Then(port->RequestPhoneMode(4))
             .Then(port->GetPhoneMode(&s.n));
         return row("mode", s.n).Then(port->GetPortObject(3, 0, &s.unknown));
     }},
    {"IsEfsPresent GetEfsVersion RemoveFile",
     [](Side& s) {
         const ComPtr<IPhoneEfs> efs = s.Efs(8), absent = s.Efs(3);
         Row row(efs->IsEfsPresent(&s.n));
         row("present", s.n).Then(efs->GetEfsVersion(&s.n))("version", s.n);
         row.Then(efs->RemoveFile(_bstr_t("NO_SUCH_FILE")))
             .Then(efs->OpenFile(_bstr_t("NO_SUCH"), 0, &s.unknown));
         row.Then(absent->IsEfsPresent(&s.n))("present", s.n);
         return row.Then(absent->OpenFile(_bstr_t("RDM_DEV_MAP"), 0, &s.unknown));
     }},
    {"OpenFile read",
     [](Side& s) { return ReadFile(s, 8, L"RDM_DEV_MAP") + "|" + ReadFile(s, 1, L"nv/item_files/cfg"); }},
    {"OpenFile write and commit",
     [](Side& s) {
         Row row(WriteFile(s, 1, std::string("\xFF\0\x7F", 3)));
         row.Fields("read", ReadFile(s, 1, L"RDM_DEV_MAP"));
         return row.Then(WriteFile(s, 1, "placeholder device map (bench A)"));
     }},
    {"StartOutgoingConnection",
     [](Side& s) {
         const auto outgoing = Query<IOstrelOutgoingConnections>(s.server.Get());
         Row row(outgoing->StartOutgoingConnection(_bstr_t("offline-host"), 2600));
         return row.Then(outgoing->StartOutgoingConnection(_bstr_t(""), 1));
     }},
    {"AttachPhone ChangePhone DetachPhone",
     [](Side& s) {
         const ComPtr<IOstrelSimControl> control = s.Control();
         Row row(control->AttachPhone(2, _bstr_t(R"({"esn": "77", "stationClassMark": 255})"), &s.id));
         row("id", s.id).Then(s.agent->GetPortPhoneInfo(2, &s.phone))(s.phone);
         row.Then(control->ChangePhone(2, _bstr_t(R"({"locked": true})")));
         row.Then(s.agent->GetPortPhoneInfo(2, &s.phone))(s.phone).Then(
             control->AttachPhone(7, _bstr_t(""), &s.id));
         row.Then(control->AttachPhone(5, _bstr_t(R"({"mode": "x"})"), &s.id));
         return row.Then(control->DetachPhone(2)).Then(control->DetachPhone(2));
     }},
    {"SetPhoneMode SetPortState",
     [](Side& s) {
         const ComPtr<IOstrelSimControl> control = s.Control();
         Row row(control->SetPhoneMode(1, 2));
         row.Then(s.Port(1)->GetPhoneMode(&s.n))("mode", s.n).Then(control->SetPhoneMode(1, 5));
         row.Then(control->SetPortState(2, 16)).Then(s.agent->GetPortInfo(2, &s.port))(s.port);
         return row.Then(control->SetPortState(2, 8)).Then(control->SetPortState(99, 2));
     }},
    {"AddClient RemoveClient",
     [](Side& s) {
         const ComPtr<IOstrelSimControl> control = s.Control();
         Row row(
             control->AddClient(_bstr_t("Tool"), _bstr_t("lab7"), 70000, _bstr_t("1.0"), _bstr_t(""), &s.id));
         row("id", s.id).Then(s.agent->GetClientInfo(s.id, &s.client))(s.client);
         return row.Then(control->RemoveClient(s.id)).Then(control->RemoveClient(s.id));
     }},
    // An injected status arrives as given, on whichever object the member is.
    {"FailOperation",
     [](Side& s) {
         const ComPtr<IOstrelSimControl> control = s.Control();
         Row row(control->FailOperation(_bstr_t("GetPortConfigEx"), static_cast<long>(0x80041234)));
         row.Then(control->FailOperation(_bstr_t("GetTraceLevel"), E_OUTOFMEMORY));
         row.Then(s.Ex()->GetPortConfigEx(1, &s.config)).Then(s.Agent<Options>()->GetTraceLevel(1, &s.n));
         row.Then(control->FailOperation(_bstr_t("GetPortConfigEx"), 0));
         row.Then(control->FailOperation(_bstr_t("GetTraceLevel"), 0))
             .Then(s.Ex()->GetPortConfigEx(1, &s.config));
         return row(s.config).Then(control->FailOperation(_bstr_t(""), E_FAIL));
     }},
    {"FireEvent AnnounceShutdown",
     [](Side& s) { return Row(s.Control()->FireEvent(20, 4, 16383)).Then(s.Control()->AnnounceShutdown()); }},
};

size_t Count(const std::string& text, const char* part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Where two renderings part, with a little of each.
std::string Difference(const std::string& a, const std::string& b) {
    const size_t at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    const size_t field = std::min(a.rfind('|', at), at);
    return a.substr(field, 60) + " <> " + b.substr(field, 60);
}

// Hears events, marking any that arrive on another thread than the one that made it.
class EventSink : public Fw::ObjectRoot, public IOstrelServerEvents {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<EventSink, IOstrelServerEvents>(),
    };
    std::vector<std::string> heard;

    HRESULT STDMETHODCALLTYPE OnServerEvent(long lCode, short sObjectId, short sValue) override {
        const char* where = ::GetCurrentThreadId() == m_thread ? "" : " elsewhere";
        heard.push_back(Lang::Format("%ld %d %d%s", lCode, sObjectId, sValue, where));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnServerMessage(BSTR) override { return S_OK; }

private:
    const DWORD m_thread = ::GetCurrentThreadId();
};

// Walks the table with a sink on the agent: each row's rendering ends with the events heard while
// it ran. `expected`, the other side's renderings, tells how many events to wait for.
std::vector<std::string> Walk(Side& side, const std::vector<std::string>& expected = {}) {
    ComPtr<IOstrelServerEvents> events;
    EXPECT_EQ(S_OK, Fw::Object<EventSink>::Create(nullptr, IID_PPV_ARGS(&events)));
    std::vector<std::string>& heard = static_cast<EventSink*>(events.Get())->heard;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, side.Agent<IConnectionPointContainer>()->FindConnectionPoint(
                        __uuidof(IOstrelServerEvents), &point));
    EXPECT_EQ(S_OK, point->Advise(events.Get(), &cookie));
    std::vector<std::string> renderings;
    for (const Operation& operation : operations) {
        static_cast<Outs&>(side) = Outs();
        heard.clear();
        std::string rendering;
        try {
            rendering = operation.render(side);
        } catch (const _com_error& error) {
            rendering = "threw " + Hex(error.Error());
        }
        // The remote events arrive as messages of this apartment.
        const size_t wanted = expected.empty() ? 0 : Count(expected[renderings.size()], "|event=");
        TestSupport::PumpUntil([&] { return heard.size() >= wanted; }, 5'000);
        for (const std::string& event : heard)
            rendering += "|event=" + event;
        renderings.push_back(rendering);
    }
    EXPECT_EQ(S_OK, point->Unadvise(cookie));
    return renderings;
}

// The server runs in a process of this build's bitness or of the other one: a 32-bit host's views
// talk to whatever server the machine runs, and the records carry the same fields either way.
class Marshaling : public TestSupport::EitherBitnessTest {
protected:
    void SetUp() override {
        EitherBitnessTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        remote = std::make_unique<Side>(TestSupport::ConnectToSimulator());
        local = std::make_unique<Side>(
            Sim::CreateSimServer(Sim::LoadScenario(TestSupport::scenarioPath("bench.json"))));
        ASSERT_TRUE(local->agent && remote->agent);
    }
    // Every client in this process shares the local server: the next test meets a fresh one.
    void TearDown() override {
        if (!remote || !remote->agent)
            return;
        EXPECT_EQ(S_OK, remote->server->ReleaseConfigAgent(remote->cookie));
        remote->agent.Reset();
        TestSupport::EndSimulator(remote->server.Get());
        if (handStarted) {
            EXPECT_TRUE(handStarted->Ended())
                << "Exit reached another simulator than the one started by hand";
        }
    }

    std::unique_ptr<Side> local, remote;
};

// Statuses, values and events alike; the remote events arrive on this thread while it pumps.
TEST_P(Marshaling, EveryOperationAnswersAndAnnouncesAlikeInBothProcesses) {
    const std::vector<std::string> here = Walk(*local), there = Walk(*remote, here);
    for (size_t i = 0; i < std::size(operations); ++i) {
        EXPECT_EQ(std::string::npos, here[i].find("threw")) << operations[i].name << ": " << here[i];
        EXPECT_EQ(here[i], there[i]) << operations[i].name << ": " << Difference(here[i], there[i]);
    }
    EXPECT_NE(std::string::npos, here[std::size(operations) - 1].find("|event=20 4 16383|event=2 0 0"));
}

INSTANTIATE_TEST_SUITE_P(, Marshaling, TestSupport::kEitherBitness, TestSupport::serverBitness);

} // namespace
