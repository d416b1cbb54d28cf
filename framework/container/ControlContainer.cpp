#include "framework/container/ControlContainer.h"

#include "framework/container/FrameObject.h"
#include "framework/container/SiteObject.h"

#include "foundation/Lang/Text.h"

namespace Fw {

using Microsoft::WRL::ComPtr;

namespace {

// Creates one of the container's objects; I is one of T's own interfaces, through which T
// is reached again (the object's IUnknown is the framework's inner one, which is no T).
template <class T, class I>
ComPtr<I> NewObject() {
    ComPtr<I> object;
    EmbedError::ThrowIfFailed(
        Object<T>::Create(nullptr, __uuidof(I), reinterpret_cast<void**>(object.GetAddressOf())),
        "creating the container's objects");
    return object;
}

} // namespace

ControlContainer::ControlContainer(HWND window, const std::string& hostName)
    : m_window(window)
    , m_hostName(Lang::ToWide(hostName)) {
    m_frameReference = NewObject<FrameObject, IOleInPlaceFrame>();
    m_frame = static_cast<FrameObject*>(m_frameReference.Get());
    m_frame->Init(window);

    // A form's ambient font: 8 point Tahoma.
    FONTDESC font{};
    font.cbSizeofstruct = sizeof font;
    font.lpstrName = const_cast<LPOLESTR>(L"Tahoma");
    font.cySize.int64 = 80000;
    font.sWeight = FW_NORMAL;
    font.sCharset = DEFAULT_CHARSET;
    ::OleCreateFontIndirect(&font, IID_IFontDisp, reinterpret_cast<void**>(m_font.GetAddressOf()));
}

ControlContainer::~ControlContainer() {
    // Last embedded, first closed: a later control may lean on an earlier one.
    while (!m_sites.empty())
        m_sites.pop_back();
    m_frame->Detach();
}

ControlSite& ControlContainer::Embed(REFCLSID clsid, const EmbedOptions& options) {
    ComPtr<IUnknown> control;
    EmbedError::ThrowIfFailed(
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)), "CoCreateInstance");
    return Embed(control.Get(), options);
}

ControlSite& ControlContainer::Embed(IUnknown* control, const EmbedOptions& options) {
    if (!control)
        throw EmbedError(E_POINTER, "Embed(nullptr)");
    const ComPtr<IOleClientSite> created = NewObject<SiteObject, IOleClientSite>();
    auto* object = static_cast<SiteObject*>(created.Get());
    object->Init(m_window, m_frameReference, m_frame, m_font, options);
    // Owned before the first call, so that a failure half-way closes what was begun.
    auto site = std::unique_ptr<ControlSite>(new ControlSite(object));
    object->Embed(control, m_hostName);
    m_sites.push_back(std::move(site));
    return *m_sites.back();
}

ComPtr<IOleInPlaceActiveObject> ControlContainer::ActiveObject() const {
    return m_frame->ActiveObject();
}

} // namespace Fw
