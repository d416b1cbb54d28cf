#include "devicesim/main/ClientWatch.h"

#include "foundation/Lang/Trace.h"

#include <rpc.h>
#include <rpcdcep.h>

#include <algorithm>

namespace DeviceSim {

ClientWatch::ClientWatch()
    : m_arrival(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

void ClientWatch::NoteCaller() {
    FILETIME callArrived;
    ::GetSystemTimeAsFileTime(&callArrived);
    // Answers only on the RPC thread that carries the call: Wine runs a call to an STA on the
    // apartment's own thread, where this fails with RPC_S_NO_CALL_ACTIVE. Hence the class
    // object lives in the multithreaded apartment.
    unsigned long processId = 0;
    const RPC_STATUS status = ::I_RpcBindingInqLocalClientPID(nullptr, &processId);
    if (status != RPC_S_OK || processId == 0 || processId == ::GetCurrentProcessId()) {
        if (status != RPC_S_OK)
            Lang::Trace("OstrelDeviceSim: caller not watched (RPC status %ld)\r\n", status);
        return;
    }
    Win32::UniqueHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        Lang::Trace("OstrelDeviceSim: client %lu cannot be watched (error %lu)\r\n", processId,
                    ::GetLastError());
        return;
    }
    // A caller killed inside its call may have left its id to a newer process, which could live
    // for hours: that one is not the caller.
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(process.get(), &created, &exited, &kernel, &user) &&
        ::CompareFileTime(&created, &callArrived) > 0) {
        Lang::Trace("OstrelDeviceSim: client %lu went during its call\r\n", processId);
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_arrived.push_back({processId, std::move(process)});
    }
    ::SetEvent(m_arrival.get());
}

void ClientWatch::TakeArrivals() {
    std::vector<Client> arrived;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        arrived.swap(m_arrived);
    }
    for (Client& client : arrived) {
        m_anyCame = true;
        const bool known = std::any_of(m_clients.begin(), m_clients.end(),
                                       [&](const Client& c) { return c.processId == client.processId; });
        if (known)
            continue;
        if (m_clients.size() == MaxClients) {
            Lang::Trace("OstrelDeviceSim: client %lu served but not watched\r\n", client.processId);
            continue;
        }
        m_clients.push_back(std::move(client));
    }
}

std::vector<HANDLE> ClientWatch::Handles() const {
    std::vector<HANDLE> handles;
    for (const Client& client : m_clients)
        handles.push_back(client.process.get());
    return handles;
}

void ClientWatch::Forget(size_t index) {
    m_clients.erase(m_clients.begin() + static_cast<ptrdiff_t>(index));
}

} // namespace DeviceSim
