#pragma once

#include "framework/controls/ControlBase.h"

namespace Fw {

// IOleControl: mnemonics, ambient changes and frozen events.
class OleControl : public IOleControl, public virtual ControlBase {
public:
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) override;
};

} // namespace Fw
