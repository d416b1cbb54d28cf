#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>

// One column of a list view as the string table describes it.
struct ListColumn {
    UINT headerId;
    UINT widthId; // the width when shown, a decimal text
};

// A column's width from its width text: the text read as a signed decimal number, as far as it
// goes (an empty or unreadable one gives 0; negative ones are the list view's autosizes), and
// 0 for a hidden column.
inline int ColumnWidth(std::string_view widthText, bool shown) {
    return shown ? static_cast<int>(std::strtol(std::string(widthText).c_str(), nullptr, 10)) : 0;
}
