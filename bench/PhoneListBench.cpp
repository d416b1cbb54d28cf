// What the phone list costs: a full reload of the large scenario's phones into the list's rows,
// on the simulator in process and out of process, against bare list view inserts of the same
// rows and the server calls the reload cannot do without, all measured in one run; then one
// refresh tick of an open Phone Properties window, as a share of the tick's period.
#include "bench/RemoteSimulator.h"
#include "bench/ServerAgent.h"
#include "bench/Timing.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "lists/ListViewHelper.h"
#include "phones/PhoneItem.h"
#include "phones/PhoneProps.h"
#include "phones/PhoneRows.h"
#include "resources/resource.h"
#include "server/OwnedRecord.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
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

constexpr long phoneObjects = 2;
// The one port state whose phone gets a row.
constexpr long portStateEnabled = 2;
constexpr double inProcessTarget = 1.3;
constexpr int ticks = 201;

// The phone list's columns, as the control makes them.
const ListColumn phoneColumns[phoneColumnCount] = {
    {IDS_PHONE_COLUMN_PHONE, IDS_PHONE_COLUMN_PHONE_WIDTH},
    {IDS_PHONE_COLUMN_ESN, IDS_PHONE_COLUMN_ESN_WIDTH},
    {IDS_PHONE_COLUMN_NUMBER, IDS_PHONE_COLUMN_NUMBER_WIDTH},
    {IDS_PHONE_COLUMN_BANNER, IDS_PHONE_COLUMN_BANNER_WIDTH},
    {IDS_PHONE_COLUMN_PORT, IDS_PHONE_COLUMN_PORT_WIDTH},
};

// A list view made and set up as the phone list makes its own, so that the baseline pays for
// the same styles, columns and icon strips.
struct List {
    HWND window = nullptr;
    std::unique_ptr<CListViewHelper> helper;

    explicit List(HWND owner) {
        window = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                       LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | LVS_SHAREIMAGELISTS,
                                   0, 0, 780, 560, owner, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        helper = std::make_unique<CListViewHelper>(window);
        helper->LoadImageLists(IDB_PHONE_IMAGES_SMALL, IDB_PHONE_IMAGES_LARGE);
        for (int column = 0; column < phoneColumnCount; ++column)
            helper->AddColumn(column, phoneColumns[column], true);
    }
    ~List() {
        helper.reset();
        ::DestroyWindow(window);
    }
};

struct Row {
    std::string texts[phoneColumnCount];
    int image = -1;
    LPARAM key = 0;
};

std::vector<Row> ReadRows(const Fw::ListView& list) {
    std::vector<Row> rows(static_cast<size_t>(list.GetItemCount()));
    for (size_t index = 0; index < rows.size(); ++index) {
        for (int column = 0; column < phoneColumnCount; ++column)
            rows[index].texts[column] = list.GetItemText(static_cast<int>(index), column);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(index);
        list.GetItem(item);
        rows[index].image = item.iImage;
        rows[index].key = item.lParam;
    }
    return rows;
}

// A list loaded the way the phone list loads its own: phone rows over an agent of the server.
struct AgentList {
    AgentList(HWND owner, IOstrelServer* server)
        : agent(server)
        , list(owner) {
        rows.SetList(list.helper.get());
        rows.SetAgent(agent.agent.Get());
    }
    ~AgentList() {
        rows.RemoveAll();
        rows.SetList(nullptr);
        rows.SetAgent(nullptr);
    }

    const Agent agent;
    const List list;
    CPhoneRows rows;
};

// The whole reload as the list makes it on a refresh: every row dropped, every phone read again.
Measurement Reload(AgentList& loaded) {
    return {nullptr, [&loaded] {
                loaded.rows.RemoveAll();
                loaded.rows.LoadAll();
            }};
}

// Bare inserts of the rows read back from a loaded list, redrawing off, every row deleted first
// as the reload deletes its own. Given an agent, the reload's server calls are made between
// them, in the reload's order, a row going in for each phone on a port in state 2: the list
// view and the calls then share the caches as they do in the reload.
struct BareList {
    BareList(HWND owner, const std::vector<Row>& source)
        : list(owner)
        , source(source) {}

    Measurement Inserts(const Agent* agent = nullptr) const {
        return {nullptr, [this, agent] {
                    const Fw::ListView& view = list.helper->List();
                    view.SetRedraw(false);
                    view.DeleteAllItems();
                    if (agent)
                        InsertBetweenCalls(*agent);
                    else
                        for (const Row& row : source)
                            Insert(row);
                    view.SelectItem(0);
                    view.SetRedraw(true);
                }};
    }

    void Insert(const Row& row) const {
        const Fw::ListView& view = list.helper->List();
        const int index = view.InsertItem(view.GetItemCount(), row.texts[0].c_str(), row.key, row.image);
        for (int column = 1; column < phoneColumnCount; ++column)
            view.SetItemText(index, column, row.texts[column].c_str());
    }

