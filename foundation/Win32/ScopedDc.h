#pragma once

#include <windows.h>

namespace Win32 {

// A window's device context (the screen's for a null window) from GetDC or GetWindowDC,
// given back to that window at the end of the scope.
class WindowDc {
public:
    enum Area { Client, WholeWindow };
    explicit WindowDc(HWND window, Area area = Client)
        : m_window(window)
        , m_dc(area == Client ? ::GetDC(window) : ::GetWindowDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// The DC's state (selected objects, colours, modes) saved and restored around a scope.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc)
        : m_dc(dc)
        , m_saved(::SaveDC(dc)) {}
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;
    ~SavedDcState() {
        if (m_saved)
            ::RestoreDC(m_dc, m_saved);
    }

private:
    HDC m_dc;
    int m_saved;
};

} // namespace Win32
