#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Finding and registering the module under test, which the build puts beside
// the test executables.
namespace TestSupport {

// The folder of the running executable, without a trailing backslash.
std::string moduleFolder();

// moduleFolder() + "\OstrelUITools.dll".
std::string modulePath();

// Runs `regsvr32.exe /s [/u] "<path>"` silently, waits for it and gives back
// its exit code: 0 on success, 3 when the module does not load, 4 when an
// export is missing, 5 when the export itself failed (or runCommand's codes).
DWORD runRegsvr32(bool unregister, const std::string& path = modulePath());

// Runs a script of the build's scripts folder under cscript and gives back the lines it wrote,
// without their line ends; one line "(cscript did not finish)" when it did not end in a minute (the
// first cscript of a fresh prefix takes its time).
std::vector<std::string> runScript(const std::string& name);

// Wine is the runtime for our tests; a few of its answers differ from
// Windows' and the tests that meet them say so where they allow for it.
bool runningUnderWine();

// For a test program of the built module: registers it in the test prefix once before any
// test, as a host finds it after installation, on an apartment-threaded main thread.
class RegisteredModule : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace TestSupport
