#include "foundation/Lang/Trace.h"

#include "foundation/Lang/Text.h"

#include <cstdarg>
#include <utility>

namespace Lang {

namespace {

TraceSink& currentSink() {
    static TraceSink sink = [](const char* line) { ::OutputDebugStringA(line); };
    return sink;
}

} // namespace

void Trace(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    const std::string line = FormatV(pattern, args);
    va_end(args);
    currentSink()(line.c_str());
}

TraceSink SetTraceSink(TraceSink sink) {
    return std::exchange(currentSink(), std::move(sink));
}

} // namespace Lang
