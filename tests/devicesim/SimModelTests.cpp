// The simulated device server in process: scenarios, records, events, injected failures and
// determinism, read back through the server's own interfaces as a view would.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimCore.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/Boundary.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <comdef.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using Sim::ScenarioError;

namespace {

const std::string scenarioDir = OSTREL_SCENARIO_DIR;

// --- helpers -------------------------------------------------------------------------------

std::string Text(BSTR text) {
    return Lang::FromBstr(text);
}

template <class T>
std::vector<T> Elements(SAFEARRAY* array) {
    Win32::UniqueSafeArray owned(array);
    std::vector<T> values;
    if (!array)
        return values;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        T value{};
        ::SafeArrayGetElement(array, &i, &value);
        values.push_back(value);
    }
    return values;
}

std::vector<std::string> Texts(SAFEARRAY* array) {
    std::vector<std::string> texts;
    for (BSTR text : Elements<BSTR>(array)) {
        texts.push_back(Text(text));
        ::SysFreeString(text);
    }
    return texts;
}

// Records own their BSTRs; these free them as the views must.
struct PortConfig : OstrelPortConfigEx {
    PortConfig()
        : OstrelPortConfigEx{} {}
    ~PortConfig() {
        for (BSTR text : {portName, label, host, linkQualifier})
            ::SysFreeString(text);
    }
};

struct PhoneInfo : OstrelPhoneInfo {
    PhoneInfo()
        : OstrelPhoneInfo{} {}
    ~PhoneInfo() {
        for (BSTR text :
             {esn, analogMin, phoneNumber, phoneName, modelText, banner, phoneStateText, stateText,
              buildVersion, compileDate, compileTime, releaseDate, releaseTime, chipText})
            ::SysFreeString(text);
    }
};

struct ObjectInfo : OstrelObjectInfo {
    ObjectInfo()
        : OstrelObjectInfo{} {}
    ~ObjectInfo() {
        for (BSTR text : {className, objectName, version})
            ::SysFreeString(text);
    }
};

// One line per event heard: which listener, then code, object id and value.
class EventSink : public Fw::ObjectRoot, public IOstrelServerEvents {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<EventSink, IOstrelServerEvents>(),
    };

    std::string name;
    std::vector<std::string>* log = nullptr;

    HRESULT STDMETHODCALLTYPE OnServerEvent(long lCode, short sObjectId, short sValue) override {
        log->push_back(Lang::Format("%s %ld %d %d", name.c_str(), lCode, sObjectId, sValue));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnServerMessage(BSTR) override { return S_OK; }
};

void Listen(IUnknown* source, const std::string& name, std::vector<std::string>& log) {
    ComPtr<IOstrelServerEvents> events;
    ASSERT_EQ(S_OK, Fw::Object<EventSink>::Create(nullptr, __uuidof(IOstrelServerEvents), &events));
    auto* sink = static_cast<EventSink*>(events.Get());
    sink->name = name;
    sink->log = &log;
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, source->QueryInterface(IID_PPV_ARGS(&container)));
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(__uuidof(IOstrelServerEvents), &point));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(events.Get(), &cookie));
}

// A server from a bench scenario, with one agent as a view would hold it.
struct Bench {
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> control;
    ComPtr<IOstrelConfigAgent> agent;
    ComPtr<IOstrelConfigAgentEx> agentEx;
    ComPtr<IOstrelPortOptions> options;
    long cookie = 0;

    explicit Bench(const std::string& scenario = "bench.json") {
        server = Sim::CreateSimServer(Sim::LoadScenario(scenarioDir + "/" + scenario));
        server.As(&control);
        agent = NewAgent(&cookie);
        agent.As(&agentEx);
        agent.As(&options);
    }
    ComPtr<IOstrelConfigAgent> NewAgent(long* agentCookie) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(S_OK,
                  server->CreateConfigAgent(_bstr_t("Kelmar.OstrelConfigAgent.1"), -1, agentCookie, &object));
        ComPtr<IOstrelConfigAgent> result;
        object.As(&result);
        return result;
    }
    ComPtr<IOstrelPort> Port(short id) {
        ComPtr<IOstrelPortManager> manager;
        EXPECT_EQ(S_OK, server->GetPortManager(&manager));
        ComPtr<IOstrelPort> port;
        EXPECT_EQ(S_OK, manager->GetPort(id, &port));
        return port;
    }
};

// Everything a view can read, as one text: two servers that agree here agree for the views.
std::string Snapshot(Bench& bench) {
    std::string text;
    short count = 0;
    SAFEARRAY* ids = nullptr;
    bench.agent->GetObjectIds(0x7FFFFFFF, &count, &ids);
    for (short id : Elements<short>(ids)) {
        ObjectInfo object;
        bench.agent->GetObjectInfo(id, &object);
        text +=
            Lang::Format("object %d %s/%s/%ld/%s\n", id, Text(object.className).c_str(),
                         Text(object.objectName).c_str(), object.objectType, Text(object.version).c_str());
        PortConfig port;
        if (SUCCEEDED(bench.agentEx->GetPortConfigEx(id, &port)))
            text += Lang::Format(" port %s/%s/%ld/%ld/%s\n", Text(port.portName).c_str(),
                                 Text(port.label).c_str(), port.portState, port.linkType,
                                 Text(port.host).c_str());
        PhoneInfo phone;
        if (SUCCEEDED(bench.agent->GetPhoneInfo(id, &phone)))
            text += Lang::Format(" phone %d/%s/%s/%ld/%ld\n", phone.portId, Text(phone.esn).c_str(),
                                 Text(phone.modelText).c_str(), phone.mode, phone.locked);
    }
    return text;
}

