#pragma once

#include "framework/controls/ControlBase.h"

namespace Fw {

// IPersistStreamInit: the property map in the control's stream layout.
class PersistStreamInit : public IPersistStreamInit, public virtual ControlBase {
public:
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM pStm) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM pStm, BOOL fClearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pCbSize) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
};

} // namespace Fw
