#pragma once

#include "framework/com/ComObject.h"

#include <ole2.h>
#include <wrl/client.h>

namespace Fw {

class SiteObject;

// The frame of a container, shared by its sites: the host window's top-level window, with
// no toolbar room or menus to lend a control.
class FrameObject : public ObjectRoot, public IOleInPlaceFrame {
public:
    static inline const InterfaceEntry interfaces[] = {
        Entry<FrameObject, IOleWindow, IOleInPlaceFrame>(),
        Entry<FrameObject, IOleInPlaceUIWindow, IOleInPlaceFrame>(),
        Entry<FrameObject, IOleInPlaceFrame>(),
    };

    void Init(HWND host);

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override;

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    HWND Window() const { return m_window; }
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> ActiveObject() const { return m_activeObject; }

    // Only one control is UI-active in a form: activating one deactivates the other.
    SiteObject* uiActive = nullptr;

    // A control that keeps the frame past its container finds it without a window.
    void Detach();

private:
    HWND m_window = nullptr;
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> m_activeObject;
};

} // namespace Fw
