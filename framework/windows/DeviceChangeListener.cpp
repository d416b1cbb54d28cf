#include "framework/windows/DeviceChangeListener.h"

#include "foundation/Lang/Trace.h"
#include "framework/windows/Window.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace Fw {

namespace {

// The hidden window that hears the broadcasts for one thread's listeners. Unowned and top
// level, since broadcasts reach neither child nor message-only windows.
class DeviceChangeForwarder : public WindowImpl<DeviceChangeForwarder> {
public:
    static constexpr const char* windowClassName = DeviceChangeListener::forwarderClassName;

    void OnDeviceChange(UINT event, DWORD_PTR data);

    static inline const MessageEntry<DeviceChangeForwarder> messages[] = {
        OnMessage<WM_DEVICECHANGE, &DeviceChangeForwarder::OnDeviceChange>(),
    };

    std::vector<HWND> listeners;
};

// The forwarder of this thread while it has listeners, owned by them. A plain pointer, since a
// module's thread-local destructor may run after the module is gone.
thread_local DeviceChangeForwarder* threadForwarder = nullptr;

void DeviceChangeForwarder::OnDeviceChange(UINT event, DWORD_PTR data) {
    // A copy: a listener may come or go while another handles the message.
    for (const HWND listener : std::vector<HWND>(listeners))
        ::SendMessageA(listener, WM_DEVICECHANGE, event, static_cast<LPARAM>(data));
}

} // namespace

DeviceChangeListener::DeviceChangeListener(HWND window)
    : m_window(window) {
    if (!threadForwarder) {
        auto forwarder = std::make_unique<DeviceChangeForwarder>();
        if (!forwarder->Create(nullptr, {}, WS_POPUP)) {
            // The window works on without hearing of devices.
            Lang::Trace("device change window: not created (error %lu)\r\n", ::GetLastError());
            return;
        }
        threadForwarder = forwarder.release();
    }
    threadForwarder->listeners.push_back(window);
}

DeviceChangeListener::~DeviceChangeListener() {
    if (!threadForwarder)
        return;
    std::vector<HWND>& listeners = threadForwarder->listeners;
    if (const auto found = std::find(listeners.begin(), listeners.end(), m_window); found != listeners.end())
        listeners.erase(found);
    if (listeners.empty()) {
        // The window goes with its object.
        const std::unique_ptr<DeviceChangeForwarder> last(std::exchange(threadForwarder, nullptr));
    }
}

} // namespace Fw
