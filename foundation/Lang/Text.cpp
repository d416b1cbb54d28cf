#include "foundation/Lang/Text.h"
#include "foundation/Com/Failure.h"

#include <comdef.h>

#include <cstdarg>
#include <cstdio>

namespace Lang {

std::string Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    std::string text = FormatV(pattern, args);
    va_end(args);
    return text;
}

std::string FormatV(const char* pattern, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, pattern, args);
    return text;
}

BSTR ToBstr(std::string_view text) {
    const int source = static_cast<int>(text.size());
    const int length = source ? ::MultiByteToWideChar(CP_ACP, 0, text.data(), source, nullptr, 0) : 0;
    BSTR result = Com::ThrowIfNull(::SysAllocStringLen(nullptr, static_cast<UINT>(length)), E_OUTOFMEMORY);
    if (length)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), source, result, length);
    return result;
}

std::wstring ToWide(std::string_view text) {
    const int source = static_cast<int>(text.size());
    const int length = source ? ::MultiByteToWideChar(CP_ACP, 0, text.data(), source, nullptr, 0) : 0;
    std::wstring result(static_cast<size_t>(length), L'\0');
    if (length)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), source, result.data(), length);
    return result;
}

std::string FromBstr(BSTR text) { return text ? FromWide({text, ::SysStringLen(text)}) : std::string(); }

std::string FromWide(std::wstring_view text) {
    const int source = static_cast<int>(text.size());
    const int length =
        source ? ::WideCharToMultiByte(CP_ACP, 0, text.data(), source, nullptr, 0, nullptr, nullptr) : 0;
    std::string result(static_cast<size_t>(length), '\0');
    if (length)
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), source, result.data(), length, nullptr, nullptr);
    return result;
}

} // namespace Lang
