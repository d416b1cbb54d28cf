#pragma once

#include <windows.h>

// Private messages a view's event sink posts to the view's own window: the work runs later
// from the message loop, never inside the server's call.
constexpr UINT WM_SERVER_DETACH = 0x1F58;
constexpr UINT WM_SERVER_REFRESH_ITEM = 0x1F59;
// lParam of WM_SERVER_REFRESH_ITEM that reloads every row.
constexpr LPARAM refreshAllItems = -2;

enum class ViewKind { PhoneList, PortList, ClientList, ObjectTree, PortView };

// What a view does with one server event.
struct ServerEventRoute {
    enum class Action {
        Ignore,
        Post,                    // post `message` with `lParam` to the view's window
        TransferProgress,        // boot-protocol progress: the port list updates a row directly;
                                 // `lParam` is the event code
        RefreshOwnPort,          // port view: refresh when the event names its port
        RefreshOwnPortAndNotify, // port view: the same, then tell its parent
        RefreshPort,             // port view: refresh whatever port the event names
    };
    Action action = Action::Ignore;
    UINT message = 0;
    LPARAM lParam = 0;

    bool operator==(const ServerEventRoute&) const = default;
};

ServerEventRoute RouteServerEvent(ViewKind view, long code, short objectId, short value);
