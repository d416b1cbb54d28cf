// How a view reaches the device server: agent holding, event routing, connecting.
#include "foundation/Win32/Unique.h"
#include "server/ConfigAgentHelper.h"
#include "server/MachineConnection.h"
#include "server/NorvikPortStateEnum.h"
#include "server/ServerEventSink.h"
#include "tests/server/FakeServer.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

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

class ServerEventSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        std::tie(sinkRef, sink) = Make<ServerEventSink, IOstrelServerEvents>();
    }
    void TearDown() override { ::DestroyWindow(window); }

    using Messages = std::vector<std::pair<UINT, LPARAM>>;
    Messages Posted() {
        Messages messages;
        MSG message;
        while (::PeekMessageA(&message, window, 0, 0, PM_REMOVE))
            messages.emplace_back(message.message, message.lParam);
        return messages;
    }

    HWND window = nullptr;
    ComPtr<IOstrelServerEvents> sinkRef;
    ServerEventSink* sink = nullptr;
};

// What the port list does with each server event (codes 3, 9 and 10 are followed end to end in
// PortListTests, the transfer codes 15 to 23 in ZelkorTests), and the packing of the object events
// the client list and object tree follow. Every event is answered with success.
TEST_F(ServerEventSinkTest, PostsOrHandsOnEachEventAsItsViewFollowsIt) {
    constexpr UINT refresh = WM_SERVER_REFRESH_ITEM;
    struct Case {
        ViewKind view;
        long code;
        short objectId, value;
        Messages posted;
        Action direct = Action::Ignore; // Ignore: the view's handler is not called
    };
    const Case cases[] = {
        {ViewKind::PortList, 2, 0, 0, {{WM_SERVER_DETACH, 0}}},
        {ViewKind::PortList, 4, -1, 0, {{refresh, -1}}},
        {ViewKind::PortList, 6, 300, 0, {{refresh, 300}}},
        {ViewKind::PortList, 11, 7, 0, {{refresh, 7}}},
        {ViewKind::PortList, 16, 7, 5, {}, Action::TransferProgress},
        {ViewKind::PortList, 9, 7, 0, {}},
        {ViewKind::PortList, 5, 1, 12, {}},
        {ViewKind::ClientList, 5, 1, 12, {{refresh, 0x000C0001}}},
        {ViewKind::ObjectTree, 5, -1, 0x7FFF, {{refresh, 0x7FFFFFFF}}},
    };
    for (const Case& c : cases) {
        // A view handling a range of codes in place hears which code came in lParam.
        std::vector<std::tuple<Action, LPARAM, short, short>> direct;
        sink->Bind(c.view, window, [&](const ServerEventRoute& route, short objectId, short value) {
            direct.emplace_back(route.action, route.lParam, objectId, value);
        });
        EXPECT_EQ(S_OK, sink->OnServerEvent(c.code, c.objectId, c.value)) << "code " << c.code;
        EXPECT_EQ(c.posted, Posted()) << "code " << c.code;
        const auto expected = c.direct == Action::Ignore
                                  ? decltype(direct){}
                                  : decltype(direct){{c.direct, c.code, c.objectId, c.value}};
        EXPECT_EQ(expected, direct) << "code " << c.code;
    }

    // An unbound sink posts and calls nothing.
    bool called = false;
    sink->Bind(ViewKind::PortList, window, [&](const ServerEventRoute&, short, short) { called = true; });
    sink->Unbind();
    EXPECT_EQ(S_OK, sink->OnServerEvent(3, 7, 0));
    EXPECT_EQ(S_OK, sink->OnServerEvent(20, 7, 31));
    EXPECT_TRUE(Posted().empty());
    EXPECT_FALSE(called);
}

