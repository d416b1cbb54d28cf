#include "ports/DiscoveredPort.h"

#include <climits>

namespace {

bool IsComName(std::wstring_view name) {
    return name.size() >= 4 && name.substr(0, 3) == L"COM";
}

// The number after "COM", read like the C library reads an int: an optional sign, then digits as
// far as they go, 0 when there are none. Out-of-range numbers stop at the int limits.
long long ComNumber(std::wstring_view name) {
    std::size_t at = 3;
    bool negative = false;
    if (at < name.size() && (name[at] == L'+' || name[at] == L'-'))
        negative = name[at++] == L'-';
    long long number = 0;
    for (; at < name.size() && name[at] >= L'0' && name[at] <= L'9'; ++at)
        if (number <= INT_MAX)
            number = number * 10 + (name[at] - L'0');
    if (negative)
        number = -number;
    return number < INT_MIN ? INT_MIN : number > INT_MAX ? INT_MAX : number;
}

} // namespace

int CompareDiscoveredPortNames(std::wstring_view a, std::wstring_view b) {
    if (IsComName(a) && IsComName(b)) {
        const long long numberA = ComNumber(a), numberB = ComNumber(b);
        return numberA < numberB ? -1 : numberA > numberB ? 1 : 0;
    }
    return a.compare(b);
}
