#pragma once

#include <windows.h>

#include <string>

namespace Lang {

// The message text of a failure status, as message boxes and error objects show it:
//  1. the system's text for the status, without its trailing line break;
//  2. where the system has none, the standard text of the common COM statuses the module
//     meets (some platforms ship no text for them);
//  3. in the range of interface-defined statuses, "IDispatch error #<n>" with n counted
//     from 0x80040200;
//  4. otherwise "Unknown error 0x<status>" in upper-case hexadecimal.
// Use it rather than _com_error::ErrorMessage, which lacks step 2.
std::string ErrorText(HRESULT status);

} // namespace Lang
