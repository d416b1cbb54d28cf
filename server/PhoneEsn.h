#pragma once

#include <cwchar>

namespace Server {

// A phone record's ESN, decimal digits as the server sends them: the value, and whether the
// whole text was a number (anything after the digits makes it unreadable). An empty or missing
// text reads as 0 and counts as read; the views tell that case apart themselves.
inline bool ParseEsn(const wchar_t* esn, unsigned long& value) {
    const wchar_t* text = esn ? esn : L"";
    wchar_t* stop = nullptr;
    value = std::wcstoul(text, &stop, 10);
    return *stop == L'\0';
}

} // namespace Server
