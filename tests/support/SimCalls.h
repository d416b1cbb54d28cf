#pragma once

#include "devicesim/OstrelSimControl.h"

#include <comdef.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace TestSupport {

// The calls the simulator received since it was last asked, in order and separated by spaces,
// keeping those of the members named ("SetTraceLevel(7)" is a call of SetTraceLevel).
inline std::string TakeCalls(IOstrelSimControl* sim, const std::set<std::string>& members) {
    _bstr_t taken;
    EXPECT_EQ(S_OK, sim->TakeCalls(taken.GetAddress()));
    std::string calls;
    std::istringstream lines(taken.length() ? static_cast<const char*>(taken) : "");
    for (std::string line; std::getline(lines, line);)
        if (members.count(line.substr(0, line.find('('))))
            calls += (calls.empty() ? "" : " ") + line;
    return calls;
}

} // namespace TestSupport
