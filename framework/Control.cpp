#include "framework/Control.h"

#include "framework/Boundary.h"

#include <comdef.h>

#include <cstddef>
#include <string>
#include <vector>

namespace Fw {

using Microsoft::WRL::ComPtr;

namespace {

void Require(HRESULT status) {
    if (FAILED(status))
        _com_issue_error(status);
}

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

bool IsDrawAspect(DWORD aspect) {
    return aspect == DVASPECT_CONTENT || aspect == DVASPECT_OPAQUE || aspect == DVASPECT_TRANSPARENT;
}

} // namespace

void DrawDesignerFace(HDC dc, const RECT& bounds, const char* name, HFONT font) {
    const int saved = ::SaveDC(dc);
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    ::SelectObject(dc, ::GetSysColorBrush(COLOR_WINDOW));
    ::Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    RECT text = bounds;
    ::DrawTextA(dc, name, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::RestoreDC(dc, saved);
}

ControlBase::ControlBase(SIZEL extent)
    : m_extent(extent) {}

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
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
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

// --- activation ----------------------------------------------------------------------------

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
        SetObjectRects(&position, &clip);
    } else {
        FollowSite();
    }
    const HWND window = ControlWindow();
    if (verb == OLEIVERB_HIDE) {
        UIDeactivate();
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
        SetObjectRects(&position, &clip);
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
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
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

HRESULT ControlBase::UIDeactivate() {
    return Boundary([&] {
        if (!m_uiActive)
            return;
        m_uiActive = false;
        if (m_frame)
            m_frame->SetActiveObject(nullptr, nullptr);
        if (m_document)
            m_document->SetActiveObject(nullptr, nullptr);
        if (m_inPlaceSite)
            m_inPlaceSite->OnUIDeactivate(FALSE);
    });
}

HRESULT ControlBase::InPlaceDeactivate() {
    return Boundary([&] {
        if (!m_inPlaceSite)
            return;
        UIDeactivate();
        const ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
        DestroyControlWindow();
        m_frame.Reset();
        m_document.Reset();
        site->OnInPlaceDeactivate();
    });
}

HRESULT ControlBase::SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) {
    return Boundary([&] {
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
    });
}

// --- IOleObject ----------------------------------------------------------------------------

HRESULT ControlBase::SetClientSite(IOleClientSite* pClientSite) {
    return Boundary([&] {
        if (!pClientSite && m_inPlaceSite)
            InPlaceDeactivate();
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
    });
}

HRESULT ControlBase::GetClientSite(IOleClientSite** ppClientSite) {
    return Boundary(ppClientSite, [&] { m_clientSite.CopyTo(ppClientSite); });
}

HRESULT ControlBase::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT ControlBase::Close(DWORD dwSaveOption) {
    return Boundary([&] {
        InPlaceDeactivate();
        if (m_dirty && m_clientSite &&
            (dwSaveOption == OLECLOSE_SAVEIFDIRTY || dwSaveOption == OLECLOSE_PROMPTSAVE))
            m_clientSite->SaveObject();
        if (m_adviseHolder)
            m_adviseHolder->SendOnClose();
    });
}

HRESULT ControlBase::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT ControlBase::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    return Boundary(ppmk, [] { return E_NOTIMPL; });
}

HRESULT ControlBase::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT ControlBase::GetClipboardData(DWORD, IDataObject** ppDataObject) {
    return Boundary(ppDataObject, [] { return E_NOTIMPL; });
}

HRESULT ControlBase::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND hwndParent, LPCRECT) {
    return Boundary([&]() -> HRESULT {
        // A container that skipped SetClientSite may still name the site the verb is for.
        if (!m_clientSite && pActiveSite)
            SetClientSite(pActiveSite);
        switch (iVerb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(iVerb);
        case OLEIVERB_HIDE:
            // Only an active control has a face to hide.
            return InPlaceActive() ? InPlaceActivate(iVerb) : S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyFrame(hwndParent);
        default: {
            if (iVerb < 0)
                return E_NOTIMPL;
            // A verb the control does not know is taken for the primary one.
            const HRESULT status = InPlaceActivate(OLEIVERB_PRIMARY);
            return FAILED(status) ? status : OLEOBJ_S_INVALIDVERB;
        }
        }
    });
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
    IUnknown* self = static_cast<IOleObject*>(this);
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

HRESULT ControlBase::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
    return Boundary(ppEnumOleVerb, [&] { return ::OleRegEnumVerbs(ClassId(), ppEnumOleVerb); });
}

HRESULT ControlBase::Update() {
    return S_OK;
}

HRESULT ControlBase::IsUpToDate() {
    return S_OK;
}

HRESULT ControlBase::GetUserClassID(CLSID* pClsid) {
    return Boundary(pClsid, [&] { *pClsid = ClassId(); });
}

