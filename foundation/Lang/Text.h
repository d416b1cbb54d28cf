#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace Lang {

// printf-style formatting into an 8-bit string (no floating-point conversions are used).
std::string Format(const char* pattern, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string FormatV(const char* pattern, va_list args);

// Texts are 8-bit in the system code page inside the module and BSTRs at its boundary.
// ToBstr never gives a null string: an empty text is an allocated empty BSTR.
BSTR ToBstr(std::string_view text);
// The whole string by its length prefix, embedded NULs included; a null BSTR is empty.
std::string FromBstr(BSTR text);
std::string FromWide(std::wstring_view text);
std::wstring ToWide(std::string_view text);

} // namespace Lang
