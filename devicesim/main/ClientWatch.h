// The client processes that keep the simulator alive. Wine does not ping clients, so a client
// that died would hold its references for ever; the simulator waits on the clients' process
// handles instead and ends when none of them is left.
#pragma once

#include "foundation/Win32/Unique.h"

#include <windows.h>

#include <mutex>
#include <vector>

namespace DeviceSim {

class ClientWatch {
public:
    // MsgWaitForMultipleObjects takes 63 handles; the message loop keeps two for itself.
    static constexpr size_t MaxClients = MAXIMUM_WAIT_OBJECTS - 3;

    ClientWatch();

    // Any thread, from inside a call a client made: notes the calling process. A caller in this
    // process, or one the platform cannot name, is not watched.
    void NoteCaller();
    // Signalled while noted callers wait to be taken in.
    HANDLE ArrivalEvent() const { return m_arrival.get(); }

    // The message loop's thread only.
    void TakeArrivals();
    std::vector<HANDLE> Handles() const;
    void Forget(size_t index);
    bool AnyCame() const { return m_anyCame; }
    bool Empty() const { return m_clients.empty(); }

private:
    struct Client {
        DWORD processId;
        Win32::UniqueHandle process;
    };

    Win32::UniqueHandle m_arrival;
    std::mutex m_lock;
    std::vector<Client> m_arrived; // guarded by m_lock
    std::vector<Client> m_clients;
    bool m_anyCame = false;
};

} // namespace DeviceSim
