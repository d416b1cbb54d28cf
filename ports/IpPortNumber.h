#pragma once

#include <string_view>

// The IP port the user typed in the add-port dialog's "IP Port:" field. The text is read as the
// longest of a number with automatic base ("0x1F90", "017", "8080"), a floating-point number
// ("1e3", truncated) and a binary number ending in "b" ("101b"); "true" and "false" read as 1
// and 0. Only the low 16 bits are kept, so "70000" is 4464 and "-1" is 65535.
unsigned short IpPortNumber(std::wstring_view text);
