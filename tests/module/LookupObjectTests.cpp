// The two lookup objects, created by ProgID and called through their vtables.
#include "module/OstrelUITools.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <string>
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
    const std::string result = text ? static_cast<const char*>(_bstr_t(text, false)) : "(null)";
    return text && !*text ? "" : result;
}

void ExpectNoHostInterfaces(IUnknown* object) {
    const IID* refused[] = {
        &IID_IDispatch,         &IID_IOleObject,        &IID_IPersistStreamInit,       &IID_IViewObject,
        &IID_IProvideClassInfo, &IID_ISupportErrorInfo, &IID_IConnectionPointContainer};
    for (const IID* iid : refused) {
        IUnknown* answer = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(*iid, reinterpret_cast<void**>(&answer)));
        EXPECT_EQ(nullptr, answer);
    }
}

class NvTools : public ::testing::Test {
protected:
    void SetUp() override {
        tools = CreateByProgId<IKmNvTools>(L"OstrelUITools.KmNvTools");
        ASSERT_TRUE(tools);
    }

    std::pair<HRESULT, std::string> ItemName(long item) {
        BSTR name = reinterpret_cast<BSTR>(1);
        const HRESULT status = tools->GetItemName(item, &name);
        return {status, Take(name)};
    }

    ComPtr<IKmNvTools> tools;
};

TEST_F(NvTools, ItemNamesAtTheirNumbers) {
    struct Case {
        long item;
        HRESULT status;
        const char* name;
    };
    const Case cases[] = {
        {0, S_OK, "NV_ESN_I"},       {1, S_OK, "NV_ESN_CHKSUM_I"},
        {2, S_OK, "NV_VERNO_MAJ_I"}, {3, S_OK, "NV_VERNO_MIN_I"},
        {4, S_OK, "NV_SCM_I"},       {5, S_OK, "NV_SLOT_CYCLE_INDEX_I"},
        {918, S_OK, "NV_ITEM_918"},  {7232, S_OK, "NV_THERM_BINS_2_I"},
        {7233, S_FALSE, ""},         {-1, S_FALSE, ""},
        {LONG_MIN, S_FALSE, ""},     {LONG_MAX, S_FALSE, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::make_pair(c.status, std::string(c.name)), ItemName(c.item)) << "item " << c.item;
}

bool IsUpperWords(const std::string& text) {
    return !text.empty() && text.front() != '_' && text.back() != '_' &&
           text.find("__") == std::string::npos && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
           });
}

TEST_F(NvTools, WholeNameTableKeepsItsShape) {
    std::set<std::string> names;
    std::vector<long> placeholders;
    for (long item = 0; item <= 7232; ++item) {
        const auto [status, name] = ItemName(item);
        ASSERT_EQ(S_OK, status) << item;
        EXPECT_TRUE(names.insert(name).second) << "duplicate " << name;
        EXPECT_NE("NV_MAX_I", name);
        const std::string placeholder = "NV_ITEM_" + std::to_string(item);
        if (name == placeholder) {
            placeholders.push_back(item);
            continue;
        }
        const bool environment = item == 911 || item == 912;
        const std::string prefix = environment ? "ENV_" : "NV_";
        EXPECT_EQ(0u, name.find(prefix)) << item << " " << name;
        EXPECT_TRUE(name.size() > prefix.size() + 2 && name.substr(name.size() - 2) == "_I")
            << item << " " << name;
        EXPECT_TRUE(IsUpperWords(name.substr(prefix.size(), name.size() - prefix.size() - 2))) << name;
        EXPECT_NE(0u, name.find("NV_ITEM_")) << "placeholder at the wrong number: " << item << " " << name;
    }
    EXPECT_EQ(12u, placeholders.size());
    EXPECT_TRUE(std::count(placeholders.begin(), placeholders.end(), 918));
}