// --- scenario files ------------------------------------------------------------------------

struct LoadErrorCase {
    const char* what;
    const char* json;
    const char* message; // the start of what the loader says
};

const LoadErrorCase loadErrorCases[] = {
    {"malformed", "{\n \"ports\": [\n  {\"id\": 1,, }\n ]\n}", "case.json:3: "},
    {"truncated", "{\n \"ports\": [\n  {\"id\": 1, \"name\": \"COM1\"}\n", "case.json:4: "},
    {"wrong type", "{\n \"ports\": [\n  {\"id\": \"one\", \"name\": \"COM1\"}\n ]\n}",
     "case.json:3: ports[0].id: expected a number"},
    {"unknown field", "{\"ports\": [\n {\"id\": 1, \"name\": \"COM1\",\n  \"lable\": \"x\"}]}",
     "case.json:3: ports[0]: unknown field \"lable\""},
    {"missing name", "{\"ports\": [\n {\"id\": 1}]}", "case.json:2: ports[0]: missing field \"name\""},
    {"duplicate port id",
     "{\"ports\": [\n {\"id\": 1, \"name\": \"COM1\"},\n {\"id\": 1, \"name\": \"COM2\"}]}",
     "case.json:3: ports[1].id: id 1 is already used by ports[0]"},
    {"phone id reuses a port id",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\"}],\n \"phones\": [\n {\"id\": 1, \"port\": 1}]}",
     "case.json:3: phones[0].id: id 1 is already used by ports[0]"},
    {"duplicate port name",
     "{\"ports\": [\n {\"id\": 1, \"name\": \"COM1\"},\n {\"id\": 2, \"name\": \"COM1\"}]}",
     "case.json:3: ports[1].name: port name \"COM1\" is already used"},
    {"phone on unknown port",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\"}],\n \"phones\": [\n {\"id\": 5,\n  \"port\": 9}]}",
     "case.json:4: phones[0].port: no port has id 9"},
    {"two phones on a port",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\"}],\n \"phones\": [{\"id\": 5, \"port\": 1},\n {\"id\": 6, "
     "\"port\": 1}]}",
     "case.json:3: phones[1].port: port 1 already has a phone"},
    {"state outside the vocabulary", "{\"ports\": [\n {\"id\": 1, \"name\": \"COM1\", \"state\": \"open\"}]}",
     "case.json:2: ports[0].state: unknown value \"open\""},
    {"trace level out of range", "{\"ports\": [\n {\"id\": 1, \"name\": \"COM1\", \"traceLevel\": 4}]}",
     "case.json:2: ports[0].traceLevel: expected a number from 0 to 3"},
    {"mask bit with two bits",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\", \"baudRates\": [\n {\"rate\": 9600, \"maskBit\": 3}]}]}",
     "case.json:2: ports[0].baudRates[0].maskBit: a mask bit has exactly one bit set"},
    {"network port without host", "{\"ports\": [\n {\"id\": 1, \"name\": \"N\", \"link\": \"network\"}]}",
     "case.json:2: ports[0]: a network port needs a \"host\""},
    {"host on a serial port", "{\"ports\": [\n {\"id\": 1, \"name\": \"COM1\", \"host\": \"h\"}]}",
     "case.json:2: ports[0].host: only network ports have this field"},
    {"phone status out of range",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\"}], \"phones\": [\n {\"id\": 2, \"port\": 1, "
     "\"phoneStatus\": 0}]}",
     "case.json:2: phones[0].phoneStatus: expected a number from 1 to 9"},
    {"file content twice",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\"}], \"phones\": [{\"id\": 2, \"port\": 1, \"efs\": "
     "{\"files\": [\n "
     "{\"name\": \"RDM_DEV_MAP\", \"text\": \"a\", \"hex\": \"00\"}]}}]}",
     "case.json:2: phones[0].efs.files[0]: give the content as either \"text\" or \"hex\""},
    {"odd hex digits",
     "{\"ports\": [{\"id\": 1, \"name\": \"COM1\"}], \"phones\": [{\"id\": 2, \"port\": 1, \"efs\": "
     "{\"files\": [\n "
     "{\"name\": \"M\", \"hex\": \"00 F\"}]}}]}",
     "case.json:2: phones[0].efs.files[0].hex: expected pairs of hex digits at character 4"},
};

TEST(SimScenario, RefusesFaultsNamingFileLineAndField) {
    for (const LoadErrorCase& c : loadErrorCases) {
        try {
            Sim::ParseScenario(c.json, "case.json");
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const ScenarioError& error) {
            EXPECT_EQ(0u, std::string(error.what()).rfind(c.message, 0)) << c.what << ": " << error.what();
        }
    }
}

