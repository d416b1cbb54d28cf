// The robustness tests run against the built DLL beside this executable, registered in the
// test prefix once before any test, as the module tests do.
#include "Robustness.h"
#include "tests/support/ModuleRegistration.h"

#include <cstdlib>
#include <cstring>

namespace {

bool longRun = false;

} // namespace

int Robustness::Scaled(int ci, int longRunCount) {
    return longRun ? longRunCount : ci;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const char* fromEnvironment = std::getenv("OSTREL_ROBUSTNESS_LONG");
    longRun = fromEnvironment && std::strcmp(fromEnvironment, "1") == 0;
    for (int index = 1; index < argc; ++index)
        longRun = longRun || std::strcmp(argv[index], "--long") == 0;
    ::testing::AddGlobalTestEnvironment(new TestSupport::RegisteredModule);
    return RUN_ALL_TESTS();
}
