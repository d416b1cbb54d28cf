#pragma once

#include <comdef.h>
#include <wrl/client.h>

#include <utility>

// The one way the module raises a failure. Inside the module a failed call raises
// _com_error; every interface member turns it back into its status at its boundary.
namespace Com {

[[noreturn]] void Throw(HRESULT status);

inline void ThrowIfFailed(HRESULT status) {
    if (FAILED(status))
        Throw(status);
}

// A registry or other system call that answers a Win32 error code.
inline void ThrowIfWin32Error(LSTATUS status) {
    if (status != ERROR_SUCCESS)
        Throw(HRESULT_FROM_WIN32(status));
}

// A system call that failed and set the thread's last error.
[[noreturn]] void ThrowLastError();

template <class Pointer>
Pointer ThrowIfNull(Pointer pointer, HRESULT status = E_POINTER) {
    if (!pointer)
        Throw(status);
    return pointer;
}

// Calls a member of an outside interface:
//     Com::Call(agent, &IOstrelConfigAgent::GetPortInfo, portId, record.put());
// A null object raises E_POINTER; a failed status raises a failure object carrying the
// callee's error information when it vouches for it on that interface.
template <class I, class... Params, class... Args>
HRESULT Call(I* object, HRESULT (STDMETHODCALLTYPE I::*member)(Params...), Args&&... args) {
    const HRESULT status = (ThrowIfNull(object)->*member)(std::forward<Args>(args)...);
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
// pointer, any other failure of the request is raised, and so is a success without a pointer.
template <class Target>
Microsoft::WRL::ComPtr<Target> Query(IUnknown* object) {
    Microsoft::WRL::ComPtr<Target> target;
    const HRESULT status = ThrowIfNull(object)->QueryInterface(__uuidof(Target), &target);
    if (status == E_NOINTERFACE)
        return target;
    ThrowIfFailed(status);
    ThrowIfNull(target.Get());
    return target;
}

} // namespace Com