TEST(SimScenario, ShippedScenariosLoadWhole) {
    struct Shipped {
        const char* file;
        size_t ports, phones, clients;
    };
    for (const Shipped& s : {Shipped{"empty.json", 0, 0, 0}, Shipped{"bench.json", 8, 5, 3},
                             Shipped{"large.json", 256, 256, 64}}) {
        const Sim::SimState state = Sim::LoadScenario(scenarioDir + "/" + s.file);
        EXPECT_EQ(s.ports, state.ports.size()) << s.file;
        EXPECT_EQ(s.phones, state.phones.size()) << s.file;
        EXPECT_EQ(s.clients, state.clients.size()) << s.file;
    }
    EXPECT_THROW(Sim::LoadScenario(scenarioDir + "/missing.json"), ScenarioError);
}

// --- records -------------------------------------------------------------------------------

TEST(SimRecords, PortRecordsRoundTripFromTheBench) {
    struct PortCase {
        short id;
        const char* name;
        const char* label;
        long state, linkType, baudRate;
        const char* host;
        unsigned long networkPort;
        const char* qualifier;
    };
    const PortCase cases[] = {
        {1, "COM1", "Bench serial", 2, 1, 38400, "", 0, ""},
        {2, "COM4", "", 8, 1, 115200, "", 0, ""},
        {4, "COM9", "Boot loader", 4, 2, 38400, "", 0, ""},
        {5, "COM12", "Spare", 16, 2, 38400, "", 0, ""},
        {6, "COM15", "Unplugged", 1, 2, 38400, "", 0, ""},
        {7, "lab-rig:2500", "Rack 3", 2, 3, 38400, "lab-rig", 2500, "q1"},
    };
    Bench bench;
    for (const PortCase& c : cases) {
        PortConfig config;
        ASSERT_EQ(S_OK, bench.agentEx->GetPortConfigEx(c.id, &config)) << c.name;
        EXPECT_EQ(c.id, config.portId) << c.name;
        EXPECT_EQ(c.name, Text(config.portName));
        EXPECT_EQ(c.label, Text(config.label)) << c.name;
        EXPECT_EQ(c.state, config.portState) << c.name;
        EXPECT_EQ(c.linkType, config.linkType) << c.name;
        EXPECT_EQ(c.baudRate, config.baudRate) << c.name;
        EXPECT_EQ(c.host, Text(config.host)) << c.name;
        EXPECT_EQ(c.networkPort, config.networkPort) << c.name;
        EXPECT_EQ(c.qualifier, Text(config.linkQualifier)) << c.name;

        OstrelPortInfo info{};
        ASSERT_EQ(S_OK, bench.agent->GetPortInfo(c.id, &info));
        EXPECT_EQ(c.name, Text(info.portName));
        EXPECT_EQ(c.state, info.portState) << c.name;
        ::SysFreeString(info.portName);
        ::SysFreeString(info.label);
    }
    short count = 0;
    SAFEARRAY* ids = nullptr;
    ASSERT_EQ(S_OK, bench.agent->GetPortIds(&count, &ids));
    EXPECT_EQ((std::vector<short>{1, 2, 3, 4, 5, 6, 7, 8}), Elements<short>(ids));
    EXPECT_EQ(8, count);
}

TEST(SimRecords, PhoneRecordCarriesEveryField) {
    Bench bench;
    PhoneInfo byId, byPort;
    ASSERT_EQ(S_OK, bench.agent->GetPhoneInfo(101, &byId));
    ASSERT_EQ(S_OK, bench.agent->GetPortPhoneInfo(1, &byPort));
    for (const PhoneInfo* phone : {&byId, &byPort}) {
        EXPECT_EQ(1, phone->portId);
        const std::pair<BSTR, const char*> texts[] = {
            {phone->esn, "305419896"},
            {phone->analogMin, "5550100"},
            {phone->phoneNumber, "5550101"},
            {phone->phoneName, "Bench A"},
            {phone->modelText, "VX-210"},
            {phone->banner, "READY"},
            {phone->phoneStateText, "Idle"},
            {phone->stateText, "Online"},
            {phone->buildVersion, "VX210-4.2.0017"},
            {phone->compileDate, "Mar 02 2006"},
            {phone->compileTime, "14:21:07"},
            {phone->releaseDate, "Mar 10 2006"},
            {phone->releaseTime, "09:00:00"},
            {phone->chipText, "Unknown"},
        };
        for (const auto& [actual, expected] : texts)
            EXPECT_EQ(expected, Text(actual));
        const std::pair<long, long> numbers[] = {
            {phone->modelNumber, 84},
            {phone->slotCycleIndex, 2},
            {phone->majorVersion, 2},
            {phone->minorVersion, 1},
            {phone->stationClassMark, 170},
            {phone->protocolRevision, 6},
            {phone->mode, 5},
            {phone->locked, 0},
            {phone->authorized, 1},
            {phone->platformDevice, 0},
            {phone->formFactor, 4},
        };
        for (size_t i = 0; i < std::size(numbers); ++i)
            EXPECT_EQ(numbers[i].second, numbers[i].first) << "number " << i;
    }
    OstrelModelEx model{};
    ASSERT_EQ(S_OK, bench.agentEx->GetPhoneModel(101, &model));
    EXPECT_EQ(1, model.hasValue);
    EXPECT_EQ(2100, model.modelNumber);
    ASSERT_EQ(S_OK, bench.agentEx->GetPortPhoneModel(7, &model));
    EXPECT_EQ(0, model.hasValue);

    // A port without a phone fails, but still tells a platform device.
    PhoneInfo none;
    EXPECT_EQ(Sim::Status::NoPhone, bench.agent->GetPortPhoneInfo(5, &none));
    EXPECT_EQ(1, none.platformDevice);
    EXPECT_EQ(Sim::Status::NoPhone, bench.agent->GetPortPhoneInfo(2, &none));
    EXPECT_EQ(0, none.platformDevice);
}

