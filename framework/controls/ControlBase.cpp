#include "framework/controls/ControlBase.h"

#include "foundation/Com/Failure.h"
#include "foundation/Win32/ScopedDc.h"
#include "framework/com/Boundary.h"

#include <comdef.h>

#include <string>
#include <vector>

namespace Fw {

using Microsoft::WRL::ComPtr;

namespace {

// An ambient property of the site; VT_EMPTY when the site does not answer it.
_variant_t ReadAmbient(IOleClientSite* site, DISPID id) {
    _variant_t value;
    ComPtr<IDispatch> ambients;
    if (!site || FAILED(site->QueryInterface(IID_PPV_ARGS(&ambients))))
        return value;
    DISPPARAMS none = {};
    if (FAILED(ambients->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                nullptr, nullptr)))
        value.Clear();
    return value;
}

} // namespace

void DrawDesignerFace(HDC dc, const RECT& bounds, const char* name, HFONT font) {
    const Win32::SavedDcState saved(dc);
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    ::SelectObject(dc, ::GetSysColorBrush(COLOR_WINDOW));
    ::Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    RECT text = bounds;
    ::DrawTextA(dc, name, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

ControlBase::~ControlBase() = default;

COLORREF ControlBase::BackColor() const {
    COLORREF color = 0;
    return SUCCEEDED(::OleTranslateColor(m_backColor, nullptr, &color)) ? color : ::GetSysColor(COLOR_WINDOW);
}

HFONT ControlBase::AmbientFont() const {
    HFONT font = nullptr;
    if (m_font)
        m_font->get_hFont(&font);
    return font;
}

HFONT ControlBase::ChildFont() const {
    const HFONT ambient = AmbientFont();
    return ambient ? ambient : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void ControlBase::ReadAmbients() {
    const _variant_t userMode = ReadAmbient(m_clientSite.Get(), DISPID_AMBIENT_USERMODE);
    m_userMode = userMode.vt == VT_BOOL ? userMode.boolVal != VARIANT_FALSE : true;
    const _variant_t backColor = ReadAmbient(m_clientSite.Get(), DISPID_AMBIENT_BACKCOLOR);
    if (backColor.vt == VT_I4 || backColor.vt == VT_UI4)
        m_backColor = static_cast<OLE_COLOR>(backColor.lVal);
    const _variant_t font = ReadAmbient(m_clientSite.Get(), DISPID_AMBIENT_FONT);
    m_font.Reset();
    if ((font.vt == VT_DISPATCH || font.vt == VT_UNKNOWN) && font.punkVal)
        font.punkVal->QueryInterface(IID_PPV_ARGS(&m_font));
}

void ControlBase::FireOnChanged(DISPID id) {
    // Loading is no edit: the container hears of it as a whole, not property by property.
    if (m_loading)
        return;
    if (ConnectionPoint* point = PropertyNotifyPoint())
        for (const auto& sink : point->Sinks())
            static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
}

bool ControlBase::RequestEdit(DISPID id) {
    if (m_loading)
        return true;
    if (ConnectionPoint* point = PropertyNotifyPoint())
        for (const auto& sink : point->Sinks())
            if (static_cast<IPropertyNotifySink*>(sink.Get())->OnRequestEdit(id) == S_FALSE)
                return false;
    return true;
}

void ControlBase::FireViewChange() {
    if (const HWND window = ControlWindow())
        ::InvalidateRect(window, nullptr, TRUE);
    else if (m_viewSink)
        NotifyViewSink();
}

void ControlBase::PropertyChanged(DISPID id) {
    m_dirty = true;
    FireOnChanged(id);
    FireViewChange();
}

void ControlBase::OnDraw(HDC dc, const RECT& bounds) {
    DrawDesignerFace(dc, bounds, DisplayName(), AmbientFont());
}

bool ControlBase::WantsKey(UINT virtualKey) const {
    switch (virtualKey) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_F5:
        return true;
    default:
        return false;
    }
}

bool ControlBase::HandleControlMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HWND window = ControlWindow();
        const HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        OnDraw(dc, client);
        ::EndPaint(window, &paint);
        result = 0;
        return true;
    }
    case WM_MOUSEACTIVATE:
        if (InPlaceActive() && !m_uiActive)
            InPlaceActivate(OLEIVERB_UIACTIVATE);
        return false;
    case WM_SETFOCUS:
        FocusChanged(true, reinterpret_cast<HWND>(wParam));
        return false;
    case WM_KILLFOCUS:
        FocusChanged(false, reinterpret_cast<HWND>(wParam));
        return false;
    default:
        return false;
    }
}

