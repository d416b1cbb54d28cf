#pragma once

#include "server/OstrelServer.h"

#include <comdef.h>
#include <wrl/client.h>

#include <utility>

namespace Server {

// The one way the module calls into the device server and other outside interfaces:
//     Server::Call(agent, &IOstrelConfigAgent::GetPortInfo, portId, record.put());
// A null object raises E_POINTER; a failed status raises a failure object carrying the
// callee's error information when it vouches for it on that interface.
template <class I, class... Params, class... Args>
HRESULT Call(I* object, HRESULT (STDMETHODCALLTYPE I::*member)(Params...), Args&&... args) {
    if (!object)
        _com_issue_error(E_POINTER);
    const HRESULT status = (object->*member)(std::forward<Args>(args)...);
    if (FAILED(status))
        _com_issue_errorex(status, object, __uuidof(I));
    return status;
}

template <class I, class... Params, class... Args>
HRESULT Call(const Microsoft::WRL::ComPtr<I>& object, HRESULT (STDMETHODCALLTYPE I::*member)(Params...),
             Args&&... args) {
    return Call(object.Get(), member, std::forward<Args>(args)...);
}

// Asks an object for another interface: an object that does not support it gives a null
// pointer, any other failure of the request is raised.
template <class Target>
Microsoft::WRL::ComPtr<Target> Query(IUnknown* object) {
    if (!object)
        _com_issue_error(E_POINTER);
    Microsoft::WRL::ComPtr<Target> target;
    const HRESULT status = object->QueryInterface(__uuidof(Target), &target);
    if (FAILED(status) && status != E_NOINTERFACE)
        _com_issue_error(status);
    return target;
}

} // namespace Server
