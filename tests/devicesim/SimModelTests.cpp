// The simulated device server in process: scenarios, and the bench's records, changes, events
// and injected failures read back through the server's own interfaces as a view would.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimRecords.h"
#include "devicesim/SimServer.h"
#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/ComObject.h"
#include "server/OwnedRecord.h"
#include "tests/devicesim/SimBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string scenarioDir = OSTREL_SCENARIO_DIR;

// --- scenario files ------------------------------------------------------------------------

// Each file with the start of what the loader says after "case.json:". Quotes are written as '
// so that the rows read as the files do. Phones on missing ports and unreadable files are
// ScenarioRobustnessTests' and ScenarioDocumentTests'.
const std::pair<const char*, const char*> loadErrorCases[] = {
    {"{'ports': [\n {'id': 1, 'name': 'A',\n  'lable': 'x'}]}", "3: ports[0]: unknown field 'lable'"},
    {"{'ports': [{'id': 1, 'name': 'A'}],\n 'phones': [\n {'id': 1, 'port': 1}]}",
     "3: phones[0].id: id 1 is already used by ports[0]"},
    {"{'ports': [\n {'id': 1, 'name': 'A'},\n {'id': 2, 'name': 'A'}]}",
     "3: ports[1].name: port name 'A' is already used"},
    {"{'ports': [{'id': 1, 'name': 'A'}],\n 'phones': [{'id': 5, 'port': 1},\n {'id': 6, 'port': 1}]}",
     "3: phones[1].port: port 1 already has a phone"},
    {"{'ports': [\n {'id': 1, 'name': 'A', 'state': 'open'}]}", "2: ports[0].state: unknown value 'open'"},
    {"{'ports': [\n {'id': 1, 'name': 'A', 'traceLevel': 4}]}",
     "2: ports[0].traceLevel: expected a number from 0 to 3"},
    {"{'ports': [{'id': 1, 'name': 'A', 'baudRates': [\n {'rate': 9600, 'maskBit': 3}]}]}",
     "2: ports[0].baudRates[0].maskBit: a mask bit has exactly one bit set"},
    {"{'ports': [\n {'id': 1, 'name': 'A', 'link': 'network'}]}",
     "2: ports[0]: a network port needs a 'host'"},
    {"{'ports': [\n {'id': 1, 'name': 'A', 'host': 'h'}]}",
     "2: ports[0].host: only network ports have this field"},
    {"{'ports': [{'id': 1, 'name': 'A'}], 'phones': [\n {'id': 2, 'port': 1, 'phoneStatus': 0}]}",
     "2: phones[0].phoneStatus: expected a number from 1 to 9"},
    {"{'ports': [{'id': 1, 'name': 'A'}], 'phones': [{'id': 2, 'port': 1, 'efs': {'files': [\n "
     "{'name': 'M', 'text': 'a', 'hex': '00'}]}}]}",
     "2: phones[0].efs.files[0]: give the content as either 'text' or 'hex'"},
    {"{'ports': [{'id': 1, 'name': 'A'}], 'phones': [{'id': 2, 'port': 1, 'efs': {'files': [\n "
     "{'name': 'M', 'hex': '00 F'}]}}]}",
     "2: phones[0].efs.files[0].hex: expected pairs of hex digits at character 4"},
};

std::string Quoted(std::string text) {
    std::replace(text.begin(), text.end(), '\'', '"');
    return text;
}

TEST(SimScenario, RefusesFaultsNamingFileLineAndField) {
    for (const auto& [json, message] : loadErrorCases) {
        const std::string expected = Quoted(std::string("case.json:") + message);
        try {
            Sim::ParseScenario(Quoted(json), "case.json");
            ADD_FAILURE() << "loaded: " << json;
        } catch (const Sim::ScenarioError& error) {
            EXPECT_EQ(expected, std::string(error.what()).substr(0, expected.size()));
        }
    }
}

