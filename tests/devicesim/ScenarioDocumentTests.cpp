// Reading scenario files: every value keeps its line and path, every fault names both.
#include "devicesim/ScenarioDocument.h"
#include "tests/support/Scoped.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

using Sim::ScenarioDocument;
using Sim::ScenarioError;
using Sim::ScenarioNode;

namespace {

// Walks a path such as "ports[0].baudRates[1]" through the public reads.
const ScenarioNode& reach(const ScenarioNode& root, std::string_view path) {
    const ScenarioNode* node = &root;
    while (!path.empty()) {
        if (path[0] == '.')
            path.remove_prefix(1);
        const size_t end = path[0] == '[' ? path.find(']') + 1 : path.find_first_of(".[");
        const std::string_view step = path.substr(0, end);
        node = step[0] == '[' ? &node->items()[std::stoul(std::string(step.substr(1)))] : &node->field(step);
        path.remove_prefix(std::min(end, path.size()));
    }
    return *node;
}

// What a read gives, or the message of the fault it raises.
template <class Read>
std::string outcome(Read read) {
    try {
        return read();
    } catch (const ScenarioError& error) {
        return error.what();
    }
}

enum class Read { Node, Long, Baud, Unsigned, Text, Flag, Items, Fields, Optional, Fail };

std::string read(const ScenarioNode& node, Read how) {
    switch (how) {
    case Read::Node:
        return "node";
    case Read::Long:
        return std::to_string(node.asInteger<long>());
    case Read::Baud:
        return std::to_string(node.asInteger(300L, 115200L));
    case Read::Unsigned:
        return std::to_string(node.asInteger<unsigned long>());
    case Read::Text:
        return node.asString();
    case Read::Flag:
        return node.asBool() ? "true" : "false";
    case Read::Items:
        return std::to_string(node.items().size()) + " items";
    case Read::Fields:
        node.expectFields({"esn", "model"});
        return "fields known";
    case Read::Optional:
        return node.optionalField("esn") ? "has esn" : "no esn";
    case Read::Fail:
        node.fail("no such port");
    }
    return "";
}

// A file, the path read and how, then the value read, or what the fault says after "bench.json:"
// (a line number and a colon; after a syntax error's line the wording is the parser's own, so
// those rows end there). Quotes are written as ' so that the rows read as the files do.
struct ReadCase {
    const char* text;
    const char* path;
    Read how;
    const char* outcome;
};
const ReadCase readCases[] = {
    {"{\n  'a': 1\n  'b': 2\n}", "", Read::Node, "3: "}, // missing comma
    {"{\n  'a': 'open\n}", "", Read::Node, "2: "},       // a line break ends the string: still its line
    {"[1,\n 2,\n]", "", Read::Node, "3: "},
    {"[\n tru\n]", "", Read::Node, "2: "},
    {"", "", Read::Node, "1: "},
    {"{}\n\n{}", "", Read::Node, "3: "},
    {"[\n '\xff']", "", Read::Node, "2: "},
    {"[\n 1e999]", "", Read::Node, "2: "},
    {"{'baud': 115200}", "baud", Read::Baud, "115200"},
    {"{'offset': -5}", "offset", Read::Long, "-5"},
    {"{'on': true}", "on", Read::Flag, "true"},
    {"{'esn': 1}", "", Read::Optional, "has esn"},
    {"{'model': 1}", "", Read::Optional, "no esn"},
    {"{'model': 1}", "", Read::Fields, "fields known"},
    // Each value is on the line it starts on. The lexer reads one character past a number before
    // it reports the number, so numbers end lines here on purpose.
    {"{'label': 5\n}", "label", Read::Text, "1: label: expected a string"},
    {"{'label': 5\r\n}", "label", Read::Text, "1: label: expected a string"},
    {"{'label':\r\n\r\n  5}", "label", Read::Text, "3: label: expected a string"},
    {"{'label': [\n 5]}", "label", Read::Text, "1: label: expected a string"},
    {"{'ports': [{},\n {'label':\n  {}}]}", "ports[1].label", Read::Text,
     "3: ports[1].label: expected a string"},
    {"{'phones': [\n {'model': 'K7'}]}", "phones[0].esn", Read::Node, "2: phones[0]: missing field 'esn'"},
    {"{}", "ports", Read::Node, "1: missing field 'ports'"},
    {"{'ports': [{'baudRates': [9600,\n 'fast']}]}", "ports[0].baudRates[1]", Read::Long,
     "2: ports[0].baudRates[1]: expected a number"},
    {"{'baud': 7}", "baud", Read::Baud, "1: baud: expected a number from 300 to 115200"},
    {"{'baud': 115201}", "baud", Read::Baud, "1: baud: expected a number from 300 to 115200"},
    {"{'esn': 4294967296}", "esn", Read::Unsigned, "1: esn: expected a number from 0 to 4294967295"},
    {"{'esn': 18446744073709551616}", "esn", Read::Unsigned,
     "1: esn: expected a number from 0 to 4294967295"},
    {"{'esn': -1}", "esn", Read::Unsigned, "1: esn: expected a number from 0 to 4294967295"},
    {"{'baud': 9600.5}", "baud", Read::Long, "1: baud: expected a whole number"},
    {"{'enabled': 'yes'}", "enabled", Read::Flag, "1: enabled: expected true or false"},
    {"{'ports': {}}", "ports", Read::Items, "1: ports: expected an array"},
    {"[{'esn': 1}]", "esn", Read::Node, "1: expected an object"},
    {"{'phones': [\n {'esn': 1,\n  'modle': 'K7'}]}", "phones[0]", Read::Fields,
     "3: phones[0]: unknown field 'modle'"},
    {"{'phones': [\n {'esn': 1,\n  'esn': 2}]}", "", Read::Node, "3: phones[0]: duplicate field 'esn'"},
    {"{'port': 3}", "port", Read::Fail, "1: port: no such port"},
    // The file is UTF-8; the library's texts are in the system code page (1252 in the test prefix).
    {"'USB \\u2013 diag'", "", Read::Text, "USB \x96 diag"},
    {"'USB \xe2\x80\x93 diag'", "", Read::Text, "USB \x96 diag"},
    {"'\\u20ac \\u00e9'", "", Read::Text, "\x80 \xe9"},
    {"'tab\\there \\'q\\''", "", Read::Text, "tab\there 'q'"},
    {"''", "", Read::Text, ""},
    {"{'name': '\\u0101'}", "name", Read::Text, "1: name: text has characters outside the system code page"},
    {"{'name': '\\ud83d\\ude00'}", "name", Read::Text,
     "1: name: text has characters outside the system code page"},
};

std::string quoted(std::string text) {
    std::replace(text.begin(), text.end(), '\'', '"');
    return text;
}

TEST(ScenarioDocument, ReadGivesTheValueOrNamesFileLineAndField) {
    for (const ReadCase& c : readCases) {
        const bool fault = std::isdigit(static_cast<unsigned char>(c.outcome[0])) && c.outcome[1] == ':';
        const std::string expected = quoted((fault ? "bench.json:" : "") + std::string(c.outcome));
        const std::string actual = outcome([&] {
            const ScenarioDocument document = ScenarioDocument::Parse(quoted(c.text), "bench.json");
            return read(reach(document.root(), c.path), c.how);
        });
        EXPECT_EQ(expected, expected.ends_with(": ") ? actual.substr(0, expected.size()) : actual) << c.text;
        for (const char* parserOwn : {"json.exception", "column"})
            EXPECT_EQ(std::string::npos, actual.find(parserOwn)) << actual;
    }
}

TEST(ScenarioDocument, LoadNamesThePathInEveryMessage) {
    std::string path;
    {
        // A byte-order mark, as editors on Windows often write one.
        const TestSupport::ScratchFile file("scenario-reader-test.json",
                                            "\xef\xbb\xbf{\r\n  \"ports\": [\r\n    1, \"two\"]}");
        path = file.Path();
        const ScenarioDocument document = ScenarioDocument::Load(path);
        EXPECT_EQ(path + ":3: ports[1]: expected a number",
                  outcome([&] { return read(reach(document.root(), "ports[1]"), Read::Long); }));
    }
    const std::string expected = path + ": cannot read the file: ";
    const std::string message =
        outcome([&] { return read(ScenarioDocument::Load(path).root(), Read::Node); });
    EXPECT_EQ(expected, message.substr(0, expected.size())) << message;
}

} // namespace
