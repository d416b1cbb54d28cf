#pragma once

#include <windows.h>

namespace Server {

// Whether a failed call says that the server's process is gone or has cut the object off,
// rather than that this one request failed: a view that asks on a timer then stops asking.
inline bool IsServerGone(HRESULT status) {
    switch (status) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
        return true;
    default:
        return false;
    }
}

} // namespace Server
