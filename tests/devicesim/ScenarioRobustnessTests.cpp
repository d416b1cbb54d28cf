// Scenario files nobody meant to write: too deep, too long, mangled. Each one loads or is refused
// with "file:line: ...", whatever it holds; nothing else escapes the reader and nothing crashes it.
#include "devicesim/ScenarioDocument.h"
#include "devicesim/ScenarioLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using Sim::ScenarioDocument;
using Sim::ScenarioError;

namespace {

std::string repeated(std::string_view piece, size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

// Quotes are written as ' so that the rows read as the files do.
std::string quoted(std::string text) {
    std::replace(text.begin(), text.end(), '\'', '"');
    return text;
}

// "loaded", or what the refusal says after "<name>:". Anything else thrown fails the test.
template <class Load>
std::string outcome(const std::string& name, Load load) {
    try {
        load();
        return "loaded";
    } catch (const ScenarioError& error) {
        const std::string message = error.what();
        EXPECT_EQ(name + ':', message.substr(0, name.size() + 1));
        return message.substr(std::min(name.size() + 1, message.size()));
    } catch (const std::exception& other) {
        ADD_FAILURE() << "not a ScenarioError: " << other.what();
    } catch (...) {
        ADD_FAILURE() << "not a ScenarioError";
    }
    return "(other failure)";
}

std::string scenarioOutcome(const std::string& text) {
    return outcome("edge.json", [&] { Sim::ParseScenario(text, "edge.json"); });
}

// Expected "loaded", a whole refusal, or only its beginning (ending ": ", where the wording after
// the line is the parser's own).
void expectOutcome(const std::string& expected, const std::string& actual, const std::string& row) {
    EXPECT_EQ(expected, expected.ends_with(": ") ? actual.substr(0, expected.size()) : actual) << row;
}

// Nesting `depth` containers deep, each opened on a line of its own below the root's, so that
// level n starts on line n; every level is one step "a" or "[0]" below the one before.
std::string nested(size_t depth, bool objects) {
    std::string text = "{\"a\":";
    for (size_t level = 2; level <= depth; ++level)
        text += objects ? "\n{\"a\":" : "\n[";
    return text + " 0" + repeated(objects ? "}" : "]", depth - 1) + "}";
}

TEST(ScenarioRobustness, NestingBeyondTheLimitIsRefusedWhereItStarts) {
    const size_t limit = ScenarioDocument::MaxDepth;
    struct Row {
        size_t depth;
        bool objects;
    };
    // 7,000 levels once overflowed the stack, 100,000 took gigabytes.
    const Row rows[] = {{limit, false},    {limit, true},   {limit + 1, false},
                        {limit + 1, true}, {10'000, false}, {100'000, true}};
    for (const Row& row : rows) {
        const std::string expected = row.depth <= limit
                                         ? "loaded"
                                         : std::to_string(limit + 1) + ": a" +
                                               repeated(row.objects ? ".a" : "[0]", limit - 2) +
                                               ": nested deeper than " + std::to_string(limit) + " levels";
        EXPECT_EQ(expected,
                  outcome("deep.json",
                          [&] { ScenarioDocument::Parse(nested(row.depth, row.objects), "deep.json"); }))
            << row.depth << (row.objects ? " objects" : " arrays");
    }
    // Through the loader, as the simulator reads a scenario.
    EXPECT_EQ(std::to_string(limit + 1) + ": ",
              scenarioOutcome(nested(10'000, false)).substr(0, std::to_string(limit + 1).size() + 2));
}

// The place of a fault is worked out when it is raised, from the values around it.
TEST(ScenarioRobustness, FaultDeepInALargeFileNamesItsPlace) {
    // A value at the deepest level allowed, under objects and arrays in turn, each a later item.
    std::string deep = "5";
    std::string expectedPath;
    for (size_t level = 1; level < ScenarioDocument::MaxDepth; level += 2) {
        const std::string key = "k" + std::to_string(level);
        deep = "{\"" + key + "\": [0, " + deep + "], \"z\": 1}";
        expectedPath = key + "[1]" + (expectedPath.empty() ? "" : "." + expectedPath);
    }
    const ScenarioDocument document = ScenarioDocument::Parse(deep, "deep.json");
    const Sim::ScenarioNode* node = &document.root();
    for (size_t level = ScenarioDocument::MaxDepth - 1; node->kind() == Sim::ScenarioNode::Kind::Object;
         level -= 2)
        node = &node->field("k" + std::to_string(level)).items()[1];
    EXPECT_EQ("1: " + expectedPath + ": expected a string", outcome("deep.json", [&] { node->asString(); }));

    // 100,000 sections, one a line below the port; the last one good or not.
    const std::string head = "{'ports': [{'id': 1, 'name': 'COM1', 'link': 'usb', 'zelkor': {'sections': [\n";
    for (const char* last : {"'s'", "7"}) {
        const std::string text = quoted(head + repeated("'s',\n", 99'999) + last + "]}}]}");
        Sim::SimState state;
        const std::string actual =
            outcome("flat.json", [&] { state = Sim::ParseScenario(text, "flat.json"); });
        if (last[0] == '7') {
            EXPECT_EQ("100001: ports[0].zelkor.sections[99999]: expected a string", actual);
        } else {
            EXPECT_EQ("loaded", actual);
            EXPECT_EQ(100'000u, state.ports.empty() ? 0 : state.ports[0].zelkor.sections.size());
        }
    }
}

// Every id a port can have, one port a line, then a client taking the last one again.
TEST(ScenarioRobustness, EveryIdInUseIsReadAndAReuseNamesTheFirstOwner) {
    std::string text = "{\"ports\": [\n";
    for (int id = 1; id <= 32767; ++id)
        text += "{\"id\": " + std::to_string(id) + ", \"name\": \"COM" + std::to_string(id) + "\"},\n";
    text.resize(text.size() - 2);
    EXPECT_EQ("loaded", scenarioOutcome(text + "\n]}"));
    EXPECT_EQ("32769: clients[0].id: id 32767 is already used by ports[32766]",
              scenarioOutcome(text + "\n], \"clients\": [{\"id\": 32767}]}"));
}

struct EdgeCase {
    std::string text;
    std::string expected; // "loaded", or the refusal after "edge.json:"
};

std::string port(const std::string& fields) {
    return quoted("{'ports': [{'id': 1, 'name': 'COM1'" + fields + "}]}");
}

std::string portId(const std::string& id) {
    return quoted("{'ports': [{'id': " + id + ", 'name': 'COM1'}]}");
}

const std::string idRange = "1: ports[0].id: expected a number from 1 to 32767";

TEST(ScenarioRobustness, EdgeValuesLoadOrAreRefusedWhereWritten) {
    const EdgeCase rows[] = {
        {portId("32767"), "loaded"},
        {portId(repeated("9", 400)), "1: "}, // beyond a double: the parser's own refusal
        {portId("-1e-400"), idRange}, // rounds to zero, which is whole
        {portId("1e2"), "loaded"},
        {portId("3.2767e4"), "loaded"},
        {portId("null"), "1: ports[0].id: expected a number"},
        {port(", 'link': 'network', 'host': 'h', 'networkPort': 65535"), "loaded"},
        {port(", 'link': 'network', 'host': 'h', 'networkPort': 65536"),
         "1: ports[0].networkPort: expected a number from 0 to 65535"},
        {port(", 'listeners': [{'cookie': -2147483648, 'bytes': '9223372036854775807'}]"), "loaded"},
        {port(", 'listeners': [{'cookie': 1, 'bytes': '9223372036854775808'}]"),
         "1: ports[0].listeners[0].bytes: expected a byte count (a number, or decimal digits as text)"},
        {port(", 'listeners': [{'cookie': 2147483648, 'bytes': 0}]"),
         "1: ports[0].listeners[0].cookie: expected a number from -2147483648 to 2147483647"},
        {port(", 'baudRates': [{'rate': 9600, 'maskBit': 2147483648}]"), "loaded"},
        {port(", 'baudRates': [{'rate': 9600, 'maskBit': 4294967296}]"),
         "1: ports[0].baudRates[0].maskBit: expected a number from 1 to 4294967295"},
        {port(", 'label': '" + repeated("x", 4 << 20) + "'"), "loaded"},
        {port(",\n 'label': '\xc0\xaf'"), "2: "}, // overlong
        {port(",\n 'label': 'caf\xc3'"), "2: "},  // cut short
        {port(",\n '\xe2\x80': 1"), "2: "},       // in a field name
        {port(",\n 'label': '\\ud800'"), "2: "},  // lone surrogate
        {port(",\n 'label': 'a\\u0000b'"), "loaded"},
        {quoted("{'ports': [{'id': 1,\n 'name': 'CO"), "2: "},
        {quoted("{'ports': [{'id': 1,\n 'name': 'COM1'}]"), "2: "},
        {quoted("{'ports': [{'id': 1,\n 'name': 'COM1'}]}\n,"), "3: "},
        {std::string("{\"ports\": [\0]}", 14), "1: "},
        {"", "1: "},
        {"\xef\xbb", "1: "},
        {quoted("{'ports': [{'id': 1, 'name': 'COM1'}],\n 'phones': [{'id': 2, 'port': 1},\n {'id': 3, "
                "'port': 32767}]}"),
         "3: phones[1].port: no port has id 32767"},
    };
    for (const EdgeCase& row : rows)
        expectOutcome(row.expected, scenarioOutcome(row.text), row.text.substr(0, 120));
    // Past the id's range, and past what a 32- or 64-bit integer holds on the way there.
    for (const char* id :
         {"32768", "0", "-1", "-0", "2147483648", "9223372036854775807", "9223372036854775808",
          "18446744073709551616", "-9223372036854775809", "32768.0", "1e300"})
        EXPECT_EQ(idRange, scenarioOutcome(portId(id))) << id;
}

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Damages a scenario the way editors, truncated copies and generators do.
class Mutator {
public:
    explicit Mutator(unsigned seed)
        : m_random(seed) {}

    std::string operator()(std::string text) {
        for (size_t count = below(3) + 1; count > 0; --count)
            mutateOnce(text);
        return text;
    }

private:
    size_t below(size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(m_random); }
    template <size_t N>
    const char* pick(const char* const (&choices)[N]) {
        return choices[below(N)];
    }
    const std::string& pick(const std::vector<std::string>& choices) {
        return choices[below(choices.size())];
    }
    static std::vector<std::string> words(const char* text) {
        std::istringstream in(text);
        return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
    }

    void mutateOnce(std::string& text) {
        static const std::vector<std::string> numbers =
            words("0 -0 -1 32767 32768 65535 65536 2147483647 2147483648 -2147483649 4294967296 "
                  "9223372036854775807 9223372036854775808 -9223372036854775809 18446744073709551616 "
                  "1.5 1e2 -1e-400 1e308 1e999 00 1.");
        static const char* const tokens[] = {"{",    "}",    "[",           "]",           ",",
                                             ":",    "\"",   "\\",          "-",           "null",
                                             "true", "\xff", "\xc3",        "\xe2\x80",    "\xef\xbb\xbf",
                                             "\n",   "\r",   "\"\\ud800\"", "\"\\u0000\"", "\"\\u0101\""};
        static const char* const members[] = {"\"id\": 7, ",   "\"name\": \"COM1\", ",    "\"ports\": [], ",
                                              "\"port\": 1, ", "\"link\": \"network\", ", "\"zelkor\": {}, "};
        if (text.empty()) {
            text = pick(tokens);
            return;
        }
        const size_t at = below(text.size());
        switch (below(8)) {
        case 0: { // a number at one of the limits
            const size_t digit = text.find_first_of("0123456789", at);
            if (digit == text.npos)
                return;
            const size_t start = digit > 0 && text[digit - 1] == '-' ? digit - 1 : digit;
            const size_t end = text.find_first_not_of("0123456789.eE+-", digit);
            text.replace(start, (end == text.npos ? text.size() : end) - start, pick(numbers));
            break;
        }
        case 1:
            text.insert(at, pick(tokens));
            break;
        case 2:
            text.erase(at, below(64) + 1);
            break;
        case 3:
            text.resize(at);
            break;
        case 4: { // a field again, or one that does not belong
            const size_t brace = text.find('{', at);
            if (brace != text.npos)
                text.insert(brace + 1, pick(members));
            break;
        }
        case 5: { // a value buried in arrays, sometimes deeper than allowed
            const size_t digit = text.find_first_of("0123456789", at);
            const size_t depth = below(2) ? below(8) + 1 : ScenarioDocument::MaxDepth + below(200);
            if (digit != text.npos) {
                text.insert(digit + 1, std::string(depth, ']'));
                text.insert(digit, std::string(depth, '['));
            }
            break;
        }
        case 6: { // a long text, now and then with a character the code page lacks
            const size_t quote = text.find('"', at);
            if (quote != text.npos)
                text.insert(quote + 1, repeated(below(2) ? "x" : "\xc4\x81", 1 << (10 + below(7))));
            break;
        }
        default:
            text[at] = static_cast<char>(below(256));
            break;
        }
    }

    std::mt19937 m_random;
};

TEST(ScenarioRobustness, MutatedShippedScenariosLoadOrAreRefusedWithFileAndLine) {
    const std::string folder = OSTREL_SCENARIO_DIR;
    std::vector<std::string> seeds;
    for (const char* name : {"bench.json", "empty.json", "large.json"}) {
        seeds.push_back(fileText(folder + "/" + name));
        ASSERT_FALSE(seeds.back().empty()) << name;
    }
    Mutator mutate(20261206);
    int loaded = 0;
    int refused = 0;
    for (int input = 0; input < 300; ++input) {
        // The large scenario costs the most to read, so it is taken less often.
        const std::string& seed = seeds[input % 10 == 9 ? 2 : input % 2];
        const std::string text = mutate(seed);
        const std::string result = outcome("fuzz.json", [&] { Sim::ParseScenario(text, "fuzz.json"); });
        if (result == "loaded") {
            ++loaded;
            continue;
        }
        ++refused;
        const size_t digits = result.find_first_not_of("0123456789");
        const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        const int line = digits > 0 && digits < 10 ? std::stoi(result.substr(0, digits)) : 0;
        EXPECT_TRUE(line >= 1 && line <= lines && result[digits] == ':')
            << "input " << input << " (" << lines << " lines): " << result.substr(0, 200);
    }
    RecordProperty("loaded", loaded);
    RecordProperty("refused", refused);
    // Neither all refused (the loader refusing good files) nor all loaded (mutations doing nothing).
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

} // namespace
