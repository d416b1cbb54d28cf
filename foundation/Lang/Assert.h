#pragma once

#include <string>

// Internal consistency checks of the support library. A failure is reported, by default in
// a message box that lets a developer abort, debug or go on; a tool that runs unattended
// sets the report to the log instead.
#define OSTREL_ASSERT(expression)                                                                            \
    ((expression) ? void() : ::Lang::AssertionFailed(#expression, __FILE__, __LINE__, __func__))

namespace Lang {

enum class AssertionReport { Dialog, Log };

AssertionReport SetAssertionReport(AssertionReport report);
std::string AssertionMessage(const char* expression, const char* file, int line, const char* function);
void AssertionFailed(const char* expression, const char* file, int line, const char* function);

} // namespace Lang
