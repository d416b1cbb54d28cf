// Connection points as hosts use them: advise, fire, unadvise, enumerate.
#include "framework/com/ComObject.h"
#include "framework/com/ConnectionPoint.h"
#include "tests/support/NotifySource.h"

#include <gtest/gtest.h>

#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Source = TestSupport::NotifySource;

// Records what it hears; can unadvise itself from inside the event.
class Sink : public IPropertyNotifySink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink) {
            *ppv = static_cast<IPropertyNotifySink*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        heard.push_back(id);
        if (unadviseFrom)
            unadviseFrom->Unadvise(cookie);
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    ULONG references = 1;
    std::vector<DISPID> heard;
    IConnectionPoint* unadviseFrom = nullptr;
    DWORD cookie = 0;
};

class ConnectionPointTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<Source>::Create(nullptr, IID_PPV_ARGS(&container)));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, &point));
        source = static_cast<Source*>(container.Get());
    }

    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    Source* source = nullptr;
};

TEST_F(ConnectionPointTest, EveryAdvisedSinkHearsUntilItUnadvises) {
    Sink first, second;
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&first, &firstCookie));
    ASSERT_EQ(S_OK, point->Advise(&second, &secondCookie));
    EXPECT_NE(firstCookie, secondCookie);
    EXPECT_EQ(2u, first.references) << "the point holds the sink";

    source->Changed(7);
    EXPECT_EQ(S_OK, point->Unadvise(firstCookie));
    source->Changed(8);
    EXPECT_EQ(std::vector<DISPID>{7}, first.heard);
    EXPECT_EQ((std::vector<DISPID>{7, 8}), second.heard) << "a failing sink does not stop the others";
    EXPECT_EQ(1u, first.references);

    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(firstCookie));
    EXPECT_EQ(S_OK, point->Unadvise(secondCookie));
}

TEST_F(ConnectionPointTest, SinkMayUnadviseWhileBeingCalled) {
    Sink sink;
    ASSERT_EQ(S_OK, point->Advise(&sink, &sink.cookie));
    sink.unadviseFrom = point.Get();
    source->Changed(1);
    source->Changed(2);
    EXPECT_EQ(std::vector<DISPID>{1}, sink.heard);
    EXPECT_EQ(1u, sink.references);
}

TEST_F(ConnectionPointTest, RefusesWhatItCannotConnect) {
    IConnectionPoint* none = reinterpret_cast<IConnectionPoint*>(1);
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, &none));
    EXPECT_EQ(nullptr, none);

    ComPtr<IUnknown> notASink;
    ASSERT_EQ(S_OK, container.As(&notASink));
    DWORD cookie = 1;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(notASink.Get(), &cookie));
    EXPECT_EQ(0u, cookie);
    EXPECT_EQ(E_POINTER, point->Advise(nullptr, &cookie));
}

TEST_F(ConnectionPointTest, PointBelongsToItsContainer) {
    IID iid = {};
    EXPECT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_EQ(IID_IPropertyNotifySink, iid);
    ComPtr<IConnectionPointContainer> owner;
    EXPECT_EQ(S_OK, point->GetConnectionPointContainer(&owner));
    EXPECT_EQ(container.Get(), owner.Get());

    const LONG locks = Fw::Module::Current().LockCount();
    owner.Reset();
    container.Reset();
    EXPECT_EQ(locks, Fw::Module::Current().LockCount()) << "the point alone keeps the object alive";
    point.Reset();
    EXPECT_EQ(locks - 1, Fw::Module::Current().LockCount());
}

TEST_F(ConnectionPointTest, EnumeratesPointsAndConnections) {
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(S_OK, container->EnumConnectionPoints(&points));
    IConnectionPoint* found[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, points->Next(2, found, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(point.Get(), found[0]);
    found[0]->Release();

    Sink sink;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(S_OK, point->EnumConnections(&connections));
    CONNECTDATA data = {};
    ASSERT_EQ(S_OK, connections->Next(1, &data, nullptr));
    EXPECT_EQ(cookie, data.dwCookie);
    EXPECT_EQ(static_cast<IUnknown*>(&sink), data.pUnk);
    data.pUnk->Release();
    EXPECT_EQ(S_FALSE, connections->Next(1, &data, nullptr));

    // What an enumerator will hand out stays alive as long as the enumerator: the sink
    // unadvised, the container let go.
    ASSERT_EQ(S_OK, connections->Reset());
    point->Unadvise(cookie);
    EXPECT_EQ(2u, sink.references) << "the enumerator's own reference";
    const LONG locks = Fw::Module::Current().LockCount();
    point.Reset();
    container.Reset();
    EXPECT_EQ(locks, Fw::Module::Current().LockCount()) << "the points' enumerator holds the container";
    points.Reset();
    EXPECT_EQ(locks - 2, Fw::Module::Current().LockCount()) << "the container went with the enumerator";
    connections.Reset();
    EXPECT_EQ(1u, sink.references);
}

} // namespace