TEST(SimScenario, ShippedScenariosLoadWhole) {
    EXPECT_TRUE(Sim::LoadScenario(scenarioDir + "/empty.json").ports.empty());
    const Sim::SimState large = Sim::LoadScenario(scenarioDir + "/large.json");
    EXPECT_EQ(256u, large.ports.size());
    EXPECT_EQ(256u, large.phones.size());
    EXPECT_EQ(64u, large.clients.size());
    std::map<long, int> objectsByType;
    for (const Sim::SimObject& object : large.objects)
        ++objectsByType[object.type];
    EXPECT_EQ((std::map<long, int>{{4, 16}, {8, 64}, {0x10, 8}}), objectsByType);
}

Microsoft::WRL::ComPtr<IOstrelServer> BenchServer() {
    return Sim::CreateSimServer(Sim::LoadScenario(scenarioDir + "/bench.json"));
}

TEST(SimRecords, BenchReadsAsWrittenAndAnnouncesNothing) {
    SimBench::ExpectWalk(BenchServer(), SimBench::Reads());
}

TEST(SimEvents, EveryChangeAnswersAndEveryListenerHearsItsEventsInOrder) {
    SimBench::ExpectWalk(BenchServer(), SimBench::Changes());
}

// --- the control interface's read-back of settings -----------------------------------------

// A bench server with one agent, as a view holds it, and the control interface beside it.
struct Controlled {
    Microsoft::WRL::ComPtr<IOstrelServer> server = BenchServer();
    Microsoft::WRL::ComPtr<IOstrelSimControl> control = Com::Query<IOstrelSimControl>(server.Get());
    Microsoft::WRL::ComPtr<IOstrelConfigAgentEx> agent;
    long out = 0; // what a call answers, unread
    Win32::UniqueBstr text;

    Controlled() {
        Microsoft::WRL::ComPtr<IUnknown> object;
        server->CreateConfigAgent(_bstr_t("Kelmar.OstrelConfigAgent.1"), -1, &out, &object);
        agent = Com::Query<IOstrelConfigAgentEx>(object.Get());
    }
};

// A settings value as one text: an object as its named fields (a baud rate entry: rate, maskBit,
// tried) joined with "/", an array as "[x,y]", a flag as T or F.
std::string Text(const Sim::ScenarioNode& node,
                 std::initializer_list<const char*> names = {"rate", "maskBit", "tried"}) {
    using Kind = Sim::ScenarioNode::Kind;
    std::string text;
    if (node.kind() == Kind::Object)
        for (const char* name : names)
            text += (text.empty() ? "" : "/") + Text(node.field(name));
    if (node.kind() == Kind::Array)
        for (const Sim::ScenarioNode& item : node.items())
            text += (text.empty() ? "" : ",") + Text(item);
    if (node.kind() == Kind::Boolean)
        return node.asBool() ? "T" : "F";
    if (node.kind() == Kind::Integer)
        return std::to_string(node.asInteger<long>());
    if (node.kind() == Kind::String)
        return node.asString();
    return node.kind() == Kind::Array ? '[' + text + ']' : text;
}

TEST(SimControl, PortSettingsShowWhatThePortKeptAndReceivedAndReadBack) {
    Controlled c;
    ASSERT_EQ(S_OK, c.agent->SetBaudRateMask(1, 10, 0));
    ASSERT_EQ(S_OK, c.agent->SetSecurityPassword(1, _bstr_t(L"\u00e9t\u00e9")));
    ASSERT_EQ(S_OK, c.agent->SendDiagCommand(1, _bstr_t("75 37"), c.text.put()));
    ASSERT_EQ(E_INVALIDARG, c.agent->SendDiagCommand(1, _bstr_t("junk"), c.text.put()));
    ASSERT_EQ(Sim::Status::NotZelkorMode, c.agent->ZelkorReset(1, &c.out));
    ASSERT_EQ(S_OK, c.control->GetPortSettings(1, c.text.put()));
    const Sim::ScenarioDocument port1 =
        Sim::ScenarioDocument::Parse(Lang::FromBstr(c.text.get()), "settings");
    EXPECT_EQ("Bench serial/[9600/1/F,19200/2/T,38400/4/F,115200/8/T]/1/2/1/1/2/\xe9t\xe9/"
              "75 37 03 16 00;29 00;0C/F/[75 37,junk]/1",
              Text(port1.root(),
                   {"label", "baudRates", "protocolMode", "traceLevel", "shutdownAction", "flowControl",
                    "pollingMode", "password", "diagHistory", "diagSwitch", "diagCommands"}) +
                  "/" + Text(port1.root().field("zelkor"), {"resets"}));
    EXPECT_EQ(E_INVALIDARG, c.control->GetPortSettings(99, c.text.put()));
}

