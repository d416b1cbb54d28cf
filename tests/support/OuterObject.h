#pragma once

#include <objbase.h>
#include <wrl/client.h>

namespace TestSupport {

// A minimal outer object for aggregation tests: it owns the inner unknown, exposes the
// inner object's interfaces as its own and counts its own references.
class OuterObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner->QueryInterface(iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;
    Microsoft::WRL::ComPtr<IUnknown> inner;
};

} // namespace TestSupport
