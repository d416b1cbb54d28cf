#include "TestContainer.h"

#include <cstdio>
#include <stdexcept>

using Microsoft::WRL::ComPtr;

namespace TestSupport {

namespace {

constexpr char kFrameClass[] = "OstrelTestContainer";
constexpr wchar_t kAppName[] = L"OstrelTestContainer";

void check(HRESULT status, const char* step) {
    if (FAILED(status)) {
        char text[160];
        std::snprintf(text, sizeof text, "Embed: %s answered 0x%08lX", step,
                      static_cast<unsigned long>(status));
        throw std::runtime_error(text);
    }
}

std::wstring wide(const std::string& text) {
    std::wstring result(text.size(), L'\0');
    result.resize(size_t(
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), result.data(), int(result.size()))));
    return result;
}

// The container's objects live as long as any control holds them, so a control that
// keeps its site past Close finds a live object rather than a dangling one.
class RefCounted {
protected:
    virtual ~RefCounted() = default;
    ULONG AddRefImpl() { return ++references_; }
    ULONG ReleaseImpl() {
        const ULONG remaining = --references_;
        if (remaining == 0)
            delete this;
        return remaining;
    }

private:
    ULONG references_ = 1;
};

LONG pixelsPerInch(bool horizontal) {
    HDC screen = ::GetDC(nullptr);
    const int perInch = ::GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return perInch > 0 ? perInch : 96;
}

constexpr LONG kHimetricPerInch = 2540;

SIZEL himetricOf(const RECT& rect) {
    return {::MulDiv(rect.right - rect.left, kHimetricPerInch, pixelsPerInch(true)),
            ::MulDiv(rect.bottom - rect.top, kHimetricPerInch, pixelsPerInch(false))};
}

} // namespace

// --- The frame: one per container, shared by its sites ---

class FrameObject final : public IOleInPlaceFrame, private RefCounted {
public:
    explicit FrameObject(HWND window)
        : window_(window) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
            iid == IID_IOleInPlaceFrame) {
            *ppv = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        if (!phwnd)
            return E_POINTER;
        *phwnd = window_;
        return window_ ? S_OK : E_FAIL;
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
        activeObject_ = active;
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

    HWND Window() const { return window_; }
    ComPtr<IOleInPlaceActiveObject> ActiveObject() const { return activeObject_; }

    // Only one control is UI-active in a form: activating one deactivates the other.
    SiteObject* uiActive = nullptr;

    void Detach() {
        window_ = nullptr;
        activeObject_.Reset();
    }

private:
    HWND window_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;
};

// --- The site: one per control ---

