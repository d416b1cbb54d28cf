#include "framework/windows/Window.h"

#include "foundation/Lang/Trace.h"

#include <mutex>
#include <vector>

namespace Fw {

namespace {

// One property name for every routed window; an atom keeps the lookups cheap.
const char* ObjectProperty() {
    static const ATOM atom = ::GlobalAddAtomA("Fw.WindowObject");
    return MAKEINTATOM(atom);
}

struct RegisteredClass {
    HINSTANCE instance;
    std::string name;
};

// Each apartment of a host may make windows of its own at the same time.
std::mutex registeredClassesLock;

std::vector<RegisteredClass>& registeredClasses() {
    static std::vector<RegisteredClass> classes;
    return classes;
}

// The dialog's own child that is, or holds, a window inside the dialog.
HWND DialogChildOf(HWND dialog, HWND window) {
    while (window && ::GetParent(window) != dialog)
        window = ::GetParent(window);
    return window;
}

// A window's place among its siblings, first to last: the order the dialog manager tabs in.
int PlaceAmongSiblings(HWND window) {
    int place = 0;
    for (HWND before = ::GetWindow(window, GW_HWNDPREV); before; before = ::GetWindow(before, GW_HWNDPREV))
        ++place;
    return place;
}

} // namespace

bool MoveFocusByTab(HWND dialog, const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || ::GetKeyState(VK_CONTROL) < 0 ||
        ::GetKeyState(VK_MENU) < 0)
        return false;
    const bool backward = ::GetKeyState(VK_SHIFT) < 0;
    const HWND from = message.hwnd == dialog ? nullptr : DialogChildOf(dialog, message.hwnd);
    const HWND next = ::GetNextDlgTabItem(dialog, from, backward);
    if (!next || next == from)
        return false;
    if (from && (PlaceAmongSiblings(next) < PlaceAmongSiblings(from)) != backward)
        return false;
    ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    return true;
}

RECT Window::RectInParent() const {
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    if (const HWND parent = ::GetParent(m_hWnd); parent && (Style() & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Window::Text() const {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(m_hWnd)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void AttachObject(HWND window, void* object) {
    ::SetPropA(window, ObjectProperty(), object);
}

void* AttachedObject(HWND window) {
    return ::GetPropA(window, ObjectProperty());
}

void DetachObject(HWND window) {
    ::RemovePropA(window, ObjectProperty());
}

void TraceHandlerFailure(UINT message) {
    Lang::Trace("window message 0x%04X: its handler failed; answered 0\r\n", message);
}

ATOM RegisterWindowClass(const WNDCLASSEXA& windowClass) {
    const std::lock_guard lock(registeredClassesLock);
    const ATOM atom = ::RegisterClassExA(&windowClass);
    if (atom)
        registeredClasses().push_back({windowClass.hInstance, windowClass.lpszClassName});
    return atom;
}

void UnregisterWindowClasses() {
    const std::lock_guard lock(registeredClassesLock);
    for (const RegisteredClass& known : registeredClasses())
        ::UnregisterClassA(known.name.c_str(), known.instance);
    registeredClasses().clear();
}

} // namespace Fw
