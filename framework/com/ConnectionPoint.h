#pragma once

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <array>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace Fw {

// The connection point of one outgoing interface. It lives inside its owner and shares the
// owner's life: its AddRef and Release go to the owning container, so a host holding the
// point holds the object.
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer* container, const IID& iid, bool dispatchSinks);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

    const IID& Iid() const { return m_iid; }
    // The sinks as they stand now: a sink may unadvise while it is being called.
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> Sinks() const;

private:
    IConnectionPointContainer* m_container;
    IID m_iid;
    bool m_dispatchSinks;
    DWORD m_nextCookie = 1;
    std::vector<std::pair<DWORD, Microsoft::WRL::ComPtr<IUnknown>>> m_sinks;
};

HRESULT EnumerateConnectionPoints(IConnectionPointContainer* container, std::span<ConnectionPoint> points,
                                  IEnumConnectionPoints** ppEnum);

// IConnectionPointContainer for the listed outgoing interfaces, one connection point each.
// Event firing calls every sink in turn and ignores what a sink answers: one broken client
// must not keep the others from hearing an event.
template <class... Events>
class ConnectionPoints : public IConnectionPointContainer {
public:
    ConnectionPoints()
        : m_points{ConnectionPoint(this, __uuidof(Events), std::is_base_of_v<IDispatch, Events>)...} {}

    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** ppCP) override {
        if (!ppCP)
            return E_POINTER;
        *ppCP = nullptr;
        for (ConnectionPoint& point : m_points) {
            if (::InlineIsEqualGUID(point.Iid(), iid)) {
                point.AddRef();
                *ppCP = &point;
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override {
        return EnumerateConnectionPoints(this, m_points, ppEnum);
    }

    template <class Event, class Call>
    void Fire(Call&& call) {
        for (const auto& sink : PointOf<Event>().Sinks())
            std::forward<Call>(call)(static_cast<Event*>(sink.Get()));
    }

    template <class Event>
    ConnectionPoint& PointOf() {
        constexpr std::size_t index = IndexOf<Event, Events...>();
        return m_points[index];
    }

private:
    template <class Event, class First, class... Rest>
    static constexpr std::size_t IndexOf() {
        if constexpr (std::is_same_v<Event, First>)
            return 0;
        else
            return 1 + IndexOf<Event, Rest...>();
    }

    std::array<ConnectionPoint, sizeof...(Events)> m_points;
};

} // namespace Fw
