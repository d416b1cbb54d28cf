// The texts a user or a log reader sees for a failure.
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Exception.h"
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

// The system's text without its line break; where Wine's message table lacks a standard
// status the module supplies Windows' wording; anything else gets a made-up text.
TEST(FailureText, SystemThenStandardThenFallbackText) {
    struct Case {
        HRESULT status;
        const char* expected; // null: the system's text
    };
    const Case cases[] = {
        {E_INVALIDARG, nullptr},
        {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), nullptr},
        {E_POINTER, "Invalid pointer"},
        {E_NOINTERFACE, "No such interface supported"},
        {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
        {static_cast<HRESULT>(0x80040205), "IDispatch error #5"},
        {static_cast<HRESULT>(0x80040200), "IDispatch error #0"},
        {static_cast<HRESULT>(0x8004FFFF), "IDispatch error #65023"},
        {static_cast<HRESULT>(0x800401FF), "Unknown error 0x800401FF"},
        {static_cast<HRESULT>(0x80050000), "Unknown error 0x80050000"},
        {static_cast<HRESULT>(0xF00D), "Unknown error 0xF00D"},
    };
    for (const Case& c : cases) {
        std::string expected = c.expected ? c.expected : SystemText(c.status);
        if (!c.expected) {
            ASSERT_EQ("\r\n", expected.substr(expected.size() - 2)) << std::hex << c.status;
            expected.resize(expected.size() - 2);
        }
        EXPECT_EQ(expected, Lang::ErrorText(c.status)) << std::hex << c.status;
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

TEST(ExceptionText, WhatTheUserReadsOfEachKind) {
    Lang::Exception exception("first", "ctx");
    EXPECT_STREQ("first", exception.what());
    exception.SetMessage("");
    EXPECT_STREQ("(null message)", exception.what());
    EXPECT_STREQ("(null message)", Lang::Exception("", "ctx").what());
    EXPECT_EQ("ctx", exception.GetContext());

    const Win32::Exception known(ERROR_FILE_NOT_FOUND, "open");
    ASSERT_NE("", SystemText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), known.what()) << "kept unchanged, line break included";
    const Win32::Exception unknown(0x3FFFFFF0, "open");
    EXPECT_STREQ("Win32 ::FormatMessage failed", unknown.what());
    EXPECT_EQ(0x3FFFFFF0u, unknown.ErrorCode());
}

TEST(Formatting, LongAndEmptyResults) {
    EXPECT_EQ("", Lang::Format("%s", ""));
    EXPECT_EQ(std::string(5000, 'x'), Lang::Format("%s", std::string(5000, 'x').c_str()))
        << "long texts are not cut";
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
