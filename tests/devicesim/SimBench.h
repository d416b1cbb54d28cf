#pragma once

// The simulator's bench scenario walked call by call, each step with the answer and the events a
// view must meet. The same steps run on a server in this process (SimModelTests) and on
// OstrelDeviceSim.exe across the universal marshaler (MarshalingTests): a member that the type
// library drops, narrows or moves answers otherwise there.
#include "server/OstrelServer.h"

#include <wrl/client.h>

#include <span>
#include <string>
#include <vector>

namespace SimBench {

struct Bench;

// One call, named by its own text, what it answers ("ok", its failure status in hex, or what it
// gave), and the events it fires, as each listener hears them.
struct Step {
    const char* call;
    std::string (*run)(Bench& b);
    std::string answer;
    std::vector<std::string> events = {};
};

// The bench as the views read it; nothing of it announces anything.
std::span<const Step> Reads();
// Changes, each answered and announced in order; the walk puts the bench back only in part.
std::span<const Step> Changes();

// Walks the steps on a bench over `server`, made from the bench scenario and used by nothing
// else, and expects each step's answer and events. Events from another process arrive as calls
// into this apartment while it pumps.
void ExpectWalk(Microsoft::WRL::ComPtr<IOstrelServer> server, std::span<const Step> steps);

} // namespace SimBench
