// Values a container hands a control to load, as hosts write them: missing, of another type,
// empty, or an extent below zero. A refused value changes nothing.
#include "tests/support/ProbeControl.h"
#include "tests/support/ProbeSite.h"
#include "tests/support/Streams.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <climits>
#include <set>

using namespace TestSupport;
using Microsoft::WRL::ComPtr;

namespace {

// A host's bag: it notes a value it lacks in the log it is given, and answers S_OK for the
// names in `silent` without writing the value.
class HostBag : public Bag {
public:
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override {
        if (silent.contains(name))
            return S_OK;
        const HRESULT status = Bag::Read(name, value, log);
        if (status == E_INVALIDARG && log) {
            EXCEPINFO missing = {};
            missing.scode = status;
            log->AddError(name, &missing);
        }
        return status;
    }
    std::set<std::wstring> silent;
};

class LoadedValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control)));
        ASSERT_EQ(S_OK, As<IPersistStreamInit>()->Load(StreamOf(Fw::EncodeState(saved)).Get()));
    }
    void TearDown() override {
        control.Reset();
        Fw::TypeLibrary::Release();
    }
    template <class I>
    ComPtr<I> As() {
        ComPtr<I> result;
        EXPECT_EQ(S_OK, control.As(&result));
        return result;
    }
    std::vector<BYTE> Saved() {
        const ComPtr<IStream> stream = StreamOf({});
        EXPECT_EQ(S_OK, As<IPersistStreamInit>()->Save(stream.Get(), FALSE));
        return Contents(stream.Get());
    }
    ComPtr<IProbeControl> control;
};

TEST_F(LoadedValueTest, BagValuesMissingConvertedOrRefused) {
    HostBag whole;
    ASSERT_EQ(S_OK, As<IPersistPropertyBag>()->Save(&whole, FALSE, TRUE));
    // saved: extent 15399 x 7911, Flag5..Flag9 = 1 0 1 0 0.
    enum Kind { Value, Missing, Silent };
    struct Case {
        const char* name;
        const wchar_t* key;
        Kind kind;
        _variant_t value;
        HRESULT status;
        Fw::SavedState after;
        const char* logged;
    };
    const Fw::SavedState flag6Set = {saved.extent, {1, 1, 1, 0, 0}};
    const Case cases[] = {
        {"missing property keeps its value", L"Flag6", Missing, {}, S_OK, saved, "Flag6 0x80070057;"},
        {"missing extent keeps it", L"_cy", Missing, {}, S_OK, saved, "_cy 0x80070057;"},
        {"text of a number", L"Flag6", Value, L"1", S_OK, flag6Set, ""},
        {"a whole double", L"Flag6", Value, 1.0, S_OK, flag6Set, ""},
        {"extent as a signed integer", L"_cx", Value, 20000l, S_OK, {{20000, 7911}, saved.values}, ""},
        {"text that is no number", L"Flag6", Value, L"yes", E_INVALIDARG, saved, "Flag6 0x80020005;"},
        {"a fraction", L"Flag6", Value, 2.5, E_INVALIDARG, saved, "Flag6 0x80020005;"},
        {"an empty value", L"Flag6", Value, {}, E_INVALIDARG, saved, "Flag6 0x80070057;"},
        {"a value the bag never wrote", L"Flag6", Silent, {}, E_INVALIDARG, saved, "Flag6 0x80070057;"},
        {"a negative extent", L"_cx", Value, -100l, E_INVALIDARG, saved, "_cx 0x80070057;"},
        {"an extent past LONG_MAX", L"_cy", Value, 0x80000000ul, E_INVALIDARG, saved, "_cy 0x80070057;"},
    };
    for (const Case& c : cases) {
        HostBag bag;
        bag.values = whole.values;
        if (c.kind == Missing)
            bag.values.erase(c.key);
        else if (c.kind == Silent)
            bag.silent.insert(c.key);
        else
            bag.values[c.key] = c.value;
        ASSERT_EQ(S_OK, As<IPersistStreamInit>()->Load(StreamOf(Fw::EncodeState(saved)).Get()));
        ErrorLog log;
        EXPECT_EQ(c.status, As<IPersistPropertyBag>()->Load(&bag, &log)) << c.name;
        EXPECT_EQ(Fw::EncodeState(c.after), Saved()) << c.name;
        EXPECT_EQ(c.logged, log.heard) << c.name;
    }
}

TEST_F(LoadedValueTest, NegativeExtentsAreRefused) {
    const std::vector<BYTE> before = Saved();
    Fw::SavedState negative = saved;
    negative.extent.cx = LONG_MIN;
    EXPECT_EQ(E_INVALIDARG, As<IPersistStreamInit>()->Load(StreamOf(Fw::EncodeState(negative)).Get()));
    EXPECT_EQ(before, Saved()) << "stream";
    SIZEL extent = {-100, -100};
    EXPECT_EQ(E_INVALIDARG, As<IOleObject>()->SetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(before, Saved()) << "SetExtent";
}

} // namespace
