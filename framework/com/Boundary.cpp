#include "framework/com/Boundary.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"

#include <wrl/client.h>

namespace Fw {

namespace {

// Out of memory, the status goes back without a description rather than not at all.
void SetErrorDescription(HRESULT status, const char* description) noexcept {
    try {
        Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
        if (FAILED(::CreateErrorInfo(&create)))
            return;
        const std::wstring text = Lang::ToWide(description ? description : Lang::ErrorText(status));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        if (Microsoft::WRL::ComPtr<IErrorInfo> info; SUCCEEDED(create.As(&info)))
            ::SetErrorInfo(0, info.Get());
    } catch (const std::bad_alloc&) {
        ::SetErrorInfo(0, nullptr);
    }
}

} // namespace

HRESULT ReportFailure(const _com_error& failure) {
    // Pass on what the failing callee said about itself; otherwise describe the status.
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    info.Attach(failure.ErrorInfo()); // a reference of its own
    if (info) {
        ::SetErrorInfo(0, info.Get());
    } else {
        SetErrorDescription(failure.Error(), nullptr);
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
    SetErrorDescription(E_FAIL, description && *description ? description : nullptr);
    return E_FAIL;
}

} // namespace Fw
