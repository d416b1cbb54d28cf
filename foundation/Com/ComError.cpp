// The failure object of <comdef.h> needs its rich raising function and string conversions
// from a support library that mingw does not ship; the module supplies them.
#include "foundation/Com/Failure.h"

#include "foundation/Lang/Text.h"

void WINAPI _com_issue_errorex(HRESULT status, IUnknown* object, REFIID failedInterface) {
    // Rich error information belongs to the failure only when the object vouches for it
    // on the interface that failed; anything else lying around is a stale report.
    Microsoft::WRL::ComPtr<IErrorInfo> errorInfo;
    Microsoft::WRL::ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&support))) &&
        support->InterfaceSupportsErrorInfo(failedInterface) == S_OK && ::GetErrorInfo(0, &errorInfo) != S_OK)
        errorInfo.Reset();
    // The failure object takes over the reference.
    throw _com_error(status, errorInfo.Detach(), false);
}

void Com::Throw(HRESULT status) {
    throw _com_error(status);
}

void Com::ThrowLastError() {
    const DWORD error = ::GetLastError();
    Throw(error ? HRESULT_FROM_WIN32(error) : E_FAIL);
}

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* text) {
    return text ? Lang::ToBstr(text) : nullptr;
}

char* WINAPI ConvertBSTRToString(BSTR text) {
    if (!text)
        return nullptr;
    const std::string converted = Lang::FromBstr(text);
    char* result = new char[converted.size() + 1];
    std::copy(converted.c_str(), converted.c_str() + converted.size() + 1, result);
    return result;
}

} // namespace _com_util
