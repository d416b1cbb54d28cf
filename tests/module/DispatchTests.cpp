// IDispatch as a script host calls it on the module's port list and service lists: names,
// arguments and type information all come from the type library embedded in the module.
#include "interfaces/OstrelUITools.h"
#include "tests/support/ModuleRegistration.h"

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

// A script's variables reach an [in,out] object reference as references to VARIANTs: the
// variable takes the member's object, in place of what it held.
TEST(ObjectReferenceArguments, ScriptVariablesTakeTheMembersObject) {
    ComPtr<IDispatch> assigned, other;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_RdmSvcAsgn, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&assigned)));
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_RdmSvcPool, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&other)));
    const auto readInto = [&](VARIANT& variable) {
        VARIANTARG argument;
        V_VT(&argument) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&argument) = &variable;
        DISPPARAMS parameters = {&argument, nullptr, 1, 0};
        const HRESULT status =
            assigned->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
        EXPECT_EQ(VT_BYREF | VT_VARIANT, V_VT(&argument)) << "the caller's argument is its own again";
        return status;
    };
    const auto tableOf = [](const VARIANT& variable) {
        ComPtr<IStream> stream;
        EXPECT_EQ(VT_UNKNOWN, V_VT(&variable));
        if (V_VT(&variable) != VT_UNKNOWN || FAILED(V_UNKNOWN(&variable)->QueryInterface(IID_PPV_ARGS(&stream))))
            return std::vector<BYTE>{};
        std::vector<BYTE> bytes(64);
        ULONG read = 0;
        stream->Seek({}, STREAM_SEEK_SET, nullptr);
        stream->Read(bytes.data(), 64, &read);
        bytes.resize(read);
        return bytes;
    };

    VARIANT empty;
    ::VariantInit(&empty);
    ASSERT_EQ(S_OK, readInto(empty));
    EXPECT_EQ(std::vector<BYTE>(23, 0xFF), tableOf(empty));
    ::VariantClear(&empty);

    VARIANT holding;
    V_VT(&holding) = VT_DISPATCH;
    V_DISPATCH(&holding) = other.Get();
    other->AddRef();
    ASSERT_EQ(S_OK, readInto(holding));
    EXPECT_EQ(std::vector<BYTE>(23, 0xFF), tableOf(holding));
    ::VariantClear(&holding);
    EXPECT_EQ(1u, other.Get()->AddRef() - 1) << "the variable let its object go";
    other.Get()->Release();

    // Anything else is the platform's to refuse.
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = ::SysAllocString(L"map");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, readInto(text));
    EXPECT_EQ(VT_BSTR, V_VT(&text));
    ::VariantClear(&text);
}

TEST(ServiceMapScript, ReadsTheMapIntoAVariableAndHandsItOn) {
    EXPECT_EQ((std::vector<std::string>{
                  "CreateObject assigned list: ok", "CreateObject unassigned list: ok", "ReadDevTable: ok",
                  "assigned WriteDevTable: ok", "unassigned WriteDevTable: ok",
                  "WriteDevTable Nothing: 0x80004003 \"Invalid pointer\"",
                  "WriteDevTable of a list: 0x80004002 \"No such interface supported\"",
                  "ReadDevTable into a variable that held an object: ok", "WriteDevTable of it: ok",
                  "servicemap script done"}),
              TestSupport::runScript("servicemap.vbs"));
}

} // namespace