HRESULT ControlBase::GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) {
    return Boundary(pszUserType, [&] { return ::OleRegGetUserType(ClassId(), dwFormOfType, pszUserType); });
}

HRESULT ControlBase::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    return Boundary([&] {
        if (dwDrawAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!psizel)
            return E_POINTER;
        if (psizel->cx != m_extent.cx || psizel->cy != m_extent.cy) {
            m_extent = *psizel;
            m_dirty = true;
            FireViewChange();
        }
        return S_OK;
    });
}

HRESULT ControlBase::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    return Boundary(psizel, [&] {
        // Drawn opaque or transparent, the control has the size of its content.
        if (!IsDrawAspect(dwDrawAspect))
            return DV_E_DVASPECT;
        *psizel = m_extent;
        return S_OK;
    });
}

HRESULT ControlBase::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) {
    return Boundary(pdwConnection, [&] {
        if (!m_adviseHolder)
            Require(::CreateOleAdviseHolder(&m_adviseHolder));
        return m_adviseHolder->Advise(pAdvSink, pdwConnection);
    });
}

HRESULT ControlBase::Unadvise(DWORD dwConnection) {
    return Boundary(
        [&] { return m_adviseHolder ? m_adviseHolder->Unadvise(dwConnection) : OLE_E_NOCONNECTION; });
}

HRESULT ControlBase::EnumAdvise(IEnumSTATDATA** ppenumAdvise) {
    return Boundary(ppenumAdvise,
                    [&] { return m_adviseHolder ? m_adviseHolder->EnumAdvise(ppenumAdvise) : E_FAIL; });
}

HRESULT ControlBase::GetMiscStatus(DWORD, DWORD* pdwStatus) {
    return Boundary(pdwStatus, [&] { *pdwStatus = miscStatus; });
}

HRESULT ControlBase::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

// --- IOleWindow, IOleInPlaceObjectWindowless, IOleInPlaceActiveObject ------------------------

HRESULT ControlBase::GetWindow(HWND* phwnd) {
    return Boundary(phwnd, [&] {
        *phwnd = ControlWindow();
        return *phwnd ? S_OK : E_FAIL;
    });
}

HRESULT ControlBase::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT ControlBase::ReactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT ControlBase::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* plResult) {
    // Only a windowless control is handed its messages; this one has a window.
    return Boundary(plResult, [] { return S_FALSE; });
}

HRESULT ControlBase::GetDropTarget(IDropTarget** ppDropTarget) {
    return Boundary(ppDropTarget, [] { return E_NOTIMPL; });
}

HRESULT ControlBase::TranslateAccelerator(LPMSG lpmsg) {
    return Boundary([&] {
        if (!lpmsg)
            return E_POINTER;
        // Dialog hosts would take the arrows and F5 for navigation before the window saw them.
        const HWND window = ControlWindow();
        const bool ours = window && (lpmsg->hwnd == window || ::IsChild(window, lpmsg->hwnd));
        const bool key = lpmsg->message == WM_KEYDOWN || lpmsg->message == WM_KEYUP;
        if (!ours || !key || !WantsKey(static_cast<UINT>(lpmsg->wParam)))
            return S_FALSE;
        ::TranslateMessage(lpmsg);
        ::DispatchMessageA(lpmsg);
        return S_OK;
    });
}

HRESULT ControlBase::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT ControlBase::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT ControlBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT ControlBase::EnableModeless(BOOL) {
    return S_OK;
}

// --- IOleControl ---------------------------------------------------------------------------

HRESULT ControlBase::GetControlInfo(CONTROLINFO* pCI) {
    return Boundary([&] {
        if (!pCI)
            return E_POINTER;
        if (pCI->cb < sizeof(CONTROLINFO))
            return E_INVALIDARG;
        pCI->hAccel = nullptr;
        pCI->cAccel = 0;
        pCI->dwFlags = 0;
        return S_OK;
    });
}

HRESULT ControlBase::OnMnemonic(MSG*) {
    return E_NOTIMPL;
}

HRESULT ControlBase::OnAmbientPropertyChange(DISPID dispID) {
    return Boundary([&] {
        ReadAmbients();
        OnAmbientChanged(dispID);
        FireViewChange();
    });
}

HRESULT ControlBase::FreezeEvents(BOOL bFreeze) {
    if (bFreeze)
        ++m_freezeCount;
    else if (m_freezeCount > 0)
        --m_freezeCount;
    return S_OK;
}

// --- IViewObjectEx -------------------------------------------------------------------------

