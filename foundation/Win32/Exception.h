#pragma once

#include "foundation/Lang/Exception.h"

#include <windows.h>

namespace Win32 {

// A failed system call. The text comes from the system message table on first use, so
// constructing one stays cheap on paths that never show it.
class Exception : public Lang::Exception {
public:
    Exception(DWORD errorCode, std::string context);

    const char* what() const noexcept override;
    DWORD ErrorCode() const { return m_errorCode; }

private:
    DWORD m_errorCode;
};

} // namespace Win32
