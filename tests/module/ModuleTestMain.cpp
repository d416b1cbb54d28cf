// The module tests run against the built DLL beside this executable, registered in the
// test prefix once before any test, as a host would find it after installation.
#include "tests/support/ModuleRegistration.h"

#include <gtest/gtest.h>
#include <objbase.h>

namespace {

class RegisteredModule : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ASSERT_EQ(0u, TestSupport::runRegsvr32(false)) << "regsvr32 " << TestSupport::modulePath();
    }
    void TearDown() override { ::CoUninitialize(); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RegisteredModule);
    return RUN_ALL_TESTS();
}
