// The remembered server names against a scratch key of the current user, read back from the
// registry after each call.
#include "connection/MRUServerList.h"
#include "tests/connection/ScratchKey.h"
#include "tests/support/RegistryReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TestSupport::RegValue;

// Damaged values: another type, longer than a name, and a name filling the whole buffer with no
// NUL after it (a shorter one is given its NUL by the system's own reading).
const std::string fullName(CMRUServerList::maxNameBytes, 'u');
const RegValue dword = {"Server2", REG_DWORD, std::string("\x07\0\0\0", 4)};
const RegValue overLong = {"Server3", REG_SZ, std::string(299, 'x') + '\0'};
const RegValue unterminated = {"Server4", REG_SZ, fullName};

// A string value as the module writes them, with its NUL.
RegValue Sz(const char* name, const std::string& text, DWORD type = REG_SZ) {
    return {name, type, text + '\0'};
}

struct AddCase {
    const char* what;
    std::vector<RegValue> before;
    std::string name;
    int index;
    std::vector<std::string> after;
};

// clang-format off
const AddCase addCases[] = {
    {"an empty key", {}, "alpha", 0, {"Server1=alpha"}},
    {"three names", {Sz("Server1", "a"), Sz("Server2", "b"), Sz("Server3", "c")}, "delta", 3,
     {"Server1=a", "Server2=b", "Server3=c", "Server4=delta"}},
    {"a gap at Server2", {Sz("Server1", "a"), Sz("Server3", "c")}, "gamma", 2, {"Server1=a", "Server3=gamma"}},
    {"the name stored", {Sz("Server1", "a"), Sz("Server2", "lab", REG_EXPAND_SZ)}, "lab", 1,
     {"Server1=a", "Server2=lab"}},
    {"the name in another case", {Sz("Server1", "lab")}, "LAB", 1, {"Server1=lab", "Server2=LAB"}},
    {"damaged values", {Sz("Server1", "a"), dword, overLong, unterminated}, fullName, 4,
     {"Server1=a", "Server2=(type 4)", "Server3=" + std::string(299, 'x'), "Server4=" + fullName,
      "Server5=" + fullName}},
};
// clang-format on

TEST(MRUServerList, AddAnswersWhereTheNameIsStored) {
    for (const AddCase& c : addCases) {
        const TestSupport::ScratchKey key(c.before);
        CMRUServerList list(key.Location());
        EXPECT_EQ(c.index, list.Add(c.name)) << c.what;
        EXPECT_EQ(c.after, key.Values()) << c.what;
    }
}

TEST(MRUServerList, AMissingKeyStoresNothingAndIsNotCreated) {
    const TestSupport::ScratchKey parent({});
    const std::string missing = parent.Path() + "\\Missing";
    CMRUServerList list({HKEY_CURRENT_USER, missing});
    EXPECT_EQ(-1, list.Add("alpha"));
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(TestSupport::keyExists(HKEY_CURRENT_USER, missing));
}

TEST(MRUServerList, ListsTheWellFormedNamesInTheirOrder) {
    const TestSupport::ScratchKey key(
        {Sz("Server1", "first"), dword, overLong, unterminated, Sz("Server5", "last", REG_EXPAND_SZ)});
    const CMRUServerList list(key.Location());
    std::vector<std::string> names;
    for (std::string name; SUCCEEDED(list.Get(static_cast<int>(names.size()), name));)
        names.push_back(name);
    EXPECT_EQ((std::vector<std::string>{"first", "last"}), names);
    EXPECT_EQ(2, list.Count());
    std::string none = "kept";
    EXPECT_EQ(E_FAIL, list.Get(-1, none));
    EXPECT_EQ("kept", none);
}

// What one value's data gives: the registry's own reading terminates strings where it has room, so
// the damage a host may find elsewhere is fed here directly.
TEST(MRUServerList, TakesOnlyTerminatedStringsThatFit) {
    struct ValueCase {
        DWORD type;
        std::string data;
        std::optional<std::string> name;
    };
    const ValueCase cases[] = {
        {REG_SZ, std::string("lab\0", 4), "lab"},
        {REG_EXPAND_SZ, std::string("lab\0", 4), "lab"},
        {REG_SZ, "lab", std::nullopt},
        {REG_SZ, "", std::nullopt},
        {REG_BINARY, std::string("lab\0", 4), std::nullopt},
        {REG_MULTI_SZ, std::string("lab\0\0", 5), std::nullopt},
        {REG_SZ, fullName.substr(1) + '\0', fullName.substr(1)},
        {REG_SZ, fullName + '\0', std::nullopt},
    };
    for (const ValueCase& c : cases)
        EXPECT_EQ(c.name, CMRUServerList::NameOf(c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                                                 static_cast<DWORD>(c.data.size())))
            << c.type << " " << c.data.size() << " bytes";
}

} // namespace