// --- the control interface's clients and further objects ------------------------------------

// Every event the server fires, as "code sub-code/id value", one after another.
class Heard : public Fw::ObjectRoot, public IOstrelServerEvents {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {Fw::Entry<Heard, IOstrelServerEvents>()};
    std::string events;

    HRESULT STDMETHODCALLTYPE OnServerEvent(long lCode, short sObjectId, short sValue) override {
        events += Lang::Format("%s%ld %d %d", events.empty() ? "" : ", ", lCode, sObjectId, sValue);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnServerMessage(BSTR) override { return S_OK; }
};

// The bench with the server's events heard, and its objects read as a view reads them.
struct Objects : Controlled {
    long cookie = out;
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> view = Com::Query<IOstrelConfigAgent>(agent.Get());
    short id = 0;
    Microsoft::WRL::ComPtr<IOstrelServerEvents> sink;
    Heard* heard = nullptr;

    Objects() {
        Com::ThrowIfFailed(Fw::Object<Heard>::Create(nullptr, __uuidof(IOstrelServerEvents), &sink));
        heard = static_cast<Heard*>(sink.Get());
        Microsoft::WRL::ComPtr<IConnectionPoint> point;
        DWORD connection = 0;
        Com::ThrowIfFailed(Com::Query<IConnectionPointContainer>(server.Get())
                               ->FindConnectionPoint(__uuidof(IOstrelServerEvents), &point));
        Com::ThrowIfFailed(point->Advise(sink.Get(), &connection));
    }
    std::string Ids(long mask) {
        short count = 0;
        SAFEARRAY* array = nullptr;
        EXPECT_EQ(S_OK, view->GetObjectIds(mask, &count, &array));
        const Win32::UniqueSafeArray owned(array);
        const Win32::SafeArrayAccess<short> access(array);
        std::string text = std::to_string(count) + ":";
        for (short element : access.Items())
            text += " " + std::to_string(element);
        return text;
    }
    std::string Info(short objectId) {
        Server::OwnedRecord<OstrelObjectInfo> r;
        const HRESULT status = view->GetObjectInfo(objectId, r.put());
        return FAILED(status) ? Lang::Format("%08lX", static_cast<unsigned long>(status))
                              : Lang::Format("%s/%s/%ld/%s", Lang::FromBstr(r->className).c_str(),
                                             Lang::FromBstr(r->objectName).c_str(), r->objectType,
                                             Lang::FromBstr(r->version).c_str());
    }
    std::string Client(short clientId) {
        Server::OwnedRecord<OstrelClientInfo> r;
        const HRESULT status = view->GetClientInfo(clientId, r.put());
        return FAILED(status)
                   ? Lang::Format("%08lX", static_cast<unsigned long>(status))
                   : Lang::Format("%s/%s/%ld/%s/%s", Lang::FromBstr(r->clientName).c_str(),
                                  Lang::FromBstr(r->machineName).c_str(), r->processId,
                                  Lang::FromBstr(r->version).c_str(), Lang::FromBstr(r->startTime).c_str());
    }
    HRESULT Change(short objectId, const char* json) {
        return control->ChangeObject(objectId, _bstr_t(json));
    }
};

// One change, in order, with its answer, the events the server fires for it, and what the views
// then read. The bench's ids end at 302, so the first new object is 303.
struct ObjectStep {
    const char* change;
    HRESULT (*run)(Objects& o);
    HRESULT status;
    const char* events;
    std::string (*read)(Objects& o);
    const char* reads;
};

#define CHANGE(call) #call, [](Objects & o) { return call; }
#define READ(call) [](Objects& o) { return call; }

const ObjectStep objectSteps[] = {
    {CHANGE(o.control->AddObject(_bstr_t("ToolAgent"), _bstr_t("Agent 1"), 8, _bstr_t("2.0"), &o.id)), S_OK,
     "5 0 303", READ(o.Ids(8) + " | " + o.Info(o.id)), "2: 301 303 | ToolAgent/Agent 1/8/2.0"},
    // Clients come through AddClient, with fields of their own.
    {CHANGE(o.control->AddObject(_bstr_t(""), _bstr_t("Tool"), 0x20, _bstr_t(""), &o.id)), E_INVALIDARG, "",
     READ(o.Ids(0x20)), "3: 201 202 203"},
    {CHANGE(o.Change(303, R"({"name": "Agent 2", "type": 16})")), S_OK, "5 2 303",
     READ(o.Ids(8) + " | " + o.Ids(16) + " | " + o.Info(303)), "1: 301 | 1: 303 | ToolAgent/Agent 2/16/2.0"},
    // Refused text changes nothing, not even the fields before the fault.
    {CHANGE(o.Change(303, R"({"type": 32})")), E_INVALIDARG, "", READ(o.Info(303)),
     "ToolAgent/Agent 2/16/2.0"},
    {CHANGE(o.Change(303, R"({"name": "X", "owner": "Y"})")), E_INVALIDARG, "", READ(o.Info(303)),
     "ToolAgent/Agent 2/16/2.0"},
    {CHANGE(o.Change(303, R"({"name": "X", "type": 4)")), E_INVALIDARG, "", READ(o.Info(303)),
     "ToolAgent/Agent 2/16/2.0"},
    {CHANGE(o.Change(303, R"({"name": "X", "machine": "Y"})")), E_INVALIDARG, "", READ(o.Info(303)),
     "ToolAgent/Agent 2/16/2.0"},
    {CHANGE(o.Change(201, R"({"machine": "lab9", "processId": 7})")), S_OK, "5 2 201", READ(o.Client(201)),
     "Bench Monitor/lab9/7/3.0.2/2006-03-14 08:15:02"},
    {CHANGE(o.Change(201, R"({"className": "X"})")), E_INVALIDARG, "", READ(o.Client(201)),
     "Bench Monitor/lab9/7/3.0.2/2006-03-14 08:15:02"},
    // Ports and phones are no objects of this interface.
    {CHANGE(o.Change(1, "{}")), E_INVALIDARG, "", READ(o.Info(1)), "OstrelPort/COM1/1/2.4.1"},
    {CHANGE(o.Change(999, "{}")), E_INVALIDARG, "", READ(o.Info(999)), "80070057"},
    {CHANGE(o.control->RemoveObject(303)), S_OK, "5 1 303", READ(o.Ids(16) + " | " + o.Info(303)),
     "0: | 80070057"},
    {CHANGE(o.control->RemoveObject(303)), E_INVALIDARG, "", READ(o.Info(303)), "80070057"},
    {CHANGE(o.control->RemoveObject(201)), S_OK, "5 1 201", READ(o.Ids(0x20) + " | " + o.Client(201)),
     "2: 202 203 | 80070057"},
    {CHANGE(o.control->RemoveObject(1)), E_INVALIDARG, "", READ(o.Info(1)), "OstrelPort/COM1/1/2.4.1"},
    {CHANGE(o.control->RemoveObject(101)), E_INVALIDARG, "", READ(o.Ids(2)), "5: 101 102 103 104 105"},
    // An agent's own object, once removed, is not announced again when the agent goes.
    {CHANGE(o.view->ActivateAgent()), S_OK, "5 0 304", READ(o.Info(304)),
     "OstrelConfigAgent/Configuration agent 1/8/2.4.1"},
    {CHANGE(o.control->RemoveObject(304)), S_OK, "5 1 304", READ(o.Ids(8)), "1: 301"},
    {CHANGE(o.server->ReleaseConfigAgent(o.cookie)), S_OK, "", READ(o.Ids(8)), "1: 301"},
};

TEST(SimControl, ObjectsAreAddedChangedAndRemovedAsAnnounced) {
    Objects o;
    for (const ObjectStep& step : objectSteps) {
        o.heard->events.clear();
        const HRESULT status = step.run(o);
        EXPECT_EQ(Lang::Format("%08lX %s", static_cast<unsigned long>(step.status), step.events),
                  Lang::Format("%08lX %s", static_cast<unsigned long>(status), o.heard->events.c_str()))
            << step.change;
        EXPECT_EQ(step.reads, step.read(o)) << step.change;
    }
}

// --- the phone's file system as a service map editor uses it --------------------------------

// One phone with the given "efs" field on port 1; port 2 has none.
struct Efs {
    Microsoft::WRL::ComPtr<IOstrelServer> server;
    Microsoft::WRL::ComPtr<IOstrelSimControl> control;
    Microsoft::WRL::ComPtr<IOstrelPort> port;
    Microsoft::WRL::ComPtr<IPhoneEfs> efs;

