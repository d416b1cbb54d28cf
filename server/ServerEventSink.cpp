#include "server/ServerEventSink.h"

void ServerEventSink::Bind(ViewKind view, HWND window, DirectHandler direct) {
    m_view = view;
    m_window = window;
    m_direct = std::move(direct);
    m_queued.clear();
}

void ServerEventSink::Unbind() {
    m_window = nullptr;
    m_direct = nullptr;
    m_queued.clear();
}

void ServerEventSink::Delivered(UINT message, LPARAM lParam) {
    m_queued.erase({message, lParam});
}

HRESULT ServerEventSink::OnServerEvent(long lCode, short sObjectId, short sValue) {
    const ServerEventRoute route = RouteServerEvent(m_view, lCode, sObjectId, sValue);
    if (route.action == ServerEventRoute::Action::Post) {
        const std::pair<UINT, LPARAM> message{route.message, route.lParam};
        if (m_window && !m_queued.contains(message) &&
            ::PostMessageA(m_window, route.message, 0, route.lParam))
            m_queued.insert(message);
    } else if (route.action != ServerEventRoute::Action::Ignore && m_direct) {
        m_direct(route, sObjectId, sValue);
    }
    // The server hears success whatever the view makes of the event.
    return S_OK;
}

HRESULT ServerEventSink::OnServerMessage(BSTR) {
    return S_OK;
}
