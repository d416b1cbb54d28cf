#include "foundation/Lang/ErrorText.h"

#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"

#include <iterator>

namespace Lang {

namespace {

struct StandardText {
    HRESULT status;
    const char* text;
};

// The platform's own wording, for platforms whose message table lacks these statuses.
constexpr StandardText standardTexts[] = {
    {E_POINTER, "Invalid pointer"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_FAIL, "Unspecified error"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_ABORT, "Operation aborted"},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {DISP_E_EXCEPTION, "Exception occurred."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {TYPE_E_ELEMENTNOTFOUND, "Element not found."},
};

constexpr HRESULT firstInterfaceStatus = static_cast<HRESULT>(0x80040200);
constexpr HRESULT lastInterfaceStatus = static_cast<HRESULT>(0x8004FFFF);

bool SystemText(HRESULT status, std::string& text) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(status), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    const Win32::UniqueLocal<char> owned(buffer);
    if (length == 0 || !buffer)
        return false;
    text.assign(buffer, length);
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
    }
    return true;
}

} // namespace

std::string ErrorText(HRESULT status) {
    std::string text;
    if (SystemText(status, text))
        return text;
    for (const StandardText& standard : standardTexts)
        if (standard.status == status)
            return standard.text;
    if (status >= firstInterfaceStatus && status <= lastInterfaceStatus)
        return Format("IDispatch error #%d", static_cast<int>(status - firstInterfaceStatus));
    return Format("Unknown error 0x%0lX", static_cast<unsigned long>(status));
}

} // namespace Lang
