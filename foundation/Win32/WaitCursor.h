#pragma once

#include <windows.h>

namespace Win32 {

// The hourglass while the thread blocks; the cursor before it comes back however the wait ends.
class WaitCursor {
public:
    WaitCursor()
        : m_previous(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

} // namespace Win32
