// IDispatch as a script host calls it on the module's port list: names, arguments and type
// information all come from the type library embedded in the module.
#include "interfaces/OstrelUITools.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

class ModuleDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_OstrelPortList, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&dispatch)));
    }

    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS parameters, VARIANT* result = nullptr,
                   EXCEPINFO* exception = nullptr, REFIID iid = IID_NULL) {
        return dispatch->Invoke(id, iid, LOCALE_USER_DEFAULT, flags, &parameters, result, exception, nullptr);
    }

    ComPtr<IDispatch> dispatch;
};

TEST_F(ModuleDispatch, NamesResolveToTheLibrarysIdentifiers) {
    // Names match ignoring case, as script hosts expect.
    const std::pair<const wchar_t*, DISPID> names[] = {
        {L"Startup", 1}, {L"showbaudlabel", 7}, {L"SetNotificationWindow", 17}, {L"Refresh", DISPID_UNKNOWN}};
    for (const auto& [name, expected] : names) {
        LPOLESTR text[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        EXPECT_EQ(expected == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK,
                  dispatch->GetIDsOfNames(IID_NULL, text, 1, LOCALE_USER_DEFAULT, &id))
            << static_cast<const char*>(_bstr_t(name));
        EXPECT_EQ(expected, id) << static_cast<const char*>(_bstr_t(name));
    }
    LPOLESTR startup[] = {const_cast<LPOLESTR>(L"Startup")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              dispatch->GetIDsOfNames(IID_IDispatch, startup, 1, LOCALE_USER_DEFAULT, &id));
}

// Writing and reading a property by DISPID, and a member's failure with its description, are
// what the scripts of PortListEndToEnd do; here what a script host cannot reach.
TEST_F(ModuleDispatch, InvokeRefusesUnknownMembersAndInterfaces) {
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(99, DISPATCH_METHOD, {}));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, Invoke(1, DISPATCH_METHOD, {}, nullptr, nullptr, IID_IDispatch));
}

TEST_F(ModuleDispatch, TypeInfoIsTheDualInterfaces) {
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(E_POINTER, dispatch->GetTypeInfoCount(nullptr));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(::IsEqualGUID(IID_IOstrelPortList, attributes->guid));
    info->ReleaseTypeAttr(attributes);
    EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
    EXPECT_EQ(nullptr, info.Get());
}

} // namespace
