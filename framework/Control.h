#pragma once

#include "framework/ComObject.h"
#include "framework/ConnectionPoint.h"
#include "framework/Dispatch.h"
#include "framework/Persistence.h"
#include "framework/TypeLibrary.h"
#include "framework/Window.h"

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <array>
#include <span>
#include <tuple>

namespace Fw {

// What hosts ask of every windowed ActiveX control of the module, written once. The class
// template Control below ties it to one control class: its default interface, class
// identifier, events, window, property map and drawing.
//
// Activation runs the classic way: the control negotiates in-place activation with the
// container's IOleInPlaceSite itself (from DoVerb or a focus change), creates its window
// as a child of the site's window at the rectangle GetWindowContext gives, and follows
// SetObjectRects. It never activates windowless.
class ControlBase : public IOleObject,
                    public IOleInPlaceObjectWindowless,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObjectEx,
                    public IPersistStreamInit,
                    public IPersistStorage,
                    public IPersistPropertyBag,
                    public IQuickActivate,
                    public IDataObject,
                    public IProvideClassInfo2,
                    public ISpecifyPropertyPages {
public:
    // Recompose on resize, cannot link inside, inside-out, activate when visible, set client
    // site first: what the registry says of every control.
    static constexpr DWORD miscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                        OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                        OLEMISC_SETCLIENTSITEFIRST;
    static_assert(miscStatus == 131473);

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppClientSite) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* pDataObject, BOOL fCreation,
                                           DWORD dwReserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                                     HWND hwndParent, LPCRECT lprcPosRect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* pClsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* pLogpal) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                              LRESULT* plResult) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** ppDropTarget) override;

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                           BOOL fFrameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) override;

    // IViewObject, IViewObject2, IViewObjectEx
    HRESULT STDMETHODCALLTYPE Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                                   HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                                   BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR dwContinue),
                                   ULONG_PTR dwContinue) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect,
                                          DVTARGETDEVICE* ptd, HDC hicTargetDev,
                                          LOGPALETTE** ppColorSet) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect,
                                     DWORD* pdwFreeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD dwFreeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd,
                                        LPSIZEL lpsizel) override;
    HRESULT STDMETHODCALLTYPE GetRect(DWORD dwAspect, LPRECTL pRect) override;
    HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* pdwStatus) override;
    HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD dwAspect, LPCRECT pRectBounds, POINT ptlLoc,
                                            LONG lCloseHint, DWORD* pHitResult) override;
    HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD dwAspect, LPCRECT pRectBounds, LPCRECT pRectLoc,
                                           LONG lCloseHint, DWORD* pHitResult) override;
    HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD dwAspect, LONG lindex, DVTARGETDEVICE* ptd,
                                               HDC hicTargetDev, DVEXTENTINFO* pExtentInfo,
                                               LPSIZEL pSizel) override;

    // IPersist, IPersistStreamInit, IPersistStorage, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM pStm) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM pStm, BOOL fClearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pCbSize) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* pStg) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* pStg) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* pStgSave, BOOL fSameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* pStgNew) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* pPropBag, BOOL fClearDirty,
                                   BOOL fSaveAllProperties) override;

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL pSizel) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL pSizel) override;

    // IDataObject: the control offers no data formats of its own; EnumFormatEtc sends the
    // caller to the registry, which lists none either.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pformatectIn,
                                                    FORMATETC* pformatetcOut) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                      DWORD* pdwConnection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

    // IProvideClassInfo, IProvideClassInfo2 (GetClassInfo is GetClassInfoA in an ANSI build)
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

    // For the control class.
    bool UserMode() const { return m_userMode; }
    OLE_COLOR AmbientBackColor() const { return m_backColor; }
    COLORREF BackColor() const;
    // The container's font, alive as long as the control keeps its ambients; null without one.
    HFONT AmbientFont() const;
    SIZEL Extent() const { return m_extent; }
    bool EventsFrozen() const { return m_freezeCount > 0; }
    bool InPlaceActive() const { return m_inPlaceSite != nullptr; }
    bool UIActive() const { return m_uiActive; }
    IOleClientSite* ClientSite() const { return m_clientSite.Get(); }
    void SetDirty(bool dirty) { m_dirty = dirty; }
    bool Dirty() const { return m_dirty; }
    // A persisted property changed: the state is dirty, sinks hear OnChanged and the view redraws.
    void PropertyChanged(DISPID id);
    // Asks every property sink whether the property may change; false when one refuses.
    bool RequestEdit(DISPID id);
    void FireOnChanged(DISPID id);
    void FireViewChange();
    // The focus came to (`gained`) or left one of the control's windows; `other` is the window
    // that had it or takes it. The site hears only of the focus entering or leaving the
    // control as a whole; a class whose child window takes the focus reports it from there.
    void FocusChanged(bool gained, HWND other);
    // The same, read from where the focus is now: for windows that do not report to the
    // control themselves (another control embedded in it).
    void RecheckFocus();
    // Runs in-place activation for a verb (OLEIVERB_INPLACEACTIVATE, _UIACTIVATE, _SHOW...).
    HRESULT InPlaceActivate(LONG verb);