    void InsertBetweenCalls(const Agent& agent) const {
        short count = 0;
        Win32::UniqueSafeArray ids;
        agent.agent->GetObjectIds(phoneObjects, &count, ids.put());
        const Win32::SafeArrayAccess<short> access(ids.get());
        size_t next = 0;
        for (const short id : access.First(count)) {
            Server::OwnedRecord<OstrelPhoneInfo> phone;
            if (FAILED(agent.agent->GetPhoneInfo(id, phone.put())))
                continue;
            OstrelModelEx model = {};
            if (agent.agentEx)
                agent.agentEx->GetPhoneModel(id, &model);
            Server::OwnedRecord<OstrelPortInfo> port;
            if (SUCCEEDED(agent.agent->GetPortInfo(phone->portId, port.put())) &&
                port->portState == portStateEnabled && next < source.size())
                Insert(source[next++]);
        }
    }

    const List list;
    const std::vector<Row>& source;
};

// The server calls a reload must make, made bare: the phone ids once, then each phone's record,
// its wide model number when the agent has one, and its port's record, every record freed.
// `phones` is left with the number of phones listed.
Measurement ServerCalls(const Agent& agent, int& phones) {
    return {nullptr, [&agent, &phones] {
                short count = 0;
                Win32::UniqueSafeArray ids;
                agent.agent->GetObjectIds(phoneObjects, &count, ids.put());
                const Win32::SafeArrayAccess<short> access(ids.get());
                phones = 0;
                for (const short id : access.First(count)) {
                    ++phones;
                    Server::OwnedRecord<OstrelPhoneInfo> phone;
                    if (FAILED(agent.agent->GetPhoneInfo(id, phone.put())))
                        continue;
                    OstrelModelEx model = {};
                    if (agent.agentEx)
                        agent.agentEx->GetPhoneModel(id, &model);
                    Server::OwnedRecord<OstrelPortInfo> port;
                    agent.agent->GetPortInfo(phone->portId, port.put());
                }
            }};
}

double Median(std::vector<double> series) {
    std::sort(series.begin(), series.end());
    return series[series.size() / 2];
}

// One refresh tick of a Phone Properties window open on the loaded list's first phone, timed
// `ticks` times: with nothing changed since the last tick, and with the phone's state texts
// changed by the simulator (untimed) before each, so that the window rewrites them. Returns
// false when the window could not be opened.
bool MeasureTick(HWND owner, AgentList& loaded, IOstrelSimControl* control) {
    CPhoneItem* item = loaded.rows.ItemOfRow(0);
    if (!item) {
        std::fprintf(stderr, "the list has no phone to show properties of\n");
        return false;
    }
    const long portId = item->GetID();
    CPhoneProps props(loaded.agent.agent.Get(), item, portId, loaded.list.window);
    if (!props.Open(owner)) {
        std::fprintf(stderr, "the Phone Properties window did not open\n");
        return false;
    }
    const HWND window = props.Handle();
    // Its own timer is left to tick unseen: no message is pumped while it is measured.
    const auto tick = [window] {
        const double start = Now();
        ::SendMessageA(window, WM_TIMER, CPhoneProps::refreshTimer, 0);
        return Now() - start;
    };
    tick();
    std::vector<double> steady, changed;
    for (int round = 0; round < ticks; ++round)
        steady.push_back(tick());
    std::string lastState;
    for (int round = 0; round < ticks; ++round) {
        lastState = round % 2 ? "Calling" : "Idle";
        const std::wstring fields = round % 2 ? L"{\"stateText\": \"Calling\", \"phoneStateText\": \"Busy\", "
                                                L"\"banner\": \"BUSY\", \"slotCycleIndex\": 4}"
                                              : L"{\"stateText\": \"Idle\", \"phoneStateText\": \"Ready\", "
                                                L"\"banner\": \"READY\", \"slotCycleIndex\": 2}";
        if (FAILED(control->ChangePhone(static_cast<short>(portId), _bstr_t(fields.c_str())))) {
            std::fprintf(stderr, "the simulator would not change port %ld's phone\n", portId);
            return false;
        }
        changed.push_back(tick());
    }
    char state[64] = {};
    ::GetDlgItemTextA(window, IDC_PHONE_STATE, state, sizeof state);
    props.Close();
    if (state != lastState) {
        // A tick that did not reach the server measured nothing worth reporting.
        std::fprintf(stderr, "the window shows \"%s\" after the ticks, not \"%s\"\n", state,
                     lastState.c_str());
        return false;
    }

    const double periodUs = 1000.0 * CPhoneProps::refreshInterval;
    const double steadyUs = Median(steady), changedUs = Median(changed);
    std::printf("properties tick, nothing changed %10.1f us   %6.3f%% of the %u ms period (target < 1%%)\n",
                steadyUs, 100.0 * steadyUs / periodUs, CPhoneProps::refreshInterval);
    std::printf("properties tick, texts changed   %10.1f us   %6.3f%% of the %u ms period (target < 1%%)\n",
                changedUs, 100.0 * changedUs / periodUs, CPhoneProps::refreshInterval);
    return true;
}

