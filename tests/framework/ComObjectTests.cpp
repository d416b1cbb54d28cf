// Identity, lifetime, aggregation and the interface boundary of framework objects.
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "framework/Boundary.h"
#include "framework/ClassFactory.h"
#include "framework/ComObject.h"
#include "framework/SupportErrorInfo.h"

#include "tests/support/OuterObject.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

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

TEST(ComObject, LiveObjectsAndServerLocksHoldTheModule) {
    const LONG before = Locks();
    ComPtr<IClassFactory> factory(new Fw::ClassFactory(Fw::Object<Probe>::Create));
    EXPECT_EQ(before, Locks()) << "a class object alone does not hold the module";

    ComPtr<IPersist> first, second;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&first)));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&second)));
    EXPECT_EQ(before + 2, Locks());
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(before + 3, Locks());

    first.Reset();
    second.Reset();
    EXPECT_EQ(before + 1, Locks());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(before, Locks());
    EXPECT_EQ(0, Probe::live);
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

TEST(ComObject, AggregatedObjectDelegatesToItsOuter) {
    TestSupport::OuterObject outer;
    IPersist* refused = reinterpret_cast<IPersist*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, Fw::Object<Probe>::Create(&outer, IID_PPV_ARGS(&refused)));
    EXPECT_EQ(nullptr, refused);
    EXPECT_EQ(0, Probe::live) << "nothing is built for a refused aggregation";

    ASSERT_EQ(S_OK, Fw::Object<Probe>::Create(&outer, IID_PPV_ARGS(&outer.inner)));
    EXPECT_EQ(1u, outer.references) << "the inner unknown does not count on the outer";

    ComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_PPV_ARGS(&persist)));
    EXPECT_EQ(2u, outer.references) << "references to inner interfaces count on the outer";
    ComPtr<IUnknown> identity;
    persist.As(&identity);
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get()) << "identity is the outer object's";
    identity.Reset();
    persist.Reset();
    EXPECT_EQ(1u, outer.references);

    outer.inner.Reset();
    EXPECT_EQ(0, Probe::live);
}

TEST(Boundary, NullOutPointerStopsBeforeTheBody) {
    bool ran = false;
    long value = 7;
    EXPECT_EQ(E_POINTER, Fw::Boundary(&value, static_cast<BSTR*>(nullptr), [&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(7, value) << "nothing else happens";
}

TEST(Boundary, ClearsOutsAndPassesTheBodysStatus) {
    long number = 7;
    BSTR text = reinterpret_cast<BSTR>(8);
    EXPECT_EQ(S_FALSE, Fw::Boundary(&number, &text, [&] {
                  EXPECT_EQ(0, number);
                  EXPECT_EQ(nullptr, text);
                  return S_FALSE;
              }));
    EXPECT_EQ(S_OK, Fw::Boundary([] {}));
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

TEST(Boundary, AnsweredFailuresAreDescribedToo) {
    ::SetErrorInfo(0, nullptr);
    EXPECT_EQ(S_FALSE, Fw::Boundary([] { return S_FALSE; }));
    EXPECT_EQ(L"(none)", ThreadErrorDescription()) << "success sets no error object";
    EXPECT_EQ(E_ACCESSDENIED, Fw::Boundary([] { return E_ACCESSDENIED; }));
    EXPECT_EQ(Lang::ToWide(Lang::ErrorText(E_ACCESSDENIED)), ThreadErrorDescription());
}

TEST(Boundary, FailuresBecomeStatusesWithADescription) {
    struct Case {
        std::function<void()> body;
        HRESULT status;
        std::wstring description;
    };
    const std::wstring invalidArgument = Lang::ToWide(Lang::ErrorText(E_INVALIDARG));
    const Case cases[] = {
        {[] { _com_issue_error(E_INVALIDARG); }, E_INVALIDARG, invalidArgument},
        {[] { throw std::runtime_error("port table is corrupt"); }, E_FAIL, L"port table is corrupt"},
        {[] { throw 42; }, E_FAIL, Lang::ToWide(Lang::ErrorText(E_FAIL))},
    };
    for (const Case& c : cases) {
        ::SetErrorInfo(0, nullptr);
        EXPECT_EQ(c.status, Fw::Boundary([&] { c.body(); }));
        EXPECT_EQ(c.description, ThreadErrorDescription());
    }
}

} // namespace
