#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace Fw {

// What the component module knows about itself: where it was loaded from, and how many
// objects and server locks keep it loaded.
class Module {
public:
    static Module& Current();

    void Attach(HINSTANCE instance);
    HINSTANCE Instance() const { return m_instance; }
    std::string Path() const;
    std::string Folder() const;
    // A string of the module's string table; empty when there is none with that id.
    std::string String(UINT id) const;

    // Raised by every live object and every server lock; DllCanUnloadNow reads it.
    LONG Lock() { return ++m_lockCount; }
    LONG Unlock() { return --m_lockCount; }
    LONG LockCount() const { return m_lockCount; }

private:
    HINSTANCE m_instance = ::GetModuleHandleA(nullptr);
    std::atomic<LONG> m_lockCount{0};
};

} // namespace Fw
