#include "framework/container/FrameObject.h"

namespace Fw {

void FrameObject::Init(HWND host) {
    m_window = ::GetAncestor(host, GA_ROOT);
}

HRESULT FrameObject::GetWindow(HWND* phwnd) {
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_window;
    return m_window ? S_OK : E_FAIL;
}

// A form has no room for a control's toolbars.
HRESULT FrameObject::GetBorder(LPRECT) {
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT FrameObject::RequestBorderSpace(LPCBORDERWIDTHS) {
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT FrameObject::SetBorderSpace(LPCBORDERWIDTHS widths) {
    const bool none = !widths || (!widths->left && !widths->top && !widths->right && !widths->bottom);
    return none ? S_OK : INPLACE_E_NOTOOLSPACE;
}

HRESULT FrameObject::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) {
    m_activeObject = active;
    return S_OK;
}

// No menus of its own to merge.
HRESULT FrameObject::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) {
    if (widths)
        widths->width[0] = widths->width[2] = widths->width[4] = 0;
    return S_OK;
}

void FrameObject::Detach() {
    m_window = nullptr;
    m_activeObject.Reset();
    uiActive = nullptr;
}

} // namespace Fw
