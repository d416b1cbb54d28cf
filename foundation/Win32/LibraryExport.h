#pragma once

#include <windows.h>

namespace Win32 {

// Points `entry` at the export of that (decorated) name; false, with `entry` null, when the library
// lacks it.
template <class Function>
bool FindExport(HMODULE library, const char* name, Function& entry) {
    entry = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    return entry != nullptr;
}

} // namespace Win32
