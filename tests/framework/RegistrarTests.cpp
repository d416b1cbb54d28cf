// A class table's registration walk over scripts stored as resources of this executable.
#include "framework/com/ClassTable.h"
#include "framework/com/Module.h"
#include "tests/support/RegistryReader.h"

#include <gtest/gtest.h>

namespace {

const char* const registrarKey = "Software\\OstrelUIToolsTests\\Registrar";
constexpr CLSID first = {0x1, 0, 0, {0}}, second = {0x2, 0, 0, {0}}, third = {0x3, 0, 0, {0}};
const Fw::ClassEntry entries[] = {{&first, 1, nullptr}, {&second, 2, nullptr}, {&third, 3, nullptr}};

class Registrar : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, registrarKey); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, registrarKey); }

    Fw::ClassTable table{entries};
};

TEST_F(Registrar, StopsAtTheFirstScriptThatFails) {
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), table.RegisterClasses());
    EXPECT_EQ(Fw::Module::Current().Path(),
              TestSupport::readString(HKEY_CURRENT_USER, registrarKey, "First").value_or("(missing)"))
        << "the first script ran, with %MODULE% as this module's path";
    EXPECT_FALSE(TestSupport::readString(HKEY_CURRENT_USER, registrarKey, "Third"))
        << "nothing after the failing script is touched";
    EXPECT_FALSE(TestSupport::keyExists(HKEY_CURRENT_USER, "Software\\Broken"));

    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), table.UnregisterClasses());
    EXPECT_FALSE(TestSupport::keyExists(HKEY_CURRENT_USER, registrarKey));
}

TEST_F(Registrar, MissingScriptIsAFailureNotASkip) {
    const Fw::ClassEntry missing[] = {{&first, 99, nullptr}, {&third, 3, nullptr}};
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), Fw::ClassTable(missing).RegisterClasses());
    EXPECT_FALSE(TestSupport::keyExists(HKEY_CURRENT_USER, registrarKey));
}

} // namespace