HRESULT ControlBase::Draw(DWORD dwDrawAspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw,
                          LPCRECTL lprcBounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return Boundary([&] {
        if (!IsDrawAspect(dwDrawAspect))
            return DV_E_DVASPECT;
        if (!hdcDraw || !lprcBounds)
            return E_INVALIDARG;
        const RECT bounds = {lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom};
        OnDraw(hdcDraw, bounds);
        return S_OK;
    });
}

HRESULT ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** ppColorSet) {
    return Boundary(ppColorSet, [] { return S_FALSE; });
}

HRESULT ControlBase::Freeze(DWORD, LONG, void*, DWORD* pdwFreeze) {
    return Boundary(pdwFreeze, [] { return E_NOTIMPL; });
}

HRESULT ControlBase::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT ControlBase::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) {
    m_viewAspects = aspects;
    m_viewAdviseFlags = advf;
    m_viewSink = pAdvSink;
    return S_OK;
}

HRESULT ControlBase::GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) {
    if (pAspects)
        *pAspects = m_viewAspects;
    if (pAdvf)
        *pAdvf = m_viewAdviseFlags;
    if (ppAdvSink)
        m_viewSink.CopyTo(ppAdvSink);
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE*, LPSIZEL lpsizel) {
    return GetExtent(dwDrawAspect, lpsizel);
}

HRESULT ControlBase::GetRect(DWORD, LPRECTL) {
    return E_NOTIMPL;
}

HRESULT ControlBase::GetViewStatus(DWORD* pdwStatus) {
    return Boundary(pdwStatus, [&] { *pdwStatus = VIEWSTATUS_SOLIDBKGND | VIEWSTATUS_OPAQUE; });
}

HRESULT ControlBase::QueryHitPoint(DWORD dwAspect, LPCRECT pRectBounds, POINT ptlLoc, LONG,
                                   DWORD* pHitResult) {
    return Boundary(pHitResult, [&] {
        if (!IsDrawAspect(dwAspect))
            return DV_E_DVASPECT;
        if (!pRectBounds)
            return E_POINTER;
        *pHitResult = ::PtInRect(pRectBounds, ptlLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    });
}

HRESULT ControlBase::QueryHitRect(DWORD dwAspect, LPCRECT pRectBounds, LPCRECT pRectLoc, LONG,
                                  DWORD* pHitResult) {
    return Boundary(pHitResult, [&] {
        if (!IsDrawAspect(dwAspect))
            return DV_E_DVASPECT;
        if (!pRectBounds || !pRectLoc)
            return E_POINTER;
        RECT overlap;
        *pHitResult = ::IntersectRect(&overlap, pRectBounds, pRectLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    });
}

HRESULT ControlBase::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
    return E_NOTIMPL;
}

// --- persistence ---------------------------------------------------------------------------

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

HRESULT ControlBase::GetClassID(CLSID* pClassID) {
    return Boundary(pClassID, [&] { *pClassID = ClassId(); });
}

HRESULT ControlBase::IsDirty() {
    return m_dirty ? S_OK : S_FALSE;
}

HRESULT ControlBase::Load(LPSTREAM pStm) {
    return Boundary([&] { ApplyState(ReadState(pStm, Properties().size())); });
}

HRESULT ControlBase::Save(LPSTREAM pStm, BOOL fClearDirty) {
    return Boundary([&] {
        WriteState(pStm, CaptureState());
        if (fClearDirty)
            m_dirty = false;
    });
}

HRESULT ControlBase::GetSizeMax(ULARGE_INTEGER* pCbSize) {
    return Boundary(pCbSize, [&] { pCbSize->QuadPart = StateSize(Properties().size()); });
}

HRESULT ControlBase::InitNew() {
    return Boundary([&] {
        OnInitNew();
        m_dirty = false;
    });
}

HRESULT ControlBase::InitNew(IStorage*) {
    return InitNew();
}

HRESULT ControlBase::Load(IStorage* pStg) {
    return Boundary([&] {
        if (!pStg)
            return E_POINTER;
        ComPtr<IStream> stream;
        if (FAILED(pStg->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
            return E_FAIL;
        ApplyState(ReadState(stream.Get(), Properties().size()));
        return S_OK;
    });
}

HRESULT ControlBase::Save(IStorage* pStgSave, BOOL fSameAsLoad) {
    return Boundary([&] {
        if (!pStgSave)
            return E_POINTER;
        ComPtr<IStream> stream;
        Require(pStgSave->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                       &stream));
        WriteState(stream.Get(), CaptureState());
        if (fSameAsLoad)
            m_dirty = false;
        return S_OK;
    });
}

HRESULT ControlBase::SaveCompleted(IStorage*) {
    return S_OK;
}

HRESULT ControlBase::HandsOffStorage() {
    return S_OK;
}

HRESULT ControlBase::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
    return Boundary([&] { ApplyState(ReadBag(pPropBag, pErrorLog, Properties())); });
}

HRESULT ControlBase::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
    return Boundary([&] {
        WriteBag(pPropBag, CaptureState(), Properties());
        if (fClearDirty)
            m_dirty = false;
    });
}