    explicit Efs(const std::string& field)
        : server(Sim::CreateSimServer(Sim::ParseScenario(
              R"({"ports": [{"id": 1, "name": "COM1"}, {"id": 2, "name": "COM2"}],
                  "phones": [{"id": 3, "port": 1, "mode": 5, "efs": )" +
                  field + "}]}",
              "efs.json")))
        , control(Com::Query<IOstrelSimControl>(server.Get())) {
        Microsoft::WRL::ComPtr<IOstrelPortManager> manager;
        Microsoft::WRL::ComPtr<IUnknown> object;
        Com::ThrowIfFailed(server->GetPortManager(&manager));
        Com::ThrowIfFailed(manager->GetPort(1, &port));
        Com::ThrowIfFailed(port->GetPortObject(17, 0, &object));
        efs = Com::Query<IPhoneEfs>(object.Get());
        Win32::UniqueBstr calls;
        control->TakeCalls(calls.put()); // the tests' own way in is no part of what they check
    }
    // What the phone holds, or the failure's status.
    std::string File(short portId = 1) {
        Win32::UniqueBstr hex;
        const HRESULT status = control->GetPhoneFile(portId, _bstr_t("RDM_DEV_MAP"), hex.put());
        return FAILED(status) ? Lang::Format("%08lX", static_cast<unsigned long>(status))
                              : Lang::FromBstr(hex.get());
    }
};

std::string Hex(size_t length) {
    std::string hex;
    for (size_t i = 0; i < length; ++i)
        hex += Lang::Format(i ? " %02X" : "%02X", static_cast<unsigned>(i * 37 + 250) & 0xFF);
    return hex;
}

TEST(SimEfs, FilesOfAnyLengthReadBackFromScenarioAndControl) {
    const size_t lengths[] = {0, 5, 23, 40, 70};
    for (const size_t length : lengths) {
        Efs scenario(R"({"files": [{"name": "RDM_DEV_MAP", "hex": ")" + Hex(length) + "\"}]}");
        Efs controlled("{}");
        ASSERT_EQ(S_OK,
                  controlled.control->SetPhoneFile(1, _bstr_t("RDM_DEV_MAP"), _bstr_t(Hex(length).c_str())));
        for (Efs* e : {&scenario, &controlled}) {
            Microsoft::WRL::ComPtr<IUnknown> object;
            ASSERT_EQ(S_OK, e->efs->OpenFile(_bstr_t("RDM_DEV_MAP"), 0, &object));
            const auto stream = Com::Query<IStream>(object.Get());
            STATSTG stat{};
            ASSERT_EQ(S_OK, stream->Stat(&stat, STATFLAG_NONAME));
            std::vector<std::uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart) + 1);
            ULONG read = 0;
            EXPECT_EQ(S_FALSE, stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read));
            bytes.resize(read);
            EXPECT_EQ(Hex(length), Sim::HexBytes(bytes)) << length;
            EXPECT_EQ(Hex(length), e->File()) << length;
        }
    }
}

