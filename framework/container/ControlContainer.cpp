#include "framework/container/ControlContainer.h"

#include "framework/com/TypeLibrary.h"

#include "foundation/Lang/Text.h"
#include "foundation/Win32/ScopedDc.h"
#include "framework/com/ComObject.h"

namespace Fw {

using Microsoft::WRL::ComPtr;

namespace {

void Check(HRESULT status, const char* step) {
    if (FAILED(status))
        throw EmbedError(status, step);
}

// Creates one of the container's objects; I is one of T's own interfaces, through which T
// is reached again (the object's IUnknown is the framework's inner one, which is no T).
template <class T, class I>
ComPtr<I> NewObject() {
    ComPtr<I> object;
    Check(Object<T>::Create(nullptr, __uuidof(I), reinterpret_cast<void**>(object.GetAddressOf())),
          "creating the container's objects");
    return object;
}

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

// --- The frame: one per container, shared by its sites ---

class FrameObject : public ObjectRoot, public IOleInPlaceFrame {
public:
    static inline const InterfaceEntry interfaces[] = {
        Entry<FrameObject, IOleWindow, IOleInPlaceFrame>(),
        Entry<FrameObject, IOleInPlaceUIWindow, IOleInPlaceFrame>(),
        Entry<FrameObject, IOleInPlaceFrame>(),
    };

    void Init(HWND host) { m_window = ::GetAncestor(host, GA_ROOT); }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceUIWindow: a form has no room for a control's toolbars.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override {
        const bool none = !widths || (!widths->left && !widths->top && !widths->right && !widths->bottom);
        return none ? S_OK : INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override {
        m_activeObject = active;
        return S_OK;
    }

