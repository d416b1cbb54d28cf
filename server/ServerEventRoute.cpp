#include "server/ServerEventRoute.h"

#include <iterator>

namespace {

using Action = ServerEventRoute::Action;

// lParam A names one item by its id, sign-extended; lParam B packs the event's value (an
// object id) above the sub-code (0 added, 1 removed, else everything changed); the event code
// itself tells a view that handles a range of codes in place which one came.
enum class Param { None, ItemId, ValueAndSubCode, EventCode };

struct Reaction {
    Action action;
    UINT message;
    Param param;
};

constexpr Reaction ignore{Action::Ignore, 0, Param::None};
constexpr Reaction detach{Action::Post, WM_SERVER_DETACH, Param::None};
constexpr Reaction refreshItem{Action::Post, WM_SERVER_REFRESH_ITEM, Param::ItemId};
constexpr Reaction refreshObjects{Action::Post, WM_SERVER_REFRESH_ITEM, Param::ValueAndSubCode};
constexpr Reaction progress{Action::TransferProgress, 0, Param::EventCode};
constexpr Reaction ownPort{Action::RefreshOwnPort, 0, Param::None};
constexpr Reaction ownPortNotify{Action::RefreshOwnPortAndNotify, 0, Param::None};
constexpr Reaction anyPort{Action::RefreshPort, 0, Param::None};

struct Row {
    long firstCode, lastCode;
    Reaction byView[5]; // in ViewKind order: phone list, port list, client list, object tree, port view
};

// Codes not listed are ignored by every view.
constexpr Row routes[] = {
    {2, 2, {detach, detach, detach, refreshObjects, ignore}},
    {3, 4, {refreshItem, refreshItem, ignore, ignore, ownPortNotify}},
    {5, 5, {ignore, ignore, refreshObjects, refreshObjects, ignore}},
    {6, 6, {refreshItem, refreshItem, ignore, ignore, ownPortNotify}},
    {9, 9, {refreshItem, ignore, ignore, ignore, ownPort}},
    {10, 10, {refreshItem, ignore, ignore, ignore, anyPort}},
    {11, 11, {refreshItem, refreshItem, ignore, ignore, ownPort}},
    {16, 22, {ignore, progress, ignore, ignore, ignore}},
};

LPARAM ParamOf(Param param, long code, short objectId, short value) {
    switch (param) {
    case Param::EventCode:
        return static_cast<LPARAM>(code);
    case Param::ItemId:
        return static_cast<LPARAM>(objectId);
    case Param::ValueAndSubCode:
        return static_cast<LPARAM>((static_cast<unsigned long>(static_cast<unsigned short>(value)) << 16) |
                                   static_cast<unsigned short>(objectId));
    default:
        return 0;
    }
}

} // namespace

ServerEventRoute RouteServerEvent(ViewKind view, long code, short objectId, short value) {
    for (const Row& row : routes) {
        if (code < row.firstCode || code > row.lastCode)
            continue;
        const Reaction& reaction = row.byView[static_cast<int>(view)];
        return {reaction.action, reaction.message, ParamOf(reaction.param, code, objectId, value)};
    }
    return {};
}
