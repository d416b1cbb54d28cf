// What OstrelDeviceSim.exe answers to whoever started it: a script or a test tells by the code
// alone why nothing is being served.
#pragma once

namespace DeviceSim {

enum ExitCode : int {
    ExitDone = 0,           // served and ended, or registration done
    ExitBadCommandLine = 1, // an unknown switch, or /scenario without a path
    ExitBadScenario = 2,    // the scenario was refused; the loader's message says where
    ExitAlreadyRunning = 3, // another instance serves already; clients reach that one
    ExitComFailure = 4,     // registration, or making the class known to COM, failed
};

} // namespace DeviceSim