    // IOleInPlaceFrame: no menus of its own to merge.
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) override {
        if (widths)
            widths->width[0] = widths->width[2] = widths->width[4] = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    HWND Window() const { return m_window; }
    ComPtr<IOleInPlaceActiveObject> ActiveObject() const { return m_activeObject; }

    // Only one control is UI-active in a form: activating one deactivates the other.
    SiteObject* uiActive = nullptr;

    // A control that keeps the frame past its container finds it without a window.
    void Detach() {
        m_window = nullptr;
        m_activeObject.Reset();
        uiActive = nullptr;
    }

private:
    HWND m_window = nullptr;
    ComPtr<IOleInPlaceActiveObject> m_activeObject;
};

// --- The site: one per control. It lives as long as anyone holds it, so a control that
// keeps its site past Close finds a live object rather than a dangling one. ---

class SiteObject : public ObjectRoot,
                   public IOleClientSite,
                   public IOleInPlaceSite,
                   public IOleControlSite,
                   public IDispatch,
                   public IPropertyNotifySink {
public:
    static inline const InterfaceEntry interfaces[] = {
        Entry<SiteObject, IOleClientSite>(),  Entry<SiteObject, IOleWindow, IOleInPlaceSite>(),
        Entry<SiteObject, IOleInPlaceSite>(), Entry<SiteObject, IOleControlSite>(),
        Entry<SiteObject, IDispatch>(),       Entry<SiteObject, IPropertyNotifySink>(),
    };

    void Init(HWND host, ComPtr<IOleInPlaceFrame> frame, FrameObject* frameObject, ComPtr<IFontDisp> font,
              const EmbedOptions& options) {
        m_host = host;
        m_frameReference = std::move(frame);
        m_frame = frameObject;
        m_font = std::move(font);
        m_options = options;
        m_rect = options.rect;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
        if (ppmk)
            *ppmk = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override {
        if (ppContainer)
            *ppContainer = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleInPlaceSite: the control's window is a child of the host window.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_host;
        return m_host ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return m_host ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        m_inPlaceActive = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        if (m_frame->uiActive && m_frame->uiActive != this)
            m_frame->uiActive->UIDeactivateControl();
        m_frame->uiActive = this;
        m_uiActive = true;
        return S_OK;
    }
    // A form is its own document: there is no separate document window (ppDoc is null),
    // which controls must accept.
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
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
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
        m_uiActive = false;
        if (m_frame->uiActive == this)
            m_frame->uiActive = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        m_inPlaceActive = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override {
        if (const auto inPlace = InPlaceObject())
            inPlace->InPlaceDeactivate();
        return S_OK;
    }
    // The form grants whatever rectangle the control asks for.
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override {
        if (!rect)
            return E_POINTER;
        return SetRect(*rect);
    }

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** ppDisp) override {
        if (ppDisp)
            *ppDisp = nullptr;
        return E_NOTIMPL;
    }
    // The form's units are pixels.
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override {
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
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL fGotFocus) override {
        m_focused = fGotFocus != FALSE;
        if (m_options.focusChanged)
            m_options.focusChanged(m_focused);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties, read by DISPID only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; ids && i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        VARIANT value;
        ::VariantInit(&value);
        switch (id) {
        case DISPID_AMBIENT_USERMODE:
            value.vt = VT_BOOL;
            value.boolVal = m_options.userMode ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case DISPID_AMBIENT_BACKCOLOR:
            value.vt = VT_I4;
            value.lVal = LONG(m_options.backColor);
            break;
        case DISPID_AMBIENT_FONT:
            value.vt = VT_DISPATCH;
            value.pdispVal = m_font.Get();
            if (value.pdispVal)
                value.pdispVal->AddRef();
            break;
        case DISPID_AMBIENT_DISPLAYNAME:
            value.vt = VT_BSTR;
            value.bstrVal = Lang::ToBstr(m_options.displayName);
            break;
        case DISPID_AMBIENT_LOCALEID:
            value.vt = VT_I4;
            value.lVal = LONG(m_options.localeId);
            break;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!result) {
            ::VariantClear(&value);
            return E_INVALIDARG;
        }
        *result = value;
        return S_OK;
    }

    // IPropertyNotifySink
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        if (m_options.propertyChanged)
            m_options.propertyChanged(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    // --- what ControlSite and ControlContainer do with it ---

    void Embed(const ComPtr<IUnknown>& control, const std::wstring& hostName) {
        Check(control.As(&m_control), "QueryInterface(IOleObject)");

        ComPtr<IQuickActivate> quick;
        if (m_options.quickActivate && SUCCEEDED(m_control.As(&quick)))
            QuickActivate(quick.Get());
        else if (m_options.siteBeforeLoad)
            Check(m_control->SetClientSite(this), "IOleObject::SetClientSite");
        LoadData();
        if (!m_quickActivated) {
            if (!m_options.siteBeforeLoad)
                Check(m_control->SetClientSite(this), "IOleObject::SetClientSite");
            AdviseSinks();
        }
        m_control->SetHostNames(hostName.c_str(), Lang::ToWide(m_options.displayName).c_str());
        SIZEL extent = HimetricOf(m_rect);
        m_control->SetExtent(DVASPECT_CONTENT, &extent);
    }

    HRESULT DoVerb(LONG verb) {
        if (!m_control)
            return E_UNEXPECTED;
        return m_control->DoVerb(verb, nullptr, this, 0, m_host, &m_rect);
    }

    HRESULT Deactivate() {
        const auto inPlace = InPlaceObject();
        return inPlace ? inPlace->InPlaceDeactivate() : E_NOINTERFACE;
    }

    HRESULT Close() {
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

    HRESULT SetRect(const RECT& rect) {
        m_rect = rect;
        const auto inPlace = InPlaceObject();
        return inPlace ? inPlace->SetObjectRects(&m_rect, &m_rect) : S_OK;
    }

    void AmbientChanged(DISPID id) {
        ComPtr<IOleControl> control;
        if (m_control && SUCCEEDED(m_control.As(&control)))
            control->OnAmbientPropertyChange(id);
    }

    // The host window is going: a control that outlives it must not be given it again.
    void Detach() { m_host = nullptr; }

    ComPtr<IOleObject> m_control;
    EmbedOptions m_options;
    RECT m_rect{};
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_quickActivated = false;
    bool m_focused = false;

private:
    ComPtr<IOleInPlaceObject> InPlaceObject() const {
        ComPtr<IOleInPlaceObject> inPlace;
        if (m_control)
            m_control.As(&inPlace);
        return inPlace;
    }

    void UIDeactivateControl() {
        if (const auto inPlace = InPlaceObject())
            inPlace->UIDeactivate();
    }

    void LoadData() {
        ComPtr<IPersistStreamInit> persist;
        if (FAILED(m_control.As(&persist))) {
            if (m_options.data)
                Check(E_NOINTERFACE, "QueryInterface(IPersistStreamInit) for the data");
            return;
        }
        if (m_options.data)
            Check(persist->Load(m_options.data.Get()), "IPersistStreamInit::Load");
        else
            Check(persist->InitNew(), "IPersistStreamInit::InitNew");
    }

    bool Listening() const { return bool(m_options.propertyChanged); }

    void QuickActivate(IQuickActivate* quick) {
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
        Check(quick->QuickActivate(&container, &answer), "IQuickActivate::QuickActivate");
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

    void AdviseSinks() {
        if (Listening() && (m_propertyPoint = FindPoint(IID_IPropertyNotifySink)))
            Check(m_propertyPoint->Advise(static_cast<IPropertyNotifySink*>(this), &m_propertyCookie),
                  "IConnectionPoint::Advise(IPropertyNotifySink)");
        if (m_options.eventSink) {
            m_eventPoint = FindPoint(DefaultSource());
            if (!m_eventPoint)
                Check(CONNECT_E_NOCONNECTION, "FindConnectionPoint(default source)");
            Check(m_eventPoint->Advise(m_options.eventSink.Get(), &m_eventCookie),
                  "IConnectionPoint::Advise(events)");
        }
    }

    ComPtr<IConnectionPoint> FindPoint(REFIID iid) const {
        ComPtr<IConnectionPointContainer> points;
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(m_control.As(&points)))
            points->FindConnectionPoint(iid, &point);
        return point;
    }

    // Hosts find a control's events through its class information: IProvideClassInfo2
    // when it answers it, else the [default, source] interface of its coclass.
    IID DefaultSource() const {
        IID iid = IID_NULL;
        ComPtr<IProvideClassInfo2> info2;
        if (SUCCEEDED(m_control.As(&info2)) &&
            SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
            return iid;
        ComPtr<IProvideClassInfo> info;
        ComPtr<ITypeInfo> coclass;
        Check(m_control.As(&info), "QueryInterface(IProvideClassInfo) for the event interface");
        Check(info->GetClassInfo(&coclass), "IProvideClassInfo::GetClassInfo");
        iid = DefaultSourceInterface(coclass.Get());
        if (::InlineIsEqualGUID(iid, IID_NULL))
            Check(CONNECT_E_NOCONNECTION, "finding the [default, source] interface");
        return iid;
    }

    HWND m_host = nullptr;
    ComPtr<IOleInPlaceFrame> m_frameReference;
    FrameObject* m_frame = nullptr;
    ComPtr<IFontDisp> m_font;
    ComPtr<IConnectionPoint> m_propertyPoint;
    DWORD m_propertyCookie = 0;
    ComPtr<IConnectionPoint> m_eventPoint;
    DWORD m_eventCookie = 0;
};

// --- ControlSite ---

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

// --- ControlContainer ---

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
    Check(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)),
          "CoCreateInstance");
    return Embed(control.Get(), options);
}

ControlSite& ControlContainer::Embed(IUnknown* control, const EmbedOptions& options) {
    if (!control)
        Check(E_POINTER, "Embed(nullptr)");
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