TEST(SimRecords, ObjectsClientsAndListeners) {
    Bench bench;
    struct MaskCase {
        long mask;
        std::vector<short> ids;
    };
    for (const MaskCase& c :
         {MaskCase{2, {101, 102, 103, 104, 105}}, MaskCase{0x20, {201, 202, 203}}, MaskCase{8, {301}},
          MaskCase{4, {302}}, MaskCase{1, {1, 2, 3, 4, 5, 6, 7, 8}}}) {
        short count = 0;
        SAFEARRAY* ids = nullptr;
        ASSERT_EQ(S_OK, bench.agent->GetObjectIds(c.mask, &count, &ids));
        EXPECT_EQ(c.ids, Elements<short>(ids)) << "mask " << c.mask;
        EXPECT_EQ(static_cast<short>(c.ids.size()), count) << "mask " << c.mask;
    }
    struct ObjectCase {
        short id;
        const char* className;
        const char* name;
        long type;
    };
    for (const ObjectCase& c :
         {ObjectCase{7, "OstrelPort", "lab-rig:2500", 1}, ObjectCase{104, "OstrelPhone", "Rack phone", 2},
          ObjectCase{202, "", "Flash Tool", 0x20}, ObjectCase{301, "LogCollector", "Log collector", 8}}) {
        ObjectInfo object;
        ASSERT_EQ(S_OK, bench.agent->GetObjectInfo(c.id, &object)) << c.id;
        EXPECT_EQ(c.className, Text(object.className)) << c.id;
        EXPECT_EQ(c.name, Text(object.objectName)) << c.id;
        EXPECT_EQ(c.type, object.objectType) << c.id;
    }

    OstrelClientInfo client{};
    ASSERT_EQ(S_OK, bench.agent->GetClientInfo(201, &client));
    EXPECT_EQ("Bench Monitor", Text(client.clientName));
    EXPECT_EQ(201, client.clientId);
    EXPECT_EQ("BENCH-PC", Text(client.machineName));
    EXPECT_EQ(4120, client.processId);
    EXPECT_EQ("3.0.2", Text(client.version));
    EXPECT_EQ("2006-03-14 08:15:02", Text(client.startTime));
    for (BSTR text : {client.clientName, client.machineName, client.version, client.startTime})
        ::SysFreeString(text);

    // The count goes in as a capacity and comes back as what was filled; counts pass 2^32.
    struct ListenerCase {
        long capacity;
        std::vector<long> cookies;
        std::vector<LONGLONG> bytes;
    };
    for (const ListenerCase& c : {ListenerCase{128, {17, 18}, {48211, 6442450944LL}},
                                  ListenerCase{1, {17}, {48211}}, ListenerCase{0, {}, {}}}) {
        long count = c.capacity;
        SAFEARRAY *cookies = nullptr, *bytes = nullptr;
        ASSERT_EQ(S_OK, bench.agent->GetAccumulatedData(1, &count, &cookies, &bytes));
        EXPECT_EQ(static_cast<long>(c.cookies.size()), count) << "capacity " << c.capacity;
        EXPECT_EQ(c.cookies, Elements<long>(cookies)) << "capacity " << c.capacity;
        EXPECT_EQ(c.bytes, Elements<LONGLONG>(bytes)) << "capacity " << c.capacity;
    }
}

