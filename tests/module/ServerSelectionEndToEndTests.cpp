// The registered server selectors called by name from VBScript.
#include "foundation/Lang/ErrorText.h"
#include "tests/support/ModuleRegistration.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ServerSelectionEndToEnd, ScriptSetsTheServerAndSeesAWindowlessFailure) {
    const std::string refused = "0x80004005 \"" + Lang::ErrorText(E_FAIL) + "\"";
    EXPECT_EQ((std::vector<std::string>{"CreateObject combo: ok", "SelectedServer []", "SelectedServer =: ok",
                                        "SelectedServer [script-host]", "drawSizeHeight: " + refused,
                                        "CreateObject button: ok", "serverselection script done"}),
              TestSupport::runScript("serverselection.vbs"));
}

} // namespace
