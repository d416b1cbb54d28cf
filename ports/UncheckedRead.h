#pragma once

#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"

#include <windows.h>

#include <string>

// Reads whose failure a command does not check: the dialog then opens with the preset.
// `read` makes the server call into the pointer it is given and answers its status.
template <class Read>
long UncheckedValue(long preset, Read read) {
    long value = preset;
    return SUCCEEDED(read(&value)) ? value : preset;
}

template <class Read>
std::string UncheckedText(std::string preset, Read read) {
    Win32::UniqueBstr text;
    return SUCCEEDED(read(text.put())) ? Lang::FromBstr(text.get()) : preset;
}
