// Reading scenario files: every value keeps its line and path, every fault names both.
#include "devicesim/ScenarioDocument.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
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

std::string joinLines(std::initializer_list<const char*> lines, const char* lineBreak) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + lineBreak;
    return text;
}

// Numbers end lines on purpose: the lexer reads past them before it reports them.
const std::initializer_list<const char*> benchLines = {
    R"({)",                                                          // 1
    R"(  "name": "bench",)",                                         // 2
    R"(  "ports": [)",                                               // 3
    R"(    {"label": "COM1", "enabled": true, "baudRates": [9600,)", // 4
    R"()",                                                           // 5
    R"(      115200)",                                               // 6
    R"(    ]},)",                                                    // 7
    R"(    {)",                                                      // 8
    R"(      "label":)",                                             // 9
    R"(        "USB \u2013 diag", "offset": -5)",                    // 10
    R"(    })",                                                      // 11
    R"(  ],)",                                                       // 12
    R"(  "count": 2)",                                               // 13
    R"(})",                                                          // 14
};

struct PlaceCase {
    const char* path;
    int line;
};
const PlaceCase placeCases[] = {
    {"", 1},
    {"name", 2},
    {"ports", 3},
    {"ports[0]", 4},
    {"ports[0].enabled", 4},
    {"ports[0].baudRates", 4},
    {"ports[0].baudRates[0]", 4},
    {"ports[0].baudRates[1]", 6},
    {"ports[1]", 8},
    {"ports[1].label", 10},
    {"count", 13},
};

TEST(ScenarioDocument, ValuesKeepTheirLineAndPath) {
    for (const char* lineBreak : {"\n", "\r\n"}) {
        const ScenarioDocument document =
            ScenarioDocument::Parse(joinLines(benchLines, lineBreak), "bench.json");
        for (const PlaceCase& c : placeCases) {
            const ScenarioNode& node = reach(document.root(), c.path);
            EXPECT_EQ(c.line, node.line()) << c.path << (lineBreak[0] == '\r' ? " (CRLF)" : "");
            EXPECT_EQ(c.path, node.path());
        }
        const ScenarioNode& ports = document.root().field("ports");
        EXPECT_EQ("bench", document.root().field("name").asString());
        EXPECT_TRUE(ports.items()[0].field("enabled").asBool());
        EXPECT_EQ(115200L, ports.items()[0].field("baudRates").items()[1].asInteger(300L, 115200L));
        EXPECT_EQ(-5, ports.items()[1].field("offset").asInteger<int>());
        EXPECT_EQ(nullptr, ports.items()[1].optionalField("enabled"));
        EXPECT_NO_THROW(ports.items()[1].expectFields({"label", "enabled", "offset"}));
    }
}

// Lines of syntax errors; the wording after the line is the parser's own.
struct SyntaxCase {
    const char* text;
    int line;
};
const SyntaxCase syntaxCases[] = {
    {"{\n  \"a\": 1\n  \"b\": 2\n}", 3}, // missing comma
    {"{\n  \"a\": \"open\n}", 2},        // a line break ends the string: still the string's line
    {"[1,\n 2,\n]", 3},
    {"[\n tru\n]", 2},
    {"", 1},
    {"{}\n\n{}", 3},
    {"[\n \"\xff\"]", 2},
    {"[\n 1e999]", 2},
};

TEST(ScenarioDocument, SyntaxErrorNamesTheLine) {
    for (const SyntaxCase& c : syntaxCases) {
        try {
            ScenarioDocument::Parse(c.text, "bench.json");
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const ScenarioError& error) {
            const std::string message = error.what();
            const std::string place = "bench.json:" + std::to_string(c.line) + ": ";
            EXPECT_EQ(place, message.substr(0, place.size())) << message;
            for (const char* parserOwn : {"json.exception", "column"})
                EXPECT_EQ(std::string::npos, message.find(parserOwn)) << message;
        }
    }
}