TEST_F(NvTools, IndexedItems) {
    const std::pair<long, long> ranges[] = {
        {10, 39},     {41, 41},     {43, 43},     {51, 55},     {57, 58},     {61, 61},     {87, 87},
        {168, 169},   {176, 178},   {209, 213},   {215, 215},   {217, 217},   {231, 231},   {236, 236},
        {242, 242},   {255, 256},   {258, 266},   {282, 282},   {285, 285},   {303, 303},   {373, 373},
        {441, 442},   {451, 451},   {465, 466},   {494, 494},   {847, 847},   {854, 854},   {889, 889},
        {921, 922},   {945, 946},   {1014, 1014}, {1206, 1206}, {1806, 1806}, {1958, 1958}, {2000, 2000},
        {2003, 2003}, {2507, 2507}, {2825, 2825}, {2954, 2954}, {3432, 3439}, {3534, 3534}, {4259, 4259},
        {5281, 5283}, {5451, 5451}, {5454, 5455}, {6429, 6429},
    };
    auto documented = [&](long item) {
        return std::any_of(std::begin(ranges), std::end(ranges),
                           [&](const auto& range) { return item >= range.first && item <= range.second; });
    };
    int indexedCount = 0;
    for (long item = -5; item <= 7300; ++item) {
        long indexed = -1;
        ASSERT_EQ(S_OK, tools->IsIndexed(item, &indexed));
        EXPECT_EQ(documented(item) ? 1 : 0, indexed) << "item " << item;
        indexedCount += indexed;
    }
    EXPECT_EQ(110, indexedCount);
    for (long item : {LONG_MIN, LONG_MAX}) {
        long indexed = -1;
        EXPECT_EQ(S_OK, tools->IsIndexed(item, &indexed));
        EXPECT_EQ(0, indexed);
    }
}

TEST_F(NvTools, StatusNames) {
    const char* const names[] = {"NV_DONE_S",  "NV_BUSY_S",      "NV_BADCMD_S",  "NV_FULL_S",
                                 "NV_FAIL_S",  "NV_NOTACTIVE_S", "NV_BADPARM_S", "NV_READONLY_S",
                                 "NV_BADTG_S", "NV_NOMEM_S",     "NV_NOTALLOC_S"};
    for (long status = -2; status <= 12; ++status) {
        BSTR name = nullptr;
        const bool known = status >= 0 && status <= 10;
        EXPECT_EQ(known ? S_OK : S_FALSE, tools->GetStatusName(status, &name)) << status;
        EXPECT_EQ(known ? names[status] : "", Take(name)) << status;
    }
}

TEST_F(NvTools, NullOutPointersAndHostInterfacesAreRefused) {
    EXPECT_EQ(E_POINTER, tools->GetItemName(0, nullptr));
    EXPECT_EQ(E_POINTER, tools->IsIndexed(10, nullptr));
    EXPECT_EQ(E_POINTER, tools->GetStatusName(0, nullptr));
    ExpectNoHostInterfaces(tools.Get());
}

class ModelTools : public ::testing::Test {
protected:
    void SetUp() override {
        tools = CreateByProgId<IKmMobModelTools>(L"OstrelUITools.KmMobModelTools");
        ASSERT_TRUE(tools);
    }

    struct Found {
        HRESULT status;
        long ok;
        std::string name;
        long id = 0;
    };

    Found GenericName(long modelId) {
        Found found{};
        BSTR name = nullptr;
        found.status = tools->GetGenericName(modelId, &name, &found.ok);
        found.name = Take(name);
        return found;
    }
    Found Iterate(const std::string& family, long index) {
        Found found{};
        BSTR name = nullptr;
        found.id = -1;
        found.status = tools->IterateGenericList(_bstr_t(family.c_str()), index, &found.id, &name, &found.ok);
        found.name = Take(name);
        return found;
    }
    Found SpecificName(const std::string& family, long modelId) {
        Found found{};
        BSTR name = nullptr;
        found.status = tools->GetSpecificName(_bstr_t(family.c_str()), modelId, &name, &found.ok);
        found.name = Take(name);
        return found;
    }

    // Every family as the public members reveal it: generic name to model ids.
    std::map<std::string, std::vector<long>> Families() {
        std::map<std::string, std::vector<long>> families;
        for (long id = -2; id <= 4200; ++id) {
            const Found found = GenericName(id);
            EXPECT_EQ(S_OK, found.status);
            if (found.ok)
                families[found.name].push_back(id);
        }
        return families;
    }

    ComPtr<IKmMobModelTools> tools;
};

