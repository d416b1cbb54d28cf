// The device server simulator the demo runs against: started by hand beside the host on the
// chosen scenario, so that COM's clients reach this instance rather than one it starts on the
// bench scenario.
#pragma once

#include "foundation/Win32/Unique.h"
#include "server/OstrelServer.h"

#include <wrl/client.h>

#include <string>

namespace DemoHost {

class Simulator {
public:
    Simulator(std::string executable, std::string scenario);
    // A simulator nobody reached would wait for a client for ever: it is ended here.
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts `executable /scenario scenario`, waits (bounded) until it serves, and gives the
    // server through CLSCTX_LOCAL_SERVER. The simulator then lives as long as this process
    // holds it, and ends after it. Throws Lang::Exception with the user's text when it could not
    // start, ended early or stayed silent.
    Microsoft::WRL::ComPtr<IOstrelServer> Connect();

private:
    // Answers STILL_ACTIVE once the simulator said it serves, else its exit code.
    DWORD StartAndWait(ULONGLONG deadline);

    std::string m_executable;
    std::string m_scenario;
    Win32::UniqueHandle m_process;
    bool m_reached = false;
};

} // namespace DemoHost