TEST(SimRecords, PortSettingsReadAndWriteBack) {
    Bench bench;
    struct Rate {
        unsigned long rate;
        long tried;
        unsigned long bit;
    };
    const auto rates = [&] {
        std::vector<Rate> read;
        for (long index = 0;; ++index) {
            Rate rate{};
            const HRESULT status =
                bench.agentEx->GetBaudRateEntry(1, index, 0, &rate.rate, &rate.tried, &rate.bit);
            if (status != S_OK) {
                EXPECT_EQ(S_FALSE, status);
                return read;
            }
            read.push_back(rate);
        }
    };
    std::vector<Rate> before = rates();
    ASSERT_EQ(4u, before.size());
    EXPECT_EQ(38400u, before[2].rate);
    EXPECT_EQ(1, before[2].tried);
    EXPECT_EQ(0, before[1].tried);
    ASSERT_EQ(S_OK, bench.agentEx->SetBaudRateMask(1, 2 | 8, 0));
    std::vector<Rate> after = rates();
    EXPECT_EQ((std::vector<long>{0, 1, 0, 1}),
              (std::vector<long>{after[0].tried, after[1].tried, after[2].tried, after[3].tried}));
    EXPECT_EQ(E_INVALIDARG, bench.agentEx->SetBaudRateMask(1, 0x40, 0));

    // Each setter's value comes back from its getter; out-of-range values are refused.
    using Get = std::function<HRESULT(long*)>;
    using Set = std::function<HRESULT(long)>;
    struct SettingCase {
        const char* name;
        Get get;
        Set set;
        long before, written, refused;
    };
    IOstrelConfigAgentEx* ex = bench.agentEx.Get();
    IOstrelPortOptions* options = bench.options.Get();
    const SettingCase settings[] = {
        {"protocol", [&](long* v) { return ex->GetProtocolMode(1, v); },
         [&](long v) { return ex->SetProtocolMode(1, v); }, 1, 2, 3},
        {"trace", [&](long* v) { return options->GetTraceLevel(1, v); },
         [&](long v) { return options->SetTraceLevel(1, v); }, 2, 3, 4},
        {"shutdown", [&](long* v) { return options->GetShutdownAction(1, v); },
         [&](long v) { return options->SetShutdownAction(1, v); }, 1, 0, -1},
        {"polling", [&](long* v) { return options->GetPollingMode(1, v); },
         [&](long v) { return options->SetPollingMode(1, v); }, 2, 1, -1},
        {"hello", [&](long* v) { return ex->GetZelkorHelloResponse(4, v); },
         [&](long v) { return ex->SetZelkorHelloResponse(4, v); }, 1, 3, 4},
    };
    for (const SettingCase& c : settings) {
        long value = -99;
        ASSERT_EQ(S_OK, c.get(&value)) << c.name;
        EXPECT_EQ(c.before, value) << c.name;
        EXPECT_EQ(S_OK, c.set(c.written)) << c.name;
        EXPECT_EQ(E_INVALIDARG, c.set(c.refused)) << c.name;
        c.get(&value);
        EXPECT_EQ(c.written, value) << c.name;
    }

    // Boot-protocol sections: the count tells all the server holds, the array what fits.
    long filter = 0, count = 0;
    SAFEARRAY* names = nullptr;
    ASSERT_EQ(S_OK, ex->GetZelkorDumpSections(4, 2, &filter, &count, &names));
    EXPECT_EQ(1, filter);
    EXPECT_EQ(3, count);
    EXPECT_EQ((std::vector<std::string>{"BOOT", "MODEM"}), Texts(names));
    ASSERT_EQ(S_OK, ex->SetZelkorDumpSections(4, 0, nullptr));
    ASSERT_EQ(S_OK, ex->GetZelkorDumpSections(4, 16, &filter, &count, &names));
    EXPECT_EQ(0, filter);
    EXPECT_EQ(0, count);
    Texts(names);

    BSTR response = nullptr;
    ASSERT_EQ(S_OK, ex->SendDiagCommand(1, _bstr_t("75 37 3 16 0"), &response));
    EXPECT_EQ("75 37 03 16 00", Text(response));
    ::SysFreeString(response);
    EXPECT_EQ(E_INVALIDARG, ex->SendDiagCommand(1, _bstr_t("75 zz"), &response));
    EXPECT_EQ(Sim::Status::NoPhone, ex->SendDiagCommand(2, _bstr_t("0C"), &response));

    long accepted = -1;
    EXPECT_EQ(S_OK, ex->ZelkorReset(4, &accepted));
    EXPECT_EQ(1, accepted);
    EXPECT_EQ(Sim::Status::NotZelkorMode, ex->ZelkorReset(1, &accepted));
}

