#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace Fw {

class ClassTable;

// What the component module knows about itself: where it was loaded from, its classes, and
// how many objects and server locks keep it loaded.
class Module {
public:
    static Module& Current();

    void Attach(HINSTANCE instance);
    HINSTANCE Instance() const { return m_instance; }
    std::string Path() const;
    std::string Folder() const;
    // A string of the module's string table; empty when there is none with that id.
    std::string String(UINT id) const;

    // The module's own classes. Composite controls create their children from them, in
    // process and without the registry, so that a child is always this module's own class.
    // Answers the table set before.
    ClassTable* SetClasses(ClassTable* classes);
    // CLASS_E_CLASSNOTAVAILABLE for a class the table lacks or does not build yet, or
    // when no table was set.
    HRESULT CreateObject(REFCLSID clsid, REFIID iid, void** ppv) const;

    // Raised by every live object and every server lock; DllCanUnloadNow reads it.
    LONG Lock() { return ++m_lockCount; }
    LONG Unlock() { return --m_lockCount; }
    LONG LockCount() const { return m_lockCount; }

private:
    HINSTANCE m_instance = ::GetModuleHandleA(nullptr);
    ClassTable* m_classes = nullptr;
    std::atomic<LONG> m_lockCount{0};
};

} // namespace Fw
