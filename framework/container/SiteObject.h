#pragma once

#include "framework/com/ComObject.h"
#include "framework/container/Embedding.h"

#include <string>

namespace Fw {

class FrameObject;

// The site of one control: client site, in-place site, control site, ambient properties and
// property-change sink. It lives as long as anyone holds it, so a control that keeps its
// site past Close finds a live object rather than a dangling one.
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

    void Init(HWND host, Microsoft::WRL::ComPtr<IOleInPlaceFrame> frame, FrameObject* frameObject,
              Microsoft::WRL::ComPtr<IFontDisp> font, const EmbedOptions& options);

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return m_host ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override;

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** ppDisp) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL fGotFocus) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties, read by DISPID only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

    // IPropertyNotifySink
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    // --- what ControlSite and ControlContainer do with it ---

    // Sites the control and gives it its data as the options say; a failed step raises EmbedError.
    void Embed(const Microsoft::WRL::ComPtr<IUnknown>& control, const std::wstring& hostName);
    HRESULT DoVerb(LONG verb);
    HRESULT Deactivate();
    HRESULT Close();
    HRESULT SetRect(const RECT& rect);
    void AmbientChanged(DISPID id);
    // The host window is going: a control that outlives it must not be given it again.
    void Detach() { m_host = nullptr; }

    Microsoft::WRL::ComPtr<IOleObject> m_control;
    EmbedOptions m_options;
    RECT m_rect{};
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_quickActivated = false;
    bool m_focused = false;

private:
    Microsoft::WRL::ComPtr<IOleInPlaceObject> InPlaceObject() const;
    void UIDeactivateControl();
    void LoadData();
    bool Listening() const { return bool(m_options.propertyChanged); }
    void QuickActivate(IQuickActivate* quick);
    void AdviseSinks();
    Microsoft::WRL::ComPtr<IConnectionPoint> FindPoint(REFIID iid) const;
    IID DefaultSource() const;

    HWND m_host = nullptr;
    Microsoft::WRL::ComPtr<IOleInPlaceFrame> m_frameReference;
    FrameObject* m_frame = nullptr;
    Microsoft::WRL::ComPtr<IFontDisp> m_font;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_propertyPoint;
    DWORD m_propertyCookie = 0;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_eventPoint;
    DWORD m_eventCookie = 0;
};

} // namespace Fw