// --- IQuickActivate ------------------------------------------------------------------------

HRESULT ControlBase::QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) {
    return Boundary([&] {
        if (!pQaContainer || !pQaControl)
            return E_POINTER;
        // Older containers pass shorter records: read and write only what they hold.
        if (pQaContainer->cbSize < offsetof(QACONTAINER, pFont) + sizeof(pQaContainer->pFont) ||
            pQaControl->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
            return E_INVALIDARG;
        SetClientSite(pQaContainer->pClientSite);
        m_userMode = (pQaContainer->dwAmbientFlags & QACONTAINER_USERMODE) != 0;
        m_backColor = pQaContainer->colorBack;
        m_font.Reset();
        if (pQaContainer->pFont)
            pQaContainer->pFont->QueryInterface(IID_PPV_ARGS(&m_font));
        if (pQaContainer->pAdviseSink)
            SetAdvise(DVASPECT_CONTENT, 0, pQaContainer->pAdviseSink);
        pQaControl->dwMiscStatus = miscStatus;
        pQaControl->dwViewStatus = VIEWSTATUS_SOLIDBKGND | VIEWSTATUS_OPAQUE;
        pQaControl->dwEventCookie = 0;
        pQaControl->dwPropNotifyCookie = 0;
        if (pQaControl->cbSize >= sizeof(QACONTROL))
            pQaControl->dwPointerActivationPolicy = 0;
        if (ConnectionPoint* point = DefaultEventPoint(); point && pQaContainer->pUnkEventSink)
            point->Advise(pQaContainer->pUnkEventSink, &pQaControl->dwEventCookie);
        if (ConnectionPoint* point = PropertyNotifyPoint(); point && pQaContainer->pPropertyNotifySink)
            point->Advise(pQaContainer->pPropertyNotifySink, &pQaControl->dwPropNotifyCookie);
        OnAmbientChanged(DISPID_UNKNOWN);
        return S_OK;
    });
}

HRESULT ControlBase::SetContentExtent(LPSIZEL pSizel) {
    return SetExtent(DVASPECT_CONTENT, pSizel);
}

HRESULT ControlBase::GetContentExtent(LPSIZEL pSizel) {
    return GetExtent(DVASPECT_CONTENT, pSizel);
}

// --- IDataObject ---------------------------------------------------------------------------

HRESULT ControlBase::GetData(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT ControlBase::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT ControlBase::QueryGetData(FORMATETC*) {
    return DV_E_FORMATETC;
}

HRESULT ControlBase::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pformatetcOut) {
    if (pformatetcOut)
        pformatetcOut->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlBase::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT ControlBase::EnumFormatEtc(DWORD, IEnumFORMATETC** ppenumFormatEtc) {
    return Boundary(ppenumFormatEtc, [] { return OLE_S_USEREG; });
}

HRESULT ControlBase::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* pdwConnection) {
    return Boundary(pdwConnection, [] { return OLE_E_ADVISENOTSUPPORTED; });
}

HRESULT ControlBase::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ControlBase::EnumDAdvise(IEnumSTATDATA** ppenumAdvise) {
    return Boundary(ppenumAdvise, [] { return OLE_E_ADVISENOTSUPPORTED; });
}

// --- IProvideClassInfo2, ISpecifyPropertyPages ---------------------------------------------

HRESULT ControlBase::GetClassInfo(ITypeInfo** ppTI) {
    return Boundary(ppTI, [&] {
        ITypeInfo* info = TypeLibrary::TypeInfoOf(ClassId());
        info->AddRef();
        *ppTI = info;
    });
}

HRESULT ControlBase::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
    return Boundary(pGUID, [&] {
        if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        const IID source = DefaultSourceInterface(TypeLibrary::TypeInfoOf(ClassId()));
        if (::InlineIsEqualGUID(source, IID_NULL))
            return E_FAIL;
        *pGUID = source;
        return S_OK;
    });
}

HRESULT ControlBase::GetPages(CAUUID* pPages) {
    return Boundary([&] {
        if (!pPages)
            return E_POINTER;
        const auto pages = PropertyPages();
        pPages->cElems = 0;
        pPages->pElems = nullptr;
        if (pages.empty())
            return S_OK;
        pPages->pElems = static_cast<GUID*>(::CoTaskMemAlloc(pages.size() * sizeof(GUID)));
        if (!pPages->pElems)
            return E_OUTOFMEMORY;
        for (const CLSID* page : pages)
            pPages->pElems[pPages->cElems++] = *page;
        return S_OK;
    });
}

} // namespace Fw
