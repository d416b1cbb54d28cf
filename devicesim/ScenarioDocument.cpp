#include "devicesim/ScenarioDocument.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Win32/Unique.h"

#include <nlohmann/json.hpp>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <type_traits>

namespace Sim {

namespace {

// Scenario files are UTF-8; texts inside the library are 8-bit in the system code page.
// Returns false when a character has no exact equivalent there ('?' stands in for it).
bool toCodePage(std::string_view utf8, std::string& text) {
    text.clear();
    if (utf8.empty())
        return true;
    const int source = static_cast<int>(utf8.size());
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), source, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), source, wide.data(), wideLength);
    // Without WC_NO_BEST_FIT_CHARS the system would quietly turn "ā" into "a".
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr,
                                             0, nullptr, nullptr);
    text.resize(static_cast<size_t>(length));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, text.data(), length, nullptr,
                          &usedDefault);
    return !usedDefault;
}

// Names from the file appear in messages, which are 8-bit too.
std::string printable(std::string_view utf8) {
    std::string text;
    toCodePage(utf8, text);
    return text;
}

// The reverse, for writing: every 8-bit text has a UTF-16 equivalent, so nothing is lost.
std::string toUtf8(std::string_view text) {
    if (text.empty())
        return {};
    const int source = static_cast<int>(text.size());
    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), source, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), source, wide.data(), wideLength);
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string quotedName(std::string_view utf8) {
    return '"' + printable(utf8) + '"';
}

// The line breaks the lexer has taken from the text. It reads one character past a number
// before it reports the number, so the last character taken never counts toward a value's line.
struct LineCount {
    int breaks = 0;
    bool lastWasBreak = false;

    int line() const { return 1 + breaks - (lastWasBreak ? 1 : 0); }
};

class CountingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator(const char* position, LineCount* count)
        : m_position(position)
        , m_count(count) {}

    const char& operator*() const { return *m_position; }
    CountingIterator& operator++() {
        m_count->lastWasBreak = *m_position++ == '\n';
        m_count->breaks += m_count->lastWasBreak ? 1 : 0;
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return m_position == other.m_position; }

private:
    const char* m_position;
    LineCount* m_count;
};

// The lexer reports how many characters it had read, the offending one included.
int lineAt(std::string_view text, size_t charactersRead) {
    const size_t end = std::min(charactersRead > 0 ? charactersRead - 1 : 0, text.size());
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

// nlohmann leads with its own id and position ("[json.exception.parse_error.101] parse error at
// line 3, column 2: "); the position is given our way instead.
std::string syntaxProblem(std::string_view what) {
    if (const size_t id = what.find("] "); what.starts_with('[') && id != what.npos)
        what.remove_prefix(id + 2);
    if (const size_t colon = what.find(": "); what.starts_with("parse error") && colon != what.npos)
        what.remove_prefix(colon + 2);
    return std::string(what);
}

} // namespace

ScenarioError::ScenarioError(const std::string& file, int line, const std::string& path,
                             const std::string& problem)
    : Lang::Exception({}, line > 0 ? file + ':' + std::to_string(line) : file) {
    SetMessage(GetContext() + ": " + (path.empty() ? "" : path + ": ") + problem);
}

// Builds the tree from nlohmann's SAX events, giving each value the line the lexer is on.
// nlohmann's parser keeps its own nesting on the heap; MaxDepth keeps ours shallow.
class ScenarioReader {
public:
    ScenarioReader(std::string name, std::string_view text, const LineCount& lines)
        : m_file(std::make_shared<const std::string>(std::move(name)))
        , m_text(text)
        , m_lines(lines) {}

    std::unique_ptr<ScenarioNode> root = std::make_unique<ScenarioNode>();