TEST(SimRecords, PortObjectsAndThePhoneFileSystem) {
    Bench bench;
    struct PortObjectCase {
        short port;
        long mode, kind;
        unsigned char locked;
        long esn;
        const char* meid;
    };
    for (const PortObjectCase& c :
         {PortObjectCase{1, 5, 1, 0, 305419896, ""}, PortObjectCase{3, 6, 1, 0, -1, ""},
          PortObjectCase{7, 5, 1, 1, -1, ""} /* ESN 4294967295 */,
          PortObjectCase{8, 5, 7, 0, -1, "A0000012345678"}, PortObjectCase{2, 0, 0, 0, 0, nullptr}}) {
        ComPtr<IOstrelPort> port = bench.Port(c.port);
        long mode = -1, kind = -1;
        unsigned char locked = 9;
        EXPECT_EQ(S_OK, port->GetPhoneMode(&mode));
        EXPECT_EQ(S_OK, port->GetPhoneKind(&kind));
        EXPECT_EQ(S_OK, port->IsLocked(&locked));
        EXPECT_EQ(c.mode, mode) << "port " << c.port;
        EXPECT_EQ(c.kind, kind) << "port " << c.port;
        EXPECT_EQ(c.locked, locked) << "port " << c.port;
        ComPtr<IUnknown> object;
        if (!c.meid) {
            EXPECT_EQ(Sim::Status::NoPhone, port->GetPortObject(7, 0, &object)) << "port " << c.port;
            continue;
        }
        ASSERT_EQ(S_OK, port->GetPortObject(7, 0, &object));
        ComPtr<IOstrelPhone> phone;
        ASSERT_EQ(S_OK, object.As(&phone));
        long esn = 0;
        BSTR meid = nullptr;
        EXPECT_EQ(S_OK, phone->GetEsn(&esn));
        EXPECT_EQ(S_OK, phone->GetMeidText(&meid));
        EXPECT_EQ(c.esn, esn) << "port " << c.port;
        EXPECT_EQ(c.meid, Text(meid)) << "port " << c.port;
        ::SysFreeString(meid);
    }

    ComPtr<IOstrelPhoneModel> model;
    ASSERT_EQ(S_OK, bench.Port(8).As(&model));
    unsigned short number = 0;
    long status = 0;
    EXPECT_EQ(S_OK, model->ReadModelNumber(&number));
    EXPECT_EQ(4120, number);
    EXPECT_EQ(S_OK, model->ReadPhoneStatus(&status));
    EXPECT_EQ(9, status);

    // "RDM_DEV_MAP" read, written back through a stream and read again.
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, bench.Port(8)->GetPortObject(17, 0, &object));
    ComPtr<IPhoneEfs> efs;
    ASSERT_EQ(S_OK, object.As(&efs));
    long present = 0, version = 0;
    EXPECT_EQ(S_OK, efs->IsEfsPresent(&present));
    EXPECT_EQ(S_OK, efs->GetEfsVersion(&version));
    EXPECT_EQ(1, present);
    EXPECT_EQ(2, version);
    const auto readMap = [&] {
        ComPtr<IUnknown> file;
        EXPECT_EQ(S_OK, efs->OpenFile(_bstr_t("RDM_DEV_MAP"), 0, &file));
        ComPtr<IStream> stream;
        file.As(&stream);
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        std::string content(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
        ULONG read = 0;
        stream->Read(content.data(), static_cast<ULONG>(content.size()), &read);
        EXPECT_EQ(content.size(), read);
        EXPECT_EQ(STG_E_ACCESSDENIED, stream->Write("x", 1, nullptr));
        return content;
    };
    EXPECT_EQ("placeholder device map (field unit)", readMap());
    const std::string written = "\xFF\x01\x02";
    {
        ComPtr<IUnknown> file;
        ASSERT_EQ(S_OK, efs->OpenFile(_bstr_t("RDM_DEV_MAP"), 1, &file));
        ComPtr<IStream> stream;
        file.As(&stream);
        ComPtr<IStream> source;
        ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, &source));
        source->Write(written.data(), static_cast<ULONG>(written.size()), nullptr);
        source->Seek({}, STREAM_SEEK_SET, nullptr);
        ULARGE_INTEGER size{}, copied{};
        size.QuadPart = written.size();
        ASSERT_EQ(S_OK, source->CopyTo(stream.Get(), size, nullptr, &copied));
        // Nothing reaches the phone before the commit.
        EXPECT_EQ("placeholder device map (field unit)", readMap());
        ASSERT_EQ(S_OK, stream->Commit(STGC_OVERWRITE));
    }
    EXPECT_EQ(written, readMap());
    ComPtr<IUnknown> missing;
    EXPECT_EQ(STG_E_FILENOTFOUND, efs->OpenFile(_bstr_t("NO_SUCH_FILE"), 0, &missing));
}

TEST(SimRecords, UnknownIdsAreInvalidArguments) {
    Bench bench;
    ComPtr<IOstrelPortManager> manager;
    ASSERT_EQ(S_OK, bench.server->GetPortManager(&manager));
    ComPtr<IOstrelPortLookup> lookup;
    ASSERT_EQ(S_OK, manager->GetPortLookup(&lookup));
    OstrelPortInfo port{};
    PhoneInfo phone;
    ObjectInfo object;
    OstrelClientInfo client{};
    ComPtr<IOstrelPort> portObject;
    ComPtr<IUnknown> found;
    BSTR name = nullptr;
    short id = 0;
    const std::pair<const char*, std::function<HRESULT()>> calls[] = {
        {"GetPortInfo", [&] { return bench.agent->GetPortInfo(99, &port); }},
        {"GetPhoneInfo", [&] { return bench.agent->GetPhoneInfo(1, &phone); }},
        {"GetPortPhoneInfo", [&] { return bench.agent->GetPortPhoneInfo(99, &phone); }},
        {"GetObjectInfo", [&] { return bench.agent->GetObjectInfo(999, &object); }},
        {"GetClientInfo", [&] { return bench.agent->GetClientInfo(101, &client); }},
        {"EnablePort", [&] { return bench.agent->EnablePort(99); }},
        {"SetPortLabel", [&] { return bench.agent->SetPortLabel(99, _bstr_t("x")); }},
        {"GetPort", [&] { return manager->GetPort(99, &portObject); }},
        {"FindPort", [&] { return manager->FindPort(99, &found); }},
        {"GetPortNameById", [&] { return lookup->GetPortNameById(99, &name); }},
        {"GetPortIdByName", [&] { return lookup->GetPortIdByName(_bstr_t("com1"), &id); }},
    };
    for (const auto& [member, call] : calls)
        EXPECT_EQ(E_INVALIDARG, call()) << member;
}

