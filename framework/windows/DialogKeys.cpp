#include "framework/windows/DialogKeys.h"

#include <algorithm>
#include <vector>

namespace Fw {
namespace {

struct ThreadDialogs {
    HHOOK hook = nullptr;
    std::vector<HWND> dialogs;
};

thread_local ThreadDialogs threadDialogs;

LRESULT CALLBACK OnGetMessage(int code, WPARAM removal, LPARAM message) {
    auto* msg = reinterpret_cast<MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        for (const HWND dialog : threadDialogs.dialogs) {
            if ((msg->hwnd == dialog || ::IsChild(dialog, msg->hwnd)) && ::IsDialogMessageA(dialog, msg)) {
                // Handled: the host's loop gets a message that does nothing.
                msg->message = WM_NULL;
                break;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, removal, message);
}

} // namespace

void RegisterDialogKeys(HWND dialog) {
    ThreadDialogs& state = threadDialogs;
    if (!state.hook)
        state.hook = ::SetWindowsHookExA(WH_GETMESSAGE, &OnGetMessage, nullptr, ::GetCurrentThreadId());
    state.dialogs.push_back(dialog);
}

void UnregisterDialogKeys(HWND dialog) {
    ThreadDialogs& state = threadDialogs;
    std::erase(state.dialogs, dialog);
    if (state.dialogs.empty() && state.hook) {
        ::UnhookWindowsHookEx(state.hook);
        state.hook = nullptr;
    }
}

} // namespace Fw
