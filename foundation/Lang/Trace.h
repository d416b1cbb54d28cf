#pragma once

#include <functional>

namespace Lang {

// Debug trace lines go to the system's debug output. Tests swap the sink to read them.
using TraceSink = std::function<void(const char* line)>;

void Trace(const char* pattern, ...) __attribute__((format(gnu_printf, 1, 2)));
TraceSink SetTraceSink(TraceSink sink);

} // namespace Lang
