#include "ports/IpPortNumber.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view word) {
    if (text.size() != word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::towlower(text[i]) != std::towlower(word[i]))
            return false;
    }
    return true;
}

// Truncated toward zero and held inside the 64-bit range, as the integer reading saturates: a
// huge or infinite value must not overflow the conversion. NaN reads as nothing.
long long TruncatedValue(double value) {
    if (std::isnan(value))
        return 0;
    // 2^63 is exact as a double; anything at or past it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return LLONG_MAX;
    if (value <= -limit)
        return LLONG_MIN;
    return static_cast<long long>(std::trunc(value));
}

struct Reading {
    long long value = 0;
    size_t consumed = 0;
};

} // namespace

unsigned short IpPortNumber(std::wstring_view text) {
    if (text.empty() || EqualsIgnoringCase(text, L"false"))
        return 0;
    if (EqualsIgnoringCase(text, L"true"))
        return 1;

    // The C readers stop only at a null; a view need not have one after its last character.
    const std::wstring copy(text);
    const wchar_t* start = copy.c_str();
    wchar_t* end = nullptr;

    Reading best;
    best.value = std::wcstoll(start, &end, 0);
    best.consumed = static_cast<size_t>(end - start);

    // Only a strictly longer reading replaces the one before, so the integer wins a tie.
    const double real = std::wcstod(start, &end);
    if (static_cast<size_t>(end - start) > best.consumed)
        best = {TruncatedValue(real), static_cast<size_t>(end - start)};

    const wchar_t last = copy.back();
    if (last == L'b' || last == L'B') {
        const long long binary = std::wcstoll(start, &end, 2);
        size_t consumed = static_cast<size_t>(end - start);
        // The suffix belongs to the number only when the digits run right up to it; without it
        // "101b" would tie the decimal 101 and never read as 5.
        if (consumed > 0 && consumed + 1 == copy.size())
            ++consumed;
        if (consumed > best.consumed)
            best = {binary, consumed};
    }

    // The port is 16 bits wide; the rest of the number is dropped, not clamped.
    return static_cast<unsigned short>(best.value);
}
