#pragma once

#include "framework/container/ControlSite.h"
#include "framework/container/Embedding.h"

#include <memory>
#include <string>
#include <vector>

namespace Fw {

class FrameObject;

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
