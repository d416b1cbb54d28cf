#pragma once

#include <windows.h>

#include <functional>

// Running the test thread's message loop, so that what a control posts to itself, its
// timers and its server events' private messages are handled as a host's loop would.
namespace TestSupport {

// Dispatches the thread's messages for forMs milliseconds, then returns.
void PumpMessages(DWORD forMs);

// Dispatches messages until condition() holds or timeoutMs have passed, and answers
// whether it holds. It is checked before anything is dispatched and at least every 10 ms,
// so a condition that a message makes true ends the wait promptly.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Dispatches what is queued now, timers that are due included, and returns once the queue
// is empty. A window that keeps posting to itself fails the test instead of hanging it.
void FlushMessages();

} // namespace TestSupport
