#include "framework/container/SiteObject.h"

#include "framework/com/TypeLibrary.h"
#include "framework/container/FrameObject.h"

#include "foundation/Lang/Text.h"
#include "foundation/Win32/ScopedDc.h"

namespace Fw {

using Microsoft::WRL::ComPtr;

namespace {

LONG PixelsPerInch(bool horizontal) {
    const Win32::WindowDc screen(nullptr);
    const int perInch = ::GetDeviceCaps(screen.get(), horizontal ? LOGPIXELSX : LOGPIXELSY);
    return perInch > 0 ? perInch : 96;
}

constexpr LONG himetricPerInch = 2540;

SIZEL HimetricOf(const RECT& rect) {
    return {::MulDiv(rect.right - rect.left, himetricPerInch, PixelsPerInch(true)),
            ::MulDiv(rect.bottom - rect.top, himetricPerInch, PixelsPerInch(false))};
}

void Unadvise(ComPtr<IConnectionPoint>& point, DWORD& cookie) {
    if (point && cookie)
        point->Unadvise(cookie);
    point.Reset();
    cookie = 0;
}

} // namespace

void SiteObject::Init(HWND host, ComPtr<IOleInPlaceFrame> frame, FrameObject* frameObject,
                      ComPtr<IFontDisp> font, const EmbedOptions& options) {
    m_host = host;
    m_frameReference = std::move(frame);
    m_frame = frameObject;
    m_font = std::move(font);
    m_options = options;
    m_rect = options.rect;
}

// --- IOleClientSite ---

HRESULT SiteObject::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT SiteObject::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}

// --- IOleInPlaceSite: the control's window is a child of the host window ---

HRESULT SiteObject::GetWindow(HWND* phwnd) {
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_host;
    return m_host ? S_OK : E_FAIL;
}

HRESULT SiteObject::OnInPlaceActivate() {
    m_inPlaceActive = true;
    return S_OK;
}

HRESULT SiteObject::OnUIActivate() {
    if (m_frame->uiActive && m_frame->uiActive != this)
        m_frame->uiActive->UIDeactivateControl();
    m_frame->uiActive = this;
    m_uiActive = true;
    return S_OK;
}

// A form is its own document: there is no separate document window (ppDoc is null), which
// controls must accept.
HRESULT SiteObject::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                     LPRECT lprcPosRect, LPRECT lprcClipRect,
                                     LPOLEINPLACEFRAMEINFO lpFrameInfo) {
    if (ppFrame)
        *ppFrame = nullptr;
    if (ppDoc)
        *ppDoc = nullptr;
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo)
        return E_POINTER;
    m_frameReference.CopyTo(ppFrame);
    *lprcPosRect = m_rect;
    *lprcClipRect = m_rect;
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = m_frame->Window();
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT SiteObject::OnUIDeactivate(BOOL) {
    m_uiActive = false;
    if (m_frame->uiActive == this)
        m_frame->uiActive = nullptr;
    return S_OK;
}

HRESULT SiteObject::OnInPlaceDeactivate() {
    m_inPlaceActive = false;
    return S_OK;
}

HRESULT SiteObject::DeactivateAndUndo() {
    if (const auto inPlace = InPlaceObject())
        inPlace->InPlaceDeactivate();
    return S_OK;
}

// The form grants whatever rectangle the control asks for.
HRESULT SiteObject::OnPosRectChange(LPCRECT rect) {
    if (!rect)
        return E_POINTER;
    return SetRect(*rect);
}

// --- IOleControlSite ---

HRESULT SiteObject::GetExtendedControl(IDispatch** ppDisp) {
    if (ppDisp)
        *ppDisp = nullptr;
    return E_NOTIMPL;
}

// The form's units are pixels.
HRESULT SiteObject::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container)
        return E_POINTER;
    const float x = float(PixelsPerInch(true)), y = float(PixelsPerInch(false));
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = float(himetric->x) * x / himetricPerInch;
        container->y = float(himetric->y) * y / himetricPerInch;
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = LONG(container->x * himetricPerInch / x + (container->x < 0 ? -0.5f : 0.5f));
        himetric->y = LONG(container->y * himetricPerInch / y + (container->y < 0 ? -0.5f : 0.5f));
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT SiteObject::OnFocus(BOOL fGotFocus) {
    m_focused = fGotFocus != FALSE;
    if (m_options.focusChanged)
        m_options.focusChanged(m_focused);
    return S_OK;
}