TEST_F(ServerEventSinkTest, MergesRepeatsOfTheLastMessageWhileItWaits) {
    constexpr UINT refresh = WM_SERVER_REFRESH_ITEM;
    sink->Bind(ViewKind::PortList, window);
    for (const short port : {7, 7, 7, 8, 7, 7})
        sink->OnServerEvent(3, port, 0);
    EXPECT_EQ((Messages{{refresh, 7}, {refresh, 8}, {refresh, 7}}), Posted())
        << "the order of the events stays";

    // Taken out of the queue above without reaching the view (a host's message filter): the
    // next event is posted again, not merged into a message that will never come.
    sink->OnServerEvent(3, 7, 0);
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

TEST(ConfigAgentHelper, KeepsOnlyAnAgentAndHearsItsEventsWhenItMay) {
    ConfigAgentHelper helper;
    const auto sink = Make<ServerEventSink, IOstrelServerEvents>().first;
    EXPECT_EQ(E_NOINTERFACE, helper.Init(Make<FakeServer, IOstrelServer>().first.Get(), sink.Get(), true));
    EXPECT_EQ(nullptr, helper.Agent());
    EXPECT_FALSE(helper.Advised());

    const auto [agent, fake] = Make<FakeAgent, IOstrelConfigAgent>();
    ASSERT_EQ(S_OK, helper.Init(agent.Get(), sink.Get(), true));
    EXPECT_EQ(agent.Get(), helper.Agent());
    EXPECT_TRUE(helper.Advised());
    EXPECT_NE(0u, helper.Cookie());
    EXPECT_EQ(1u, fake->PointOf<IOstrelServerEvents>().Sinks().size());

    // A new Init lets the first agent go, subscription and all; a refused subscription still
    // keeps the agent.
    const auto unadvisable = Make<UnadvisableAgent, IOstrelConfigAgent>().first;
    EXPECT_EQ(S_OK, helper.Init(unadvisable.Get(), sink.Get(), true));
    EXPECT_TRUE(fake->PointOf<IOstrelServerEvents>().Sinks().empty()) << "the subscription was cancelled";
    EXPECT_EQ(unadvisable.Get(), helper.Agent());
    EXPECT_FALSE(helper.Advised());
    EXPECT_EQ(0u, helper.Cookie());

    helper.Release();
    EXPECT_EQ(nullptr, helper.Agent());
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
        const auto [agent, fake] = Make<FakeAgent, IOstrelConfigAgent>();
        fake->ports = c.ports;
        fake->failingPort = c.failingPort;
        fake->portIdsStatus = c.portIdsStatus;
        CNorvikActiveStateEnum names;
        names.Load(agent.Get());
        EXPECT_EQ(c.expected, names.States()) << c.name;
    }
}

TEST(NorvikActiveStateEnum, ContainsComparesExactly) {
    const auto [agent, fake] = Make<FakeAgent, IOstrelConfigAgent>();
    fake->ports = {{1, "COM1"}, {2, "Net 2500"}};
    CNorvikActiveStateEnum names;
    names.Load(Make<FakeServer, IOstrelServer>().first.Get());
    EXPECT_FALSE(names.Contains("COM1")) << "an object that is no agent loads nothing";
    names.Load(agent.Get());
    for (const auto& [name, contained] :
         {std::pair{"COM1", true}, {"Net 2500", true}, {"com1", false}, {"COM1 ", false}})
        EXPECT_EQ(contained, names.Contains(name)) << '"' << name << '"';
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

TEST(MachineConnection, WaitsOnlyForAStartingServerThenGivesAnAgent) {
    struct Case {
        const char* name;
        std::vector<long> states;
        HRESULT createStatus, stateStatus, status;
        size_t waits;
    };
    const Case cases[] = {
        {"starting, then ready", {0, 0, 1}, S_OK, S_OK, S_OK, 2},
        {"only the starting state waits", {7, -3, 1}, S_OK, S_OK, S_OK, 0},
        {"never ready", {0}, S_OK, S_OK, E_FAIL, 100},
        {"stuck in another state", {2}, S_OK, S_OK, E_FAIL, 0},
        {"no server", {1}, REGDB_E_CLASSNOTREG, S_OK, REGDB_E_CLASSNOTREG, 0},
        {"dead server", {1}, S_OK, RPC_E_DISCONNECTED, RPC_E_DISCONNECTED, 0},
    };
    for (const Case& c : cases) {
        const Connection connection = Connect(c.states, c.createStatus, c.stateStatus);
        EXPECT_EQ(c.status, connection.status) << c.name;
        EXPECT_EQ(std::vector<DWORD>(c.waits, 1000), connection.waits) << c.name;
        EXPECT_EQ(SUCCEEDED(c.status), connection.gotAgent) << c.name;
        EXPECT_EQ(L"\\\\BENCH-7", connection.serverName) << c.name;
        EXPECT_EQ(0, connection.agentsReleased) << c.name << ": the agent outlives the connection";
    }
}

// A paint is dispatched (the window's update region is gone), the posted message is not.
TEST(MachineConnection, WaitingRepaintsButDispatchesNothingElse) {
    const Win32::UniqueWindow shown(::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                                      100, nullptr, nullptr, nullptr, nullptr));
    const HWND window = shown.get();
    ASSERT_NE(nullptr, window);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&message);

    ::InvalidateRect(window, nullptr, TRUE);
    ::PostMessageA(window, WM_USER + 5, 0, 0);
    WaitPaintingOnly(150);
    EXPECT_FALSE(::GetUpdateRect(window, nullptr, FALSE));
    EXPECT_TRUE(::PeekMessageA(&message, window, WM_USER + 5, WM_USER + 5, PM_REMOVE))
        << "input waits its turn";
}

} // namespace
