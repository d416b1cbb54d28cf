// The registered server selectors called by name from VBScript.
#include "foundation/Lang/ErrorText.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ModuleRegistration.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(ServerSelectionEndToEnd, ScriptSetsTheServerAndSeesAWindowlessFailure) {
    const TestSupport::ChildProcess cscript("cscript.exe //nologo \"" + TestSupport::moduleFolder() +
                                            "\\scripts\\serverselection.vbs\"");
    ASSERT_TRUE(cscript.Started() && cscript.Ended(30'000));
    std::istringstream output(cscript.Output());
    std::vector<std::string> lines;
    for (std::string line; std::getline(output, line);)
        lines.push_back(line.substr(0, line.find_last_not_of("\r") + 1));
    const std::string refused = "0x80004005 \"" + Lang::ErrorText(E_FAIL) + "\"";
    EXPECT_EQ((std::vector<std::string>{"CreateObject combo: ok", "SelectedServer []", "SelectedServer =: ok",
                                        "SelectedServer [script-host]", "drawSizeHeight: " + refused,
                                        "CreateObject button: ok", "serverselection script done"}),
              lines);
}

} // namespace
