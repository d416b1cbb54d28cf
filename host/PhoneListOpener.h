// The demo's /open on the phone list: the list on its first usable phone, or that phone's
// Phone Properties window, opened as a user would open them.
#pragma once

#include "host/CommandLine.h"

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace DemoHost {

// What the choice of a row looks at: the port a row's phone is on, and the phone's mode.
struct PhoneFacts {
    long portId;
    long mode;
};

// The first phone, in the list's order, that is not being loaded: a phone in download mode has
// no properties to show. 0 when every phone is.
long ChoosePhone(std::span<const PhoneFacts> phones);

// `control` is an embedded control and `window` its control window. On a phone list whose rows
// are in, selects the chosen phone's row and, for PhoneProperties, opens its properties window;
// false, having done nothing, on another control or while the list holds no such row yet.
bool OpenOnPhoneList(IUnknown* control, HWND window, OpenTarget target);

} // namespace DemoHost
