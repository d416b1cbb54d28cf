#pragma once

#include <oaidl.h>

namespace Fw {

// ISupportErrorInfo for the listed interfaces: a caller may trust the thread's error
// object after a failed call on one of them.
template <class... I>
class SupportErrorInfo : public ISupportErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return (false || ... || ::InlineIsEqualGUID(iid, __uuidof(I))) ? S_OK : S_FALSE;
    }
};

} // namespace Fw
