#pragma once

#include <windows.h>
#include <comdef.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Fw {

// The choices a host makes when it brings a control in.
struct EmbedOptions {
    // Hosts that honour OLEMISC_SETCLIENTSITEFIRST give the site before the data.
    bool siteBeforeLoad = true;
    // Read by IPersistStreamInit::Load from its current position; without it, InitNew.
    Microsoft::WRL::ComPtr<IStream> data;
    // Through IQuickActivate when the control answers it (ControlSite::QuickActivated tells).
    bool quickActivate = false;
    // Ambient properties.
    bool userMode = true;
    OLE_COLOR backColor = 0x80000000 | COLOR_WINDOW;
    std::string displayName = "Control1";
    LCID localeId = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    // The site's rectangle in the host window's client area, in pixels.
    RECT rect{10, 10, 210, 110};
    // Advised on the control's default source interface, as hosts receive events.
    Microsoft::WRL::ComPtr<IDispatch> eventSink;
    // Hears the control's IPropertyNotifySink::OnChanged; without it the site does not listen.
    std::function<void(DISPID)> propertyChanged;
    // Hears the control's IOleControlSite::OnFocus.
    std::function<void(bool)> focusChanged;
};

// Bringing a control in failed at one step; the status is what the control (or COM) answered.
class EmbedError : public _com_error {
public:
    EmbedError(HRESULT status, const char* step)
        : _com_error(status)
        , m_step(step) {}
    const char* Step() const { return m_step; }

private:
    const char* m_step;
};

class SiteObject;
class FrameObject;

// One embedded control, owned by its container: a client site, in-place site, control site,
// ambient properties and property-change sink. Calls answer the control's status.
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

// The controls of one host window. The frame the controls see is that window's top-level
// window. OLE must be initialised on the thread for the container's life; every site is
// closed and released when the container goes, and the host window is left to its owner.
class ControlContainer {
public:
    // hostName is what IOleObject::SetHostNames tells the controls.
    ControlContainer(HWND window, const std::string& hostName);
    ~ControlContainer();
    ControlContainer(const ControlContainer&) = delete;
    ControlContainer& operator=(const ControlContainer&) = delete;

    HWND Window() const { return m_window; }

    // Creates the control in process (CoCreateInstance) or takes the given one, then sites it
    // and gives it its data as the options say, ready for Activate. A failed step raises
    // EmbedError, and the half-embedded control is closed and let go.
    ControlSite& Embed(REFCLSID clsid, const EmbedOptions& options = {});
    ControlSite& Embed(IUnknown* control, const EmbedOptions& options = {});

    const std::vector<std::unique_ptr<ControlSite>>& Sites() const { return m_sites; }

    // The object the UI-active control handed to IOleInPlaceFrame::SetActiveObject, to which
    // the host's message loop routes accelerators; null when there is none.
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> ActiveObject() const;

private:
    HWND m_window;
    std::wstring m_hostName;
    Microsoft::WRL::ComPtr<IOleInPlaceFrame> m_frameReference;
    FrameObject* m_frame = nullptr;
    Microsoft::WRL::ComPtr<IFontDisp> m_font;
    std::vector<std::unique_ptr<ControlSite>> m_sites;
};

} // namespace Fw
