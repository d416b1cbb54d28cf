// The switches OstrelDemoHost.exe takes.
#pragma once

#include <string>
#include <vector>

namespace DemoHost {

struct CommandLine {
    // Empty: scenarios\bench.json beside the executable.
    std::string scenarioPath;
    // Set: capture the dialog to this 24-bit bitmap once it is painted, then close.
    std::string screenshotPath;
};

// Switches start with '/' or '-' and ignore case: /scenario <path>, /screenshot <file.bmp>.
// Throws Lang::Exception naming the argument it cannot use.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace DemoHost
