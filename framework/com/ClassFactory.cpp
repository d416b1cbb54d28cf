#include "framework/com/ClassFactory.h"

#include "framework/com/Module.h"

namespace Fw {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (::InlineIsEqualGUID(iid, IID_IUnknown) || ::InlineIsEqualGUID(iid, IID_IClassFactory)) {
        AddRef();
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() {
    return ++m_references;
}

ULONG ClassFactory::Release() {
    const ULONG remaining = --m_references;
    if (remaining == 0)
        delete this;
    return remaining;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv) {
    return m_creator(outer, iid, ppv);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        Module::Current().Lock();
    else
        Module::Current().Unlock();
    return S_OK;
}

} // namespace Fw
