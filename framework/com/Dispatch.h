#pragma once

#include "framework/com/Boundary.h"
#include "framework/com/ObjectReferenceArguments.h"
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
        // The platform's resolver reads both arrays unchecked.
        if (count && (!names || !ids))
            return E_POINTER;
        return Boundary([&] {
            if (!::InlineIsEqualGUID(iid, IID_NULL))
                return DISP_E_UNKNOWNINTERFACE;
            return ::DispGetIDsOfNames(TypeLibrary::TypeInfoOf(__uuidof(I)), names, count, ids);
        });
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        if (!parameters || (parameters->cArgs && !parameters->rgvarg) ||
            (parameters->cNamedArgs && !parameters->rgdispidNamedArgs))
            return E_POINTER;
        HRESULT invoked = S_OK;
        const HRESULT status = Boundary([&] {
            if (!::InlineIsEqualGUID(iid, IID_NULL))
                return DISP_E_UNKNOWNINTERFACE;
            ITypeInfo* info = TypeLibrary::TypeInfoOf(__uuidof(I));
            const ObjectReferenceArguments references(info, id, flags, *parameters);
            invoked = info->Invoke(static_cast<I*>(this), id, flags, parameters, result, exception, badArgument);
            // The member described its own failure: a description of DISP_E_EXCEPTION would
            // replace it with "Exception occurred."
            return invoked == DISP_E_EXCEPTION ? S_OK : invoked;
        });
        if (invoked != DISP_E_EXCEPTION || status != S_OK)
            return status;
        KeepMemberError(exception);
        return DISP_E_EXCEPTION;
    }
};

} // namespace Fw