struct FaultCase {
    const char* text;
    void (*read)(const ScenarioNode& root);
    const char* message;
};
const FaultCase faultCases[] = {
    {"{\"phones\": [\n {\"model\": \"K7\"}]}",
     [](const ScenarioNode& r) { r.field("phones").items()[0].field("esn"); },
     "bench.json:2: phones[0]: missing field \"esn\""},
    {"{}", [](const ScenarioNode& r) { r.field("ports"); }, "bench.json:1: missing field \"ports\""},
    {"{\"ports\": [{\"baudRates\": [9600,\n \"fast\"]}]}",
     [](const ScenarioNode& r) {
         r.field("ports").items()[0].field("baudRates").items()[1].asInteger<long>();
     },
     "bench.json:2: ports[0].baudRates[1]: expected a number"},
    {"{\"baud\": 7}", [](const ScenarioNode& r) { r.field("baud").asInteger(300L, 115200L); },
     "bench.json:1: baud: expected a number from 300 to 115200"},
    {"{\"baud\": 115201}", [](const ScenarioNode& r) { r.field("baud").asInteger(300L, 115200L); },
     "bench.json:1: baud: expected a number from 300 to 115200"},
    {"{\"esn\": 4294967296}", [](const ScenarioNode& r) { r.field("esn").asInteger<unsigned long>(); },
     "bench.json:1: esn: expected a number from 0 to 4294967295"},
    {"{\"esn\": 18446744073709551616}",
     [](const ScenarioNode& r) { r.field("esn").asInteger<unsigned long>(); },
     "bench.json:1: esn: expected a number from 0 to 4294967295"},
    {"{\"esn\": -1}", [](const ScenarioNode& r) { r.field("esn").asInteger<unsigned long>(); },
     "bench.json:1: esn: expected a number from 0 to 4294967295"},
    {"{\"baud\": 9600.5}", [](const ScenarioNode& r) { r.field("baud").asInteger<long>(); },
     "bench.json:1: baud: expected a whole number"},
    {"{\"label\": 5}", [](const ScenarioNode& r) { r.field("label").asString(); },
     "bench.json:1: label: expected a string"},
    {"{\"enabled\": \"yes\"}", [](const ScenarioNode& r) { r.field("enabled").asBool(); },
     "bench.json:1: enabled: expected true or false"},
    {"{\"ports\": {}}", [](const ScenarioNode& r) { r.field("ports").items(); },
     "bench.json:1: ports: expected an array"},
    {"[{\"esn\": 1}]", [](const ScenarioNode& r) { r.field("esn"); }, "bench.json:1: expected an object"},
    {"{\"phones\": [\n {\"esn\": 1,\n  \"modle\": \"K7\"}]}",
     [](const ScenarioNode& r) {
         r.field("phones").items()[0].expectFields({"esn", "model"});
     },
     "bench.json:3: phones[0]: unknown field \"modle\""},
    {"{\"phones\": [\n {\"esn\": 1,\n  \"esn\": 2}]}", nullptr,
     "bench.json:3: phones[0]: duplicate field \"esn\""},
    {"{\"name\": \"\\u0101\"}", [](const ScenarioNode& r) { r.field("name").asString(); },
     "bench.json:1: name: text has characters outside the system code page"},
    {"{\"name\": \"\\ud83d\\ude00\"}", [](const ScenarioNode& r) { r.field("name").asString(); },
     "bench.json:1: name: text has characters outside the system code page"},
    {"{\"port\": 3}", [](const ScenarioNode& r) { r.field("port").fail("no such port"); },
     "bench.json:1: port: no such port"},
};

TEST(ScenarioDocument, FaultNamesFileLineAndField) {
    for (const FaultCase& c : faultCases) {
        try {
            const ScenarioDocument document = ScenarioDocument::Parse(c.text, "bench.json");
            if (c.read)
                c.read(document.root());
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const ScenarioError& error) {
            EXPECT_STREQ(c.message, error.what());
        }
    }
}

// The file is UTF-8; the library's texts are in the system code page (1252 in the test prefix).
struct TextCase {
    const char* json;
    const char* expected;
};
const TextCase textCases[] = {
    {R"("USB \u2013 diag")", "USB \x96 diag"},
    {"\"USB \xe2\x80\x93 diag\"", "USB \x96 diag"},
    {R"("\u20ac \u00e9")", "\x80 \xe9"},
    {R"("tab\there \"q\"")", "tab\there \"q\""},
    {R"("")", ""},
};

TEST(ScenarioDocument, TextConvertedToSystemCodePage) {
    for (const TextCase& c : textCases)
        EXPECT_EQ(c.expected, ScenarioDocument::Parse(c.json, "bench.json").root().asString()) << c.json;
}

TEST(ScenarioDocument, LoadNamesThePathInEveryMessage) {
    char directory[MAX_PATH];
    ASSERT_NE(0u, ::GetTempPathA(MAX_PATH, directory));
    const std::string path = std::string(directory) + "scenario-reader-test.json";
    // A byte-order mark, as editors on Windows often write one.
    std::ofstream(path, std::ios::binary) << "\xef\xbb\xbf{\r\n  \"ports\": [\r\n    1, \"two\"]}";
    const ScenarioDocument document = ScenarioDocument::Load(path);
    try {
        document.root().field("ports").items()[1].asInteger<long>();
        ADD_FAILURE() << "no error";
    } catch (const ScenarioError& error) {
        EXPECT_EQ(path + ":3: ports[1]: expected a number", error.what());
    }
    ::DeleteFileA(path.c_str());
    try {
        ScenarioDocument::Load(path);
        ADD_FAILURE() << "no error";
    } catch (const ScenarioError& error) {
        const std::string expected = path + ": cannot read the file: ";
        EXPECT_EQ(expected, std::string(error.what()).substr(0, expected.size())) << error.what();
    }
}

} // namespace
