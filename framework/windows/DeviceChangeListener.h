#pragma once

#include <windows.h>

namespace Fw {

// Hands WM_DEVICECHANGE to a child window while it lives: the system tells top-level windows
// only of ports and devices coming and going. The listeners of one thread share one hidden
// top-level window, made for the first of them and destroyed with the last. UI thread only.
class DeviceChangeListener {
public:
    // The shared window's class, by which tests find it among the thread's windows.
    static constexpr const char* forwarderClassName = "Fw.DeviceChangeForwarder";

    explicit DeviceChangeListener(HWND window);
    ~DeviceChangeListener();
    DeviceChangeListener(const DeviceChangeListener&) = delete;
    DeviceChangeListener& operator=(const DeviceChangeListener&) = delete;

private:
    HWND m_window;
};

} // namespace Fw
