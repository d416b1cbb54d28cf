#include "framework/windows/Window.h"

#include "foundation/Lang/Trace.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace Fw {

namespace {

// The object of every routed window of this module, looked up on each of its messages. Kept in
// the process rather than as a window property: Wine keeps properties in its server, and a
// lookup there costs a round trip on every message a list of a thousand rows is sent.
class WindowObjects {
public:
    void Set(HWND window, void* object) {
        const Lock lock(m_lock, true);
        m_objects[window] = object;
    }
    void* Get(HWND window) {
        const Lock lock(m_lock, false);
        const auto found = m_objects.find(window);
        return found != m_objects.end() ? found->second : nullptr;
    }
    void Remove(HWND window) {
        const Lock lock(m_lock, true);
        m_objects.erase(window);
    }

private:
    class Lock {
    public:
        Lock(SRWLOCK& lock, bool exclusive)
            : m_lock(lock),
              m_exclusive(exclusive) {
            exclusive ? ::AcquireSRWLockExclusive(&m_lock) : ::AcquireSRWLockShared(&m_lock);
        }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        ~Lock() { m_exclusive ? ::ReleaseSRWLockExclusive(&m_lock) : ::ReleaseSRWLockShared(&m_lock); }

    private:
        SRWLOCK& m_lock;
        bool m_exclusive;
    };

    SRWLOCK m_lock = SRWLOCK_INIT;
    std::unordered_map<HWND, void*> m_objects;
};

WindowObjects& windowObjects() {
    static WindowObjects objects;
    return objects;
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
    windowObjects().Set(window, object);
}

void* AttachedObject(HWND window) {
    return windowObjects().Get(window);
}

void DetachObject(HWND window) {
    windowObjects().Remove(window);
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
