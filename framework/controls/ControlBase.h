#pragma once

#include "framework/com/ConnectionPoint.h"
#include "framework/controls/Persistence.h"

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <span>

namespace Fw {

// What the interface pieces of a control share: the container's sites, the extent, the
// dirty flag, the ambient properties, in-place activation and focus. Each piece (OleObject,
// InPlaceObject, ViewObject, PersistStreamInit, ...) implements one interface family over
// this state and derives from it virtually, so a control holds one of it whichever pieces it
// takes. Control<T> supplies the hooks from T's declarations.
//
// Activation runs the classic way: the control negotiates in-place activation with the
// container's IOleInPlaceSite itself (from DoVerb or a focus change), creates its window as a
// child of the site's window at the rectangle GetWindowContext gives, and follows
// SetObjectRects. It never activates windowless.
class ControlBase {
public:
    // Recompose on resize, cannot link inside, inside-out, activate when visible, set client
    // site first: what the registry says of every control.
    static constexpr DWORD miscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                        OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                        OLEMISC_SETCLIENTSITEFIRST;
    static_assert(miscStatus == 131473);
    static constexpr DWORD viewStatus = VIEWSTATUS_SOLIDBKGND | VIEWSTATUS_OPAQUE;

    bool UserMode() const { return m_userMode; }
    OLE_COLOR AmbientBackColor() const { return m_backColor; }
    COLORREF BackColor() const;
    // The container's font, alive as long as the control keeps its ambients; null without one.
    HFONT AmbientFont() const;
    // The font of the control's child windows: the container's, else the system's GUI font.
    HFONT ChildFont() const;
    SIZEL Extent() const { return m_extent; }
    bool EventsFrozen() const { return m_freezeCount > 0; }
    bool InPlaceActive() const { return m_inPlaceSite != nullptr; }
    bool UIActive() const { return m_uiActive; }
    IOleClientSite* ClientSite() const { return m_clientSite.Get(); }
    // The container's window, asked through the client site; null when it has none to give.
    HWND ContainerWindow() const;
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
    ControlBase() = default;
    virtual ~ControlBase();

    // What the class template supplies.
    virtual const CLSID& ClassId() const = 0;
    virtual ITypeInfo* DefaultTypeInfo() = 0;
    virtual IDispatch* DefaultDispatch() = 0;
    virtual IOleInPlaceActiveObject* ActiveObject() = 0;
    // The control's IOleObject, so that quick activation sites it as SetClientSite would,
    // through a class's own override.
    virtual IOleObject* OleObjectInterface() = 0;
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

    // The class's default extent, set once by Control<T> before any container sees it.
    void SetInitialExtent(SIZEL extent) { m_extent = extent; }

    // What the pieces share; failures raise, the pieces' boundaries answer them.
    void SetSite(IOleClientSite* site);
    // Quick activation hands the ambients over at once instead of answering them one by one.
    void TakeAmbients(bool userMode, OLE_COLOR backColor, IUnknown* font);
    void DeactivateUI();
    void DeactivateInPlace();
    HRESULT PlaceWindow(LPCRECT position, LPCRECT clip);
    HRESULT ShowPropertyFrame(HWND parent);
    HRESULT ChangeExtent(DWORD aspect, const SIZEL* size);
    HRESULT ReadExtent(DWORD aspect, SIZEL* size) const;
    void SetViewAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink);
    void GetViewAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const;
    IOleAdviseHolder* AdviseHolder();
    IOleAdviseHolder* ExistingAdviseHolder() const { return m_adviseHolder.Get(); }
    // IOleControl::FreezeEvents counts: events flow again when every freeze is undone.
    void CountEventFreeze(bool freeze);
    HRESULT CopyClassId(CLSID* classId) const;
    // Back to the class's defaults, clean.
    void ResetToDefaults();
    SavedState CaptureState();
    // Applies a state read whole; a refused value puts every earlier value back and raises.
    void ApplyState(const SavedState& state);
    void ReadAmbients();
    // Drawn opaque or transparent, the control has the size and face of its content.
    static bool IsDrawAspect(DWORD aspect);

private:
    void ReportFocus(bool within);
    void NotifyViewSink();
    void FollowSite();
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
    SIZEL m_extent = {2540, 2540};
    bool m_dirty = false;
    bool m_uiActive = false;
    // What the site was last told through OnFocus.
    bool m_focusReported = false;
    bool m_userMode = true;
    OLE_COLOR m_backColor = 0x80000000 | COLOR_WINDOW;
    int m_freezeCount = 0;
    bool m_loading = false;
};

// The designer's face of a control: a framed rectangle with the control's name in the middle.
void DrawDesignerFace(HDC dc, const RECT& bounds, const char* name, HFONT font);

} // namespace Fw
