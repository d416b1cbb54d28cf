#include "framework/container/ControlSite.h"

#include "framework/container/SiteObject.h"

namespace Fw {

using Microsoft::WRL::ComPtr;

ControlSite::ControlSite(SiteObject* object)
    : m_site(static_cast<IOleClientSite*>(object))
    , m_object(object) {}

ControlSite::~ControlSite() {
    m_object->Close();
    m_object->Detach();
}

HRESULT ControlSite::DoVerb(LONG verb) {
    return m_object->DoVerb(verb);
}

HRESULT ControlSite::Activate(const RECT& rect) {
    m_object->m_rect = rect;
    return Activate();
}

HRESULT ControlSite::Deactivate() {
    return m_object->Deactivate();
}

HRESULT ControlSite::Close() {
    return m_object->Close();
}

HRESULT ControlSite::SetRect(const RECT& rect) {
    return m_object->SetRect(rect);
}

RECT ControlSite::Rect() const {
    return m_object->m_rect;
}

HWND ControlSite::Window() const {
    // Some controls answer IOleWindow only through IOleInPlaceObject, which derives from it.
    ComPtr<IOleWindow> ole = Control<IOleWindow>();
    if (!ole)
        ole = Control<IOleInPlaceObject>();
    HWND window = nullptr;
    if (!ole || FAILED(ole->GetWindow(&window)))
        return nullptr;
    return window;
}

ComPtr<IUnknown> ControlSite::Unknown() const {
    return m_object->m_control;
}

IOleClientSite* ControlSite::ClientSite() const {
    return m_site.Get();
}

void ControlSite::SetUserMode(bool userMode) {
    m_object->m_options.userMode = userMode;
    m_object->AmbientChanged(DISPID_AMBIENT_USERMODE);
}

void ControlSite::SetBackColor(OLE_COLOR color) {
    m_object->m_options.backColor = color;
    m_object->AmbientChanged(DISPID_AMBIENT_BACKCOLOR);
}

bool ControlSite::InPlaceActive() const {
    return m_object->m_inPlaceActive;
}

bool ControlSite::UIActive() const {
    return m_object->m_uiActive;
}

bool ControlSite::Focused() const {
    return m_object->m_focused;
}

bool ControlSite::QuickActivated() const {
    return m_object->m_quickActivated;
}

} // namespace Fw
