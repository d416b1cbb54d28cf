// The module tests run against the built DLL beside this executable, registered in the
// test prefix once before any test, as a host would find it after installation.
#include "tests/support/ModuleRegistration.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TestSupport::RegisteredModule);
    return RUN_ALL_TESTS();
}
