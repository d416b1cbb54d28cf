#pragma once

#include "framework/com/ComObject.h"
#include "interfaces/OstrelUITools.h"

// Names of NV items and NV statuses. No state, no window, no server: vtable calls only.
class CKmNvTools : public Fw::ObjectRoot, public IKmNvTools {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<CKmNvTools, IKmNvTools>(),
    };

    HRESULT STDMETHODCALLTYPE GetItemName(long item, BSTR* pName) override;
    HRESULT STDMETHODCALLTYPE IsIndexed(long item, long* pIndexed) override;
    HRESULT STDMETHODCALLTYPE GetStatusName(long status, BSTR* pName) override;
};
