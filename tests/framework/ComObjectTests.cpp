// Identity, failed construction and the interface boundary of framework objects. The module
// lock count and aggregation are proved on the module's own classes (module/ClassObjectTests).
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"
#include "framework/com/ComObject.h"
#include "framework/com/SupportErrorInfo.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <functional>
#include <stdexcept>

using Microsoft::WRL::ComPtr;

namespace {

constexpr CLSID probeClassId = {0x5a1c0e11, 0x7d2b, 0x4c55, {0x9e, 0x01, 0x2f, 0x33, 0x44, 0x55, 0x66, 0x77}};

class Probe : public Fw::ObjectRoot, public IPersist, public Fw::SupportErrorInfo<IPersist> {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<Probe, IPersist>(),
        Fw::Entry<Probe, ISupportErrorInfo>(),
    };
    static inline int live = 0;
    static inline HRESULT finalConstructStatus = S_OK;

    Probe() { ++live; }
    ~Probe() override { --live; }
    HRESULT FinalConstruct() { return finalConstructStatus; }

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override {
        return Fw::Boundary(pClassID, [&] { *pClassID = probeClassId; });
    }
};

LONG Locks() {
    return Fw::Module::Current().LockCount();
}

TEST(ComObject, AnswersItsTableWithOneIdentity) {
    ComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, Fw::Object<Probe>::Create(nullptr, IID_IPersist, &persist));
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, persist.As(&support));
    ComPtr<IUnknown> viaPersist, viaSupport;
    persist.As(&viaPersist);
    support.As(&viaSupport);
    EXPECT_EQ(viaPersist.Get(), viaSupport.Get());

    IDispatch* dispatch = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(E_NOINTERFACE, persist->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    EXPECT_EQ(nullptr, dispatch);
    EXPECT_EQ(E_POINTER, persist->QueryInterface(IID_IPersist, nullptr));

    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_IPersist));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
}

TEST(ComObject, FailedFinalConstructDestroysTheObject) {
    const LONG before = Locks();
    Probe::finalConstructStatus = E_OUTOFMEMORY;
    IPersist* persist = reinterpret_cast<IPersist*>(1);
    EXPECT_EQ(E_OUTOFMEMORY, Fw::Object<Probe>::Create(nullptr, IID_PPV_ARGS(&persist)));
    Probe::finalConstructStatus = S_OK;
    EXPECT_EQ(nullptr, persist);
    EXPECT_EQ(0, Probe::live);
    EXPECT_EQ(before, Locks());
}

TEST(Boundary, StopsAtANullOutPointerAndClearsTheOthersBeforeTheBody) {
    bool ran = false;
    long number = 7;
    BSTR text = reinterpret_cast<BSTR>(8);
    EXPECT_EQ(E_POINTER, Fw::Boundary(&number, static_cast<BSTR*>(nullptr), [&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(7, number) << "nothing else happens";
    EXPECT_EQ(S_OK, Fw::Boundary(&number, &text, [&] {
                  EXPECT_EQ(0, number);
                  EXPECT_EQ(nullptr, text);
              }));
}

std::wstring ThreadErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, &info) != S_OK)
        return L"(none)";
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::wstring text = description ? description : L"";
    ::SysFreeString(description);
    return text;
}

// A script host shows the thread's error object: every failure leaves one, answered or raised.
TEST(Boundary, FailuresBecomeStatusesWithADescription) {
    const auto described = [](HRESULT status) { return Lang::ToWide(Lang::ErrorText(status)); };
    const struct {
        const char* name;
        std::function<HRESULT()> body;
        HRESULT status;
        std::wstring description;
    } cases[] = {
        {"an answered success", [] { return S_FALSE; }, S_FALSE, L"(none)"},
        {"an answered failure", [] { return E_ACCESSDENIED; }, E_ACCESSDENIED, described(E_ACCESSDENIED)},
        {"a raised status",
         []() -> HRESULT {
             _com_issue_error(E_INVALIDARG);
             return E_UNEXPECTED; // had it not raised
         },
         E_INVALIDARG, described(E_INVALIDARG)},
        {"a standard exception", []() -> HRESULT { throw std::runtime_error("port table is corrupt"); },
         E_FAIL, L"port table is corrupt"},
        {"anything else", []() -> HRESULT { throw 42; }, E_FAIL, described(E_FAIL)},
    };
    for (const auto& c : cases) {
        ::SetErrorInfo(0, nullptr);
        EXPECT_EQ(c.status, Fw::Boundary([&] { return c.body(); })) << c.name;
        EXPECT_EQ(c.description, ThreadErrorDescription()) << c.name;
    }
    EXPECT_EQ(S_OK, Fw::Boundary([] {})) << "a body that answers nothing";
}

} // namespace
