#include "host/WindowBitmap.h"

#include "foundation/Win32/Exception.h"
#include "foundation/Win32/ScopedDc.h"
#include "foundation/Win32/Unique.h"

#include <vector>

namespace DemoHost {

namespace {

[[noreturn]] void Fail(const char* step) {
    throw Win32::Exception(::GetLastError() ? ::GetLastError() : ERROR_INVALID_FUNCTION, step);
}

// The screen's pixels of the window, frame included: children and embedded controls are
// whatever they painted, which a WM_PRINT round would only ask them for again.
Win32::UniqueBitmap CopyOfWindow(HWND window, HDC memory, SIZE size) {
    const Win32::WindowDc screen(window, Win32::WindowDc::WholeWindow);
    if (!screen)
        Fail("GetWindowDC");
    Win32::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    bool copied = false;
    if (bitmap) {
        const Win32::SavedDcState saved(memory);
        ::SelectObject(memory, bitmap.get());
        copied = ::BitBlt(memory, 0, 0, size.cx, size.cy, screen.get(), 0, 0, SRCCOPY | CAPTUREBLT) != FALSE;
    }
    if (!bitmap || !copied)
        Fail("BitBlt");
    return bitmap;
}

} // namespace

void SaveWindowBitmap(HWND window, const std::string& path) {
    RECT frame{};
    if (!::GetWindowRect(window, &frame))
        Fail("GetWindowRect");
    const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    const Win32::UniqueDc memory(::CreateCompatibleDC(nullptr));
    if (!memory)
        Fail("CreateCompatibleDC");
    const Win32::UniqueBitmap bitmap = CopyOfWindow(window, memory.get(), size);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy; // bottom-up, as BMP files keep their rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (DWORD(size.cx) * 3 + 3) & ~DWORD(3);
    std::vector<BYTE> pixels(size_t(stride) * size.cy);
    info.bmiHeader.biSizeImage = DWORD(pixels.size());
    if (::GetDIBits(memory.get(), bitmap.get(), 0, UINT(size.cy), pixels.data(), &info, DIB_RGB_COLORS) !=
        size.cy)
        Fail("GetDIBits");

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + DWORD(pixels.size());

    const HANDLE opened =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        Fail("CreateFile");
    const Win32::UniqueHandle file(opened);
    const auto write = [&](const void* data, DWORD length) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), data, length, &written, nullptr) || written != length)
            Fail("WriteFile");
    };
    write(&header, sizeof header);
    write(&info.bmiHeader, sizeof info.bmiHeader);
    write(pixels.data(), DWORD(pixels.size()));
}

} // namespace DemoHost