void ControlBase::FocusChanged(bool gained, HWND other) {
    const HWND window = ControlWindow();
    // The focus moving between the control's own windows is no news to the site.
    if (other && window && (other == window || ::IsChild(window, other)))
        return;
    ReportFocus(gained);
}

void ControlBase::RecheckFocus() {
    const HWND window = ControlWindow();
    const HWND focus = ::GetFocus();
    ReportFocus(window && focus && (focus == window || ::IsChild(window, focus)));
}

void ControlBase::ReportFocus(bool within) {
    if (within && InPlaceActive() && !m_uiActive)
        InPlaceActivate(OLEIVERB_UIACTIVATE);
    if (within == m_focusReported)
        return;
    m_focusReported = within;
    if (m_controlSite)
        m_controlSite->OnFocus(within);
}

HRESULT ControlBase::InPlaceActivate(LONG verb) {
    if (!m_clientSite)
        return E_UNEXPECTED;
    if (!m_inPlaceSite) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(m_clientSite.As(&site)))
            return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        HRESULT status = site->OnInPlaceActivate();
        if (FAILED(status))
            return status;
        m_inPlaceSite = site;

        HWND parent = nullptr;
        RECT position = {}, clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        status = site->GetWindow(&parent);
        if (SUCCEEDED(status))
            status = site->GetWindowContext(&m_frame, &m_document, &position, &clip, &frameInfo);
        if (SUCCEEDED(status) && !CreateControlWindow(parent, position))
            status = E_FAIL;
        if (FAILED(status)) {
            m_frame.Reset();
            m_document.Reset();
            m_inPlaceSite.Reset();
            site->OnInPlaceDeactivate();
            return status;
        }
        PlaceWindow(&position, &clip);
    } else {
        FollowSite();
    }
    const HWND window = ControlWindow();
    if (verb == OLEIVERB_HIDE) {
        DeactivateUI();
        ::ShowWindow(window, SW_HIDE);
        return S_OK;
    }
    ::ShowWindow(window, SW_SHOWNA);
    if (verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY)
        return UIActivate();
    return S_OK;
}

void ControlBase::FollowSite() {
    // A container may have moved the site (a frame dragged into another, a docked pane): the
    // window goes where the site now is.
    const HWND window = ControlWindow();
    HWND parent = nullptr;
    if (!window || FAILED(m_inPlaceSite->GetWindow(&parent)) || !parent)
        return;
    if (::GetParent(window) != parent)
        ::SetParent(window, parent);
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    if (SUCCEEDED(m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo)))
        PlaceWindow(&position, &clip);
}

HRESULT ControlBase::UIActivate() {
    if (m_uiActive)
        return S_OK;
    // Set first: the site's answer and the focus change below call back into the control.
    m_uiActive = true;
    // A container may refuse (a form whose current control fails its validation).
    if (const HRESULT status = m_inPlaceSite->OnUIActivate(); FAILED(status)) {
        m_uiActive = false;
        return status;
    }
    const HWND window = ControlWindow();
    const HWND focus = ::GetFocus();
    if (focus != window && !::IsChild(window, focus))
        ::SetFocus(window);
    IOleInPlaceActiveObject* active = ActiveObject();
    if (m_frame) {
        m_frame->SetActiveObject(active, nullptr);
        m_frame->SetBorderSpace(nullptr);
    }
    if (m_document) {
        m_document->SetActiveObject(active, nullptr);
        m_document->SetBorderSpace(nullptr);
    }
    return S_OK;
}