protected:
    explicit ControlBase(SIZEL extent);
    virtual ~ControlBase();

    // What the class template supplies.
    virtual const CLSID& ClassId() const = 0;
    virtual ITypeInfo* DefaultTypeInfo() = 0;
    virtual IDispatch* DefaultDispatch() = 0;
    virtual std::span<const PersistedProperty> Properties() const = 0;
    virtual std::span<const CLSID* const> PropertyPages() const = 0;
    virtual const char* DisplayName() const = 0;
    virtual ConnectionPoint* PropertyNotifyPoint() = 0;
    virtual ConnectionPoint* DefaultEventPoint() = 0;
    virtual HWND CreateControlWindow(HWND parent, const RECT& rect) = 0;
    virtual HWND ControlWindow() const = 0;
    virtual void DestroyControlWindow() = 0;

    // Hooks of the control class.
    // Paints the control's face; by default the designer's rectangle with the control's name.
    virtual void OnDraw(HDC dc, const RECT& bounds);
    // The container changed an ambient property (DISPID_UNKNOWN: maybe all of them).
    virtual void OnAmbientChanged(DISPID) {}
    // InitNew: the class puts its properties back to their defaults.
    virtual void OnInitNew() {}
    // Keys the control's window takes before the container's accelerators and dialog keys.
    virtual bool WantsKey(UINT virtualKey) const;

    // The window's own share of messages its class's map left alone; false when none.
    bool HandleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    HRESULT ShowPropertyFrame(HWND parent);
    void ReportFocus(bool within);
    void FollowSite();
    SavedState CaptureState();
    void ApplyState(const SavedState& state);
    void ReadAmbients();
    HRESULT UIActivate();

    Microsoft::WRL::ComPtr<IOleClientSite> m_clientSite;
    Microsoft::WRL::ComPtr<IOleControlSite> m_controlSite;
    Microsoft::WRL::ComPtr<IOleInPlaceSite> m_inPlaceSite;
    Microsoft::WRL::ComPtr<IOleInPlaceFrame> m_frame;
    Microsoft::WRL::ComPtr<IOleInPlaceUIWindow> m_document;
    Microsoft::WRL::ComPtr<IOleAdviseHolder> m_adviseHolder;
    Microsoft::WRL::ComPtr<IAdviseSink> m_viewSink;
    Microsoft::WRL::ComPtr<IFont> m_font;
    DWORD m_viewAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    SIZEL m_extent;
    bool m_dirty = false;
    bool m_uiActive = false;
    // What the site was last told through OnFocus.
    bool m_focusReported = false;
    bool m_userMode = true;
    OLE_COLOR m_backColor = 0x80000000 | COLOR_WINDOW;
    int m_freezeCount = 0;
    bool m_loading = false;
};

// The table lines every visual control answers. A class's own table joins them with the
// ones it adds (IPersistPropertyBag, IConnectionPointContainer, ISupportErrorInfo, IMarshal).
template <class T>
std::array<InterfaceEntry, 19> ControlInterfaces() {
    using Default = typename T::DefaultInterfaceType;
    return {
        Entry<T, Default>(),
        Entry<T, IDispatch, Default>(),
        Entry<T, IViewObjectEx>(),
        Entry<T, IViewObject2, IViewObjectEx>(),
        Entry<T, IViewObject, IViewObjectEx>(),
        Entry<T, IOleInPlaceObjectWindowless>(),
        Entry<T, IOleInPlaceObject, IOleInPlaceObjectWindowless>(),
        Entry<T, IOleWindow, IOleInPlaceObjectWindowless>(),
        Entry<T, IOleInPlaceActiveObject>(),
        Entry<T, IOleControl>(),
        Entry<T, IOleObject>(),
        Entry<T, IPersistStreamInit>(),
        Entry<T, IPersist, IPersistStreamInit>(),
        Entry<T, ISpecifyPropertyPages>(),
        Entry<T, IQuickActivate>(),
        Entry<T, IPersistStorage>(),
        Entry<T, IDataObject>(),
        Entry<T, IProvideClassInfo, IProvideClassInfo2>(),
        Entry<T, IProvideClassInfo2>(),
    };
}

