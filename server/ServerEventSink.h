#pragma once

#include "framework/com/ComObject.h"
#include "server/OstrelServer.h"
#include "server/ServerEventRoute.h"

#include <functional>
#include <optional>
#include <set>
#include <utility>

// A view's IOstrelServerEvents. It never touches the view's data: it posts the view's
// private message and answers at once, or, for the reactions a view handles in place
// (transfer progress, the port view's own refresh), calls the view's handler.
//
// An event asking for the message the sink posted last, while that message still waits in
// the view's queue, is answered by it: a storm of events for one port costs one rebuild of
// its row, and the rebuild, made from fresh records after the events, shows what the last of
// them would have shown. Only repeats of the last message merge, so the messages the view
// handles keep the order of the events (a rebuilt row is selected: the last one wins).
class ServerEventSink : public Fw::ObjectRoot, public IOstrelServerEvents {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<ServerEventSink, IOstrelServerEvents>(),
    };

    using DirectHandler = std::function<void(const ServerEventRoute& route, short objectId, short value)>;

    // The view binds itself once its window exists and unbinds before it goes away.
    void Bind(ViewKind view, HWND window, DirectHandler direct = {});
    void Unbind();
    // The view's private messages, its own included (a device change reloads the list too), so
    // that the sink knows which one waits last in the queue.
    void Post(UINT message, LPARAM lParam);
    // The view calls this as it takes one of those messages, before acting on it.
    void Delivered(UINT message, LPARAM lParam);

    HRESULT STDMETHODCALLTYPE OnServerEvent(long lCode, short sObjectId, short sValue) override;
    HRESULT STDMETHODCALLTYPE OnServerMessage(BSTR bstrMessage) override;

private:
    // Whether a message of this kind still waits for the view's window.
    bool StillQueued(UINT message) const;

    ViewKind m_view = ViewKind::PortList;
    HWND m_window = nullptr;
    DirectHandler m_direct;
    using Message = std::pair<UINT, LPARAM>;
    // The messages posted and not yet taken, and the last one posted.
    std::multiset<Message> m_queued;
    std::optional<Message> m_last;
};
