#include "framework/registration/RegistryScript.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Exception.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"

#include <comdef.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace Fw {

namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

[[noreturn]] void Malformed(int line, const std::string& what) {
    throw Lang::Exception(what, Lang::Format("registry script line %d", line));
}

// Replaces %NAME% before tokenising. Values are inserted as quoted-string content, so a
// single quote in a path is doubled to keep the script well formed; "%%" is a literal %.
std::string Substitute(std::string_view text, const RegistryScript::Variables& variables) {
    std::string result;
    int line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            ++line;
        if (text[i] != '%') {
            result += text[i];
            continue;
        }
        const size_t end = text.find('%', i + 1);
        if (end == std::string_view::npos)
            Malformed(line, "unterminated replaceable parameter");
        const std::string_view name = text.substr(i + 1, end - i - 1);
        if (name.empty()) {
            result += '%';
        } else {
            const auto found = std::find_if(variables.begin(), variables.end(), [&](const auto& variable) {
                return SameText(variable.first, name);
            });
            if (found == variables.end())
                Malformed(line, "unknown replaceable parameter %" + std::string(name) + "%");
            for (char c : found->second)
                result += c == '\'' ? std::string("''") : std::string(1, c);
        }
        i = end;
    }
    return result;
}

struct Token {
    enum Kind { Word, Quoted, Open, Close, Equals, End } kind;
    std::string text;
    int line;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text)
        : m_text(text) {}

    // Tokens are separated by white space, as in the scripts' usual layout, so that a class
    // identifier in braces is one name; a lone {, } or = is punctuation.
    Token Next() {
        SkipSpace();
        if (m_position >= m_text.size())
            return {Token::End, {}, m_line};
        if (m_text[m_position] == '\'')
            return QuotedString();
        const size_t start = m_position;
        while (m_position < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[m_position])))
            ++m_position;
        const std::string_view word = m_text.substr(start, m_position - start);
        const Token::Kind kind = word == "{"   ? Token::Open
                                 : word == "}" ? Token::Close
                                 : word == "=" ? Token::Equals
                                               : Token::Word;
        return {kind, std::string(word), m_line};
    }

private:
    void SkipSpace() {
        while (m_position < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_position]))) {
            if (m_text[m_position] == '\n')
                ++m_line;
            ++m_position;
        }
    }

    Token QuotedString() {
        const int line = m_line;
        std::string text;
        for (++m_position; m_position < m_text.size(); ++m_position) {
            const char c = m_text[m_position];
            if (c == '\'') {
                if (m_position + 1 < m_text.size() && m_text[m_position + 1] == '\'') {
                    text += '\'';
                    ++m_position;
                    continue;
                }
                ++m_position;
                return {Token::Quoted, text, line};
            }
            if (c == '\n')
                Malformed(line, "line break inside a quoted string");
            text += c;
        }
        Malformed(line, "unterminated quoted string");
    }

    std::string_view m_text;
    size_t m_position = 0;
    int m_line = 1;
};

class Parser {
public:
    explicit Parser(std::string_view text)
        : m_tokens(text) {
        Advance();
    }

    std::vector<RegistryScript::Root> Script() {
        std::vector<RegistryScript::Root> roots;
        while (m_current.kind != Token::End) {
            if (m_current.kind != Token::Word)
                Malformed(m_current.line, "expected a root key name");
            RegistryScript::Root root{m_current.text, {}};
            Advance();
            Expect(Token::Open, "'{' after the root key name");
            while (m_current.kind != Token::Close)
                root.keys.push_back(KeyDefinition());
            Advance();
            roots.push_back(std::move(root));
        }
        return roots;
    }

private:
    void Advance() { m_current = m_tokens.Next(); }

    void Expect(Token::Kind kind, const char* what) {
        if (m_current.kind != kind)
            Malformed(m_current.line, std::string("expected ") + what);
        Advance();
    }

    std::string Name(const char* what) {
        if (m_current.kind != Token::Word && m_current.kind != Token::Quoted)
            Malformed(m_current.line, std::string("expected ") + what);
        std::string name = m_current.text;
        Advance();
        return name;
    }

    // Only string values ('s') are written by this module's scripts.
    std::string StringValue() {
        Expect(Token::Equals, "'='");
        if (m_current.kind != Token::Word || !SameText(m_current.text, "s"))
            Malformed(m_current.line, "only string values (s) are supported");
        Advance();
        if (m_current.kind != Token::Quoted)
            Malformed(m_current.line, "expected a quoted string value");
        std::string value = m_current.text;
        Advance();
        return value;
    }

