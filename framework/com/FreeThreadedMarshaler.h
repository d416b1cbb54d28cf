#pragma once

#include "framework/com/ComObject.h"

#include <wrl/client.h>

namespace Fw {

// The system's free-threaded marshaler, aggregated: a class that answers IMarshal through it
// hands callers in other apartments its own pointer instead of a proxy. The class makes it
// in FinalConstruct and lists MarshalEntry in its table.
class FreeThreadedMarshaler {
public:
    // `self` is any interface of the object; the marshaler delegates to its controlling unknown.
    HRESULT Aggregate(IUnknown* self) {
        Microsoft::WRL::ComPtr<IUnknown> controlling;
        HRESULT status = self->QueryInterface(IID_PPV_ARGS(&controlling));
        if (SUCCEEDED(status))
            status = ::CoCreateFreeThreadedMarshaler(controlling.Get(), &m_inner);
        return status;
    }

    // The marshaler's IMarshal, without a reference of its own (QueryTable adds the one the
    // caller gets, which goes to the controlling unknown); null when there is no marshaler.
    IUnknown* Marshal() const {
        IUnknown* marshal = nullptr;
        if (m_inner && SUCCEEDED(m_inner->QueryInterface(IID_IMarshal, reinterpret_cast<void**>(&marshal))))
            marshal->Release();
        return marshal;
    }

private:
    Microsoft::WRL::ComPtr<IUnknown> m_inner;
};

template <class T, FreeThreadedMarshaler T::*Member>
InterfaceEntry MarshalEntry() {
    return {&IID_IMarshal,
            [](void* object) -> IUnknown* { return (static_cast<T*>(object)->*Member).Marshal(); }};
}

} // namespace Fw
