#include "framework/controls/ViewObject.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT ViewObject::Draw(DWORD dwDrawAspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw,
                         LPCRECTL lprcBounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return Boundary([&] {
        if (!IsDrawAspect(dwDrawAspect))
            return DV_E_DVASPECT;
        if (!hdcDraw || !lprcBounds)
            return E_INVALIDARG;
        const RECT bounds = {lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom};
        OnDraw(hdcDraw, bounds);
        return S_OK;
    });
}

HRESULT ViewObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** ppColorSet) {
    return Boundary(ppColorSet, [] { return S_FALSE; });
}

HRESULT ViewObject::Freeze(DWORD, LONG, void*, DWORD* pdwFreeze) {
    return Boundary(pdwFreeze, [] { return E_NOTIMPL; });
}

HRESULT ViewObject::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT ViewObject::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) {
    return Boundary([&] { SetViewAdvise(aspects, advf, pAdvSink); });
}

HRESULT ViewObject::GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) {
    GetViewAdvise(pAspects, pAdvf, ppAdvSink);
    return S_OK;
}

HRESULT ViewObject::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE*, LPSIZEL lpsizel) {
    return Boundary(lpsizel, [&] { return ReadExtent(dwDrawAspect, lpsizel); });
}

HRESULT ViewObject::GetRect(DWORD, LPRECTL) {
    return E_NOTIMPL;
}

HRESULT ViewObject::GetViewStatus(DWORD* pdwStatus) {
    return Boundary(pdwStatus, [&] { *pdwStatus = viewStatus; });
}

HRESULT ViewObject::QueryHitPoint(DWORD dwAspect, LPCRECT pRectBounds, POINT ptlLoc, LONG,
                                  DWORD* pHitResult) {
    return Boundary(pHitResult, [&] {
        if (!IsDrawAspect(dwAspect))
            return DV_E_DVASPECT;
        if (!pRectBounds)
            return E_POINTER;
        *pHitResult = ::PtInRect(pRectBounds, ptlLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    });
}

HRESULT ViewObject::QueryHitRect(DWORD dwAspect, LPCRECT pRectBounds, LPCRECT pRectLoc, LONG,
                                 DWORD* pHitResult) {
    return Boundary(pHitResult, [&] {
        if (!IsDrawAspect(dwAspect))
            return DV_E_DVASPECT;
        if (!pRectBounds || !pRectLoc)
            return E_POINTER;
        RECT overlap;
        *pHitResult = ::IntersectRect(&overlap, pRectBounds, pRectLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    });
}

HRESULT ViewObject::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
    return E_NOTIMPL;
}

} // namespace Fw
