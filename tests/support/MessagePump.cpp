#include "MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace TestSupport {

namespace {

// Far more than any control queues in one go; reaching it means a message keeps
// re-posting itself.
constexpr int kFlushLimit = 10'000;
// Between two looks at the clock and the condition, however busy the queue.
constexpr int kBatch = 200;
constexpr DWORD kSlice = 10;

// Answers how many messages it dispatched; sent messages are delivered by the peek itself.
int dispatchQueued(int limit) {
    int count = 0;
    MSG msg;
    while (count < limit && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        ++count;
    }
    return count;
}

} // namespace

void PumpMessages(DWORD forMs) {
    PumpUntil([] { return false; }, forMs);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::min<ULONGLONG>(deadline - now, kSlice)),
                                      QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        dispatchQueued(kBatch);
    }
}

void FlushMessages() {
    if (dispatchQueued(kFlushLimit) == kFlushLimit)
        ADD_FAILURE() << "FlushMessages: the queue never emptied after " << kFlushLimit
                      << " messages; something keeps posting to itself";
}

} // namespace TestSupport
