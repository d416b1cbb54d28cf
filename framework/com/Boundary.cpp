#include "framework/com/Boundary.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"

#include <wrl/client.h>

namespace Fw {

namespace {

void SetErrorDescription(const std::string& description) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(::CreateErrorInfo(&create)))
        return;
    const std::wstring text = Lang::ToWide(description);
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    if (Microsoft::WRL::ComPtr<IErrorInfo> info; SUCCEEDED(create.As(&info)))
        ::SetErrorInfo(0, info.Get());
}

} // namespace

HRESULT ReportFailure(const _com_error& failure) {
    // Pass on what the failing callee said about itself; otherwise describe the status.
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    info.Attach(failure.ErrorInfo()); // a reference of its own
    if (info) {
        ::SetErrorInfo(0, info.Get());
    } else {
        SetErrorDescription(Lang::ErrorText(failure.Error()));
    }
    return failure.Error();
}

void KeepMemberError(const EXCEPINFO* exception) {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, &info) == S_OK) {
        ::SetErrorInfo(0, info.Get());
        return;
    }
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (!exception || FAILED(::CreateErrorInfo(&create)))
        return;
    create->SetDescription(exception->bstrDescription);
    create->SetSource(exception->bstrSource);
    create->SetHelpFile(exception->bstrHelpFile);
    create->SetHelpContext(exception->dwHelpContext);
    if (SUCCEEDED(create.As(&info)))
        ::SetErrorInfo(0, info.Get());
}

HRESULT ReportUnexpected(const char* description) {
    SetErrorDescription(description && *description ? description : Lang::ErrorText(E_FAIL));
    return E_FAIL;
}

} // namespace Fw