int Run(HWND owner) {
    const std::string folder = Fw::Module::Current().Folder();
    const ComPtr<IOstrelServer> local =
        Sim::CreateSimServer(Sim::LoadScenario(folder + "\\scenarios\\large.json"));
    ComPtr<IOstrelSimControl> localControl;
    if (FAILED(local.As(&localControl)))
        return 1;

    AgentList inProcessList(owner, local.Get());
    if (!inProcessList.list.window) {
        std::fprintf(stderr, "no list view could be made (error %lu)\n", ::GetLastError());
        return 1;
    }
    inProcessList.rows.LoadAll();
    const std::vector<Row> source = ReadRows(inProcessList.list.helper->List());
    const BareList bare(owner, source);
    const Agent localAgent(local.Get());

    RemoteSimulator simulator;
    if (!simulator.Start(folder)) {
        std::fprintf(stderr,
                     "the simulator's local server did not answer (OstrelDeviceSim.exe /RegServer)\n");
        return 1;
    }
    AgentList outOfProcessList(owner, simulator.server.Get());
    const Agent remoteAgent(simulator.server.Get());

    // In process and out of process are measured apart: a remote round lasts long enough for
    // the machine to change under the local ones taken beside it, so each half has its baseline.
    int localPhones = 0, remotePhones = 0;
    const std::vector<double> inProcessMedians =
        MediansInTurn({Reload(inProcessList), bare.Inserts(), ServerCalls(localAgent, localPhones),
                       bare.Inserts(&localAgent)});
    const std::vector<double> remote =
        MediansInTurn({Reload(outOfProcessList), bare.Inserts(), ServerCalls(remoteAgent, remotePhones)});
    const double inProcess = inProcessMedians[0], localBaseline = inProcessMedians[1],
                 localCalls = inProcessMedians[2], localInterleaved = inProcessMedians[3];
    const double outOfProcess = remote[0], remoteBaseline = remote[1], remoteCalls = remote[2];
    const int localRows = inProcessList.list.helper->List().GetItemCount();
    const int remoteRows = outOfProcessList.list.helper->List().GetItemCount();
    const int bareRows = bare.list.helper->List().GetItemCount();
    if (remoteRows != localRows || bareRows != localRows || remotePhones != localPhones) {
        // Another simulator on another scenario answered: its figures would compare nothing.
        std::fprintf(stderr,
                     "rows reloaded: in process %d of %d phones, out of process %d of %d, baseline %d\n",
                     localRows, localPhones, remoteRows, remotePhones, bareRows);
        return 1;
    }

    const int phones = localPhones;
    std::printf("phones listed %d, rows reloaded (ports in state 2): in process %d, out of process %d, "
                "baseline %d\n",
                phones, localRows, remoteRows, bareRows);
    std::printf("server calls a reload makes: GetObjectIds x1, GetPhoneInfo x%d, %sGetPortInfo x%d\n", phones,
                remoteAgent.agentEx ? ("GetPhoneModel x" + std::to_string(phones) + ", ").c_str() : "",
                phones);
    std::printf("reload in process                %10.1f us\n", inProcess);
    std::printf("baseline inserts, beside it      %10.1f us\n", localBaseline);
    std::printf("reload's server calls, local     %10.1f us\n", localCalls);
    std::printf("baseline with those calls between %9.1f us\n", localInterleaved);
    std::printf("reload out of process            %10.1f us\n", outOfProcess);
    std::printf("baseline inserts, beside it      %10.1f us\n", remoteBaseline);
    std::printf("reload's server calls, remote    %10.1f us  (%.1f us a phone)\n", remoteCalls,
                phones ? remoteCalls / phones : 0.0);
    const double inProcessRatio = inProcess / localBaseline;
    const double outOfProcessRatio = outOfProcess / (remoteBaseline + remoteCalls);
    std::printf("in-process reload / baseline                       %6.2f  (target <= %.2f) %s\n",
                inProcessRatio, inProcessTarget, inProcessRatio <= inProcessTarget ? "met" : "MISSED");
    std::printf("in-process reload / (baseline + local calls)       %6.2f\n",
                inProcess / (localBaseline + localCalls));
    std::printf("in-process reload / baseline with the calls between %5.2f\n", inProcess / localInterleaved);
    std::printf("out-of-process reload / (baseline + remote calls)  %6.2f  (target <= 1.00) %s\n",
                outOfProcessRatio, outOfProcessRatio <= 1.0 ? "met" : "MISSED");

    return MeasureTick(owner, inProcessList, localControl.Get()) ? 0 : 1;
}

} // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    const HWND owner = ::CreateWindowExA(0, WC_STATICA, "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                         nullptr, nullptr, nullptr);
    if (!owner) {
        std::fprintf(stderr, "no window to hold the lists (error %lu)\n", ::GetLastError());
        return 1;
    }
    // Every list, agent, window and server of the run is gone before COM is.
    const int status = Run(owner);
    ::DestroyWindow(owner);
    ::CoUninitialize();
    return status;
}
