// Lines for whoever started the simulator: a shell, a test that reads its output, or nobody
// (COM starts it without standard handles; the debug output still gets every line).
#pragma once

#include <string>

namespace DeviceSim {

void Say(const std::string& line);      // standard output
void Complain(const std::string& line); // standard error

} // namespace DeviceSim
