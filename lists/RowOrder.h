#pragma once

#include <string_view>

// How list rows compare when a header is clicked, the same in every list: texts as the user's
// desktop sorts them, port names by their COM numbers.

template <class T>
int Order(T value1, T value2) {
    return value1 < value2 ? -1 : value2 < value1 ? 1 : 0;
}

// Case-insensitive in the user's locale (< 0, 0, > 0).
int CompareTexts(std::string_view text1, std::string_view text2);
// When both are longer than three characters and start with "com" in any case, by the decimal
// number after those three (COM2 before COM10, "COM1A" as 1, "COMX" as 0); else by text.
int ComparePortNames(std::string_view name1, std::string_view name2);
