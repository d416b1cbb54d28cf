#include "framework/controls/OleControl.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT OleControl::GetControlInfo(CONTROLINFO* pCI) {
    return Boundary([&] {
        if (!pCI)
            return E_POINTER;
        if (pCI->cb < sizeof(CONTROLINFO))
            return E_INVALIDARG;
        pCI->hAccel = nullptr;
        pCI->cAccel = 0;
        // A control that takes Enter or Esc itself says so, or its container gives the key
        // to the default or cancel button first.
        pCI->dwFlags = (WantsKey(VK_RETURN) ? CTRLINFO_EATS_RETURN : 0) |
                       (WantsKey(VK_ESCAPE) ? CTRLINFO_EATS_ESCAPE : 0);
        return S_OK;
    });
}

HRESULT OleControl::OnMnemonic(MSG*) {
    return E_NOTIMPL;
}

HRESULT OleControl::OnAmbientPropertyChange(DISPID dispID) {
    return Boundary([&] {
        ReadAmbients();
        OnAmbientChanged(dispID);
        FireViewChange();
    });
}

HRESULT OleControl::FreezeEvents(BOOL bFreeze) {
    CountEventFreeze(bFreeze != FALSE);
    return S_OK;
}

} // namespace Fw
