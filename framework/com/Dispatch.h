#pragma once

#include "framework/com/Boundary.h"
#include "framework/com/TypeLibrary.h"

#include <oaidl.h>
#include <wrl/client.h>

namespace Fw {

// IDispatch for the dual interface I, answered from the embedded type library: names and
// arguments are resolved by the platform's ITypeInfo, which then calls the vtable entry.
template <class I>
class Dispatch : public I {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return Boundary(count, [&] { *count = 1; });
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return Boundary(info, [&] {
            if (index != 0)
                return DISP_E_BADINDEX;
            return Microsoft::WRL::ComPtr<ITypeInfo>(TypeLibrary::TypeInfoOf(__uuidof(I))).CopyTo(info);
        });
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return Boundary([&] {
            if (!::InlineIsEqualGUID(iid, IID_NULL))
                return DISP_E_UNKNOWNINTERFACE;
            return ::DispGetIDsOfNames(TypeLibrary::TypeInfoOf(__uuidof(I)), names, count, ids);
        });
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        return Boundary([&] {
            if (!::InlineIsEqualGUID(iid, IID_NULL))
                return DISP_E_UNKNOWNINTERFACE;
            return TypeLibrary::TypeInfoOf(__uuidof(I))
                ->Invoke(static_cast<I*>(this), id, flags, parameters, result, exception, badArgument);
        });
    }
};

} // namespace Fw
