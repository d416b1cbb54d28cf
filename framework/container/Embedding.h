#pragma once

#include <windows.h>
#include <comdef.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <functional>
#include <string>

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

    static void ThrowIfFailed(HRESULT status, const char* step) {
        if (FAILED(status))
            throw EmbedError(status, step);
    }

private:
    const char* m_step;
};

} // namespace Fw
