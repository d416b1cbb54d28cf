// The texts a user or a log reader sees for a failure.
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Exception.h"
#include "foundation/Lang/NullPointerException.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Exception.h"

#include <comdef.h>
#include <gtest/gtest.h>

namespace {

std::string SystemText(HRESULT status) {
    char* text = nullptr;
    ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        status, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = text ? text : "";
    ::LocalFree(text);
    return result;
}

TEST(FailureText, SystemTextLosesItsTrailingLineBreak) {
    for (HRESULT status : {E_INVALIDARG, E_OUTOFMEMORY, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)}) {
        const std::string system = SystemText(status);
        ASSERT_EQ("\r\n", system.substr(system.size() - 2)) << std::hex << status;
        EXPECT_EQ(system.substr(0, system.size() - 2), Lang::ErrorText(status)) << std::hex << status;
    }
}

TEST(FailureText, StandardTextsWhereThePlatformHasNone) {
    // Windows' message table has these; Wine's lacks some, and the module supplies them.
    EXPECT_EQ("Invalid pointer", Lang::ErrorText(E_POINTER));
    EXPECT_EQ("No such interface supported", Lang::ErrorText(E_NOINTERFACE));
    EXPECT_EQ("ClassFactory cannot supply requested class", Lang::ErrorText(CLASS_E_CLASSNOTAVAILABLE));
}

TEST(FailureText, FallbackTextsForStatusesWithoutAnyText) {
    struct Case {
        HRESULT status;
        const char* expected;
    };
    const Case cases[] = {
        {static_cast<HRESULT>(0x80040205), "IDispatch error #5"},
        {static_cast<HRESULT>(0x80040200), "IDispatch error #0"},
        {static_cast<HRESULT>(0x8004FFFF), "IDispatch error #65023"},
        {static_cast<HRESULT>(0x800401FF), "Unknown error 0x800401FF"},
        {static_cast<HRESULT>(0x80050000), "Unknown error 0x80050000"},
        {static_cast<HRESULT>(0xF00D), "Unknown error 0xF00D"},
        {static_cast<HRESULT>(0x2ABCDEF0), "Unknown error 0x2ABCDEF0"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ("", SystemText(c.status)) << std::hex << c.status << " has a system text here";
        EXPECT_EQ(c.expected, Lang::ErrorText(c.status)) << std::hex << c.status;
    }
}

// A failed call raises through _com_issue_errorex; the callee's error object is kept only
// when the callee vouches for it on the interface that failed.
class ErrorSource : public ISupportErrorInfo {
public:
    explicit ErrorSource(REFIID supported)
        : m_supported(supported) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown || iid == IID_ISupportErrorInfo) {
            *ppv = static_cast<ISupportErrorInfo*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == m_supported ? S_OK : S_FALSE;
    }

private:
    IID m_supported;
};

void PostErrorInfo(const wchar_t* description) {
    ICreateErrorInfo* create = nullptr;
    ASSERT_EQ(S_OK, ::CreateErrorInfo(&create));
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    ::SetErrorInfo(0, info);
    info->Release();
    create->Release();
}

_com_error RaiseFrom(IUnknown* source, REFIID failedInterface) {
    try {
        _com_issue_errorex(E_INVALIDARG, source, failedInterface);
    } catch (const _com_error& failure) {
        return failure;
    }
    ADD_FAILURE() << "_com_issue_errorex returned";
    return _com_error(S_OK);
}

TEST(FailureObject, TakesErrorInfoOnlyForInterfacesTheSourceVouchesFor) {
    ErrorSource source(IID_IDispatch);

    PostErrorInfo(L"port is busy");
    const _com_error vouched = RaiseFrom(&source, IID_IDispatch);
    EXPECT_EQ(E_INVALIDARG, vouched.Error());
    EXPECT_STREQ(L"port is busy", static_cast<const wchar_t*>(vouched.Description()));

    PostErrorInfo(L"stale report");
    const _com_error other = RaiseFrom(&source, IID_IPersist);
    EXPECT_EQ(E_INVALIDARG, other.Error());
    IErrorInfo* info = other.ErrorInfo();
    EXPECT_EQ(nullptr, info);
    if (info)
        info->Release();

    const _com_error withoutSource = RaiseFrom(nullptr, IID_IDispatch);
    EXPECT_EQ(E_INVALIDARG, withoutSource.Error());
}

TEST(ExceptionText, EmptyMessageReadsAsNullMessage) {
    Lang::Exception exception("first", "ctx");
    EXPECT_STREQ("first", exception.what());
    exception.SetMessage("");
    EXPECT_STREQ("(null message)", exception.what());
    EXPECT_STREQ("(null message)", Lang::Exception("", "ctx").what());
    EXPECT_EQ("ctx", exception.GetContext());
}

TEST(ExceptionText, Win32ExceptionTakesSystemTextOrSaysFormatMessageFailed) {
    const Win32::Exception known(ERROR_FILE_NOT_FOUND, "open");
    ASSERT_NE("", SystemText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), known.what()) << "kept unchanged, line break included";

    const Win32::Exception unknown(0x3FFFFFF0, "open");
    EXPECT_STREQ("Win32 ::FormatMessage failed", unknown.what());
    EXPECT_EQ(0x3FFFFFF0u, unknown.ErrorCode());
    EXPECT_EQ("open", unknown.GetContext());
}

TEST(ExceptionText, NullPointerExceptionNamesTheType) {
    const Lang::NullPointerException exception(Lang::TypeName<Lang::Exception>(), "here");
    EXPECT_STREQ("NULL class Lang::Exception pointer", exception.what());
    EXPECT_EQ("here", exception.GetContext());
    EXPECT_EQ("int", Lang::TypeName<int>());
}

TEST(Formatting, PrintfConversionsUsedByMessages) {
    struct Case {
        std::string actual;
        const char* expected;
    };
    const Case cases[] = {
        {Lang::Format("Error = 0x%08x, %s", 0x80004005u, "Unspecified"), "Error = 0x80004005, Unspecified"},
        {Lang::Format("0x%08x", 0x1Fu), "0x0000001f"},
        {Lang::Format("%d|%u|%X|%#x", -12, 4000000000u, 0xBEEFu, 0x10u), "-12|4000000000|BEEF|0x10"},
        {Lang::Format("[%5s][%-5s][%.2s]", "ab", "ab", "abcdef"), "[   ab][ab   ][ab]"},
        {Lang::Format("%05d %+d", 42, 7), "00042 +7"},
        {Lang::Format("%s", ""), ""},
        {Lang::Format("%s", std::string(5000, 'x').c_str()), nullptr},
    };
    for (const Case& c : cases) {
        if (c.expected) {
            EXPECT_EQ(c.expected, c.actual);
        }
    }
    EXPECT_EQ(std::string(5000, 'x'), cases[6].actual) << "long texts are not cut";
}

TEST(TextConversion, EmptyTextIsAnAllocatedEmptyString) {
    BSTR empty = Lang::ToBstr("");
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0u, ::SysStringLen(empty));
    ::SysFreeString(empty);

    BSTR text = Lang::ToBstr("Port \x96 COM3");
    EXPECT_STREQ(L"Port \x2013 COM3", text) << "converted through the ANSI code page";
    EXPECT_EQ("Port \x96 COM3", Lang::FromBstr(text));
    ::SysFreeString(text);
    EXPECT_EQ("", Lang::FromBstr(nullptr));
}

} // namespace
