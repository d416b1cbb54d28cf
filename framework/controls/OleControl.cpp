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
        pCI->dwFlags = 0;
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
