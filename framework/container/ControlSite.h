#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

namespace Fw {

class SiteObject;

// One embedded control, owned by its container: its site's handle, through which the host
// drives the control. Calls answer the control's status.
class ControlSite {
public:
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;
    ~ControlSite();

    // IOleObject::DoVerb with the site, the host window and the site's rectangle.
    HRESULT DoVerb(LONG verb);
    HRESULT Activate() { return DoVerb(OLEIVERB_INPLACEACTIVATE); }
    HRESULT Activate(const RECT& rect);
    // IOleInPlaceObject::InPlaceDeactivate.
    HRESULT Deactivate();
    // Unadvise, Close(OLECLOSE_NOSAVE), SetClientSite(nullptr) and let the control go; later
    // calls answer S_OK and do nothing.
    HRESULT Close();
    // IOleInPlaceObject::SetObjectRects, and the rectangle the site gives from then on.
    HRESULT SetRect(const RECT& rect);
    RECT Rect() const;

    // The control's window through IOleWindow; null when it has none (yet).
    HWND Window() const;
    // The control itself; null once closed.
    Microsoft::WRL::ComPtr<IUnknown> Unknown() const;
    // One of the control's interfaces; null when it does not answer it.
    template <class I>
    Microsoft::WRL::ComPtr<I> Control() const {
        Microsoft::WRL::ComPtr<I> result;
        if (const auto unknown = Unknown())
            unknown.As(&result);
        return result;
    }
    IOleClientSite* ClientSite() const;

    // Change an ambient property and tell the control (IOleControl::OnAmbientPropertyChange).
    void SetUserMode(bool userMode);
    void SetBackColor(OLE_COLOR color);

    // What the control reported to its site.
    bool InPlaceActive() const;
    bool UIActive() const;
    bool QuickActivated() const;
    // Whether the control last told IOleControlSite::OnFocus that it has the focus.
    bool Focused() const;

private:
    friend class ControlContainer;
    explicit ControlSite(SiteObject* object);
    Microsoft::WRL::ComPtr<IOleClientSite> m_site; // the object's life
    SiteObject* m_object;
};

} // namespace Fw
