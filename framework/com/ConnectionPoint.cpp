#include "framework/com/ConnectionPoint.h"

#include "framework/com/Boundary.h"
#include "framework/com/Enumerator.h"

namespace Fw {

namespace {

struct CopyConnection {
    static CONNECTDATA Copy(const CONNECTDATA& connection) {
        connection.pUnk->AddRef();
        return connection;
    }
};

struct CopyPoint {
    static IConnectionPoint* Copy(IConnectionPoint* point) {
        point->AddRef();
        return point;
    }
};

} // namespace

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, const IID& iid, bool dispatchSinks)
    : m_container(container)
    , m_iid(iid)
    , m_dispatchSinks(dispatchSinks) {}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (::InlineIsEqualGUID(iid, IID_IUnknown) || ::InlineIsEqualGUID(iid, IID_IConnectionPoint)) {
        AddRef();
        *ppv = static_cast<IConnectionPoint*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() {
    return m_container->AddRef();
}

ULONG ConnectionPoint::Release() {
    return m_container->Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID) {
    if (!pIID)
        return E_POINTER;
    *pIID = m_iid;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (!ppCPC)
        return E_POINTER;
    m_container->AddRef();
    *ppCPC = m_container;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    return Boundary(pdwCookie, [&] {
        if (!pUnkSink)
            return E_POINTER;
        Microsoft::WRL::ComPtr<IUnknown> sink;
        HRESULT status = pUnkSink->QueryInterface(m_iid, &sink);
        // Hosts often implement an event dispinterface as a plain IDispatch.
        if (status == E_NOINTERFACE && m_dispatchSinks)
            status = pUnkSink->QueryInterface(IID_IDispatch, &sink);
        if (FAILED(status))
            return CONNECT_E_CANNOTCONNECT;
        // The cookie goes out only once the sink is in the list.
        m_sinks.emplace_back(m_nextCookie, std::move(sink));
        *pdwCookie = m_nextCookie++;
        return S_OK;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie) {
    for (auto connection = m_sinks.begin(); connection != m_sinks.end(); ++connection) {
        if (connection->first == dwCookie) {
            // Released after the list no longer names it: a sink's Release may call back in.
            const Microsoft::WRL::ComPtr<IUnknown> sink = std::move(connection->second);
            m_sinks.erase(connection);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
    using Connections = Enumerator<IEnumConnections, CONNECTDATA, CopyConnection>;
    return Boundary(ppEnum, [&] {
        std::vector<CONNECTDATA> connections;
        Connections::References sinks;
        for (const auto& [cookie, sink] : m_sinks) {
            connections.push_back({sink.Get(), cookie});
            sinks.push_back(sink);
        }
        return Connections::Create(std::move(connections), std::move(sinks), ppEnum);
    });
}

std::vector<Microsoft::WRL::ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> sinks;
    for (const auto& connection : m_sinks)
        sinks.push_back(connection.second);
    return sinks;
}

HRESULT EnumerateConnectionPoints(IConnectionPointContainer* container, std::span<ConnectionPoint> points,
                                  IEnumConnectionPoints** ppEnum) {
    return Boundary(ppEnum, [&] {
        std::vector<IConnectionPoint*> items;
        for (ConnectionPoint& point : points)
            items.push_back(&point);
        // The points live inside their container.
        return Enumerator<IEnumConnectionPoints, IConnectionPoint*, CopyPoint>::Create(std::move(items),
                                                                                       {container}, ppEnum);
    });
}

} // namespace Fw
