// What the demo's openers share on a list control: the control of a tab that answers an
// interface, the server agent the control reads its rows from, and the choice of one row as a
// user's click would make it.
#pragma once

#include "foundation/Com/Failure.h"
#include "framework/windows/ListView.h"
#include "host/ControlTabs.h"

#include <windows.h>
#include <unknwn.h>

#include <wrl/client.h>

#include <algorithm>
#include <span>

namespace DemoHost {

// The started control among a tab's `controls` that answers I; {null, null} when none does.
template <class I>
PlacedControl ControlAnswering(std::span<const PlacedControl> controls) {
    const auto found = std::find_if(controls.begin(), controls.end(), [](const PlacedControl& placed) {
        Microsoft::WRL::ComPtr<I> answered;
        return placed.control && SUCCEEDED(placed.control->QueryInterface(IID_PPV_ARGS(&answered)));
    });
    return found == controls.end() ? PlacedControl{nullptr, nullptr} : *found;
}

// The agent of a started list control whose interface `List` has GetConfigAgent; null on
// another control or before the control has one. Raises _com_error when the control fails to
// answer what it is.
template <class List>
Microsoft::WRL::ComPtr<IUnknown> ListAgent(IUnknown* control) {
    const Microsoft::WRL::ComPtr<List> list = Com::Query<List>(control);
    Microsoft::WRL::ComPtr<IUnknown> agent;
    if (!list || FAILED(list->GetConfigAgent(&agent)))
        return nullptr;
    return agent;
}

// The list view a list control shows its rows in; one that does not exist when it has none.
Fw::ListView ListRows(HWND control);

// Selects the row whose row value is `key`, scrolled into sight, with the keyboard focus on the
// list; answers the row, or -1, having done nothing, while no row has that value.
int SelectRow(const Fw::ListView& rows, LPARAM key);

} // namespace DemoHost