TEST(SimEfs, VersionsAndAbsenceAnswerAsTheScenarioSays) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"version": 1})", "1 1 0"},
        {R"({"version": 2})", "1 2 0"},
        {R"({"version": 3})", "1 3 0"},
        {R"({"present": false, "version": 2})", "0 80070032 80070032"}};
    for (const auto& [field, answers] : cases) {
        Efs e(field);
        long present = -1, version = -1;
        Microsoft::WRL::ComPtr<IUnknown> object;
        e.efs->IsEfsPresent(&present);
        const HRESULT versioned = e.efs->GetEfsVersion(&version);
        const HRESULT opened = e.efs->OpenFile(_bstr_t("RDM_DEV_MAP"), 1, &object);
        EXPECT_EQ(answers, Lang::Format("%ld %lX %lX", present,
                                        static_cast<unsigned long>(versioned ? versioned : version),
                                        static_cast<unsigned long>(opened)))
            << field;
    }
}

TEST(SimControl, PhoneFilesRefuseWhatNamesNoPhoneOrNoBytes) {
    Efs e(R"({"files": [{"name": "RDM_DEV_MAP", "text": "ab"}]})");
    EXPECT_EQ(E_INVALIDARG, e.control->SetPhoneFile(9, _bstr_t("RDM_DEV_MAP"), _bstr_t("00")));
    EXPECT_EQ(E_INVALIDARG, e.control->SetPhoneFile(2, _bstr_t("RDM_DEV_MAP"), _bstr_t("00")));
    EXPECT_EQ(E_INVALIDARG, e.control->SetPhoneFile(1, _bstr_t("RDM_DEV_MAP"), _bstr_t("00 F")));
    EXPECT_EQ("61 62", e.File());
    EXPECT_EQ("80070057 80070057", e.File(9) + " " + e.File(2));
    ASSERT_EQ(S_OK, e.efs->RemoveFile(_bstr_t("RDM_DEV_MAP")));
    EXPECT_EQ("80030002", e.File()); // STG_E_FILENOTFOUND: no file is no empty file
}

