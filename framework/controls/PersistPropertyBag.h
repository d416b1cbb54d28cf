#pragma once

#include "framework/controls/ControlBase.h"

namespace Fw {

// IPersistPropertyBag: the property map as named values (a script host's or web page's
// PARAM tags), refused values reported to the container's error log.
class PersistPropertyBag : public IPersistPropertyBag, public virtual ControlBase {
public:
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* pPropBag, BOOL fClearDirty,
                                   BOOL fSaveAllProperties) override;
};

} // namespace Fw