// --- events --------------------------------------------------------------------------------

TEST(SimEvents, EveryListenerHearsEveryChangeInOrder) {
    Bench bench;
    long secondCookie = 0;
    ComPtr<IOstrelConfigAgent> second = bench.NewAgent(&secondCookie);
    std::vector<std::string> log;
    Listen(bench.server.Get(), "server", log);
    Listen(bench.agent.Get(), "agent1", log);
    Listen(second.Get(), "agent2", log);

    // Ids are issued above the highest id of the scenario (302).
    struct EventCase {
        const char* what;
        std::function<HRESULT()> call;
        std::vector<std::string> events; // as heard by each listener
    };
    IOstrelConfigAgent* agent = bench.agent.Get();
    IOstrelSimControl* control = bench.control.Get();
    short newId = 0;
    const EventCase cases[] = {
        {"AddPort",
         [&] { return agent->AddPort(_bstr_t("COM10"), _bstr_t("New"), 38400); },
         {"3 303 0", "5 0 303"}},
        {"SetPortLabel", [&] { return agent->SetPortLabel(303, _bstr_t("Renamed")); }, {"11 303 0"}},
        {"DisablePort", [&] { return agent->DisablePort(1); }, {"6 1 0"}},
        {"EnablePort", [&] { return agent->EnablePort(1); }, {"6 1 0"}},
        {"SetTraceLevel", [&] { return bench.options->SetTraceLevel(1, 0); }, {"11 1 0"}},
        {"RemovePort with phone",
         [&] { return agent->RemovePort(3); },
         {"9 3 102", "5 1 102", "4 3 0", "5 1 3"}},
        {"AttachPhone",
         [&] { return control->AttachPhone(303, _bstr_t(R"({"esn": "12", "mode": 5})"), &newId); },
         {"9 303 304", "5 0 304"}},
        {"SetPhoneMode", [&] { return control->SetPhoneMode(303, 2); }, {"10 303 304"}},
        {"ChangePhone",
         [&] { return control->ChangePhone(303, _bstr_t(R"({"locked": true})")); },
         {"10 303 304"}},
        {"DetachPhone", [&] { return control->DetachPhone(303); }, {"9 303 304", "5 1 304"}},
        {"SetPortState", [&] { return control->SetPortState(2, 16); }, {"6 2 0"}},
        {"AddClient",
         [&] {
             return control->AddClient(_bstr_t("Tool"), _bstr_t("lab7"), 42, _bstr_t("1.0"), _bstr_t(""),
                                       &newId);
         },
         {"5 0 305"}},
        {"RemoveClient", [&] { return control->RemoveClient(305); }, {"5 1 305"}},
        {"ActivateAgent", [&] { return second->ActivateAgent(); }, {"5 0 306"}},
        {"ReleaseConfigAgent", [&] { return bench.server->ReleaseConfigAgent(secondCookie); }, {"5 1 306"}},
        {"RequestPhoneMode reset", [&] { return bench.Port(1)->RequestPhoneMode(4); }, {"10 1 101"}},
        {"FireEvent progress", [&] { return control->FireEvent(20, 4, 16383); }, {"20 4 16383"}},
        {"AnnounceShutdown", [&] { return control->AnnounceShutdown(); }, {"2 0 0"}},
        {"StartOutgoingConnection",
         [&] {
             ComPtr<IOstrelOutgoingConnections> outgoing;
             bench.server.As(&outgoing);
             return outgoing->StartOutgoingConnection(_bstr_t("far-host"), 2600);
         },
         {"3 307 0", "5 0 307"}},
        {"a failed call fires nothing",
         [&] { return agent->EnablePort(6) == Sim::Status::PortNotPresent ? S_OK : E_FAIL; },
         {}},
    };
    for (const EventCase& c : cases) {
        log.clear();
        ASSERT_EQ(S_OK, c.call()) << c.what;
        // Listeners hear one event after another: all of the first event, then the next.
        std::vector<std::string> ordered;
        for (const std::string& event : c.events)
            for (const char* listener : {"server", "agent1", "agent2"})
                ordered.push_back(std::string(listener) + " " + event);
        EXPECT_EQ(ordered, log) << c.what;
    }
}