    RegistryScript::Key KeyDefinition() {
        if (m_current.kind == Token::End)
            Malformed(m_current.line, "unbalanced braces: the script ends inside a key");
        RegistryScript::Key key;
        if (m_current.kind == Token::Word && SameText(m_current.text, "NoRemove")) {
            key.flag = RegistryScript::Flag::NoRemove;
            Advance();
        } else if (m_current.kind == Token::Word && SameText(m_current.text, "ForceRemove")) {
            key.flag = RegistryScript::Flag::ForceRemove;
            Advance();
        }
        key.name = Name("a key name");
        if (m_current.kind == Token::Equals) {
            key.hasDefault = true;
            key.defaultValue = StringValue();
        }
        if (m_current.kind != Token::Open)
            return key;
        Advance();
        while (m_current.kind != Token::Close) {
            if (m_current.kind == Token::Word && SameText(m_current.text, "val")) {
                Advance();
                std::string name = Name("a value name after val");
                key.values.emplace_back(std::move(name), StringValue());
            } else {
                key.keys.push_back(KeyDefinition());
            }
        }
        Advance();
        return key;
    }

    Tokenizer m_tokens;
    Token m_current{Token::End, {}, 1};
};

void SetString(HKEY key, const char* name, const std::string& value) {
    Com::ThrowIfWin32Error(::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)));
}

void RegisterKey(HKEY parent, const RegistryScript::Key& node) {
    if (node.flag == RegistryScript::Flag::ForceRemove) {
        const LSTATUS status = ::RegDeleteTreeA(parent, node.name.c_str());
        if (status != ERROR_FILE_NOT_FOUND)
            Com::ThrowIfWin32Error(status);
    }
    Win32::UniqueKey key;
    Com::ThrowIfWin32Error(::RegCreateKeyExA(parent, node.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                            key.put(), nullptr));
    if (node.hasDefault)
        SetString(key.get(), nullptr, node.defaultValue);
    for (const auto& [name, value] : node.values)
        SetString(key.get(), name.c_str(), value);
    for (const RegistryScript::Key& child : node.keys)
        RegisterKey(key.get(), child);
}

void DeleteValue(HKEY key, const char* name) {
    const LSTATUS status = ::RegDeleteValueA(key, name);
    if (status != ERROR_FILE_NOT_FOUND)
        Com::ThrowIfWin32Error(status);
}

// Innermost first: the keys and values the script names go, except NoRemove keys; a key
// that still holds keys the script does not name stays, without the values named here.
void UnregisterKey(HKEY parent, const RegistryScript::Key& node) {
    Win32::UniqueKey key;
    const LSTATUS opened = ::RegOpenKeyExA(parent, node.name.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND)
        return;
    Com::ThrowIfWin32Error(opened);
    for (const RegistryScript::Key& child : node.keys)
        UnregisterKey(key.get(), child);
    for (const auto& value : node.values)
        DeleteValue(key.get(), value.first.c_str());
    if (node.flag == RegistryScript::Flag::NoRemove)
        return;
    DWORD subkeys = 0;
    Com::ThrowIfWin32Error(::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr));
    if (subkeys != 0) {
        if (node.hasDefault)
            DeleteValue(key.get(), "");
        return;
    }
    key.reset();
    Com::ThrowIfWin32Error(::RegDeleteKeyA(parent, node.name.c_str()));
}

template <class Walk>
HRESULT WalkRoots(const std::vector<RegistryScript::Root>& roots, const RegistryScript::RootResolver& resolve,
                  Walk walk) {
    try {
        for (const RegistryScript::Root& root : roots) {
            const HKEY key = resolve(root.name);
            if (!key)
                return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
            for (const RegistryScript::Key& child : root.keys)
                walk(key, child);
        }
        return S_OK;
    } catch (const _com_error& failure) {
        return failure.Error();
    }
}

} // namespace

RegistryScript RegistryScript::Parse(std::string_view text, const Variables& variables) {
    RegistryScript script;
    script.m_roots = Parser(Substitute(text, variables)).Script();
    for (const Root& root : script.m_roots)
        if (!StandardRoot(root.name))
            Malformed(1, "unknown root key " + root.name);
    return script;
}

HKEY RegistryScript::StandardRoot(const std::string& rootName) {
    static const std::pair<const char*, HKEY> roots[] = {
        {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    };
    for (const auto& [name, key] : roots)
        if (SameText(name, rootName))
            return key;
    return nullptr;
}

HRESULT RegistryScript::Register(const RootResolver& resolve) const {
    return WalkRoots(m_roots, resolve, RegisterKey);
}

HRESULT RegistryScript::Unregister(const RootResolver& resolve) const {
    return WalkRoots(m_roots, resolve, UnregisterKey);
}

} // namespace Fw