class SiteObject final : public IOleClientSite,
                         public IOleInPlaceSite,
                         public IOleControlSite,
                         public IDispatch,
                         public IPropertyNotifySink,
                         private RefCounted {
public:
    SiteObject(ComPtr<FrameObject> frame, ComPtr<IFontDisp> font, const EmbedOptions& options)
        : options_(options)
        , rect_(options.rect)
        , frame_(std::move(frame))
        , font_(std::move(font)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *ppv = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleControlSite)
            *ppv = static_cast<IOleControlSite*>(this);
        else if (iid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else if (iid == IID_IPropertyNotifySink)
            *ppv = static_cast<IPropertyNotifySink*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

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

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override { return frame_->GetWindow(phwnd); }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        inPlaceActive_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        if (frame_->uiActive && frame_->uiActive != this)
            frame_->uiActive->UIDeactivateControl();
        frame_->uiActive = this;
        uiActive_ = true;
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
        *ppFrame = frame_.Get();
        (*ppFrame)->AddRef();
        *lprcPosRect = rect_;
        *lprcClipRect = rect_;
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = frame_->Window();
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
        uiActive_ = false;
        if (frame_->uiActive == this)
            frame_->uiActive = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        inPlaceActive_ = false;
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
        const float x = float(pixelsPerInch(true)), y = float(pixelsPerInch(false));
        if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
            container->x = float(himetric->x) * x / kHimetricPerInch;
            container->y = float(himetric->y) * y / kHimetricPerInch;
        } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
            himetric->x = LONG(container->x * kHimetricPerInch / x + (container->x < 0 ? -0.5f : 0.5f));
            himetric->y = LONG(container->y * kHimetricPerInch / y + (container->y < 0 ? -0.5f : 0.5f));
        } else {
            return E_INVALIDARG;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
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
            value.boolVal = options_.userMode ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case DISPID_AMBIENT_BACKCOLOR:
            value.vt = VT_I4;
            value.lVal = LONG(options_.backColor);
            break;
        case DISPID_AMBIENT_FONT:
            value.vt = VT_DISPATCH;
            value.pdispVal = font_.Get();
            if (value.pdispVal)
                value.pdispVal->AddRef();
            break;
        case DISPID_AMBIENT_DISPLAYNAME:
            value.vt = VT_BSTR;
            value.bstrVal = ::SysAllocString(wide(options_.displayName).c_str());
            break;
        case DISPID_AMBIENT_LOCALEID:
            value.vt = VT_I4;
            value.lVal = LONG(options_.localeId);
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
        changed_.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    // --- what ControlSite and TestContainer do with it ---

    void Embed(const ComPtr<IUnknown>& control) {
        check(control.As(&control_), "QueryInterface(IOleObject)");

        ComPtr<IQuickActivate> quick;
        if (options_.quickActivate && SUCCEEDED(control_.As(&quick)))
            QuickActivate(quick.Get());
        else if (options_.siteBeforeLoad)
            check(control_->SetClientSite(this), "IOleObject::SetClientSite");
        LoadData();
        if (!quickActivated_) {
            if (!options_.siteBeforeLoad)
                check(control_->SetClientSite(this), "IOleObject::SetClientSite");
            AdviseSinks();
        }
        control_->SetHostNames(kAppName, wide(options_.displayName).c_str());
        SIZEL extent = himetricOf(rect_);
        control_->SetExtent(DVASPECT_CONTENT, &extent);
    }

    HRESULT DoVerb(LONG verb) {
        if (!control_)
            return E_UNEXPECTED;
        return control_->DoVerb(verb, nullptr, this, 0, frame_->Window(), &rect_);
    }

    HRESULT Deactivate() {
        const auto inPlace = InPlaceObject();
        return inPlace ? inPlace->InPlaceDeactivate() : E_NOINTERFACE;
    }

    HRESULT Close() {
        if (!control_)
            return S_OK;
        Unadvise(propertyPoint_, propertyCookie_);
        Unadvise(eventPoint_, eventCookie_);
        const HRESULT status = control_->Close(OLECLOSE_NOSAVE);
        control_->SetClientSite(nullptr);
        if (frame_->uiActive == this)
            frame_->uiActive = nullptr;
        control_.Reset();
        return status;
    }

    HRESULT SetRect(const RECT& rect) {
        rect_ = rect;
        const auto inPlace = InPlaceObject();
        return inPlace ? inPlace->SetObjectRects(&rect_, &rect_) : S_OK;
    }

    void AmbientChanged(DISPID id) {
        ComPtr<IOleControl> control;
        if (control_ && SUCCEEDED(control_.As(&control)))
            control->OnAmbientPropertyChange(id);
    }

    ComPtr<IOleObject> control_;
    EmbedOptions options_;
    RECT rect_;
    std::vector<DISPID> changed_;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool quickActivated_ = false;

private:
    ComPtr<IOleInPlaceObject> InPlaceObject() const {
        ComPtr<IOleInPlaceObject> inPlace;
        if (control_)
            control_.As(&inPlace);
        return inPlace;
    }

    void UIDeactivateControl() {
        if (const auto inPlace = InPlaceObject())
            inPlace->UIDeactivate();
    }

    void LoadData() {
        ComPtr<IPersistStreamInit> persist;
        if (FAILED(control_.As(&persist))) {
            if (options_.data)
                check(E_NOINTERFACE, "QueryInterface(IPersistStreamInit) for the data");
            return;
        }
        if (options_.data)
            check(persist->Load(options_.data.Get()), "IPersistStreamInit::Load");
        else
            check(persist->InitNew(), "IPersistStreamInit::InitNew");
    }

    void QuickActivate(IQuickActivate* quick) {
        QACONTAINER container{};
        container.cbSize = sizeof container;
        container.pClientSite = this;
        container.pPropertyNotifySink = this;
        container.pUnkEventSink = options_.eventSink.Get();
        container.dwAmbientFlags = options_.userMode ? QACONTAINER_USERMODE : 0;
        container.colorFore = 0x80000000 | COLOR_WINDOWTEXT;
        container.colorBack = options_.backColor;
        ComPtr<IFont> font;
        if (font_)
            font_.As(&font);
        container.pFont = font.Get();
        container.lcid = options_.localeId;
        container.pOleControlSite = this;
        QACONTROL answer{};
        answer.cbSize = sizeof answer;
        check(quick->QuickActivate(&container, &answer), "IQuickActivate::QuickActivate");
        quickActivated_ = true;
        // The control advised our sinks itself; keep the points to unadvise at Close.
        if (answer.dwPropNotifyCookie) {
            propertyPoint_ = FindPoint(IID_IPropertyNotifySink);
            propertyCookie_ = answer.dwPropNotifyCookie;
        }
        if (answer.dwEventCookie && options_.eventSink) {
            eventPoint_ = FindPoint(DefaultSource());
            eventCookie_ = answer.dwEventCookie;
        }
    }

    void AdviseSinks() {
        if ((propertyPoint_ = FindPoint(IID_IPropertyNotifySink)))
            check(propertyPoint_->Advise(static_cast<IPropertyNotifySink*>(this), &propertyCookie_),
                  "IConnectionPoint::Advise(IPropertyNotifySink)");
        if (options_.eventSink) {
            eventPoint_ = FindPoint(DefaultSource());
            if (!eventPoint_)
                check(CONNECT_E_NOCONNECTION, "FindConnectionPoint(default source)");
            check(eventPoint_->Advise(options_.eventSink.Get(), &eventCookie_),
                  "IConnectionPoint::Advise(events)");
        }
    }

    ComPtr<IConnectionPoint> FindPoint(REFIID iid) const {
        ComPtr<IConnectionPointContainer> points;
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(control_.As(&points)))
            points->FindConnectionPoint(iid, &point);
        return point;
    }

    // Hosts find a control's events through its class information: IProvideClassInfo2
    // when it answers it, else the [default, source] interface of its coclass.
    IID DefaultSource() const {
        IID iid = IID_NULL;
        ComPtr<IProvideClassInfo2> info2;
        if (SUCCEEDED(control_.As(&info2)) &&
            SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
            return iid;
        ComPtr<IProvideClassInfo> info;
        ComPtr<ITypeInfo> coclass;
        check(control_.As(&info), "QueryInterface(IProvideClassInfo) for the event interface");
        check(info->GetClassInfo(&coclass), "IProvideClassInfo::GetClassInfo");
        TYPEATTR* attributes = nullptr;
        check(coclass->GetTypeAttr(&attributes), "ITypeInfo::GetTypeAttr");
        const WORD count = attributes->cImplTypes;
        coclass->ReleaseTypeAttr(attributes);
        for (UINT i = 0; i < count; ++i) {
            INT implFlags = 0;
            HREFTYPE ref = 0;
            ComPtr<ITypeInfo> source;
            if (FAILED(coclass->GetImplTypeFlags(i, &implFlags)) ||
                (implFlags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
                    (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) ||
                FAILED(coclass->GetRefTypeOfImplType(i, &ref)) ||
                FAILED(coclass->GetRefTypeInfo(ref, &source)) || FAILED(source->GetTypeAttr(&attributes)))
                continue;
            iid = attributes->guid;
            source->ReleaseTypeAttr(attributes);
            return iid;
        }
        check(CONNECT_E_NOCONNECTION, "finding the [default, source] interface");
        return iid;
    }

    static void Unadvise(ComPtr<IConnectionPoint>& point, DWORD& cookie) {
        if (point && cookie)
            point->Unadvise(cookie);
        point.Reset();
        cookie = 0;
    }

    ComPtr<FrameObject> frame_;
    ComPtr<IFontDisp> font_;
    ComPtr<IConnectionPoint> propertyPoint_;
    DWORD propertyCookie_ = 0;
    ComPtr<IConnectionPoint> eventPoint_;
    DWORD eventCookie_ = 0;
};

// --- ControlSite ---

ControlSite::ControlSite(ComPtr<SiteObject> object)
    : object_(std::move(object)) {}

ControlSite::~ControlSite() {
    object_->Close();
}

HRESULT ControlSite::DoVerb(LONG verb) {
    return object_->DoVerb(verb);
}

HRESULT ControlSite::Deactivate() {
    return object_->Deactivate();
}

HRESULT ControlSite::Close() {
    return object_->Close();
}

HRESULT ControlSite::SetRect(const RECT& rect) {
    return object_->SetRect(rect);
}

RECT ControlSite::Rect() const {
    return object_->rect_;
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
    return object_->control_;
}

IOleClientSite* ControlSite::ClientSite() const {
    return object_.Get();
}

const std::vector<DISPID>& ControlSite::ChangedProperties() const {
    return object_->changed_;
}

void ControlSite::ClearChangedProperties() {
    object_->changed_.clear();
}

void ControlSite::SetUserMode(bool userMode) {
    object_->options_.userMode = userMode;
    object_->AmbientChanged(DISPID_AMBIENT_USERMODE);
}

void ControlSite::SetBackColor(OLE_COLOR color) {
    object_->options_.backColor = color;
    object_->AmbientChanged(DISPID_AMBIENT_BACKCOLOR);
}

bool ControlSite::InPlaceActive() const {
    return object_->inPlaceActive_;
}

bool ControlSite::UIActive() const {
    return object_->uiActive_;
}

bool ControlSite::QuickActivated() const {
    return object_->quickActivated_;
}

// --- TestContainer ---

TestContainer::TestContainer(bool shown) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFrameClass;
    ::RegisterClassA(&windowClass); // the second container finds it registered
    window_ = ::CreateWindowExA(0, kFrameClass, "Test container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window_)
        throw std::runtime_error("TestContainer: CreateWindowEx failed");
    if (shown)
        ::ShowWindow(window_, SW_SHOWNORMAL);
    frame_.Attach(new FrameObject(window_));
    oleInitialized_ = SUCCEEDED(::OleInitialize(nullptr));

    // A form's ambient font: 8 point Tahoma.
    FONTDESC font{};
    font.cbSizeofstruct = sizeof font;
    font.lpstrName = const_cast<LPOLESTR>(L"Tahoma");
    font.cySize.int64 = 80000;
    font.sWeight = FW_NORMAL;
    font.sCharset = DEFAULT_CHARSET;
    ::OleCreateFontIndirect(&font, IID_IFontDisp, reinterpret_cast<void**>(font_.GetAddressOf()));
}

TestContainer::~TestContainer() {
    while (!sites_.empty())
        sites_.pop_back();
    frame_->Detach();
    frame_.Reset();
    font_.Reset();
    ::DestroyWindow(window_);
    if (oleInitialized_)
        ::OleUninitialize();
}

ControlSite& TestContainer::Embed(REFCLSID clsid, const EmbedOptions& options) {
    ComPtr<IUnknown> control;
    check(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)),
          "CoCreateInstance");
    return Embed(control.Get(), options);
}

ControlSite& TestContainer::Embed(IUnknown* control, const EmbedOptions& options) {
    if (!control)
        check(E_POINTER, "Embed(nullptr)");
    ComPtr<SiteObject> object;
    object.Attach(new SiteObject(frame_, font_, options));
    sites_.push_back(std::unique_ptr<ControlSite>(new ControlSite(object)));
    object->Embed(control);
    return *sites_.back();
}

ComPtr<IOleInPlaceActiveObject> TestContainer::ActiveObject() const {
    return frame_->ActiveObject();
}

} // namespace TestSupport
