#include "foundation/Lang/Assert.h"

#include "foundation/Lang/Text.h"
#include "foundation/Lang/Trace.h"

#include <utility>

namespace Lang {

namespace {

AssertionReport g_report = AssertionReport::Dialog;

// The process exit status a host sees when the developer aborts at a failed assertion,
// the same as the C runtime's abort().
constexpr UINT abortExitCode = 3;

} // namespace

AssertionReport SetAssertionReport(AssertionReport report) {
    return std::exchange(g_report, report);
}

std::string AssertionMessage(const char* expression, const char* file, int line, const char* function) {
    return Format("Expression:  %s\n\nLocation:\t\t\n   File:\t\t%s\n   Line:\t\t%d\n   "
                  "Function:\t%s\n\n(Retry to Debug)",
                  expression, file, line, function);
}

void AssertionFailed(const char* expression, const char* file, int line, const char* function) {
    const std::string message = AssertionMessage(expression, file, line, function);
    if (g_report == AssertionReport::Log) {
        Trace("%s\r\n", message.c_str());
        return;
    }
    switch (::MessageBoxA(nullptr, message.c_str(), "Assertion Failed",
                          MB_ABORTRETRYIGNORE | MB_ICONSTOP | MB_TASKMODAL)) {
    case IDABORT:
        ::ExitProcess(abortExitCode);
    case IDRETRY:
        if (::IsDebuggerPresent())
            ::DebugBreak();
        break;
    default:
        break;
    }
}

} // namespace Lang