TEST_F(ModelTools, TablesKeepTheirShape) {
    const auto families = Families();
    EXPECT_EQ(66u, families.size());
    std::map<size_t, int> familiesBySize;
    size_t models = 0;
    std::map<std::string, int> specificNames;
    for (const auto& [family, ids] : families) {
        ++familiesBySize[ids.size()];
        models += ids.size();
        EXPECT_EQ('*', family.back()) << family;
        const std::string designation = family.substr(0, family.size() - 1);
        EXPECT_EQ(std::string::npos, designation.find_first_of("abcdefghijklmnopqrstuvwxyz*"))
            << family << ": an upper-case designation, the '*' only at its end";
        EXPECT_GE(ids.front(), 1);
        EXPECT_LE(ids.back(), 4113);

        // Iterating gives the same models in ascending order, then stops.
        for (size_t index = 0; index < ids.size(); ++index) {
            const Found entry = Iterate(family, static_cast<long>(index));
            ASSERT_EQ(1, entry.ok) << family << " " << index;
            EXPECT_EQ(ids[index], entry.id) << family << " " << index;
            EXPECT_FALSE(entry.name.empty());
            ++specificNames[entry.name];
            const Found specific = SpecificName(family, entry.id);
            EXPECT_EQ(1, specific.ok);
            EXPECT_EQ(entry.name, specific.name);
        }
        const Found end = Iterate(family, static_cast<long>(ids.size()));
        EXPECT_EQ(0, end.ok);
        EXPECT_EQ(0, end.id);
        EXPECT_EQ("", end.name);
    }
    EXPECT_EQ(241u, models);
    EXPECT_EQ(19, familiesBySize[1]);
    EXPECT_EQ(20, familiesBySize[2]);
    EXPECT_EQ(21u, familiesBySize.rbegin()->first);
    EXPECT_TRUE(std::any_of(specificNames.begin(), specificNames.end(), [](const auto& n) {
        return n.second > 1;
    })) << "some specific name is used under two identifiers";
}

TEST_F(ModelTools, LookupsThatFindNothing) {
    const auto families = Families();
    ASSERT_GE(families.size(), 2u);
    const std::string family = families.begin()->first;
    const long firstId = families.begin()->second.front();
    const std::string otherFamily = std::next(families.begin())->first;
    std::string lowerCase = family;
    std::transform(lowerCase.begin(), lowerCase.end(), lowerCase.begin(),
                   [](char c) { return char(std::tolower(c)); });

    for (long id : {0L, -1L, 4114L, LONG_MIN, LONG_MAX}) {
        const Found found = GenericName(id);
        EXPECT_EQ(S_OK, found.status);
        EXPECT_EQ(0, found.ok) << id;
        EXPECT_EQ("", found.name) << id;
    }
    struct IterateCase {
        std::string family;
        long index;
    };
    const IterateCase iterateCases[] = {
        {family.substr(0, family.size() - 1), 0}, {family, -1}, {lowerCase, 0}, {"", 0}, {family + " ", 0},
    };
    for (const IterateCase& c : iterateCases) {
        const Found found = Iterate(c.family, c.index);
        EXPECT_EQ(S_OK, found.status);
        EXPECT_EQ(0, found.ok) << "'" << c.family << "' " << c.index;
        EXPECT_EQ(0, found.id);
        EXPECT_EQ("", found.name);
    }
    const Found wrongFamily = SpecificName(otherFamily, firstId);
    EXPECT_EQ(S_OK, wrongFamily.status);
    EXPECT_EQ(0, wrongFamily.ok);
    EXPECT_EQ("", wrongFamily.name);

    // A null name is the empty name.
    long ok = -1, id = -1;
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, tools->IterateGenericList(nullptr, 0, &id, &name, &ok));
    EXPECT_EQ(0, ok);
    EXPECT_EQ("", Take(name));
}

TEST_F(ModelTools, NullOutPointersAndHostInterfacesAreRefused) {
    BSTR name = nullptr;
    long value = 0;
    const _bstr_t family = "X*";
    EXPECT_EQ(E_POINTER, tools->GetGenericName(1, nullptr, &value));
    EXPECT_EQ(E_POINTER, tools->GetGenericName(1, &name, nullptr));
    EXPECT_EQ(E_POINTER, tools->IterateGenericList(family, 0, nullptr, &name, &value));
    EXPECT_EQ(E_POINTER, tools->IterateGenericList(family, 0, &value, nullptr, &value));
    EXPECT_EQ(E_POINTER, tools->IterateGenericList(family, 0, &value, &name, nullptr));
    EXPECT_EQ(E_POINTER, tools->GetSpecificName(family, 1, nullptr, &value));
    EXPECT_EQ(E_POINTER, tools->GetSpecificName(family, 1, &name, nullptr));
    ExpectNoHostInterfaces(tools.Get());
}

} // namespace
