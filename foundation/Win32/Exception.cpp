#include "foundation/Win32/Exception.h"

#include "foundation/Win32/Unique.h"

namespace Win32 {

Exception::Exception(DWORD errorCode, std::string context)
    : Lang::Exception({}, std::move(context))
    , m_errorCode(errorCode) {
    m_message.clear();
}

const char* Exception::what() const noexcept {
    if (m_message.empty()) {
        try {
            char* text = nullptr;
            const DWORD length = ::FormatMessageA(
                FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                nullptr, m_errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                reinterpret_cast<char*>(&text), 0, nullptr);
            const UniqueLocal<char> owned(text);
            m_message = length != 0 && text ? std::string(text, length) : "Win32 ::FormatMessage failed";
        } catch (...) {
            // what() must not throw; the caller then sees whatever the message holds.
        }
    }
    return m_message.c_str();
}

} // namespace Win32
