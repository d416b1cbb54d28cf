// How a view reaches the device server: agent holding, event routing, connecting.
#include "server/ConfigAgentHelper.h"
#include "server/MachineConnection.h"
#include "server/NorvikPortStateEnum.h"
#include "server/ServerEventSink.h"
#include "tests/server/FakeServer.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;
using Action = ServerEventRoute::Action;

namespace {

// An object made through the framework, held by interface I, and the class behind it.
template <class T, class I>
std::pair<ComPtr<I>, T*> Make() {
    ComPtr<I> object;
    Fw::Object<T>::Create(nullptr, IID_PPV_ARGS(&object));
    return {object, static_cast<T*>(object.Get())};
}

template <class T>
std::pair<ComPtr<IOstrelConfigAgent>, T*> MakeAgent() {
    return Make<T, IOstrelConfigAgent>();
}

ComPtr<IOstrelServerEvents> MakeSink() {
    return Make<ServerEventSink, IOstrelServerEvents>().first;
}

TEST(ServerEventRoute, EachViewReactsToItsCodes) {
    const ServerEventRoute ignore{}, detach{Action::Post, WM_SERVER_DETACH, 0};
    const auto refresh = [](LPARAM lParam) {
        return ServerEventRoute{Action::Post, WM_SERVER_REFRESH_ITEM, lParam};
    };
    const auto direct = [](Action action) { return ServerEventRoute{action, 0, 0}; };
    struct Case {
        long code;
        short objectId, value;
        ServerEventRoute phoneList, portList, clientList, objectTree, portView;
    };
    const Case cases[] = {
        {2, 0, 0, detach, detach, detach, refresh(0), ignore},
        {3, 7, 0, refresh(7), refresh(7), ignore, ignore, direct(Action::RefreshOwnPortAndNotify)},
        {4, -1, 0, refresh(-1), refresh(-1), ignore, ignore, direct(Action::RefreshOwnPortAndNotify)},
        {6, 300, 0, refresh(300), refresh(300), ignore, ignore, direct(Action::RefreshOwnPortAndNotify)},
        {5, 1, 12, ignore, ignore, refresh(0x000C0001), refresh(0x000C0001), ignore},
        {5, 0, 0x7FFF, ignore, ignore, refresh(0x7FFF0000), refresh(0x7FFF0000), ignore},
        {9, 7, 0, refresh(7), ignore, ignore, ignore, direct(Action::RefreshOwnPort)},
        {10, 7, 0, refresh(7), ignore, ignore, ignore, direct(Action::RefreshPort)},
        {11, 7, 0, refresh(7), refresh(7), ignore, ignore, direct(Action::RefreshOwnPort)},
        {16, 7, 5, ignore, direct(Action::TransferProgress), ignore, ignore, ignore},
        {22, 7, 5, ignore, direct(Action::TransferProgress), ignore, ignore, ignore},
        {1, 7, 0, ignore, ignore, ignore, ignore, ignore},
        {7, 7, 0, ignore, ignore, ignore, ignore, ignore},
        {8, 7, 0, ignore, ignore, ignore, ignore, ignore},
        {12, 7, 0, ignore, ignore, ignore, ignore, ignore},
        {15, 7, 0, ignore, ignore, ignore, ignore, ignore},
        {23, 7, 0, ignore, ignore, ignore, ignore, ignore},
        {-2, 7, 0, ignore, ignore, ignore, ignore, ignore},
    };
    for (const Case& c : cases) {
        const ServerEventRoute expected[] = {c.phoneList, c.portList, c.clientList, c.objectTree, c.portView};
        for (int view = 0; view < 5; ++view)
            EXPECT_EQ(expected[view],
                      RouteServerEvent(static_cast<ViewKind>(view), c.code, c.objectId, c.value))
                << "code " << c.code << " view " << view;
    }
}

class ServerEventSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        std::tie(sinkRef, sink) = Make<ServerEventSink, IOstrelServerEvents>();
    }
    void TearDown() override { ::DestroyWindow(window); }

    std::vector<std::pair<UINT, LPARAM>> Posted() {
        std::vector<std::pair<UINT, LPARAM>> messages;
        MSG message;
        while (::PeekMessageA(&message, window, 0, 0, PM_REMOVE))
            messages.emplace_back(message.message, message.lParam);
        return messages;
    }

    HWND window = nullptr;
    ComPtr<IOstrelServerEvents> sinkRef;
    ServerEventSink* sink = nullptr;
};

