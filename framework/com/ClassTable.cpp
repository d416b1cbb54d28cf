#include "framework/com/ClassTable.h"

#include "framework/registration/Registrar.h"

#include <new>

namespace Fw {

ClassTable::ClassTable(std::span<const ClassEntry> entries)
    : m_entries(entries)
    , m_classObjects(entries.size()) {}

HRESULT ClassTable::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const ClassEntry& entry = m_entries[i];
        if (!::InlineIsEqualGUID(*entry.clsid, clsid))
            continue;
        const std::lock_guard lock(m_lock);
        if (!m_classObjects[i]) {
            auto* factory = new (std::nothrow) ClassFactory(entry.creator);
            if (!factory)
                return E_OUTOFMEMORY;
            m_classObjects[i] = factory;
        }
        return m_classObjects[i]->QueryInterface(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ClassTable::CreateObject(REFCLSID clsid, REFIID iid, void** ppv) const {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const ClassEntry& entry : m_entries)
        if (::InlineIsEqualGUID(*entry.clsid, clsid))
            return entry.creator(nullptr, iid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ClassTable::RegisterClasses() const {
    for (const ClassEntry& entry : m_entries)
        if (const HRESULT status = RunRegistryScript(entry.registryScript, true); FAILED(status))
            return status;
    return S_OK;
}

HRESULT ClassTable::UnregisterClasses() const {
    for (const ClassEntry& entry : m_entries)
        if (const HRESULT status = RunRegistryScript(entry.registryScript, false); FAILED(status))
            return status;
    return S_OK;
}

void ClassTable::ReleaseClassObjects() {
    for (auto& classObject : m_classObjects)
        classObject.Reset();
}

} // namespace Fw
