// The two lookup objects, created by ProgID and called through their vtables. The tables'
// own shape is checked where they are generated (tests/lookup); here, what a caller gets.
#include "interfaces/OstrelUITools.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <cctype>
#include <climits>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

template <class I>
ComPtr<I> CreateByProgId(const wchar_t* progId) {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(progId, &clsid)) << "ProgID not registered";
    ComPtr<I> object;
    EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    return object;
}

// A returned string as the caller owns it; "(null)" marks a null BSTR, which the lookups
// must never give back.
std::string Take(BSTR text) {
    const _bstr_t owned(text, false);
    return !text ? "(null)" : *text ? static_cast<const char*>(owned) : "";
}

class NvTools : public ::testing::Test {
protected:
    void SetUp() override {
        tools = CreateByProgId<IKmNvTools>(L"OstrelUITools.KmNvTools");
        ASSERT_TRUE(tools);
    }

    ComPtr<IKmNvTools> tools;
};

TEST_F(NvTools, ItemNamesAtTheirNumbers) {
    // The table's last entry only marks its end (7233): it names no item.
    const std::tuple<long, HRESULT, const char*> cases[] = {
        {0, S_OK, "NV_ESN_I"},      {1, S_OK, "NV_ESN_CHKSUM_I"},      {5, S_OK, "NV_SLOT_CYCLE_INDEX_I"},
        {918, S_OK, "NV_ITEM_918"}, {7232, S_OK, "NV_THERM_BINS_2_I"}, {7233, S_FALSE, ""},
        {-1, S_FALSE, ""},          {LONG_MIN, S_FALSE, ""},           {LONG_MAX, S_FALSE, ""},
    };
    for (const auto& [item, status, name] : cases) {
        BSTR text = reinterpret_cast<BSTR>(1);
        EXPECT_EQ(status, tools->GetItemName(item, &text)) << "item " << item;
        EXPECT_EQ(name, Take(text)) << "item " << item;
    }
}

TEST_F(NvTools, IndexedItems) {
    const std::pair<long, long> cases[] = {{9, 0},    {10, 1},   {39, 1},       {40, 0},      {41, 1},
                                           {42, 0},   {3439, 1}, {3440, 0},     {6429, 1},    {6430, 0},
                                           {7232, 0}, {-1, 0},   {LONG_MIN, 0}, {LONG_MAX, 0}};
    for (const auto& [item, expected] : cases) {
        long indexed = -1;
        EXPECT_EQ(S_OK, tools->IsIndexed(item, &indexed)) << "item " << item;
        EXPECT_EQ(expected, indexed) << "item " << item;
    }
    int indexedCount = 0;
    for (long item = -5; item <= 7300; ++item) {
        long indexed = 0;
        tools->IsIndexed(item, &indexed);
        indexedCount += indexed;
    }
    EXPECT_EQ(110, indexedCount);
}

TEST_F(NvTools, StatusNames) {
    const char* const names[] = {"NV_DONE_S",  "NV_BUSY_S",      "NV_BADCMD_S",  "NV_FULL_S",
                                 "NV_FAIL_S",  "NV_NOTACTIVE_S", "NV_BADPARM_S", "NV_READONLY_S",
                                 "NV_BADTG_S", "NV_NOMEM_S",     "NV_NOTALLOC_S"};
    for (long status : {-2L, -1L, 0L, 1L, 2L, 3L, 4L, 5L, 6L, 7L, 8L, 9L, 10L, 11L, 12L, LONG_MIN}) {
        BSTR name = nullptr;
        const bool known = status >= 0 && status <= 10;
        EXPECT_EQ(known ? S_OK : S_FALSE, tools->GetStatusName(status, &name)) << status;
        EXPECT_EQ(known ? names[status] : "", Take(name)) << status;
    }
}

class ModelTools : public ::testing::Test {
protected:
    void SetUp() override {
        tools = CreateByProgId<IKmMobModelTools>(L"OstrelUITools.KmMobModelTools");
        ASSERT_TRUE(tools);
    }

    // What a lookup gives back: its status, pOK, the name and (from IterateGenericList) the id.
    using Found = std::tuple<HRESULT, long, std::string, long>;

    Found GenericName(long modelId) {
        long ok = -1;
        BSTR name = nullptr;
        const HRESULT status = tools->GetGenericName(modelId, &name, &ok);
        return {status, ok, Take(name), 0};
    }
    Found Iterate(const _bstr_t& family, long index) {
        long ok = -1, id = -1;
        BSTR name = nullptr;
        const HRESULT status = tools->IterateGenericList(family, index, &id, &name, &ok);
        return {status, ok, Take(name), id};
    }
    Found SpecificName(const _bstr_t& family, long modelId) {
        long ok = -1;
        BSTR name = nullptr;
        const HRESULT status = tools->GetSpecificName(family, modelId, &name, &ok);
        return {status, ok, Take(name), 0};
    }