// --- IDispatch ---

HRESULT SiteObject::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT SiteObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT SiteObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT SiteObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                           UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    _variant_t value;
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        value = m_options.userMode;
        break;
    case DISPID_AMBIENT_BACKCOLOR:
        value = LONG(m_options.backColor);
        break;
    case DISPID_AMBIENT_FONT:
        value = static_cast<IDispatch*>(m_font.Get());
        break;
    case DISPID_AMBIENT_DISPLAYNAME:
        value = Lang::ToWide(m_options.displayName).c_str();
        break;
    case DISPID_AMBIENT_LOCALEID:
        value = LONG(m_options.localeId);
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (!result)
        return E_INVALIDARG;
    *result = value.Detach();
    return S_OK;
}

// --- IPropertyNotifySink ---

HRESULT SiteObject::OnChanged(DISPID id) {
    if (m_options.propertyChanged)
        m_options.propertyChanged(id);
    return S_OK;
}

// --- what ControlSite and ControlContainer do with it ---

void SiteObject::Embed(const ComPtr<IUnknown>& control, const std::wstring& hostName) {
    EmbedError::ThrowIfFailed(control.As(&m_control), "QueryInterface(IOleObject)");

    ComPtr<IQuickActivate> quick;
    if (m_options.quickActivate && SUCCEEDED(m_control.As(&quick)))
        QuickActivate(quick.Get());
    else if (m_options.siteBeforeLoad)
        EmbedError::ThrowIfFailed(m_control->SetClientSite(this), "IOleObject::SetClientSite");
    LoadData();
    if (!m_quickActivated) {
        if (!m_options.siteBeforeLoad)
            EmbedError::ThrowIfFailed(m_control->SetClientSite(this), "IOleObject::SetClientSite");
        AdviseSinks();
    }
    m_control->SetHostNames(hostName.c_str(), Lang::ToWide(m_options.displayName).c_str());
    SIZEL extent = HimetricOf(m_rect);
    m_control->SetExtent(DVASPECT_CONTENT, &extent);
}

HRESULT SiteObject::DoVerb(LONG verb) {
    if (!m_control)
        return E_UNEXPECTED;
    return m_control->DoVerb(verb, nullptr, this, 0, m_host, &m_rect);
}

HRESULT SiteObject::Deactivate() {
    const auto inPlace = InPlaceObject();
    return inPlace ? inPlace->InPlaceDeactivate() : E_NOINTERFACE;
}

HRESULT SiteObject::Close() {
    if (!m_control)
        return S_OK;
    // Whoever listened may be gone by the time a closing control speaks.
    m_options.propertyChanged = nullptr;
    m_options.focusChanged = nullptr;
    Unadvise(m_propertyPoint, m_propertyCookie);
    Unadvise(m_eventPoint, m_eventCookie);
    const HRESULT status = m_control->Close(OLECLOSE_NOSAVE);
    m_control->SetClientSite(nullptr);
    if (m_frame->uiActive == this)
        m_frame->uiActive = nullptr;
    m_control.Reset();
    return status;
}

HRESULT SiteObject::SetRect(const RECT& rect) {
    m_rect = rect;
    const auto inPlace = InPlaceObject();
    return inPlace ? inPlace->SetObjectRects(&m_rect, &m_rect) : S_OK;
}

void SiteObject::AmbientChanged(DISPID id) {
    ComPtr<IOleControl> control;
    if (m_control && SUCCEEDED(m_control.As(&control)))
        control->OnAmbientPropertyChange(id);
}

ComPtr<IOleInPlaceObject> SiteObject::InPlaceObject() const {
    ComPtr<IOleInPlaceObject> inPlace;
    if (m_control)
        m_control.As(&inPlace);
    return inPlace;
}