// The editor's round: read the map, write it back in two halves (the second copied from a memory
// stream, as the editor hands it over), commit, reset the phone. Each step answers a status.
struct Editor : Efs {
    Microsoft::WRL::ComPtr<IStream> file, memory;
    STATSTG stat{};
    long number = 0;
    char bytes[8] = {};
    Editor()
        : Efs(R"({"files": [{"name": "RDM_DEV_MAP", "hex": "01 02"}]})") {
        Com::ThrowIfFailed(::CreateStreamOnHGlobal(nullptr, TRUE, &memory));
        Com::ThrowIfFailed(memory->Write("\xCC\xDD", 2, nullptr));
        Com::ThrowIfFailed(memory->Seek({}, STREAM_SEEK_SET, nullptr));
    }
    HRESULT Open(long mode) {
        Microsoft::WRL::ComPtr<IUnknown> object;
        const HRESULT status = efs->OpenFile(_bstr_t("RDM_DEV_MAP"), mode, &object);
        if (object)
            object.As(&file);
        return status;
    }
};

using EditorStep = HRESULT (*)(Editor& e);
const EditorStep editorSteps[] = {
    [](Editor& e) { return e.efs->IsEfsPresent(&e.number); },
    [](Editor& e) { return e.efs->GetEfsVersion(&e.number); },
    [](Editor& e) { return e.Open(0); },
    [](Editor& e) { return e.file->Stat(&e.stat, STATFLAG_NONAME); },
    [](Editor& e) { return e.file->Seek({}, STREAM_SEEK_SET, nullptr); },
    [](Editor& e) { return e.file->Read(e.bytes, e.stat.cbSize.LowPart, nullptr); },
    [](Editor& e) { return e.Open(1); },
    [](Editor& e) { return e.file->Write("\xAA\xBB", 2, nullptr); },
    [](Editor& e) { // 8
        ULARGE_INTEGER all{};
        all.QuadPart = 2;
        return e.memory->CopyTo(e.file.Get(), all, nullptr, nullptr);
    },
    [](Editor& e) { return e.file->Commit(STGC_OVERWRITE); },
    [](Editor& e) { return e.port->RequestPhoneMode(4); },
    [](Editor& e) { return e.port->AwaitPhoneMode(5, 6000, 0); },
};

