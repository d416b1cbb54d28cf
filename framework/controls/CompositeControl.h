#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/com/Boundary.h"
#include "framework/container/ControlContainer.h"
#include "framework/controls/ChildEvents.h"
#include "framework/controls/Control.h"
#include "framework/windows/DialogTemplate.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Fw {

// What a composite control does whatever its class: it keeps the face's template and
// initial data, embeds the module's controls the template names, and owns the background
// brush of the face.
class CompositeFace {
public:
    explicit CompositeFace(UINT templateId)
        : m_templateId(templateId) {}
    ~CompositeFace();
    CompositeFace(const CompositeFace&) = delete;
    CompositeFace& operator=(const CompositeFace&) = delete;

    // The face as the dialog manager takes it: a child window without frame or caption, the
    // embedded items left out. Empty, and traced, when the module has no such template.
    const std::vector<BYTE>& Template();
    // The same face as a dialog window of its own (a modal dialog's): the template's style kept,
    // the embedded items left out. Empty, and traced, when the module has no such template.
    const std::vector<BYTE>& DialogWindowTemplate();

    // Creates each embedded item's control from the module's classes, sites it in the face,
    // loads its initial data (or InitNew without any) and activates it at the item's
    // rectangle with the item's id, in the item's place in the tab order. A child that cannot
    // be created, loaded or activated is traced and left out; the rest of the face stays. The
    // children whose ids are heard have a sink advised on their event interface that hands
    // each event to the relay.
    void CreateChildren(HWND face, const std::string& hostName, bool userMode, OLE_COLOR backColor,
                        std::span<const int> heard = {}, ChildEventRelay relay = {});
    // Posted to the face when an embedded control reports a focus change: the composite then
    // reads where the focus went (its site hears only of the face as a whole).
    static constexpr UINT focusMoved = WM_USER + 0x100;
    // Closes every child and lets it go, its events first; the face window stays.
    void ReleaseChildren();
    // The child embedded for a control id; null when it has none.
    ControlSite* Site(int id) const;
    // Passes a change of the composite's ambient properties (DISPID_UNKNOWN: maybe all) on to
    // its children, and repaints the face for a new background.
    void AmbientsChanged(HWND face, DISPID id, bool userMode, OLE_COLOR backColor);

    // Tab and Shift+Tab move between the face's tab stops; at either end they are left to
    // the host, which moves on to its next control. The UI-active child sees its keys first.
    HRESULT TranslateAccelerator(HWND face, const MSG& message) const;
    // What WM_CTLCOLORDLG, _STATIC and _BTN answer: the container's background.
    HBRUSH Background(HDC dc, COLORREF color);

private:
    ControlSite* Embed(HWND face, const EmbeddedItem& item, const std::vector<BYTE>* data,
                       EmbedOptions options);
    void Trace(const EmbeddedItem& item, const char* step, HRESULT status) const;
    bool Parsed();

    UINT m_templateId;
    std::optional<DialogTemplate> m_parsed;
    std::vector<BYTE> m_face;
    std::vector<BYTE> m_dialog;
    std::unique_ptr<ControlContainer> m_children;
    std::map<int, ControlSite*> m_sites;
    std::shared_ptr<const ChildEventRelay> m_relay;
    Win32::UniqueBrush m_brush;
    COLORREF m_brushColor = 0;
};

// A control whose face is a dialog template of the module:
//     class PortConfig : public Fw::CompositeControl<PortConfig, IOstrelPortConfigCtrl,
//                                                    &CLSID_OstrelPortConfigCtrl,
//                                                    _IOstrelPortConfigCtrlEvents> {
//         static constexpr UINT faceTemplate = IDD_PORTCONFIG;
//         ...
//     };
// Besides what Control<> takes, T declares the template's id as `faceTemplate`, and may declare
// `childEvents[]`, the Fw::ChildEventEntry lines of the children's events it handles. Its window
// is a modeless child dialog of that template; T's message map sees the dialog's messages from
// WM_INITDIALOG on, and its WM_INITDIALOG handler runs once the embedded children are up
// (answer false: an in-place activation takes no focus). A T that overrides OnAmbientChanged
// calls this class's too.
template <class T, class Default, const CLSID* Clsid, class... Events>
class CompositeControl : public Control<T, Default, Clsid, Events...> {
public:
    // The embedded child of a control id of the face, and one of its interfaces; null when
    // the face has no such child (not active, not created, or already closed).
    ControlSite* ChildSite(int id) const { return m_face.Site(id); }
    template <class I>
    Microsoft::WRL::ComPtr<I> Child(int id) const {
        ControlSite* site = ChildSite(id);
        return site ? site->template Control<I>() : nullptr;
    }

    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) override {
        return Boundary(
            [&] { return lpmsg ? m_face.TranslateAccelerator(this->m_hWnd, *lpmsg) : E_POINTER; });
    }