    bool null() {
        add(ScenarioNode::Kind::Null);
        return true;
    }
    bool boolean(bool value) {
        add(ScenarioNode::Kind::Boolean).m_boolean = value;
        return true;
    }
    bool number_integer(std::int64_t value) {
        add(ScenarioNode::Kind::Integer).m_integer = value;
        return true;
    }
    bool number_unsigned(std::uint64_t value) {
        // Beyond every range a caller can ask for, so saturating keeps the range check right.
        const auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        add(ScenarioNode::Kind::Integer).m_integer = static_cast<std::int64_t>(std::min(value, largest));
        return true;
    }
    bool number_float(double value, const std::string&) {
        // A whole number is one however it is written ("1e2", "100.0"), and one too long for 64 bits
        // deserves "out of range" rather than "not whole". nlohmann refuses infinities itself.
        if (value != std::floor(value)) {
            add(ScenarioNode::Kind::Real);
            return true;
        }
        constexpr double within = 9.2e18; // below 2^63, so the conversion is exact and defined
        if (value < -within)
            return number_integer(std::numeric_limits<std::int64_t>::min());
        if (value > within)
            return number_unsigned(UINT64_MAX);
        return number_integer(static_cast<std::int64_t>(value));
    }
    bool string(std::string& value) {
        add(ScenarioNode::Kind::String).m_text = std::move(value);
        return true;
    }
    bool binary(nlohmann::json::binary_t&) { return false; } // JSON text has no binary values

    bool start_object(size_t) {
        open(ScenarioNode::Kind::Object);
        return true;
    }
    bool key(std::string& name) {
        const ScenarioNode& object = *m_open.back();
        if (std::find(object.m_names.begin(), object.m_names.end(), name) != object.m_names.end())
            throw ScenarioError(*m_file, m_lines.line(), openPath(), "duplicate field " + quotedName(name));
        m_name = std::move(name);
        return true;
    }
    bool start_array(size_t) {
        open(ScenarioNode::Kind::Array);
        return true;
    }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool parse_error(size_t charactersRead, const std::string&, const nlohmann::detail::exception& error) {
        throw ScenarioError(*m_file, lineAt(m_text, charactersRead), {}, syntaxProblem(error.what()));
    }

private:
    void open(ScenarioNode::Kind kind) {
        if (m_open.size() == ScenarioDocument::MaxDepth)
            throw ScenarioError(*m_file, m_lines.line(), openPath(),
                                "nested deeper than " + std::to_string(ScenarioDocument::MaxDepth) +
                                    " levels");
        m_open.push_back(&add(kind));
    }

    std::string openPath() const {
        const std::vector<const ScenarioNode*> chain(m_open.begin(), m_open.end());
        return ScenarioNode::pathThrough(chain);
    }

    bool close() {
        m_open.pop_back();
        return true;
    }

    // Pointers into the tree stay valid: only the innermost open container grows.
    ScenarioNode& add(ScenarioNode::Kind kind) {
        ScenarioNode* node = root.get();
        if (!m_open.empty()) {
            ScenarioNode& parent = *m_open.back();
            if (parent.m_kind == ScenarioNode::Kind::Object)
                parent.m_names.push_back(std::move(m_name));
            node = &parent.m_children.emplace_back();
        }
        node->m_file = m_file;
        node->m_line = m_lines.line();
        node->m_kind = kind;
        return *node;
    }

    std::shared_ptr<const std::string> m_file;
    std::string_view m_text;
    const LineCount& m_lines;
    std::vector<ScenarioNode*> m_open;
    std::string m_name;
};

std::string ScenarioNode::pathThrough(std::span<const ScenarioNode* const> chain) {
    std::string path;
    for (size_t i = 1; i < chain.size(); ++i) {
        const ScenarioNode& parent = *chain[i - 1];
        const auto index = static_cast<size_t>(chain[i] - parent.m_children.data());
        if (parent.m_kind == Kind::Object)
            path += (path.empty() ? "" : ".") + printable(parent.m_names[index]);
        else
            path += '[' + std::to_string(index) + ']';
    }
    return path;
}

std::string ScenarioNode::path() const {
    std::vector<const ScenarioNode*> chain;
    for (const ScenarioNode* node = this; node; node = node->m_parent)
        chain.push_back(node);
    std::reverse(chain.begin(), chain.end());
    return pathThrough(chain);
}

const ScenarioNode* ScenarioNode::optionalField(std::string_view name) const {
    if (m_kind != Kind::Object)
        fail("expected an object");
    const auto found = std::find(m_names.begin(), m_names.end(), name);
    return found == m_names.end() ? nullptr : &m_children[static_cast<size_t>(found - m_names.begin())];
}

