#pragma once

#include "foundation/Lang/Exception.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace Sim {

// A scenario that cannot be used as written. The message names the file, the line and the
// field, so that whoever wrote the scenario can go straight to it:
// "bench.json:42: ports[3].baudRates[1]: expected a number".
class ScenarioError : public Lang::Exception {
public:
    ScenarioError(const std::string& file, int line, const std::string& path, const std::string& problem);
};

// One value of a scenario file with the line it starts on. Every typed read either gives the
// value or raises ScenarioError. Nodes point to their parents, so that they are not copied.
class ScenarioNode {
public:
    enum class Kind { Null, Boolean, Integer, Real, String, Array, Object };

    ScenarioNode() = default;
    ScenarioNode(ScenarioNode&&) noexcept = default;
    ScenarioNode& operator=(ScenarioNode&&) noexcept = default;
    ScenarioNode(const ScenarioNode&) = delete;
    ScenarioNode& operator=(const ScenarioNode&) = delete;

    Kind kind() const { return m_kind; }
    int line() const { return m_line; }
    // From the root ("ports[3].label"), built when asked: a node keeps no text of its own for
    // it, so a large file costs memory in proportion to its size.
    std::string path() const;

    const ScenarioNode& field(std::string_view name) const;
    const ScenarioNode* optionalField(std::string_view name) const;
    // A misspelt field would otherwise be silently ignored and its default used instead.
    // Fields outside both lists are refused (the second list is for shared field sets).
    void expectFields(std::initializer_list<std::string_view> allowed,
                      std::initializer_list<std::string_view> alsoAllowed = {}) const;

    std::span<const ScenarioNode> items() const;
    bool asBool() const;
    // 8-bit in the system code page, as texts are inside the library; a character that has no
    // exact equivalent there is refused rather than shown as '?'.
    std::string asString() const;

    // The device server's numbers are 32-bit (long, ULONG, ESNs), so wider types are not offered.
    template <std::integral T>
    T asInteger(T min = std::numeric_limits<T>::min(), T max = std::numeric_limits<T>::max()) const {
        static_assert(sizeof(T) <= 4);
        return static_cast<T>(integerIn(min, max));
    }

    // For the simulator's own checks (an unknown port type, a reference to a missing phone), so
    // that they name the place the same way.
    [[noreturn]] void fail(const std::string& problem) const;

private:
    friend class ScenarioReader;
    friend class ScenarioDocument;

    // The path through `chain`, which runs from the root to the node named, each a child of the
    // one before it.
    static std::string pathThrough(std::span<const ScenarioNode* const> chain);
    std::int64_t integerIn(std::int64_t min, std::int64_t max) const;

    const ScenarioNode* m_parent = nullptr; // set once the whole tree stands
    std::shared_ptr<const std::string> m_file;
    int m_line = 0;
    Kind m_kind = Kind::Null;
    bool m_boolean = false;
    std::int64_t m_integer = 0;
    std::string m_text;               // UTF-8, as in the file
    std::vector<std::string> m_names; // of an object's members, in step with m_children
    std::vector<ScenarioNode> m_children;
};

// A whole scenario file, read completely before anything of it is used: a file that does not
// read, parse, hold unique field names or stay within MaxDepth raises ScenarioError and gives
// no document at all.
class ScenarioDocument {
public:
    // Arrays and objects inside one another, the outermost counted: a scenario needs a handful,
    // and a bound keeps the parse and the tree's teardown off deep recursion.
    static constexpr size_t MaxDepth = 64;

    static ScenarioDocument Load(const std::string& path);
    static ScenarioDocument Parse(std::string_view text, const std::string& name);

    const ScenarioNode& root() const { return *m_root; }

private:
    std::unique_ptr<ScenarioNode> m_root; // its children point to it, so it stays where it is
};

// A value to write in a scenario's form, so that what the simulator hands out reads back with
// ScenarioDocument. Texts are 8-bit in the system code page, as the state holds them; objects
// keep their members in the order given.
class ScenarioValue {
public:
    using Array = std::vector<ScenarioValue>;
    using Object = std::vector<std::pair<std::string, ScenarioValue>>;

    ScenarioValue(bool value)
        : m_value(value) {}
    template <std::integral T>
    requires(!std::same_as<T, bool>) ScenarioValue(T value)
        : m_value(static_cast<std::int64_t>(value)) {}
    ScenarioValue(std::string text)
        : m_value(std::move(text)) {}
    // Or a literal would be taken for a bool.
    ScenarioValue(const char* text)
        : m_value(std::string(text)) {}
    ScenarioValue(Array items)
        : m_value(std::move(items)) {}
    ScenarioValue(Object members)
        : m_value(std::move(members)) {}

    // JSON text on one line, every character beyond ASCII escaped, so that it stays the same
    // text through a BSTR and back in any code page.
    std::string json() const;

private:
    friend class ScenarioWriter;

    std::variant<bool, std::int64_t, std::string, Array, Object> m_value;
};

} // namespace Sim
