// IDispatch served from the module's embedded type library, as a script host calls it.
#include "foundation/Lang/ErrorText.h"
#include "framework/ComObject.h"
#include "framework/Dispatch.h"
#include "framework/SupportErrorInfo.h"
#include "module/OstrelUITools.h"
#include "tests/support/ModuleRegistration.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// A stand-in implementation of a dual interface of the library: it records its calls and
// refuses a null agent the way the real members refuse bad input.
class DualProbe : public Fw::ObjectRoot,
                  public Fw::Dispatch<IOstrelPortConfigCtrl>,
                  public Fw::SupportErrorInfo<IOstrelPortConfigCtrl> {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<DualProbe, IOstrelPortConfigCtrl>(),
        Fw::Entry<DualProbe, IDispatch, IOstrelPortConfigCtrl>(),
        Fw::Entry<DualProbe, ISupportErrorInfo>(),
    };
    static inline std::string calls;

    HRESULT STDMETHODCALLTYPE Startup() override { return Record("Startup"); }
    HRESULT STDMETHODCALLTYPE Shutdown() override { return Record("Shutdown"); }
    HRESULT STDMETHODCALLTYPE Initialize(IUnknown* pConfigAgentUnk) override {
        return Fw::Boundary([&] {
            if (!pConfigAgentUnk)
                _com_issue_error(E_INVALIDARG);
            calls += "Initialize;";
        });
    }
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override { return Record("RefreshDisplay"); }

private:
    static HRESULT Record(const char* name) {
        calls += std::string(name) + ";";
        return S_OK;
    }
};

// The framework finds the type library through the module it is linked into; here that is
// the test executable, so point it at the built DLL for the life of each test.
class EmbeddedTypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        m_dll = ::LoadLibraryA(TestSupport::modulePath().c_str());
        ASSERT_NE(nullptr, m_dll);
        Fw::Module::Current().Attach(m_dll);
        DualProbe::calls.clear();
        ASSERT_EQ(S_OK, Fw::Object<DualProbe>::Create(nullptr, IID_PPV_ARGS(&dispatch)));
    }
    void TearDown() override {
        dispatch.Reset();
        Fw::TypeLibrary::Release();
        Fw::Module::Current().Attach(::GetModuleHandleA(nullptr));
        ::FreeLibrary(m_dll);
    }

    DISPID IdOf(const wchar_t* name) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) << name;
        return id;
    }

    HRESULT Call(DISPID id, VARIANT* arguments, UINT count, EXCEPINFO* exception = nullptr) {
        DISPPARAMS parameters = {arguments, nullptr, count, 0};
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                                exception, nullptr);
    }

    ComPtr<IDispatch> dispatch;

private:
    HMODULE m_dll = nullptr;
};

TEST_F(EmbeddedTypeLibrary, NamesResolveToTheLibrarysIdentifiersAndInvokeReachesTheVtable) {
    EXPECT_EQ(1, IdOf(L"Startup"));
    EXPECT_EQ(3, IdOf(L"initialize")) << "names match ignoring case, as script hosts expect";
    EXPECT_EQ(4, IdOf(L"RefreshDisplay"));
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Refresh")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              dispatch->GetIDsOfNames(IID_IDispatch, unknown, 1, LOCALE_USER_DEFAULT, &id));

    EXPECT_EQ(S_OK, Call(4, nullptr, 0));
    EXPECT_EQ(S_OK, Call(1, nullptr, 0));
    EXPECT_EQ("RefreshDisplay;Startup;", DualProbe::calls);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(99, nullptr, 0));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, dispatch->Invoke(1, IID_IDispatch, LOCALE_USER_DEFAULT,
                                                        DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(EmbeddedTypeLibrary, FailingMemberReachesTheCallerWithItsDescription) {
    VARIANT agent;
    agent.vt = VT_UNKNOWN;
    agent.punkVal = nullptr;
    EXCEPINFO exception = {};
    EXPECT_EQ(DISP_E_EXCEPTION, Call(3, &agent, 1, &exception));
    EXPECT_EQ(E_INVALIDARG, exception.scode);
    ASSERT_NE(nullptr, exception.bstrDescription);
    EXPECT_EQ(Lang::ErrorText(E_INVALIDARG), static_cast<const char*>(_bstr_t(exception.bstrDescription)));
    for (BSTR text : {exception.bstrDescription, exception.bstrSource, exception.bstrHelpFile})
        ::SysFreeString(text);
    EXPECT_EQ("", DualProbe::calls);
}

TEST_F(EmbeddedTypeLibrary, TypeInfoIsTheDualInterfaces) {
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(::IsEqualGUID(IID_IOstrelPortConfigCtrl, attributes->guid));
    info->ReleaseTypeAttr(attributes);
    EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
    EXPECT_EQ(nullptr, info.Get());
    EXPECT_EQ(E_POINTER, dispatch->GetTypeInfoCount(nullptr));
}

} // namespace
