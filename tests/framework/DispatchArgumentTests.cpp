// IDispatch as a script host calls it, wrong pointers included, and what a failed member leaves
// behind for the host to show.
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "tests/support/ProbeControl.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;
using TestSupport::ProbeControl;

namespace {

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control))); }
    void TearDown() override {
        control.Reset();
        Fw::TypeLibrary::Release();
    }
    ComPtr<IDispatch> control;
};

TEST_F(DispatchTest, NullArraysAnswerEPointer) {
    LPOLESTR name = const_cast<LPOLESTR>(L"Flag5");
    DISPID id = 0;
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT value = {};
    const struct {
        const char* name;
        LPOLESTR* names;
        DISPID* ids;
    } lookups[] = {{"no names", nullptr, &id}, {"no ids", &name, nullptr}};
    for (const auto& c : lookups)
        EXPECT_EQ(E_POINTER, control->GetIDsOfNames(IID_NULL, c.names, 1, 0, c.ids)) << c.name;
    EXPECT_EQ(S_OK, control->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
    EXPECT_EQ(5, id);

    DISPPARAMS noArguments = {nullptr, nullptr, 1, 0};
    DISPPARAMS noNames = {&value, nullptr, 1, 1};
    const struct {
        const char* name;
        DISPPARAMS* parameters;
    } invokes[] = {{"no parameters", nullptr}, {"one argument, no array", &noArguments},
                   {"one named argument, no names", &noNames}};
    for (const auto& c : invokes)
        EXPECT_EQ(E_POINTER, control->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, c.parameters, nullptr,
                                             nullptr, nullptr))
            << c.name;
    value.vt = VT_I4;
    value.lVal = 0;
    DISPPARAMS put = {&value, &named, 1, 1};
    EXPECT_EQ(S_OK, control->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr));
}

// The member's own description reaches the host both in EXCEPINFO and as the thread's error
// object, never the generic text of DISP_E_EXCEPTION.
TEST_F(DispatchTest, AFailedMembersErrorObjectStays) {
    VARIANT value = {};
    value.vt = VT_I4;
    value.lVal = ProbeControl::refused;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put = {&value, &named, 1, 1};
    const std::string memberText = Lang::ErrorText(E_INVALIDARG);
    for (const bool withExceptionInfo : {true, false}) {
        EXCEPINFO exception = {};
        ::SetErrorInfo(0, nullptr);
        EXPECT_EQ(DISP_E_EXCEPTION, control->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr,
                                                    withExceptionInfo ? &exception : nullptr, nullptr))
            << withExceptionInfo;
        ComPtr<IErrorInfo> info;
        ASSERT_EQ(S_OK, ::GetErrorInfo(0, &info)) << withExceptionInfo;
        BSTR description = nullptr;
        info->GetDescription(&description);
        EXPECT_EQ(memberText, Lang::FromWide(description ? description : L"")) << withExceptionInfo;
        ::SysFreeString(description);
        if (withExceptionInfo) {
            EXPECT_EQ(E_INVALIDARG, exception.scode);
            ::SysFreeString(exception.bstrSource);
            ::SysFreeString(exception.bstrDescription);
            ::SysFreeString(exception.bstrHelpFile);
        }
    }
}

} // namespace
