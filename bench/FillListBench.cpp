// What filling the port list with 256 ports costs: the list's own fill on the simulator in
// process and out of process, against bare list view inserts of the same rows, the same
// inserts with the progress bar windows the fill must make, the cost of one empty remote call
// and of the fill's own server calls made bare, all measured in one run; then a storm of
// refresh events for one port, to see whether the rows it rebuilds are coalesced.
#include "bench/BareListView.h"
#include "bench/RemoteSimulator.h"
#include "bench/ServerAgent.h"
#include "bench/Timing.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/ComObject.h"
#include "framework/com/Module.h"
#include "lists/ListViewHelper.h"
#include "ports/PortRowRules.h"
#include "ports/PortRows.h"
#include "resources/resource.h"
#include "server/OwnedRecord.h"
#include "server/ServerEventRoute.h"
#include "server/ServerEventSink.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Bench::Measurement;
using Bench::Agent;
using Bench::MediansInTurn;
using Bench::RemoteSimulator;
using Bench::Now;
using Microsoft::WRL::ComPtr;

namespace {

constexpr int portCount = 256;
constexpr int stormEvents = 10000;
constexpr long refreshPortEvent = 6;

// The parent of the measured lists: counts the rows the lists report inserted and deleted,
// and rebuilds a port's row on the sink's refresh message as the port list's window does.
struct Parent {
    CPortRows* rows = nullptr;
    ServerEventSink* sink = nullptr;
    long inserted = 0;
    long deleted = 0;
};
Parent parent;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (code == LVN_INSERTITEM)
            ++parent.inserted;
        else if (code == LVN_DELETEITEM)
            ++parent.deleted;
    } else if (message == WM_SERVER_REFRESH_ITEM) {
        if (parent.sink)
            parent.sink->Delivered(message, lParam);
        if (parent.rows)
            parent.rows->RefreshPort(static_cast<long>(lParam));
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateParent() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &ParentProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OstrelFillListBench";
    ::RegisterClassA(&windowClass);
    return ::CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
}

// A list view made and set up as the port list makes its own.
struct List : Bench::HelperList {
    explicit List(HWND owner)
        : HelperList(owner, IDB_LIST_IMAGES_SMALL, IDB_LIST_IMAGES_LARGE, portListColumns, 1) {}
};

using Row = Bench::ListRow<portColumnCount>;

// A list filled the way the port list fills its own: port rows over an agent of the server.
struct AgentList {
    AgentList(HWND owner, IOstrelServer* server)
        : agent(server)
        , list(owner) {
        rows.SetList(list.helper.get());
        rows.SetAgent(agent.agent.Get());
    }
    ~AgentList() {
        rows.RemoveAllRows();
        rows.SetList(nullptr);
        rows.SetAgent(nullptr);
    }

    const Agent agent;
    const List list;
    CPortRows rows;
};

// The port list's fill of a fresh list from an agent, each round from an empty list.
Measurement Fill(AgentList& filled) {
    return {[&filled] { filled.rows.RemoveAllRows(); }, [&filled] { filled.rows.FillList(); }};
}

// Bare inserts of the rows read back from a filled list and, when asked, a progress bar window
// over the State cell of each row in `barRows`, made as the fill makes its own.
struct BareList {
    BareList(HWND owner, const std::vector<Row>& source, const std::vector<int>& barRows)
        : list(owner)
        , source(source)
        , barRows(barRows) {}

    Measurement Inserts() {
        return {[this] {
                    bars.clear();
                    list.helper->List().DeleteAllItems();
                },
                [this] { Insert(); }};
    }

    void Insert() {
        const Fw::ListView& view = list.helper->List();
        view.SetRedraw(false);
        for (const Row& row : source) {
            const int index = view.InsertItem(view.GetItemCount(), row.texts[0].c_str(), row.key, row.image);
            for (int column = 1; column < portColumnCount; ++column)
                view.SetItemText(index, column, row.texts[column].c_str());
        }
        for (const int row : barRows) {
            bars.push_back(std::make_unique<ZelkorProgress>());
            bars.back()->Create(list.window, row, zelkorProgressColumn, zelkorProgressLow, zelkorProgressHigh,
                                zelkorProgressStart);
        }
        view.SetRedraw(true);
    }

    const List list;
    const std::vector<Row>& source;
    const std::vector<int> barRows;
    std::vector<std::unique_ptr<ZelkorProgress>> bars;
};

// The server calls a fill makes, made bare: the port ids, then each port's record and its
// phone's, every record freed.
Measurement ServerCalls(const Agent& agent) {
    return {nullptr, [&agent] {
                short count = 0;
                Win32::UniqueSafeArray ids;
                agent.agent->GetPortIds(&count, ids.put());
                const Win32::SafeArrayAccess<short> access(ids.get());
                for (const short id : access.Items()) {
                    Server::OwnedRecord<OstrelPortConfigEx> port;
                    agent.agentEx->GetPortConfigEx(id, port.put());
                    Server::OwnedRecord<OstrelPhoneInfo> phone;
                    agent.agent->GetPortPhoneInfo(id, phone.put());
                }
            }};
}

