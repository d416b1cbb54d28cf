#include "framework/Boundary.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"

namespace Fw {

namespace {

void SetErrorDescription(const std::string& description) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(::CreateErrorInfo(&create)))
        return;
    const std::wstring text = Lang::ToWide(description);
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        ::SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

} // namespace

HRESULT ReportFailure(const _com_error& failure) {
    // Pass on what the failing callee said about itself; otherwise describe the status.
    if (IErrorInfo* info = failure.ErrorInfo()) {
        ::SetErrorInfo(0, info);
        info->Release();
    } else {
        SetErrorDescription(Lang::ErrorText(failure.Error()));
    }
    return failure.Error();
}

HRESULT ReportUnexpected(const char* description) {
    SetErrorDescription(description && *description ? description : Lang::ErrorText(E_FAIL));
    return E_FAIL;
}

} // namespace Fw