    // Every family as the public members reveal it: generic name to model ids.
    std::map<std::string, std::vector<long>> Families() {
        std::map<std::string, std::vector<long>> families;
        for (long id = -2; id <= 4200; ++id) {
            const Found found = GenericName(id);
            EXPECT_EQ(S_OK, std::get<0>(found));
            if (std::get<1>(found))
                families[std::get<2>(found)].push_back(id);
        }
        return families;
    }

    const Found nothing{S_OK, 0, "", 0};
    ComPtr<IKmMobModelTools> tools;
};

TEST_F(ModelTools, EachFamilyIteratesAsItsModelsAreNamed) {
    const auto families = Families();
    EXPECT_EQ(66u, families.size());
    size_t models = 0;
    for (const auto& [family, ids] : families) {
        models += ids.size();
        // Iterating gives the same models in ascending order, then stops.
        for (size_t index = 0; index < ids.size(); ++index) {
            const auto [status, ok, name, id] = Iterate(family.c_str(), static_cast<long>(index));
            EXPECT_EQ(std::make_tuple(S_OK, 1L, ids[index]), std::make_tuple(status, ok, id))
                << family << " " << index;
            EXPECT_NE("", name) << family << " " << index;
            EXPECT_EQ((Found{S_OK, 1, name, 0}), SpecificName(family.c_str(), id)) << family << " " << id;
        }
        EXPECT_EQ(nothing, Iterate(family.c_str(), static_cast<long>(ids.size()))) << family;
    }
    EXPECT_EQ(241u, models);
}

TEST_F(ModelTools, LookupsThatFindNothing) {
    const auto families = Families();
    ASSERT_GE(families.size(), 2u);
    const std::string family = families.begin()->first;
    const long firstId = families.begin()->second.front();
    std::string lowerCase = family;
    for (char& c : lowerCase)
        c = char(std::tolower(c));

    for (long id : {0L, -1L, 4114L, LONG_MIN, LONG_MAX})
        EXPECT_EQ(nothing, GenericName(id)) << id;
    // The '*' ending a generic name is part of it, and the match is exact.
    const std::pair<std::string, long> iterations[] = {
        {family.substr(0, family.size() - 1), 0}, {family, -1}, {lowerCase, 0}, {"", 0}, {family + " ", 0}};
    for (const auto& [name, index] : iterations)
        EXPECT_EQ(nothing, Iterate(name.c_str(), index)) << "'" << name << "' " << index;
    EXPECT_EQ(nothing, Iterate(_bstr_t(), 0)) << "a null name is the empty one";
    // The whole BSTR counts: a name with a NUL and more after it is another name.
    const std::wstring withNul = std::wstring(_bstr_t(family.c_str())) + L'\0' + L"x";
    EXPECT_EQ(nothing, Iterate(_bstr_t(::SysAllocStringLen(withNul.data(), UINT(withNul.size())), false), 0));
    EXPECT_EQ(nothing, SpecificName(std::next(families.begin())->first.c_str(), firstId)) << "another family";
}

TEST(LookupObjects, RefuseNullOutPointersAndHostInterfaces) {
    const auto nv = CreateByProgId<IKmNvTools>(L"OstrelUITools.KmNvTools");
    const auto models = CreateByProgId<IKmMobModelTools>(L"OstrelUITools.KmMobModelTools");
    ASSERT_TRUE(nv && models);
    BSTR name = nullptr;
    long value = 0;
    const _bstr_t family = "X*";
    EXPECT_EQ(E_POINTER, nv->GetItemName(0, nullptr));
    EXPECT_EQ(E_POINTER, nv->IsIndexed(10, nullptr));
    EXPECT_EQ(E_POINTER, nv->GetStatusName(0, nullptr));
    EXPECT_EQ(E_POINTER, models->GetGenericName(1, nullptr, &value));
    EXPECT_EQ(E_POINTER, models->GetGenericName(1, &name, nullptr));
    EXPECT_EQ(E_POINTER, models->IterateGenericList(family, 0, nullptr, &name, &value));
    EXPECT_EQ(E_POINTER, models->IterateGenericList(family, 0, &value, nullptr, &value));
    EXPECT_EQ(E_POINTER, models->IterateGenericList(family, 0, &value, &name, nullptr));
    EXPECT_EQ(E_POINTER, models->GetSpecificName(family, 1, nullptr, &value));
    EXPECT_EQ(E_POINTER, models->GetSpecificName(family, 1, &name, nullptr));

    // Plain vtable objects: nothing a host would embed, script or ask for errors.
    for (IUnknown* object : {static_cast<IUnknown*>(nv.Get()), static_cast<IUnknown*>(models.Get())})
        for (const IID* iid :
             {&IID_IDispatch, &IID_IOleObject, &IID_IPersistStreamInit, &IID_IViewObject,
              &IID_IProvideClassInfo, &IID_ISupportErrorInfo, &IID_IConnectionPointContainer}) {
            IUnknown* answer = reinterpret_cast<IUnknown*>(1);
            EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(*iid, reinterpret_cast<void**>(&answer)));
            EXPECT_EQ(nullptr, answer);
        }
}

} // namespace