protected:
    HWND CreateControlWindow(HWND parent, const RECT&) override {
        const std::vector<BYTE>& face = m_face.Template();
        if (face.empty())
            return nullptr;
        // The base moves the window to the site's rectangle next.
        return ::CreateDialogIndirectParamA(Module::Current().Instance(),
                                            reinterpret_cast<const DLGTEMPLATE*>(face.data()), parent,
                                            &CompositeControl::FaceProcedure, reinterpret_cast<LPARAM>(this));
    }
    void DestroyControlWindow() override {
        m_face.ReleaseChildren();
        this->Destroy();
    }
    void OnAmbientChanged(DISPID id) override {
        m_face.AmbientsChanged(this->m_hWnd, id, this->UserMode(), this->AmbientBackColor());
    }

private:
    static std::span<const int> HeardChildren() {
        if constexpr (requires { T::childEvents; }) {
            static const std::vector<int> ids = [] {
                std::vector<int> heard;
                for (const auto& entry : T::childEvents)
                    if (std::find(heard.begin(), heard.end(), entry.childId) == heard.end())
                        heard.push_back(entry.childId);
                return heard;
            }();
            return ids;
        } else {
            return {};
        }
    }

    // An event the map does not name is answered as handled: sources ignore their sinks' answers.
    HRESULT RouteChildEvent(int childId, DISPID member, const DISPPARAMS& arguments) {
        if constexpr (requires { T::childEvents; }) {
            [[maybe_unused]] const auto alive = this->KeepAlive();
            for (const auto& entry : T::childEvents)
                if (entry.childId == childId && entry.member == member)
                    entry.call(static_cast<T&>(*this), arguments);
        }
        return S_OK;
    }

    static INT_PTR CALLBACK FaceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<CompositeControl*>(AttachedObject(window));
        if (!self && message == WM_INITDIALOG) {
            self = reinterpret_cast<CompositeControl*>(lParam);
            self->m_hWnd = window;
            AttachObject(window, self);
            self->m_face.CreateChildren(window, self->DisplayName(), self->UserMode(),
                                        self->AmbientBackColor(), HeardChildren(),
                                        [self](int childId, DISPID member, const DISPPARAMS& arguments) {
                                            return self->RouteChildEvent(childId, member, arguments);
                                        });
        }
        if (!self)
            return FALSE;
        [[maybe_unused]] const auto alive = self->KeepAlive();
        LRESULT result = 0;
        const bool handled = self->RouteThroughMap(message, wParam, lParam, result);
        switch (message) {
        case WM_DESTROY:
            // The children's windows are still there to be closed properly.
            self->m_face.ReleaseChildren();
            return FALSE;
        case WM_NCDESTROY:
            DetachObject(window);
            self->m_hWnd = nullptr;
            static_cast<T*>(self)->OnFinalMessage(window);
            return FALSE;
        default:
            break;
        }
        if (handled)
            return DialogAnswer(window, message, result);
        switch (message) {
        case CompositeFace::focusMoved:
            self->RecheckFocus();
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(
                self->m_face.Background(reinterpret_cast<HDC>(wParam), self->BackColor()));
        case WM_KILLFOCUS:
        case WM_SETFOCUS:
        case WM_MOUSEACTIVATE:
            // UI activation and the site's focus; the dialog manager then does its part.
            self->HandleControlMessage(message, wParam, lParam, result);
            return FALSE;
        default:
            return FALSE;
        }
    }

    CompositeFace m_face{T::faceTemplate};
};

} // namespace Fw
