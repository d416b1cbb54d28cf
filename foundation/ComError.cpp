// The failure object of <comdef.h> needs its rich raising function and string conversions
// from a support library that mingw does not ship; the module supplies them.
#include <comdef.h>

#include "foundation/Lang/Text.h"

void WINAPI _com_issue_errorex(HRESULT status, IUnknown* object, REFIID failedInterface) {
    // Rich error information belongs to the failure only when the object vouches for it
    // on the interface that failed; anything else lying around is a stale report.
    IErrorInfo* errorInfo = nullptr;
    ISupportErrorInfo* support = nullptr;
    if (object &&
        SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)))) {
        if (support->InterfaceSupportsErrorInfo(failedInterface) == S_OK &&
            ::GetErrorInfo(0, &errorInfo) != S_OK)
            errorInfo = nullptr;
        support->Release();
    }
    throw _com_error(status, errorInfo, false);
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