void ControlBase::DeactivateUI() {
    if (!m_uiActive)
        return;
    m_uiActive = false;
    if (m_frame)
        m_frame->SetActiveObject(nullptr, nullptr);
    if (m_document)
        m_document->SetActiveObject(nullptr, nullptr);
    if (m_inPlaceSite)
        m_inPlaceSite->OnUIDeactivate(FALSE);
}

void ControlBase::DeactivateInPlace() {
    if (!m_inPlaceSite)
        return;
    DeactivateUI();
    const ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
    DestroyControlWindow();
    m_frame.Reset();
    m_document.Reset();
    site->OnInPlaceDeactivate();
}

HRESULT ControlBase::PlaceWindow(LPCRECT lprcPosRect, LPCRECT lprcClipRect) {
    if (!lprcPosRect)
        return E_INVALIDARG;
    const HWND window = ControlWindow();
    if (!window)
        return E_UNEXPECTED;
    // Only the window moves: the extent is the container's to set (SetExtent), and the
    // pixel rectangle would round it differently on every activation.
    const RECT& position = *lprcPosRect;
    ::MoveWindow(window, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, TRUE);
    // The part outside the clip rectangle (scrolled out of the container's view) is cut
    // away by a window region: the control keeps its layout and paints nothing over the
    // container's frame.
    RECT visible = position;
    if (lprcClipRect)
        ::IntersectRect(&visible, &position, lprcClipRect);
    if (::EqualRect(&visible, &position)) {
        ::SetWindowRgn(window, nullptr, TRUE);
    } else {
        ::OffsetRect(&visible, -position.left, -position.top);
        ::SetWindowRgn(window, ::CreateRectRgnIndirect(&visible), TRUE);
    }
    return S_OK;
}

void ControlBase::SetSite(IOleClientSite* pClientSite) {
    if (!pClientSite && m_inPlaceSite)
        DeactivateInPlace();
    if (!pClientSite) {
        // Leaving its container, the control lets go of the sinks the container gave it: a
        // container that forgets to take them back would otherwise keep both alive.
        m_viewSink.Reset();
        m_viewAspects = m_viewAdviseFlags = 0;
        m_adviseHolder.Reset();
    }
    m_clientSite = pClientSite;
    m_controlSite.Reset();
    if (m_clientSite)
        m_clientSite.As(&m_controlSite);
    ReadAmbients();
    OnAmbientChanged(DISPID_UNKNOWN);
}

void ControlBase::TakeAmbients(bool userMode, OLE_COLOR backColor, IUnknown* font) {
    m_userMode = userMode;
    m_backColor = backColor;
    m_font.Reset();
    if (font)
        font->QueryInterface(IID_PPV_ARGS(&m_font));
}

HRESULT ControlBase::ShowPropertyFrame(HWND parent) {
    const auto pages = PropertyPages();
    if (pages.empty())
        return E_NOTIMPL;
    // A container that shows the frame itself adds its own pages (the extended control's).
    if (m_controlSite && m_controlSite->ShowPropertyFrame() == S_OK)
        return S_OK;
    std::vector<CLSID> ids;
    for (const CLSID* page : pages)
        ids.push_back(*page);
    IUnknown* self = DefaultDispatch();
    const std::wstring caption = _bstr_t(DisplayName()).GetBSTR();
    // The frame is modal: the container's own modeless windows wait meanwhile.
    if (m_frame)
        m_frame->EnableModeless(FALSE);
    const HRESULT status =
        ::OleCreatePropertyFrame(parent ? parent : ControlWindow(), 0, 0, caption.c_str(), 1, &self,
                                 static_cast<ULONG>(ids.size()), ids.data(), LOCALE_USER_DEFAULT, 0, nullptr);
    if (m_frame)
        m_frame->EnableModeless(TRUE);
    return status;
}

HRESULT ControlBase::ChangeExtent(DWORD aspect, const SIZEL* size) {
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    if (size->cx < 0 || size->cy < 0)
        return E_INVALIDARG;
    if (size->cx != m_extent.cx || size->cy != m_extent.cy) {
        m_extent = *size;
        m_dirty = true;
        FireViewChange();
    }
    return S_OK;
}

