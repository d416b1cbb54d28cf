#pragma once

#include "framework/com/Module.h"
#include "framework/windows/MessageMap.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <typeinfo>
#include <utility>

namespace Fw {

// A window handle and the messages every window answers, one call each. It owns nothing:
// whoever created the window decides when it goes.
class Window {
public:
    Window() = default;
    explicit Window(HWND window)
        : m_hWnd(window) {}

    HWND Handle() const { return m_hWnd; }
    explicit operator bool() const { return m_hWnd != nullptr; }
    bool Exists() const { return m_hWnd && ::IsWindow(m_hWnd); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    template <class T>
    LRESULT Send(UINT message, WPARAM wParam, const T* data) const {
        return ::SendMessageA(m_hWnd, message, wParam, reinterpret_cast<LPARAM>(data));
    }
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam) != FALSE;
    }

    RECT ClientRect() const {
        RECT rect = {};
        ::GetClientRect(m_hWnd, &rect);
        return rect;
    }
    // The window's rectangle in its parent's client coordinates (screen ones for a top level).
    RECT RectInParent() const;
    bool Move(const RECT& rect, bool repaint = true) const {
        return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            repaint) != FALSE;
    }
    bool Show(int command = SW_SHOW) const { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool Enable(bool enable) const { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool Invalidate(bool erase = true) const { return ::InvalidateRect(m_hWnd, nullptr, erase) != FALSE; }
    bool Update() const { return ::UpdateWindow(m_hWnd) != FALSE; }
    void SetRedraw(bool redraw) const { Send(WM_SETREDRAW, redraw); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    bool HasFocus() const { return m_hWnd && ::GetFocus() == m_hWnd; }
    void SetFont(HFONT font, bool redraw = true) const {
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
    }
    HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
    Window Parent() const { return Window(::GetParent(m_hWnd)); }
    Window Child(int id) const { return Window(::GetDlgItem(m_hWnd, id)); }
    int Id() const { return ::GetDlgCtrlID(m_hWnd); }
    LONG_PTR Style() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    std::string Text() const;
    bool SetText(const char* text) const { return ::SetWindowTextA(m_hWnd, text) != FALSE; }
    // The handle stays valid while the window hears its last messages.
    bool Destroy() {
        const bool destroyed = m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
        m_hWnd = nullptr;
        return destroyed;
    }

protected:
    HWND m_hWnd = nullptr;
};

// The window object a routed window procedure serves, for created and subclassed windows
// alike; the module's own record, which only its windows' procedures read.
void AttachObject(HWND window, void* object);
void* AttachedObject(HWND window);
void DetachObject(HWND window);

// Tab and Shift+Tab move the focus between the tab stops of a dialog that lives inside a
// host's window (a control's face, a property page). True when the focus moved; false for
// another key, and past either end, where the host's next control is to take it.
bool MoveFocusByTab(HWND dialog, const MSG& message);

// A handler let an exception out: it is traced, and the message answered 0, since unwinding
// through the system's window code is undefined.
void TraceHandlerFailure(UINT message);

// Window classes registered by this module, so that an unloading module can take them back:
// the system keeps a library's classes after the library is gone.
ATOM RegisterWindowClass(const WNDCLASSEXA& windowClass);
void UnregisterWindowClasses();

// A window whose procedure is T's message map. T lists `static inline const
// Fw::MessageEntry<T> messages[]` after the handlers it names; a message no entry handles (or whose handler
// calls PassOn()) goes on to T::DefaultMessage, which by default calls the procedure that was there before:
// DefWindowProc for a created window, the original one for a subclassed one.
template <class T>
class WindowImpl : public Window {
public:
    WindowImpl() = default;
    WindowImpl(const WindowImpl&) = delete;
    WindowImpl& operator=(const WindowImpl&) = delete;
    ~WindowImpl() {
        // By now T is gone: no message may reach its map any more.
        if (m_hWnd) {
            DetachObject(m_hWnd);
            if (m_previous)
                ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
            else
                ::DestroyWindow(m_hWnd);
        }
    }

    HWND Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle = 0, const char* text = nullptr,
                UINT_PTR id = 0) {
        if (!EnsureClass())
            return nullptr;
        return ::CreateWindowExA(exStyle, ClassName().c_str(), text, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(id), Module::Current().Instance(), this);
    }

    // Routes an existing window (a child control, say) through T's map.
    bool Subclass(HWND window) {
        if (m_hWnd || !window || AttachedObject(window))
            return false;
        m_hWnd = window;
        AttachObject(window, this);
        m_previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowImpl::Procedure)));
        return true;
    }
    HWND Unsubclass() {
        const HWND window = m_hWnd;
        if (window && m_previous) {
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
            DetachObject(window);
            m_previous = nullptr;
            m_hWnd = nullptr;
        }
        return window;
    }

    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return m_previous ? ::CallWindowProcA(m_previous, m_hWnd, message, wParam, lParam)
                          : ::DefWindowProcA(m_hWnd, message, wParam, lParam);
    }

    // Called after the window's last message; the object may delete itself here.
    void OnFinalMessage(HWND) {}

    // What keeps the object behind the window alive while it handles a message: a handler
    // that tells its host of something may hear the host let the object go. A T that is a
    // COM object (or part of one) declares KeepAlive() returning a reference.
    static auto KeepAliveOf(T& self) {
        if constexpr (requires { self.KeepAlive(); })
            return self.KeepAlive();
        else
            return nullptr;
    }

    // Registers T's window class with the module the first time a window of T is made
    // (again after the module let its classes go).
    static bool EnsureClass() {
        const std::string name = ClassName();
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        if (::GetClassInfoExA(Module::Current().Instance(), name.c_str(), &windowClass))
            return true;
        windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &WindowImpl::Procedure;
        windowClass.hInstance = Module::Current().Instance();
        windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = name.c_str();
        return RegisterWindowClass(windowClass) != 0;
    }

