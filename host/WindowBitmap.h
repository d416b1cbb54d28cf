#pragma once

#include <windows.h>

#include <string>

namespace DemoHost {

// Writes what the window shows on screen, frame included, as a 24-bit bottom-up BMP file.
// Throws Win32::Exception on failure.
void SaveWindowBitmap(HWND window, const std::string& path);

} // namespace DemoHost
