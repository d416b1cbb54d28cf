#include "framework/controls/InPlaceObject.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT InPlaceObject::GetWindow(HWND* phwnd) {
    return Boundary(phwnd, [&] {
        *phwnd = ControlWindow();
        return *phwnd ? S_OK : E_FAIL;
    });
}

HRESULT InPlaceObject::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT InPlaceObject::InPlaceDeactivate() {
    return Boundary([&] { DeactivateInPlace(); });
}

HRESULT InPlaceObject::UIDeactivate() {
    return Boundary([&] { DeactivateUI(); });
}

HRESULT InPlaceObject::SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) {
    return Boundary([&] { return PlaceWindow(lprcPosRect, lprcClipRect); });
}

HRESULT InPlaceObject::ReactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT InPlaceObject::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* plResult) {
    // Only a windowless control is handed its messages; this one has a window.
    return Boundary(plResult, [] { return S_FALSE; });
}

HRESULT InPlaceObject::GetDropTarget(IDropTarget** ppDropTarget) {
    return Boundary(ppDropTarget, [] { return E_NOTIMPL; });
}

HRESULT InPlaceObject::TranslateAccelerator(LPMSG lpmsg) {
    return Boundary([&] {
        if (!lpmsg)
            return E_POINTER;
        // Dialog hosts would take the arrows and F5 for navigation before the window saw them.
        const HWND window = ControlWindow();
        const bool ours = window && (lpmsg->hwnd == window || ::IsChild(window, lpmsg->hwnd));
        const bool key = lpmsg->message == WM_KEYDOWN || lpmsg->message == WM_KEYUP;
        if (!ours || !key || !WantsKey(static_cast<UINT>(lpmsg->wParam)))
            return S_FALSE;
        ::TranslateMessage(lpmsg);
        ::DispatchMessageA(lpmsg);
        return S_OK;
    });
}

HRESULT InPlaceObject::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT InPlaceObject::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT InPlaceObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT InPlaceObject::EnableModeless(BOOL) {
    return S_OK;
}

} // namespace Fw