protected:
    // A handler that looked at a message but wants its default treatment too.
    void PassOn() { m_passOn = true; }

    static std::string ClassName() {
        if constexpr (requires { T::windowClassName; })
            return T::windowClassName;
        else
            return std::string("Fw.") + typeid(T).name();
    }

    // True when T's map handled the message; result then holds its answer.
    bool RouteThroughMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if constexpr (requires { T::messages; }) {
            T& self = static_cast<T&>(*this);
            for (const MessageEntry<T>& entry : T::messages) {
                if (!entry.Matches(message, wParam, lParam))
                    continue;
                const bool outerPassOn = std::exchange(m_passOn, false);
                try {
                    result = entry.call(self, wParam, lParam);
                } catch (...) {
                    TraceHandlerFailure(message);
                    m_passOn = outerPassOn;
                    result = 0;
                    return true;
                }
                const bool passOn = std::exchange(m_passOn, outerPassOn);
                if (!passOn)
                    return true;
            }
        }
        return false;
    }

    WNDPROC m_previous = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<WindowImpl*>(AttachedObject(window));
        if (!self && message == WM_NCCREATE) {
            self = static_cast<WindowImpl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            self->m_hWnd = window;
            AttachObject(window, self);
        }
        if (!self)
            return ::DefWindowProcA(window, message, wParam, lParam);

        [[maybe_unused]] const auto alive = KeepAliveOf(static_cast<T&>(*self));
        LRESULT result = 0;
        if (!self->RouteThroughMap(message, wParam, lParam, result))
            result = static_cast<T*>(self)->DefaultMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            DetachObject(window);
            self->m_hWnd = nullptr;
            self->m_previous = nullptr;
            static_cast<T*>(self)->OnFinalMessage(window);
        }
        return result;
    }

    bool m_passOn = false;
};

// Dialog procedures answer a handled message through DWLP_MSGRESULT, except these, whose
// value is the procedure's own return (a brush, an order, an item index, an icon).
inline bool DialogAnswersDirectly(UINT message) {
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON;
}

// What a dialog procedure returns for a message its map handled with `result`.
inline INT_PTR DialogAnswer(HWND dialog, UINT message, LRESULT result) {
    if (DialogAnswersDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

// A dialog from a template, modeless (CreateIndirect) or modal (DoModal), whose messages go
// through T's map like a window's.
// T's map sees WM_INITDIALOG; a handled message is answered as DialogAnswer says.
template <class T>
class DialogImpl : public WindowImpl<T> {
public:
    HWND CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate) {
        return ::CreateDialogIndirectParamA(Module::Current().Instance(), dialogTemplate, parent,
                                            &DialogImpl::Procedure, reinterpret_cast<LPARAM>(this));
    }

    // The dialog of resource `templateId` in this module, modeless, owned by `owner`.
    HWND Create(HWND owner, int templateId) {
        return ::CreateDialogParamA(Module::Current().Instance(), MAKEINTRESOURCEA(templateId), owner,
                                    &DialogImpl::Procedure, reinterpret_cast<LPARAM>(this));
    }

    // The dialog of resource `templateId` in this module, run modally over `owner` (the active
    // window, for a command's settings dialog); answers what EndDialog was given, or -1 when
    // the dialog could not be made.
    INT_PTR DoModal(HWND owner, int templateId) {
        m_modal = true;
        return ::DialogBoxParamA(Module::Current().Instance(), MAKEINTRESOURCEA(templateId), owner,
                                 &DialogImpl::Procedure, reinterpret_cast<LPARAM>(this));
    }
    // The same from a template in memory (one made at run time, or a resource changed first).
    INT_PTR DoModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate) {
        m_modal = true;
        return ::DialogBoxIndirectParamA(Module::Current().Instance(), dialogTemplate, owner,
                                         &DialogImpl::Procedure, reinterpret_cast<LPARAM>(this));
    }
    bool EndDialog(INT_PTR result) const { return ::EndDialog(this->m_hWnd, result) != FALSE; }

    // Unhandled dialog messages belong to the dialog manager.
    LRESULT DefaultMessage(UINT, WPARAM, LPARAM) { return 0; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<DialogImpl*>(AttachedObject(window));
        if (!self && message == WM_INITDIALOG) {
            self = reinterpret_cast<DialogImpl*>(lParam);
            self->m_hWnd = window;
            AttachObject(window, self);
        }
        if (!self)
            return FALSE;
        [[maybe_unused]] const auto alive = DialogImpl::KeepAliveOf(static_cast<T&>(*self));
        LRESULT result = 0;
        const bool handled = self->RouteThroughMap(message, wParam, lParam, result);
        if (message == WM_NCDESTROY) {
            DetachObject(window);
            self->m_hWnd = nullptr;
            static_cast<T*>(self)->OnFinalMessage(window);
            return FALSE;
        }
        if (!handled && self->m_modal && message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            // Esc, the close box and a Cancel button end a modal dialog unless its map says
            // otherwise.
            ::EndDialog(window, IDCANCEL);
            return TRUE;
        }
        return handled ? DialogAnswer(window, message, result) : FALSE;
    }

    bool m_modal = false;
};

} // namespace Fw
