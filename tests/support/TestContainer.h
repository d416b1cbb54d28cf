#pragma once

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

// An in-place container as a form host is one: a top-level frame window, and a site per
// embedded control that gives it a client site, in-place site, control site, frame,
// ambient properties and a property-change sink.
namespace TestSupport {

// The choices a form host makes when it brings a control in.
struct EmbedOptions {
    // Hosts that honour OLEMISC_SETCLIENTSITEFIRST give the site before the data.
    bool siteBeforeLoad = true;
    // Read by IPersistStreamInit::Load from its current position; without it, InitNew.
    Microsoft::WRL::ComPtr<IStream> data;
    // Through IQuickActivate when the control answers it (QuickActivated() tells).
    bool quickActivate = false;
    // Ambient properties.
    bool userMode = true;
    OLE_COLOR backColor = 0x80000000 | COLOR_WINDOW;
    std::string displayName = "Control1";
    LCID localeId = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    // The site's rectangle in the frame's client area, in pixels.
    RECT rect{10, 10, 210, 110};
    // Advised on the control's default source interface, as hosts receive events.
    Microsoft::WRL::ComPtr<IDispatch> eventSink;
};

class SiteObject;
class FrameObject;

// One embedded control, owned by its container. Calls answer the control's status.
class ControlSite {
public:
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;
    ~ControlSite();

    // IOleObject::DoVerb with the site, the frame window and the site's rectangle.
    HRESULT DoVerb(LONG verb);
    HRESULT Activate() { return DoVerb(OLEIVERB_INPLACEACTIVATE); }
    // IOleInPlaceObject::InPlaceDeactivate.
    HRESULT Deactivate();
    // Close(OLECLOSE_NOSAVE), unadvise, SetClientSite(nullptr) and let the control go;
    // later calls answer S_OK and do nothing. The container closes every site it holds.
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

    // The DISPIDs the control announced through IPropertyNotifySink::OnChanged, in order.
    const std::vector<DISPID>& ChangedProperties() const;
    void ClearChangedProperties();

    // Change an ambient property and tell the control (IOleControl::OnAmbientPropertyChange).
    void SetUserMode(bool userMode);
    void SetBackColor(OLE_COLOR color);

    // What the control reported to its site.
    bool InPlaceActive() const;
    bool UIActive() const;
    bool QuickActivated() const;

private:
    friend class TestContainer;
    explicit ControlSite(Microsoft::WRL::ComPtr<SiteObject> object);
    Microsoft::WRL::ComPtr<SiteObject> object_;
};

// Initialises OLE on the thread for its lifetime; every site is closed and released when
// it goes, before the frame window.
class TestContainer {
public:
    explicit TestContainer(bool shown = false);
    ~TestContainer();
    TestContainer(const TestContainer&) = delete;
    TestContainer& operator=(const TestContainer&) = delete;

    HWND Window() const { return window_; }

    // Creates the control in process (CoCreateInstance) or takes the given one, then
    // sites it and gives it its data as the options say, ready for Activate(). A failed
    // step throws std::runtime_error naming the step and status, failing the test.
    ControlSite& Embed(REFCLSID clsid, const EmbedOptions& options = {});
    ControlSite& Embed(IUnknown* control, const EmbedOptions& options = {});

    // The object the UI-active control handed to IOleInPlaceFrame::SetActiveObject, to
    // which a host routes accelerators; null when there is none.
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> ActiveObject() const;

private:
    bool oleInitialized_ = false;
    HWND window_ = nullptr;
    Microsoft::WRL::ComPtr<FrameObject> frame_;
    Microsoft::WRL::ComPtr<IFontDisp> font_;
    std::vector<std::unique_ptr<ControlSite>> sites_;
};

} // namespace TestSupport
