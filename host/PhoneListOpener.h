// The demo's /open on the phone server control: its phone list on the first usable phone, that
// phone's Phone Properties window, or the service map dialog of the first usable phone that holds
// a map, opened as a user would open them.
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

// `control` is an embedded control and `window` its control window, `server` the server the demo
// runs. On a phone server control whose list (its child 206) has its rows in, selects the chosen
// phone's row and, for PhoneProperties, has the list open its properties window, for
// ServiceMapping its service map dialog, on the first such phone with a map; false, having
// done nothing, on another control or while the list holds no such row yet. The phones' modes
// are read through an agent of `server`: the control keeps the agent of its list to itself.
bool OpenOnPhoneServer(IUnknown* control, HWND window, IUnknown* server, OpenTarget target);

} // namespace DemoHost
