#pragma once

#include "framework/com/Module.h"

#include <objbase.h>

#include <atomic>
#include <climits>
#include <iterator>
#include <new>

namespace Fw {

// One line of a class's interface table: the interface identifier and how to reach that
// interface from the object. QueryInterface walks the table; tests can walk it too.
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(void* object);
};

// Entry<T, I> for an interface T derives from once; Entry<T, IDispatch, IFoo> reaches an
// interface that T inherits along several paths through the one that should answer.
template <class T, class I, class Via = I>
InterfaceEntry Entry() {
    return {&__uuidof(I), [](void* object) -> IUnknown* {
                return static_cast<I*>(static_cast<Via*>(static_cast<T*>(object)));
            }};
}

// Base of every class the module creates. A class lists its interfaces in a static table
// named `interfaces` and leaves IUnknown to Object<T>, which adds identity, reference
// counting and aggregation around it.
class ObjectRoot {
public:
    // Second construction step, run with the object already counted, so that it may hand
    // out references to itself; a failure destroys the object and is returned to the creator.
    HRESULT FinalConstruct() { return S_OK; }

    // This object's own reference count, also when it is aggregated: a reference taken here
    // keeps this object alive, never its outer object. Null outside Object<T>.
    virtual IUnknown* OwnUnknown() { return nullptr; }

protected:
    ObjectRoot() = default;
    virtual ~ObjectRoot() = default;
};

template <class T>
HRESULT QueryTable(T* object, REFIID iid, void** ppv) {
    for (const InterfaceEntry& entry : T::interfaces) {
        if (::InlineIsEqualGUID(*entry.iid, iid)) {
            IUnknown* found = entry.cast(object);
            // An entry may decline: an aggregated helper that could not be made.
            if (!found)
                break;
            found->AddRef();
            *ppv = found;
            return S_OK;
        }
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The most derived class of every object: it answers IUnknown for the interfaces of T.
// Aggregation is a policy decided at creation: with an outer object, every interface of T
// delegates IUnknown to it, and the outer object alone holds the inner, non-delegating
// IUnknown that owns the object's lifetime.
template <class T>
class Object final : public T {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** ppv) {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer && !::InlineIsEqualGUID(iid, IID_IUnknown))
            return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) Object(outer);
        if (!object)
            return E_OUTOFMEMORY;
        object->m_inner.AddRef();
        HRESULT status = object->FinalConstruct();
        if (SUCCEEDED(status))
            status = object->m_inner.QueryInterface(iid, ppv);
        object->m_inner.Release();
        return status;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        return m_controlling->QueryInterface(iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_controlling->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_controlling->Release(); }
    IUnknown* OwnUnknown() override { return &m_inner; }

private:
    class Inner final : public IUnknown {
    public:
        explicit Inner(Object* object)
            : m_object(object) {}

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
            if (!ppv)
                return E_POINTER;
            if (::InlineIsEqualGUID(iid, IID_IUnknown)) {
                AddRef();
                *ppv = static_cast<IUnknown*>(this);
                return S_OK;
            }
            return QueryTable<T>(m_object, iid, ppv);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
        ULONG STDMETHODCALLTYPE Release() override {
            const ULONG remaining = --m_references;
            if (remaining == 0) {
                // Held up while the object goes, so that a reference taken and dropped by its
                // destruction (a window procedure keeping it alive) cannot end it twice.
                m_references = destroying;
                delete m_object;
            }
            return remaining;
        }

    private:
        static constexpr ULONG destroying = ULONG_MAX / 2;
        Object* m_object;
        std::atomic<ULONG> m_references{0};
    };

    explicit Object(IUnknown* outer)
        : m_inner(this)
        , m_controlling(outer ? outer : &m_inner) {
        Module::Current().Lock();
    }
    ~Object() override { Module::Current().Unlock(); }

    Inner m_inner;
    IUnknown* m_controlling;
};

} // namespace Fw