void SiteObject::UIDeactivateControl() {
    if (const auto inPlace = InPlaceObject())
        inPlace->UIDeactivate();
}

void SiteObject::LoadData() {
    ComPtr<IPersistStreamInit> persist;
    if (FAILED(m_control.As(&persist))) {
        if (m_options.data)
            throw EmbedError(E_NOINTERFACE, "QueryInterface(IPersistStreamInit) for the data");
        return;
    }
    if (m_options.data)
        EmbedError::ThrowIfFailed(persist->Load(m_options.data.Get()), "IPersistStreamInit::Load");
    else
        EmbedError::ThrowIfFailed(persist->InitNew(), "IPersistStreamInit::InitNew");
}

void SiteObject::QuickActivate(IQuickActivate* quick) {
    QACONTAINER container{};
    container.cbSize = sizeof container;
    container.pClientSite = this;
    container.pPropertyNotifySink = Listening() ? this : nullptr;
    container.pUnkEventSink = m_options.eventSink.Get();
    container.dwAmbientFlags = m_options.userMode ? QACONTAINER_USERMODE : 0;
    container.colorFore = 0x80000000 | COLOR_WINDOWTEXT;
    container.colorBack = m_options.backColor;
    ComPtr<IFont> font;
    if (m_font)
        m_font.As(&font);
    container.pFont = font.Get();
    container.lcid = m_options.localeId;
    container.pOleControlSite = this;
    QACONTROL answer{};
    answer.cbSize = sizeof answer;
    EmbedError::ThrowIfFailed(quick->QuickActivate(&container, &answer), "IQuickActivate::QuickActivate");
    m_quickActivated = true;
    // The control advised our sinks itself; keep the points to unadvise at Close.
    if (answer.dwPropNotifyCookie && Listening()) {
        m_propertyPoint = FindPoint(IID_IPropertyNotifySink);
        m_propertyCookie = answer.dwPropNotifyCookie;
    }
    if (answer.dwEventCookie && m_options.eventSink) {
        m_eventPoint = FindPoint(DefaultSource());
        m_eventCookie = answer.dwEventCookie;
    }
}

void SiteObject::AdviseSinks() {
    if (Listening() && (m_propertyPoint = FindPoint(IID_IPropertyNotifySink)))
        EmbedError::ThrowIfFailed(
            m_propertyPoint->Advise(static_cast<IPropertyNotifySink*>(this), &m_propertyCookie),
            "IConnectionPoint::Advise(IPropertyNotifySink)");
    if (m_options.eventSink) {
        m_eventPoint = FindPoint(DefaultSource());
        if (!m_eventPoint)
            throw EmbedError(CONNECT_E_NOCONNECTION, "FindConnectionPoint(default source)");
        EmbedError::ThrowIfFailed(m_eventPoint->Advise(m_options.eventSink.Get(), &m_eventCookie),
                                  "IConnectionPoint::Advise(events)");
    }
}

ComPtr<IConnectionPoint> SiteObject::FindPoint(REFIID iid) const {
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(m_control.As(&points)))
        points->FindConnectionPoint(iid, &point);
    return point;
}

// Hosts find a control's events through its class information: IProvideClassInfo2 when it
// answers it, else the [default, source] interface of its coclass.
IID SiteObject::DefaultSource() const {
    IID iid = IID_NULL;
    ComPtr<IProvideClassInfo2> info2;
    if (SUCCEEDED(m_control.As(&info2)) && SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
        return iid;
    ComPtr<IProvideClassInfo> info;
    ComPtr<ITypeInfo> coclass;
    EmbedError::ThrowIfFailed(m_control.As(&info),
                              "QueryInterface(IProvideClassInfo) for the event interface");
    EmbedError::ThrowIfFailed(info->GetClassInfo(&coclass), "IProvideClassInfo::GetClassInfo");
    iid = DefaultSourceInterface(coclass.Get());
    if (::InlineIsEqualGUID(iid, IID_NULL))
        throw EmbedError(CONNECT_E_NOCONNECTION, "finding the [default, source] interface");
    return iid;
}

} // namespace Fw
