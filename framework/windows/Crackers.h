#pragma once

#include <windows.h>

namespace Fw {

// How each message is taken apart for its handler and how the handler's answer goes back.
// `Signature` is the handler a map may name for the message, exactly; `Call` cracks wParam
// and lParam into its arguments and turns its answer into the message's result.
//
// A system message has no cracker until one is written here, so that no handler takes it
// raw. A private message (WM_USER and above) means what its sender says: its handler takes
// it as it came, LRESULT (WPARAM, LPARAM).
template <UINT Message>
struct Cracker;

template <UINT Message>
requires(Message >= WM_USER) struct Cracker<Message> {
    using Signature = LRESULT(WPARAM, LPARAM);
    template <class W, class H>
    static LRESULT Call(W& w, H h, WPARAM wParam, LPARAM lParam) {
        return (w.*h)(wParam, lParam);
    }
};

#define FW_CRACKER(message, signature, ...)                                                                  \
    template <>                                                                                              \
    struct Cracker<message> {                                                                                \
        using Signature = signature;                                                                         \
        template <class W, class H>                                                                          \
        static LRESULT Call([[maybe_unused]] W& w, [[maybe_unused]] H h, [[maybe_unused]] WPARAM wParam,     \
                            [[maybe_unused]] LPARAM lParam) {                                                \
            __VA_ARGS__                                                                                      \
        }                                                                                                    \
    };

// The point a mouse message carries, signed: left of or above the window (or the primary
// screen) is negative.
inline POINT PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// -1 refuses the creation.
FW_CRACKER(WM_CREATE, int(const CREATESTRUCTA* create),
           return (w.*h)(reinterpret_cast<const CREATESTRUCTA*>(lParam));)
FW_CRACKER(WM_DESTROY, void(), (w.*h)(); return 0;)
FW_CRACKER(WM_SIZE, void(UINT type, SIZE client),
           (w.*h)(static_cast<UINT>(wParam), SIZE{LOWORD(lParam), HIWORD(lParam)});
           return 0;)
// True when the background was erased.
FW_CRACKER(WM_ERASEBKGND, bool(HDC dc), return (w.*h)(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;)
FW_CRACKER(WM_SETFOCUS, void(HWND previous), (w.*h)(reinterpret_cast<HWND>(wParam)); return 0;)
FW_CRACKER(WM_KILLFOCUS, void(HWND next), (w.*h)(reinterpret_cast<HWND>(wParam)); return 0;)
FW_CRACKER(WM_ENABLE, void(bool enabled), (w.*h)(wParam != FALSE); return 0;)
FW_CRACKER(WM_SYSCOLORCHANGE, void(), (w.*h)(); return 0;)
FW_CRACKER(WM_SETTEXT, bool(const char* text), return (w.*h)(reinterpret_cast<const char*>(lParam)) ? TRUE : FALSE;)
// The DLGC_ flags of the keys the window wants; `message` is the key message the dialog
// manager asks about, or null when it asks in general.
FW_CRACKER(WM_GETDLGCODE, UINT(UINT virtualKey, const MSG* message),
           return (w.*h)(static_cast<UINT>(wParam), reinterpret_cast<const MSG*>(lParam));)
FW_CRACKER(WM_KEYDOWN, void(UINT virtualKey), (w.*h)(static_cast<UINT>(wParam)); return 0;)
// `keys` are the MK_ flags.
FW_CRACKER(WM_LBUTTONDBLCLK, void(UINT keys, POINT client),
           (w.*h)(static_cast<UINT>(wParam), PointOf(lParam));
           return 0;)
FW_CRACKER(WM_RBUTTONDOWN, void(UINT keys, POINT client),
           (w.*h)(static_cast<UINT>(wParam), PointOf(lParam));
           return 0;)
// (-1, -1) when the menu was asked for from the keyboard.
FW_CRACKER(WM_CONTEXTMENU, void(HWND clicked, POINT screen),
           (w.*h)(reinterpret_cast<HWND>(wParam), PointOf(lParam));
           return 0;)
FW_CRACKER(WM_NOTIFY, LRESULT(NMHDR* header), return (w.*h)(reinterpret_cast<NMHDR*>(lParam));)
FW_CRACKER(WM_COMMAND, void(UINT code, UINT id, HWND control),
           (w.*h)(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
           return 0;)
FW_CRACKER(WM_DRAWITEM, void(UINT id, DRAWITEMSTRUCT* draw),
           (w.*h)(static_cast<UINT>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
           return TRUE;)
FW_CRACKER(WM_MEASUREITEM, void(UINT id, MEASUREITEMSTRUCT* measure),
           (w.*h)(static_cast<UINT>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
           return TRUE;)
FW_CRACKER(WM_DEVICECHANGE, void(UINT event, DWORD_PTR data),
           (w.*h)(static_cast<UINT>(wParam), static_cast<DWORD_PTR>(lParam));
           return TRUE;)
FW_CRACKER(WM_TIMER, void(UINT_PTR id), (w.*h)(static_cast<UINT_PTR>(wParam)); return 0;)
// True lets the dialog manager set the focus.
FW_CRACKER(WM_INITDIALOG, bool(HWND focus), return (w.*h)(reinterpret_cast<HWND>(wParam)) ? TRUE : FALSE;)
// The brush a dialog, or a control of it, paints its background with; null leaves it to the
// dialog manager.
#define FW_CTLCOLOR_CRACKER(message)                                                                         \
    FW_CRACKER(message, HBRUSH(HDC dc, HWND control),                                                        \
               return reinterpret_cast<LRESULT>(                                                             \
                   (w.*h)(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));)
FW_CTLCOLOR_CRACKER(WM_CTLCOLORMSGBOX)
FW_CTLCOLOR_CRACKER(WM_CTLCOLOREDIT)
FW_CTLCOLOR_CRACKER(WM_CTLCOLORLISTBOX)
FW_CTLCOLOR_CRACKER(WM_CTLCOLORBTN)
FW_CTLCOLOR_CRACKER(WM_CTLCOLORDLG)
FW_CTLCOLOR_CRACKER(WM_CTLCOLORSCROLLBAR)
FW_CTLCOLOR_CRACKER(WM_CTLCOLORSTATIC)
#undef FW_CTLCOLOR_CRACKER
// An owner-drawn sorted list's order of two items: -1, 0 or 1.
FW_CRACKER(WM_COMPAREITEM, int(UINT id, const COMPAREITEMSTRUCT* compare),
           return (w.*h)(static_cast<UINT>(wParam), reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam));)
// A list box's key or character: the item to go to, -1 for the list's own handling, -2 done.
FW_CRACKER(WM_VKEYTOITEM, int(UINT virtualKey, UINT caret, HWND list),
           return (w.*h)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));)
FW_CRACKER(WM_CHARTOITEM, int(UINT character, UINT caret, HWND list),
           return (w.*h)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));)
// The icon dragged for a minimized window without a class icon.
FW_CRACKER(WM_QUERYDRAGICON, HICON(), return reinterpret_cast<LRESULT>((w.*h)());)

#undef FW_CRACKER

// The dc a caller passed in wParam (as controls do when they print a child) and the whole
// client area, else the one of BeginPaint and its dirty rectangle.
template <>
struct Cracker<WM_PAINT> {
    using Signature = void(HDC dc, const RECT& dirty);
    template <class W, class H>
    static LRESULT Call(W& w, H h, WPARAM wParam, LPARAM) {
        if (wParam) {
            RECT all = {};
            ::GetClientRect(w.Handle(), &all);
            (w.*h)(reinterpret_cast<HDC>(wParam), all);
            return 0;
        }
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(w.Handle(), &paint);
        (w.*h)(dc, paint.rcPaint);
        ::EndPaint(w.Handle(), &paint);
        return 0;
    }
};

} // namespace Fw
