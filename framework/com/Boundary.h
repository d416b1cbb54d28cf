#pragma once

#include <comdef.h>

#include <cstddef>
#include <exception>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

namespace Fw {

// Both record the failure as the thread's error object, so that a script host can show a
// description, and give the status the member returns.
HRESULT ReportFailure(const _com_error& failure);
HRESULT ReportUnexpected(const char* description);
// A member called through ITypeInfo::Invoke failed: the dispatcher may have moved the
// member's error object into `exception`, and the thread's error object is that again.
void KeepMemberError(const EXCEPINFO* exception);

template <class Body>
HRESULT RunBody(Body& body) {
    try {
        if constexpr (std::is_same_v<std::invoke_result_t<Body&>, void>) {
            body();
            return S_OK;
        } else {
            // A failure the body answers itself is described like a raised one, so that a
            // script user sees why a call was refused.
            const HRESULT status = body();
            return FAILED(status) ? ReportFailure(_com_error(status)) : status;
        }
    } catch (const _com_error& failure) {
        return ReportFailure(failure);
    } catch (const std::bad_alloc&) {
        return ReportFailure(_com_error(E_OUTOFMEMORY));
    } catch (const std::exception& failure) {
        return ReportUnexpected(failure.what());
    } catch (...) {
        return ReportUnexpected(nullptr);
    }
}

// The one way a member of the module's own interfaces answers its caller:
//     return Fw::Boundary(pName, [&] { ... });
// Every argument but the last is an out-pointer: a null one gives E_POINTER before anything
// else happens, the others are cleared so that a failure never leaves garbage behind. The
// last is the body; it returns nothing (S_OK) or its own status. A failure object escaping
// it gives its status, std::bad_alloc E_OUTOFMEMORY, any other exception E_FAIL: nothing
// crosses the interface.
template <class... Args>
HRESULT Boundary(Args&&... args) {
    auto arguments = std::forward_as_tuple(args...);
    constexpr std::size_t outCount = sizeof...(Args) - 1;
    const auto outs = [&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::tie(std::get<I>(arguments)...);
    }
    (std::make_index_sequence<outCount>{});
    const bool anyNull = std::apply([](auto*... out) { return (false || ... || (out == nullptr)); }, outs);
    if (anyNull)
        return E_POINTER;
    std::apply([](auto*... out) { ((*out = {}), ...); }, outs);
    return RunBody(std::get<outCount>(arguments));
}

} // namespace Fw
