#pragma once

#include <windows.h>

namespace Fw {

// Dialog keys (Tab, Enter, Esc, mnemonics) for the module's modeless dialogs. A host's message
// loop knows nothing of them and would translate their keys as plain characters, so while one
// is registered a message hook of its thread hands each keyboard message for it to
// IsDialogMessage first. The hook is there while at least one dialog of the thread is.
void RegisterDialogKeys(HWND dialog);
void UnregisterDialogKeys(HWND dialog);

} // namespace Fw
