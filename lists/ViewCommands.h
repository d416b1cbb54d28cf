#pragma once

#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>

// The list view style a command of the lists' "View" submenu picks; none for any other command.
inline std::optional<DWORD> ViewOfCommand(UINT commandId) {
    switch (commandId) {
    case ID_VIEW_LARGE_ICONS:
        return LVS_ICON;
    case ID_VIEW_SMALL_ICONS:
        return LVS_SMALLICON;
    case ID_VIEW_LIST:
        return LVS_LIST;
    case ID_VIEW_DETAILS:
        return LVS_REPORT;
    default:
        return std::nullopt;
    }
}
