#pragma once

#include "framework/ComObject.h"
#include "server/OstrelServer.h"
#include "server/ServerEventRoute.h"

#include <functional>
#include <set>
#include <utility>

// A view's IOstrelServerEvents. It never touches the view's data: it posts the view's
// private message and answers at once, or, for the reactions a view handles in place
// (transfer progress, the port view's own refresh), calls the view's handler.
//
// A message still waiting in the view's queue is not posted twice: a storm of events for one
// port costs one rebuild of its row, and the rebuild, made from fresh records after the
// events, shows what the last of them would have shown.
class ServerEventSink : public Fw::ObjectRoot, public IOstrelServerEvents {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<ServerEventSink, IOstrelServerEvents>(),
    };

    using DirectHandler = std::function<void(const ServerEventRoute& route, short objectId, short value)>;

    // The view binds itself once its window exists and unbinds before it goes away.
    void Bind(ViewKind view, HWND window, DirectHandler direct = {});
    void Unbind();
    // The view calls this as it takes a message the sink posted, before acting on it: an event
    // arriving from then on posts again.
    void Delivered(UINT message, LPARAM lParam);

    HRESULT STDMETHODCALLTYPE OnServerEvent(long lCode, short sObjectId, short sValue) override;
    HRESULT STDMETHODCALLTYPE OnServerMessage(BSTR bstrMessage) override;

private:
    ViewKind m_view = ViewKind::PortList;
    HWND m_window = nullptr;
    DirectHandler m_direct;
    std::set<std::pair<UINT, LPARAM>> m_queued;
};