struct EditorCase {
    const char* member; // fails with STG_E_MEDIUMFULL from before step `from` on
    size_t from;
    bool carryOn; // past the failure, as a careless editor would
    size_t failsAt;
    const char* file; // what the phone then holds
};

const EditorCase editorCases[] = {
    {"OpenFile", 0, false, 2, "01 02"},
    {"Stat", 0, false, 3, "01 02"},
    {"Seek", 0, false, 4, "01 02"},
    {"Read", 0, false, 5, "01 02"},
    {"Write", 0, false, 7, "01 02"},
    // Half written: nothing reaches the phone without a commit, the accepted half with one.
    {"Write", 8, false, 8, "01 02"},
    {"Write", 8, true, 8, "AA BB"},
    {"Commit", 0, false, 9, "01 02"},
    {"RequestPhoneMode", 0, false, 10, "AA BB CC DD"},
    {"AwaitPhoneMode", 0, false, 11, "AA BB CC DD"},
};

TEST(SimEfs, EditorRoundFailsWhereInjectedAndThePhoneKeepsOnlyWhatWasCommitted) {
    Editor whole;
    for (const EditorStep step : editorSteps)
        ASSERT_EQ(S_OK, step(whole));
    Win32::UniqueBstr calls;
    ASSERT_EQ(S_OK, whole.control->TakeCalls(calls.put()));
    std::string log = Lang::FromBstr(calls.get());
    std::replace(log.begin(), log.end(), '\n', ' ');
    EXPECT_EQ("IsEfsPresent GetEfsVersion OpenFile(RDM_DEV_MAP,0) Stat Seek Read OpenFile(RDM_DEV_MAP,1) Write "
              "Write Commit(1) RequestPhoneMode(4) AwaitPhoneMode(5,6000,0)",
              log);
    EXPECT_EQ("AA BB CC DD", whole.File());

    for (const EditorCase& c : editorCases) {
        Editor e;
        std::string failed; // the first step that failed, with its status
        for (size_t i = 0; i < std::size(editorSteps); ++i) {
            if (i == c.from)
                e.control->FailOperation(_bstr_t(c.member), STG_E_MEDIUMFULL);
            const HRESULT status = editorSteps[i](e);
            if (status != S_OK && failed.empty())
                failed = std::to_string(i) + Lang::Format(" %08lX", static_cast<unsigned long>(status));
            if (status != S_OK && !c.carryOn)
                break;
        }
        e.file.Reset(); // the editor lets go of the file, committed or not
        ASSERT_EQ(S_OK, e.control->TakeCalls(calls.put()));
        log = Lang::FromBstr(calls.get());
        EXPECT_EQ(std::to_string(c.failsAt) + " 80030070", failed) << c.member << " from " << c.from;
        if (!c.carryOn) { // the call that failed is the last one recorded
            const std::string last = log.substr(log.rfind('\n') + 1);
            EXPECT_EQ(c.member, last.substr(0, last.find('('))) << c.member;
        }
        EXPECT_EQ(c.file, e.File()) << c.member << " from " << c.from;
    }
}

TEST(SimControl, AddObjectAnswersAsAddClientOnceTheIdsAreUsedUp) {
    const Microsoft::WRL::ComPtr<IOstrelServer> server = Sim::CreateSimServer(
        Sim::ParseScenario(R"({"objects": [{"id": 32767, "name": "Last", "type": 8}]})", "full.json"));
    const auto control = Com::Query<IOstrelSimControl>(server.Get());
    short id = 0;
    EXPECT_EQ(Sim::Status::IdsExhausted, control->AddObject(_bstr_t("A"), _bstr_t("B"), 8, _bstr_t(""), &id));
    EXPECT_EQ(Sim::Status::IdsExhausted,
              control->AddClient(_bstr_t("A"), _bstr_t("B"), 1, _bstr_t(""), _bstr_t(""), &id));
}

} // namespace