HRESULT ControlBase::ReadExtent(DWORD aspect, SIZEL* size) const {
    if (!IsDrawAspect(aspect))
        return DV_E_DVASPECT;
    *size = m_extent;
    return S_OK;
}

void ControlBase::SetViewAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    m_viewAspects = aspects;
    m_viewAdviseFlags = flags;
    m_viewSink = sink;
    if (sink && (flags & ADVF_PRIMEFIRST))
        NotifyViewSink();
}

void ControlBase::NotifyViewSink() {
    const ComPtr<IAdviseSink> sink = m_viewSink;
    // A sink advised only once lets go with its first notice, a primed one included.
    if (m_viewAdviseFlags & ADVF_ONLYONCE) {
        m_viewSink.Reset();
        m_viewAspects = m_viewAdviseFlags = 0;
    }
    sink->OnViewChange(DVASPECT_CONTENT, -1);
}

void ControlBase::GetViewAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const {
    if (aspects)
        *aspects = m_viewAspects;
    if (flags)
        *flags = m_viewAdviseFlags;
    if (sink)
        m_viewSink.CopyTo(sink);
}

IOleAdviseHolder* ControlBase::AdviseHolder() {
    if (!m_adviseHolder)
        Com::ThrowIfFailed(::CreateOleAdviseHolder(&m_adviseHolder));
    return m_adviseHolder.Get();
}

void ControlBase::CountEventFreeze(bool freeze) {
    if (freeze)
        ++m_freezeCount;
    else if (m_freezeCount > 0)
        --m_freezeCount;
}

HRESULT ControlBase::CopyClassId(CLSID* classId) const {
    return Boundary(classId, [&] { *classId = ClassId(); });
}

void ControlBase::ResetToDefaults() {
    OnInitNew();
    m_dirty = false;
}

SavedState ControlBase::CaptureState() {
    SavedState state;
    state.extent = m_extent;
    for (const PersistedProperty& property : Properties())
        state.values.push_back(GetProperty(DefaultTypeInfo(), DefaultDispatch(), property.id));
    return state;
}

void ControlBase::ApplyState(const SavedState& state) {
    // The state was read whole before anything changes; a setter that refuses its value puts
    // the earlier values back, so a failed load leaves the control as it was.
    if (state.extent.cx < 0 || state.extent.cy < 0)
        Com::Throw(E_INVALIDARG);
    const SavedState earlier = CaptureState();
    const bool wasDirty = m_dirty;
    const auto properties = Properties();
    struct Loading {
        bool& flag;
        ~Loading() { flag = false; }
    } loading{m_loading};
    m_loading = true;
    try {
        for (size_t index = 0; index < properties.size(); ++index)
            PutProperty(DefaultTypeInfo(), DefaultDispatch(), properties[index].id, state.values[index]);
    } catch (const _com_error&) {
        // Put back as it was; only a property that could not be put back leaves the control
        // changed.
        bool restored = true;
        for (size_t index = 0; index < properties.size(); ++index)
            try {
                PutProperty(DefaultTypeInfo(), DefaultDispatch(), properties[index].id,
                            earlier.values[index]);
            } catch (const _com_error&) {
                restored = false;
            }
        m_dirty = wasDirty || !restored;
        throw;
    }
    m_extent = state.extent;
    m_dirty = false;
    FireViewChange();
}

bool ControlBase::IsDrawAspect(DWORD aspect) {
    return aspect == DVASPECT_CONTENT || aspect == DVASPECT_OPAQUE || aspect == DVASPECT_TRANSPARENT;
}

HWND ControlBase::ContainerWindow() const {
    Microsoft::WRL::ComPtr<IOleWindow> window;
    HWND handle = nullptr;
    if (m_clientSite && SUCCEEDED(m_clientSite.As(&window)) && window && SUCCEEDED(window->GetWindow(&handle)))
        return handle;
    return nullptr;
}

} // namespace Fw
