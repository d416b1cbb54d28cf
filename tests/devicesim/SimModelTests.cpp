// The simulated device server in process: scenarios, and the bench's records, changes, events
// and injected failures read back through the server's own interfaces as a view would.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "tests/devicesim/SimBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

} // namespace