template <size_t N, class... More>
std::array<InterfaceEntry, N + sizeof...(More)> Interfaces(const std::array<InterfaceEntry, N>& common,
                                                           More... more) {
    std::array<InterfaceEntry, N + sizeof...(More)> all;
    std::copy(common.begin(), common.end(), all.begin());
    const InterfaceEntry added[] = {more..., InterfaceEntry{}};
    std::copy(added, added + sizeof...(More), all.begin() + N);
    return all;
}

// A control class T:
//     class PortList : public Fw::Control<PortList, IOstrelPortList, &CLSID_OstrelPortList,
//                                         _IOstrelPortListEvents> { ... };
// T implements the default interface's members and may declare, all static:
//   displayName        text of the designer's face (default "Control")
//   defaultExtent      SIZEL in HIMETRIC (default 2540 x 2540)
//   properties[]       Fw::PersistedProperty, in save order (default none)
//   propertyPages[]    const CLSID*, what ISpecifyPropertyPages names (default none)
//   messages[]         its window's message map, written after the handlers it names
//   interfaces         its interface table, usually Fw::Interfaces(Fw::ControlInterfaces<T>(), ...)
// IPropertyNotifySink is always among its connection points, after its events.
template <class T, class Default, const CLSID* Clsid, class... Events>
class Control : public ObjectRoot,
                public Dispatch<Default>,
                public ControlBase,
                public ConnectionPoints<Events..., IPropertyNotifySink>,
                public WindowImpl<T> {
public:
    using DefaultInterfaceType = Default;

    // A reference to the object while one of its window messages is handled.
    Microsoft::WRL::ComPtr<IUnknown> KeepAlive() { return this->OwnUnknown(); }

    // The control's events reach every sink, except while the container has them frozen
    // (IOleControl::FreezeEvents, a form loading): those are dropped, as containers expect.
    template <class Event, class Call>
    void Fire(Call&& call) {
        if (!this->EventsFrozen())
            ConnectionPoints<Events..., IPropertyNotifySink>::template Fire<Event>(std::forward<Call>(call));
    }

    // Messages T's map left alone: the control's focus and activation duties, then the default.
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        if (HandleControlMessage(message, wParam, lParam, result))
            return result;
        return WindowImpl<T>::DefaultMessage(message, wParam, lParam);
    }

protected:
    Control()
        : ControlBase(InitialExtent()) {}

    const CLSID& ClassId() const override { return *Clsid; }
    ITypeInfo* DefaultTypeInfo() override { return TypeLibrary::TypeInfoOf(__uuidof(Default)); }
    IDispatch* DefaultDispatch() override { return static_cast<Default*>(this); }
    std::span<const PersistedProperty> Properties() const override {
        if constexpr (requires { T::properties; })
            return T::properties;
        else
            return {};
    }
    std::span<const CLSID* const> PropertyPages() const override {
        if constexpr (requires { T::propertyPages; })
            return T::propertyPages;
        else
            return {};
    }
    const char* DisplayName() const override {
        if constexpr (requires { T::displayName; })
            return T::displayName;
        else
            return "Control";
    }
    ConnectionPoint* PropertyNotifyPoint() override { return &this->template PointOf<IPropertyNotifySink>(); }
    ConnectionPoint* DefaultEventPoint() override {
        if constexpr (sizeof...(Events) > 0)
            return &this->template PointOf<std::tuple_element_t<0, std::tuple<Events...>>>();
        else
            return nullptr;
    }
    HWND CreateControlWindow(HWND parent, const RECT& rect) override {
        return this->Create(parent, rect, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    }
    HWND ControlWindow() const override { return this->m_hWnd; }
    void DestroyControlWindow() override { this->Destroy(); }

private:
    static SIZEL InitialExtent() {
        if constexpr (requires { T::defaultExtent; })
            return T::defaultExtent;
        else
            return {2540, 2540};
    }
};

// The designer's face of a control: a framed rectangle with the control's name in the middle.
void DrawDesignerFace(HDC dc, const RECT& bounds, const char* name, HFONT font);

} // namespace Fw