const ScenarioNode& ScenarioNode::field(std::string_view name) const {
    if (const ScenarioNode* value = optionalField(name))
        return *value;
    fail("missing field " + quotedName(name));
}

void ScenarioNode::expectFields(std::initializer_list<std::string_view> allowed,
                                std::initializer_list<std::string_view> alsoAllowed) const {
    if (m_kind != Kind::Object)
        fail("expected an object");
    const auto listed = [&](std::string_view name) {
        return std::find(allowed.begin(), allowed.end(), name) != allowed.end() ||
               std::find(alsoAllowed.begin(), alsoAllowed.end(), name) != alsoAllowed.end();
    };
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (!listed(m_names[i]))
            throw ScenarioError(*m_file, m_children[i].m_line, path(),
                                "unknown field " + quotedName(m_names[i]));
    }
}

std::span<const ScenarioNode> ScenarioNode::items() const {
    if (m_kind != Kind::Array)
        fail("expected an array");
    return m_children;
}

bool ScenarioNode::asBool() const {
    if (m_kind != Kind::Boolean)
        fail("expected true or false");
    return m_boolean;
}

std::string ScenarioNode::asString() const {
    if (m_kind != Kind::String)
        fail("expected a string");
    std::string text;
    if (!toCodePage(m_text, text))
        fail("text has characters outside the system code page");
    return text;
}

std::int64_t ScenarioNode::integerIn(std::int64_t min, std::int64_t max) const {
    if (m_kind == Kind::Real)
        fail("expected a whole number");
    if (m_kind != Kind::Integer)
        fail("expected a number");
    if (m_integer < min || m_integer > max)
        fail("expected a number from " + std::to_string(min) + " to " + std::to_string(max));
    return m_integer;
}

void ScenarioNode::fail(const std::string& problem) const {
    throw ScenarioError(m_file ? *m_file : std::string(), m_line, path(), problem);
}

ScenarioDocument ScenarioDocument::Parse(std::string_view text, const std::string& name) {
    LineCount lines;
    ScenarioReader reader(name, text, lines);
    nlohmann::json::sax_parse(CountingIterator(text.data(), &lines),
                              CountingIterator(text.data() + text.size(), &lines), &reader);
    // The parents move while their own parents grow, so they are named once all stand still.
    std::vector<ScenarioNode*> pending{reader.root.get()};
    while (!pending.empty()) {
        ScenarioNode* const parent = pending.back();
        pending.pop_back();
        for (ScenarioNode& child : parent->m_children) {
            child.m_parent = parent;
            if (!child.m_children.empty())
                pending.push_back(&child);
        }
    }
    ScenarioDocument document;
    document.m_root = std::move(reader.root);
    return document;
}

// A value in nlohmann's form, whose ordered objects keep the members in the order given.
class ScenarioWriter {
public:
    static nlohmann::ordered_json tree(const ScenarioValue& value) {
        return std::visit(
            [](const auto& held) -> nlohmann::ordered_json {
                using Held = std::decay_t<decltype(held)>;
                if constexpr (std::is_same_v<Held, std::string>) {
                    return toUtf8(held);
                } else if constexpr (std::is_same_v<Held, ScenarioValue::Array>) {
                    nlohmann::ordered_json items = nlohmann::ordered_json::array();
                    for (const ScenarioValue& item : held)
                        items.push_back(tree(item));
                    return items;
                } else if constexpr (std::is_same_v<Held, ScenarioValue::Object>) {
                    nlohmann::ordered_json members = nlohmann::ordered_json::object();
                    for (const auto& [name, member] : held)
                        members[toUtf8(name)] = tree(member);
                    return members;
                } else {
                    return held;
                }
            },
            value.m_value);
    }
};

std::string ScenarioValue::json() const {
    return ScenarioWriter::tree(*this).dump(-1, ' ', true);
}

ScenarioDocument ScenarioDocument::Load(const std::string& path) {
    const auto unreadable = [&path] {
        return ScenarioError(
            path, 0, {}, "cannot read the file: " + Lang::ErrorText(HRESULT_FROM_WIN32(::GetLastError())));
    };
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw unreadable();
    const Win32::UniqueHandle file(handle);
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    do {
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
            throw unreadable();
        text.append(buffer, read);
    } while (read > 0);
    return Parse(text, path);
}

} // namespace Sim
