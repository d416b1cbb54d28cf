#include "lists/RowOrder.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

bool IsComName(std::string_view name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return name.size() > 3 && lower(name[0]) == 'c' && lower(name[1]) == 'o' && lower(name[2]) == 'm';
}

long ComNumber(std::string_view name) {
    const std::string digits(name.substr(3));
    return std::strtol(digits.c_str(), nullptr, 10);
}

} // namespace

int CompareTexts(std::string_view text1, std::string_view text2) {
    const int result =
        ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text1.data(), static_cast<int>(text1.size()),
                         text2.data(), static_cast<int>(text2.size()));
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

int ComparePortNames(std::string_view name1, std::string_view name2) {
    if (IsComName(name1) && IsComName(name2))
        return Order(ComNumber(name1), ComNumber(name2));
    return CompareTexts(name1, name2);
}