TEST(SimEvents, RecordsFollowTheChangesTheyAnnounce) {
    Bench bench;
    ASSERT_EQ(S_OK, bench.agent->AddPort(_bstr_t("COM10"), _bstr_t("Diag"), 38400));
    PortConfig added;
    ASSERT_EQ(S_OK, bench.agentEx->GetPortConfigEx(303, &added));
    EXPECT_EQ("COM10", Text(added.portName));
    EXPECT_EQ(2, added.portState);
    EXPECT_EQ(2, added.linkType); // COM10 is a USB diagnostic port of the machine
    EXPECT_EQ(Sim::Status::AlreadyExists, bench.agent->AddPort(_bstr_t("COM10"), _bstr_t(""), 38400));

    ASSERT_EQ(S_OK, bench.agent->RemovePort(1));
    PhoneInfo gone;
    EXPECT_EQ(E_INVALIDARG, bench.agent->GetPhoneInfo(101, &gone)); // the phone left with its port

    short phoneId = 0;
    EXPECT_EQ(Sim::Status::AlreadyExists, bench.control->AttachPhone(7, _bstr_t(""), &phoneId));
    EXPECT_EQ(E_FAIL, bench.control->AttachPhone(2, _bstr_t(R"({"mode": "five"})"), &phoneId));
    ASSERT_EQ(S_OK, bench.control->AttachPhone(2, _bstr_t(R"({"modelText": "Quill 8", "locked": true})"),
                                               &phoneId));
    PhoneInfo attached;
    ASSERT_EQ(S_OK, bench.agent->GetPortPhoneInfo(2, &attached));
    EXPECT_EQ("Quill 8", Text(attached.modelText));
    EXPECT_EQ(1, attached.locked);
    EXPECT_EQ(phoneId, 304);
}

// --- control -------------------------------------------------------------------------------

TEST(SimControl, FailOperationFailsThatMemberEverywhereUntilCleared) {
    Bench bench;
    long otherCookie = 0;
    ComPtr<IOstrelConfigAgent> other = bench.NewAgent(&otherCookie);
    const HRESULT denied = E_ACCESSDENIED;
    ASSERT_EQ(S_OK, bench.control->FailOperation(_bstr_t("GetPortInfo"), denied));
    OstrelPortInfo info{};
    EXPECT_EQ(denied, bench.agent->GetPortInfo(1, &info));
    EXPECT_EQ(denied, other->GetPortInfo(1, &info));
    EXPECT_EQ(nullptr, info.portName);
    PortConfig config;
    EXPECT_EQ(S_OK, bench.agentEx->GetPortConfigEx(1, &config)); // other members still work

    ASSERT_EQ(S_OK, bench.control->FailOperation(_bstr_t("GetPortInfo"), 0));
    EXPECT_EQ(S_OK, bench.agent->GetPortInfo(1, &info));
    ::SysFreeString(info.portName);
    ::SysFreeString(info.label);

    // A failed change changes nothing and announces nothing.
    std::vector<std::string> log;
    Listen(bench.server.Get(), "server", log);
    ASSERT_EQ(S_OK, bench.control->FailOperation(_bstr_t("DisablePort"), E_FAIL));
    EXPECT_EQ(E_FAIL, bench.agent->DisablePort(1));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(E_INVALIDARG, bench.control->FailOperation(_bstr_t(""), E_FAIL));
}

TEST(SimControl, StartingPollsThenReady) {
    Bench bench;
    ASSERT_EQ(S_OK, bench.control->SetStartingPolls(2));
    std::vector<long> states;
    for (int poll = 0; poll < 4; ++poll) {
        long state = -1;
        ASSERT_EQ(S_OK, bench.server->GetServerState(&state));
        states.push_back(state);
    }
    EXPECT_EQ((std::vector<long>{0, 0, 1, 1}), states);
}

TEST(SimControl, ExitReachesTheHook) {
    int exits = 0;
    ComPtr<IOstrelServer> server = Sim::CreateSimServer(Sim::SimState(), {[&] { ++exits; }});
    ComPtr<IOstrelSimControl> control;
    ASSERT_EQ(S_OK, server.As(&control));
    EXPECT_EQ(S_OK, control->Exit());
    EXPECT_EQ(1, exits);
    long cookie = 0;
    ComPtr<IUnknown> agent;
    EXPECT_EQ(CO_E_CLASSSTRING, server->CreateConfigAgent(_bstr_t("Other.Agent.1"), -1, &cookie, &agent));
}

TEST(SimControl, SameScenarioAndCallsGiveSameRecordsAndEvents) {
    const auto run = [] {
        Bench bench;
        std::vector<std::string> log;
        Listen(bench.agent.Get(), "agent", log);
        short id = 0;
        bench.agent->AddPort(_bstr_t("COM30"), _bstr_t("A"), 38400);
        bench.agentEx->AddRemoteEfsPort(_bstr_t("COM13"), _bstr_t("Remote EFS"), 38400);
        bench.control->AttachPhone(2, _bstr_t(R"({"esn": "77", "modelText": "Morrow 3"})"), &id);
        bench.control->AddClient(_bstr_t("T"), _bstr_t("m"), 1, _bstr_t(""), _bstr_t(""), &id);
        bench.agent->RemovePort(7);
        bench.control->SetPhoneMode(1, 12);
        return Snapshot(bench) + "\n" + [&] {
            std::string events;
            for (const std::string& line : log)
                events += line + "\n";
            return events;
        }();
    };
    const std::string first = run();
    EXPECT_EQ(first, run());
    EXPECT_NE(std::string::npos, first.find("COM13")) << first;
}

} // namespace
