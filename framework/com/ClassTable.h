#pragma once

#include "framework/com/ClassFactory.h"
#include "framework/com/ComObject.h"

#include <wrl/client.h>

#include <mutex>
#include <span>
#include <vector>

namespace Fw {

struct ClassEntry {
    const CLSID* clsid;
    UINT registryScript;
    ClassFactory::Creator creator;
};

template <class T>
constexpr ClassFactory::Creator CreatorOf = &Object<T>::Create;

// The module's classes in table order: class objects are made on first request and kept;
// registration and unregistration walk the table and stop at the first failure.
class ClassTable {
public:
    explicit ClassTable(std::span<const ClassEntry> entries);

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv);
    // An object of a class of the table, made by its creator without a class object.
    HRESULT CreateObject(REFCLSID clsid, REFIID iid, void** ppv) const;
    HRESULT RegisterClasses() const;
    HRESULT UnregisterClasses() const;
    void ReleaseClassObjects();

private:
    std::span<const ClassEntry> m_entries;
    // Each apartment of a host may ask for a class object at the same time.
    std::mutex m_lock;
    std::vector<Microsoft::WRL::ComPtr<IClassFactory>> m_classObjects;
};

} // namespace Fw