TEST_F(ServerEventSinkTest, PostsToTheViewsWindowAndAnswersSuccess) {
    std::vector<long> direct;
    sink->Bind(ViewKind::PortList, window, [&](const ServerEventRoute&, short objectId, short value) {
        direct.push_back(objectId * 100 + value);
    });
    EXPECT_EQ(S_OK, sink->OnServerEvent(3, 7, 0));
    EXPECT_EQ(S_OK, sink->OnServerEvent(5, 0, 4));
    EXPECT_EQ(S_OK, sink->OnServerEvent(2, 0, 0));
    EXPECT_EQ(S_OK, sink->OnServerEvent(20, 7, 31));
    EXPECT_EQ((std::vector<std::pair<UINT, LPARAM>>{{WM_SERVER_REFRESH_ITEM, 7}, {WM_SERVER_DETACH, 0}}),
              Posted());
    EXPECT_EQ(std::vector<long>{731}, direct) << "transfer progress is handled in place";

    sink->Unbind();
    EXPECT_EQ(S_OK, sink->OnServerEvent(3, 7, 0));
    EXPECT_EQ(S_OK, sink->OnServerEvent(20, 7, 31));
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(1u, direct.size());
}

TEST_F(ServerEventSinkTest, MergesRepeatsOfTheLastMessageWhileItWaits) {
    using Messages = std::vector<std::pair<UINT, LPARAM>>;
    constexpr UINT refresh = WM_SERVER_REFRESH_ITEM;
    sink->Bind(ViewKind::PortList, window);
    for (const short port : {7, 7, 7, 8, 7, 7})
        sink->OnServerEvent(3, port, 0);
    EXPECT_EQ((Messages{{refresh, 7}, {refresh, 8}, {refresh, 7}}), Posted())
        << "the order of the events stays";

    // Taken out of the queue above but not handed back: the view has not acted on them yet.
    sink->OnServerEvent(3, 7, 0);
    EXPECT_TRUE(Posted().empty());
    sink->Delivered(refresh, 7);
    sink->Delivered(refresh, 8);
    sink->OnServerEvent(3, 7, 0);
    EXPECT_TRUE(Posted().empty()) << "the last 7 still waits";
    sink->Delivered(refresh, 7);
    sink->OnServerEvent(3, 7, 0);
    EXPECT_EQ((Messages{{refresh, 7}}), Posted());

    // The view's own reload is a message of the queue like the others.
    sink->Post(refresh, refreshAllItems);
    sink->OnServerEvent(3, 7, 0);
    EXPECT_EQ((Messages{{refresh, refreshAllItems}, {refresh, 7}}), Posted());

    // A new binding starts with nothing waiting.
    sink->Bind(ViewKind::PortList, window);
    sink->OnServerEvent(3, 7, 0);
    EXPECT_EQ((Messages{{refresh, 7}}), Posted());
}

TEST(ConfigAgentHelper, KeepsOnlyAnAgentAndHearsItsEvents) {
    ConfigAgentHelper helper;
    const auto sink = MakeSink();

    const auto notAnAgent = Make<FakeServer, IOstrelServer>().first;
    EXPECT_EQ(E_NOINTERFACE, helper.Init(notAnAgent.Get(), sink.Get(), true));
    EXPECT_EQ(nullptr, helper.Agent());
    EXPECT_FALSE(helper.Advised());

    const auto [agent, fake] = MakeAgent<FakeAgent>();
    ASSERT_EQ(S_OK, helper.Init(agent.Get(), sink.Get(), true));
    EXPECT_EQ(agent.Get(), helper.Agent());
    EXPECT_TRUE(helper.Advised());
    EXPECT_NE(0u, helper.Cookie());
    EXPECT_EQ(1u, fake->PointOf<IOstrelServerEvents>().Sinks().size());

    helper.Release();
    EXPECT_EQ(nullptr, helper.Agent());
    EXPECT_FALSE(helper.Advised());
    EXPECT_TRUE(fake->PointOf<IOstrelServerEvents>().Sinks().empty()) << "the subscription was cancelled";
}

TEST(ConfigAgentHelper, RefusedSubscriptionStillKeepsTheAgent) {
    ConfigAgentHelper helper;
    const auto agent = MakeAgent<UnadvisableAgent>().first;
    EXPECT_EQ(S_OK, helper.Init(agent.Get(), MakeSink().Get(), true));
    EXPECT_NE(nullptr, helper.Agent());
    EXPECT_FALSE(helper.Advised());
    EXPECT_EQ(0u, helper.Cookie());

    const auto other = MakeAgent<FakeAgent>().first;
    EXPECT_EQ(S_OK, helper.Init(other.Get(), nullptr, false));
    EXPECT_EQ(other.Get(), helper.Agent()) << "a new Init replaces the agent";
    EXPECT_FALSE(helper.Advised());
}

TEST(NorvikActiveStateEnum, LoadsNamesUntilTheFirstFailure) {
    struct Case {
        const char* name;
        std::vector<std::pair<short, std::string>> ports;
        short failingPort;
        HRESULT portIdsStatus;
        std::map<std::string, short> expected;
    };
    const Case cases[] = {
        {"all read", {{1, "COM1"}, {2, "USB2"}}, -1, S_OK, {{"COM1", 2}, {"USB2", 4}}},
        {"stops at a failing port",
         {{1, "COM1"}, {2, "COM2"}, {3, "COM3"}, {4, "COM4"}},
         3,
         S_OK,
         {{"COM1", 2}, {"COM2", 4}}},
        {"later name wins", {{1, "COM1"}, {5, "COM1"}}, -1, S_OK, {{"COM1", 10}}},
        {"no port ids", {{1, "COM1"}}, -1, E_FAIL, {}},
    };
    for (const Case& c : cases) {
        const auto [agent, fake] = MakeAgent<FakeAgent>();
        fake->ports = c.ports;
        fake->failingPort = c.failingPort;
        fake->portIdsStatus = c.portIdsStatus;
        CNorvikActiveStateEnum names;
        names.Load(agent.Get());
        EXPECT_EQ(c.expected, names.States()) << c.name;
    }
}

