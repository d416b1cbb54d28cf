#include "server/ServerEventSink.h"

#include "framework/com/Boundary.h"

void ServerEventSink::Bind(ViewKind view, HWND window, DirectHandler direct) {
    m_view = view;
    m_window = window;
    m_direct = std::move(direct);
    m_queued.clear();
    m_last.reset();
}

void ServerEventSink::Unbind() {
    m_window = nullptr;
    m_direct = nullptr;
    m_queued.clear();
    m_last.reset();
}

bool ServerEventSink::StillQueued(UINT message) const {
    MSG waiting;
    return ::PeekMessageA(&waiting, m_window, message, message, PM_NOREMOVE | PM_NOYIELD) != FALSE;
}

void ServerEventSink::Post(UINT message, LPARAM lParam) {
    const Message posted{message, lParam};
    if (!m_window)
        return;
    if (posted == m_last && m_queued.contains(posted)) {
        if (StillQueued(message))
            return;
        // Taken from the queue without reaching the view (a host's message filter, say): what
        // the bookkeeping holds of this kind will never be delivered.
        std::erase_if(m_queued, [&](const Message& queued) { return queued.first == message; });
    }
    if (::PostMessageA(m_window, message, 0, lParam)) {
        m_queued.insert(posted);
        m_last = posted;
    }
}

void ServerEventSink::Delivered(UINT message, LPARAM lParam) {
    if (const auto found = m_queued.find({message, lParam}); found != m_queued.end())
        m_queued.erase(found);
}

HRESULT ServerEventSink::OnServerEvent(long lCode, short sObjectId, short sValue) {
    // The server hears success whatever the view makes of the event; only an event that
    // could not be handled at all (no memory) answers a failure.
    return Fw::Boundary([&] {
        const ServerEventRoute route = RouteServerEvent(m_view, lCode, sObjectId, sValue);
        if (route.action == ServerEventRoute::Action::Post)
            Post(route.message, route.lParam);
        else if (route.action != ServerEventRoute::Action::Ignore && m_direct)
            m_direct(route, sObjectId, sValue);
    });
}

HRESULT ServerEventSink::OnServerMessage(BSTR) {
    return S_OK;
}
