#pragma once

#include "foundation/Lang/Trace.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a test changes beyond itself, put back when the guard goes: a failed ASSERT leaves the
// test body at once, and whatever it left changed would meet the next case of the process.
namespace TestSupport {

// A setting made through a setter that answers the one it replaces:
//     const TestSupport::Scoped report(Lang::SetAssertionReport, Lang::AssertionReport::Log);
template <class Value>
class Scoped {
public:
    template <class Setter>
    Scoped(Setter setter, Value value)
        : m_set(std::move(setter))
        , m_previous(m_set(std::move(value))) {}
    ~Scoped() { m_set(std::move(m_previous)); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

private:
    std::function<Value(Value)> m_set;
    Value m_previous;
};

// The trace lines written while it lives, kept here instead of written out.
class TraceCapture {
public:
    std::vector<std::string> lines;

private:
    Scoped<Lang::TraceSink> m_sink{Lang::SetTraceSink, [this](const char* line) { lines.emplace_back(line); }};
};

// One key of this thread's keyboard state, down or up, as GetKeyState tells a handler (Shift
// with a click or a Tab).
class ScopedKey {
public:
    ScopedKey(BYTE key, bool down)
        : m_key(key) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        m_previous = std::exchange(keys[key], down ? 0x80 : 0);
        ::SetKeyboardState(keys);
    }
    ~ScopedKey() {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[m_key] = m_previous;
        ::SetKeyboardState(keys);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

private:
    BYTE m_key;
    BYTE m_previous = 0;
};

// A file of the temporary folder holding `content`, deleted when the guard goes.
class ScratchFile {
public:
    ScratchFile(const std::string& name, const std::string& content);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace TestSupport
