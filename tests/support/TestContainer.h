#pragma once

#include "framework/container/ControlContainer.h"

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

// The framework's control container, as control tests use it: a top-level frame window of
// its own, the property changes each control announced, and failures that fail the test.
namespace TestSupport {

using EmbedOptions = Fw::EmbedOptions;

// One embedded control, owned by its container. Calls answer the control's status.
class ControlSite {
public:
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;

    HRESULT DoVerb(LONG verb) { return site_->DoVerb(verb); }
    HRESULT Activate() { return site_->Activate(); }
    HRESULT Deactivate() { return site_->Deactivate(); }
    HRESULT Close() { return site_->Close(); }
    HRESULT SetRect(const RECT& rect) { return site_->SetRect(rect); }

    HWND Window() const { return site_->Window(); }
    Microsoft::WRL::ComPtr<IUnknown> Unknown() const { return site_->Unknown(); }
    template <class I>
    Microsoft::WRL::ComPtr<I> Control() const {
        return site_->Control<I>();
    }
    IOleClientSite* ClientSite() const { return site_->ClientSite(); }

    // The DISPIDs the control announced through IPropertyNotifySink::OnChanged, in order.
    const std::vector<DISPID>& ChangedProperties() const { return changed_; }
    void ClearChangedProperties() { changed_.clear(); }

    void SetUserMode(bool userMode) { site_->SetUserMode(userMode); }
    void SetBackColor(OLE_COLOR color) { site_->SetBackColor(color); }

    bool InPlaceActive() const { return site_->InPlaceActive(); }
    bool UIActive() const { return site_->UIActive(); }
    bool QuickActivated() const { return site_->QuickActivated(); }
    bool Focused() const { return site_->Focused(); }

private:
    friend class TestContainer;
    ControlSite() = default;
    Fw::ControlSite* site_ = nullptr;
    std::vector<DISPID> changed_;
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

    // Creates the control in process (CoCreateInstance) or takes the given one, then sites it
    // and gives it its data as the options say, ready for Activate(). A failed step throws
    // std::runtime_error naming the step and status, failing the test.
    ControlSite& Embed(REFCLSID clsid, const EmbedOptions& options = {});
    ControlSite& Embed(IUnknown* control, const EmbedOptions& options = {});

    // The object the UI-active control handed to IOleInPlaceFrame::SetActiveObject, to which
    // a host routes accelerators; null when there is none.
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> ActiveObject() const {
        return container_->ActiveObject();
    }

private:
    template <class Embedding>
    ControlSite& Record(const EmbedOptions& options, Embedding embed);

    bool oleInitialized_ = false;
    HWND window_ = nullptr;
    std::unique_ptr<Fw::ControlContainer> container_;
    std::vector<std::unique_ptr<ControlSite>> sites_;
};

} // namespace TestSupport
