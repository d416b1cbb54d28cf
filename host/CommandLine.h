// The switches OstrelDemoHost.exe takes.
#pragma once

#include <string>
#include <vector>

namespace DemoHost {

// What the host opens on the port list once its rows are in, so that the control's menu and
// dialogs can be looked at, or pictured, without a hand on the mouse.
enum class OpenTarget { None, Menu, Properties, Zelkor };

struct CommandLine {
    // Empty: scenarios\bench.json beside the executable.
    std::string scenarioPath;
    // Set: capture the dialog to this 24-bit bitmap once it is painted, then close.
    std::string screenshotPath;
    OpenTarget open = OpenTarget::None;
};

// Switches start with '/' or '-' and ignore case: /scenario <path>, /screenshot <file.bmp>,
// /open menu|properties|zelkor. /open and /screenshot exclude each other: the bitmap holds the
// host's dialog alone, never a menu or dialog above it.
// Throws Lang::Exception naming the argument it cannot use.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace DemoHost