TEST(NorvikActiveStateEnum, ContainsComparesExactly) {
    const auto [agent, fake] = MakeAgent<FakeAgent>();
    fake->ports = {{1, "COM1"}, {2, "Net 2500"}};
    CNorvikActiveStateEnum names;
    names.Load(Make<FakeServer, IOstrelServer>().first.Get());
    EXPECT_FALSE(names.Contains("COM1")) << "an object that is no agent loads nothing";
    names.Load(agent.Get());
    EXPECT_TRUE(names.Contains("COM1"));
    EXPECT_TRUE(names.Contains("Net 2500"));
    EXPECT_FALSE(names.Contains("com1"));
    EXPECT_FALSE(names.Contains("COM1 "));
    EXPECT_FALSE(CNorvikPortStateEnum().Contains("COM1"));
}

struct Connection {
    HRESULT status;
    std::vector<DWORD> waits;
    std::wstring serverName;
    bool gotAgent;
    int agentsReleased;
};

Connection Connect(std::vector<long> states, HRESULT createStatus = S_OK, HRESULT stateStatus = S_OK) {
    Connection result{};
    const auto [serverRef, server] = Make<FakeServer, IOstrelServer>();
    server->states = std::move(states);
    server->stateStatus = stateStatus;
    MachineConnectionHooks hooks;
    hooks.createServer = [&](const std::wstring& name, IOstrelServer** ppServer) {
        result.serverName = name;
        if (FAILED(createStatus))
            return createStatus;
        *ppServer = serverRef.Get();
        serverRef->AddRef();
        return S_OK;
    };
    hooks.wait = [&](DWORD milliseconds) { result.waits.push_back(milliseconds); };
    ComPtr<IOstrelConfigAgent> agent;
    result.status = ConnectToMachine("BENCH-7", &agent, hooks);
    result.gotAgent = agent != nullptr;
    result.agentsReleased = server->agentsReleased;
    return result;
}

TEST(MachineConnection, WaitsForAStartingServerThenGivesAnAgent) {
    const Connection ready = Connect({0, 0, 1});
    EXPECT_EQ(S_OK, ready.status);
    EXPECT_EQ(L"\\\\BENCH-7", ready.serverName);
    EXPECT_EQ((std::vector<DWORD>{1000, 1000}), ready.waits);
    EXPECT_TRUE(ready.gotAgent);
    EXPECT_EQ(0, ready.agentsReleased) << "the agent outlives the connection";

    const Connection otherStates = Connect({7, -3, 1});
    EXPECT_EQ(S_OK, otherStates.status);
    EXPECT_TRUE(otherStates.waits.empty()) << "only the starting state waits";
}

TEST(MachineConnection, Failures) {
    const Connection neverReady = Connect({0});
    EXPECT_EQ(E_FAIL, neverReady.status);
    EXPECT_EQ(100u, neverReady.waits.size());
    EXPECT_FALSE(neverReady.gotAgent);

    const Connection neverReadyOther = Connect({2});
    EXPECT_EQ(E_FAIL, neverReadyOther.status);
    EXPECT_TRUE(neverReadyOther.waits.empty());

    const Connection noServer = Connect({1}, REGDB_E_CLASSNOTREG);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, noServer.status);
    EXPECT_TRUE(noServer.waits.empty());

    const Connection deadServer = Connect({1}, S_OK, RPC_E_DISCONNECTED);
    EXPECT_EQ(RPC_E_DISCONNECTED, deadServer.status);
    EXPECT_FALSE(deadServer.gotAgent);
}

} // namespace

namespace {

int g_paints = 0;

LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        ++g_paints;
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST(MachineConnection, WaitingRepaintsButDispatchesNothingElse) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountPaints;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OstrelPaintCounter";
    ::RegisterClassA(&windowClass);
    const HWND window = ::CreateWindowExA(0, "OstrelPaintCounter", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                          100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&message);

    g_paints = 0;
    ::InvalidateRect(window, nullptr, TRUE);
    ::PostMessageA(window, WM_USER + 5, 0, 0);
    WaitPaintingOnly(150);
    EXPECT_EQ(1, g_paints);
    EXPECT_TRUE(::PeekMessageA(&message, window, WM_USER + 5, WM_USER + 5, PM_REMOVE))
        << "input waits its turn";
    ::DestroyWindow(window);
}

} // namespace
