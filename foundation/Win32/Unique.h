#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <utility>

namespace Win32 {

// One owning type per handle kind, so that nothing outside these is released by hand.
// Traits name the handle type, its empty value and how to let go of it.
template <class Traits>
class Unique {
public:
    using pointer = typename Traits::pointer;

    Unique() = default;
    explicit Unique(pointer handle)
        : m_handle(handle) {}
    Unique(Unique&& other) noexcept
        : m_handle(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    pointer get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::empty(); }

    // For out-parameters of system calls: lets go of the current handle first.
    pointer* put() {
        reset();
        return &m_handle;
    }
    pointer release() { return std::exchange(m_handle, Traits::empty()); }
    void reset(pointer handle = Traits::empty()) {
        if (m_handle != Traits::empty())
            Traits::close(m_handle);
        m_handle = handle;
    }

private:
    pointer m_handle = Traits::empty();
};

struct KeyTraits {
    using pointer = HKEY;
    static pointer empty() { return nullptr; }
    static void close(HKEY key) { ::RegCloseKey(key); }
};

struct HandleTraits {
    using pointer = HANDLE;
    static pointer empty() { return nullptr; }
    static void close(HANDLE handle) { ::CloseHandle(handle); }
};

struct BstrTraits {
    using pointer = BSTR;
    static pointer empty() { return nullptr; }
    static void close(BSTR text) { ::SysFreeString(text); }
};

struct SafeArrayTraits {
    using pointer = SAFEARRAY*;
    static pointer empty() { return nullptr; }
    static void close(SAFEARRAY* array) { ::SafeArrayDestroy(array); }
};

struct LibraryTraits {
    using pointer = HMODULE;
    static pointer empty() { return nullptr; }
    static void close(HMODULE module) { ::FreeLibrary(module); }
};

template <class T>
struct LocalTraits {
    using pointer = T*;
    static pointer empty() { return nullptr; }
    static void close(T* memory) { ::LocalFree(memory); }
};

// GDI objects selected into a device context must be selected out before they go.
template <class T>
struct GdiObjectTraits {
    using pointer = T;
    static pointer empty() { return nullptr; }
    static void close(T object) { ::DeleteObject(object); }
};

struct MenuTraits {
    using pointer = HMENU;
    static pointer empty() { return nullptr; }
    static void close(HMENU menu) { ::DestroyMenu(menu); }
};

struct ImageListTraits {
    using pointer = HIMAGELIST;
    static pointer empty() { return nullptr; }
    static void close(HIMAGELIST list) { ::ImageList_Destroy(list); }
};

struct IconTraits {
    using pointer = HICON;
    static pointer empty() { return nullptr; }
    static void close(HICON icon) { ::DestroyIcon(icon); }
};

// A device context made with CreateCompatibleDC or CreateDC (not one from GetDC).
struct DcTraits {
    using pointer = HDC;
    static pointer empty() { return nullptr; }
    static void close(HDC dc) { ::DeleteDC(dc); }
};

struct WindowTraits {
    using pointer = HWND;
    static pointer empty() { return nullptr; }
    static void close(HWND window) { ::DestroyWindow(window); }
};

using UniqueKey = Unique<KeyTraits>;
using UniqueHandle = Unique<HandleTraits>;
using UniqueBstr = Unique<BstrTraits>;
using UniqueSafeArray = Unique<SafeArrayTraits>;
using UniqueLibrary = Unique<LibraryTraits>;
template <class T>
using UniqueLocal = Unique<LocalTraits<T>>;
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniqueMenu = Unique<MenuTraits>;
using UniqueImageList = Unique<ImageListTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueDc = Unique<DcTraits>;
using UniqueWindow = Unique<WindowTraits>;

} // namespace Win32