constexpr int emptyCalls = 300;

Measurement EmptyCalls(IOstrelServer* server) {
    return {nullptr, [server] {
                long state = 0;
                for (int call = 0; call < emptyCalls; ++call)
                    server->GetServerState(&state);
            }};
}

void Drain() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

int Run(HWND owner) {
    const std::string folder = Fw::Module::Current().Folder();
    const ComPtr<IOstrelServer> local =
        Sim::CreateSimServer(Sim::LoadScenario(folder + "\\scenarios\\large.json"));

    AgentList inProcessList(owner, local.Get());
    inProcessList.rows.FillList();
    const std::vector<Row> source = Bench::ReadRows<portColumnCount>(inProcessList.list.helper->List());
    std::vector<int> barRows;
    for (const auto& [portId, bar] : inProcessList.rows.Progress())
        barRows.push_back(inProcessList.list.helper->FindRow(portId));
    BareList bare(owner, source, {});
    BareList bareWithBars(owner, source, barRows);

    RemoteSimulator simulator;
    if (!simulator.Start(folder)) {
        std::fprintf(stderr,
                     "the simulator's local server did not answer (OstrelDeviceSim.exe /RegServer)\n");
        return 1;
    }
    AgentList outOfProcessList(owner, simulator.server.Get());
    const Agent remoteAgent(simulator.server.Get());

    const std::vector<double> medians =
        MediansInTurn({Fill(inProcessList), bare.Inserts(), bareWithBars.Inserts(), Fill(outOfProcessList),
                       ServerCalls(remoteAgent), EmptyCalls(simulator.server.Get())});
    const double inProcess = medians[0], baseline = medians[1], baselineWithBars = medians[2],
                 outOfProcess = medians[3], remoteCalls = medians[4], emptyRemote = medians[5] / emptyCalls;
    const int localRows = inProcessList.list.helper->List().GetItemCount();
    const int remoteRows = outOfProcessList.list.helper->List().GetItemCount();
    if (remoteRows != localRows) {
        // Another simulator on another scenario answered: its figures would compare nothing.
        std::fprintf(stderr, "the simulator out of process filled %d rows, not %d\n", remoteRows, localRows);
        return 1;
    }

    std::printf("rows filled: in process %d, out of process %d, baseline %zu\n", localRows, remoteRows,
                source.size());
    std::printf("fill in process              %12.1f us\n", inProcess);
    std::printf("fill out of process          %12.1f us\n", outOfProcess);
    std::printf("baseline inserts             %12.1f us\n", baseline);
    std::printf("baseline + %zu bar windows     %12.1f us\n", barRows.size(), baselineWithBars);
    std::printf("empty out-of-process call    %12.3f us\n", emptyRemote);
    std::printf("fill's server calls, remote  %12.1f us\n", remoteCalls);
    std::printf("in-process fill / baseline                                %8.2f\n", inProcess / baseline);
    std::printf("in-process fill / (baseline + bar windows)                %8.2f\n",
                inProcess / baselineWithBars);
    std::printf("out-of-process fill / (baseline + 2x%d empty remote)     %8.2f\n", portCount,
                outOfProcess / (baseline + 2.0 * portCount * emptyRemote));
    std::printf("out-of-process fill / (baseline + bar windows + calls)    %8.2f\n",
                outOfProcess / (baselineWithBars + remoteCalls));

    // The storm: refresh events for one port as the server's sink receives them, then the queue
    // drained; every rebuild of that port's row shows as one inserted row.
    {
        CPortRows& rows = inProcessList.rows;
        rows.RemoveAllRows();
        rows.FillList();
        const short port = static_cast<short>(source.empty() ? 1 : source[source.size() / 2].key);
        ComPtr<IOstrelServerEvents> sinkObject;
        Fw::Object<ServerEventSink>::Create(nullptr, IID_PPV_ARGS(&sinkObject));
        auto* sink = static_cast<ServerEventSink*>(sinkObject.Get());
        sink->Bind(ViewKind::PortList, owner);
        parent.rows = &rows;
        parent.sink = sink;
        Drain();
        parent.inserted = parent.deleted = 0;
        const double start = Now();
        for (int i = 0; i < stormEvents; ++i)
            sink->OnServerEvent(refreshPortEvent, port, 0);
        Drain();
        const double elapsed = Now() - start;
        sink->Unbind();
        parent.rows = nullptr;
        parent.sink = nullptr;
        std::printf("event storm: %d refresh events for port %d, drained in %.1f ms\n", stormEvents, port,
                    elapsed / 1000.0);
        std::printf("event storm: %ld rows rebuilt (%ld deleted), %s\n", parent.inserted, parent.deleted,
                    parent.inserted <= 1 ? "coalesced" : "not coalesced");
    }
    return 0;
}

} // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    const HWND owner = CreateParent();
    // Every list, agent and server of the run is gone before COM is.
    const int status = Run(owner);
    ::DestroyWindow(owner);
    ::CoUninitialize();
    return status;
}
