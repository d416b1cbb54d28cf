// The simulated device server in process: scenarios, and the bench's records, changes, events
// and injected failures read back through the server's own interfaces as a view would.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "tests/devicesim/SimBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const std::string scenarioDir = OSTREL_SCENARIO_DIR;

// --- scenario files ------------------------------------------------------------------------

// Each file with the start of what the loader says after "case.json:". Quotes are written as '
// so that the rows read as the files do.
const std::pair<const char*, const char*> loadErrorCases[] = {
    {"{'ports': [\n {'id': 1, 'name': 'A',\n  'lable': 'x'}]}", "3: ports[0]: unknown field 'lable'"},
    {"{'ports': [{'id': 1, 'name': 'A'}],\n 'phones': [\n {'id': 1, 'port': 1}]}",
     "3: phones[0].id: id 1 is already used by ports[0]"},
    {"{'ports': [\n {'id': 1, 'name': 'A'},\n {'id': 2, 'name': 'A'}]}",
     "3: ports[1].name: port name 'A' is already used"},
    {"{'ports': [{'id': 1, 'name': 'A'}],\n 'phones': [\n {'id': 5,\n  'port': 9}]}",
     "4: phones[0].port: no port has id 9"},
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
    EXPECT_THROW(Sim::LoadScenario(scenarioDir + "/missing.json"), Sim::ScenarioError);
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

} // namespace
