// What the phone list costs: a full reload of the large scenario's phones into the list's rows,
// on the simulator in process and out of process, against bare list view inserts of the same
// rows and the server calls the reload cannot do without, all measured in one run; then a
// machine chosen in the phone server control until its list has filled, against that list's own
// fill; then one refresh tick of an open Phone Properties window, as a share of the tick's period.
#include "bench/BareListView.h"
#include "bench/RemoteSimulator.h"
#include "bench/ServerAgent.h"
#include "bench/Timing.h"
#include "connection/PhoneServerCtrl.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Com/Failure.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "framework/com/TypeLibrary.h"
#include "framework/container/ControlContainer.h"
#include "lists/ListViewHelper.h"
#include "module/ClassTable.h"
#include "phones/PhoneItem.h"
#include "phones/PhoneProps.h"
#include "phones/PhoneRows.h"
#include "resources/resource.h"
#include "server/MachineConnection.h"
#include "server/OwnedRecord.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using Bench::Agent;
using Bench::Measurement;
using Bench::MediansInTurn;
using Bench::Now;
using Bench::RemoteSimulator;
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

// A list view made and set up as the phone list makes its own.
struct List : Bench::HelperList {
    explicit List(HWND owner)
        : HelperList(owner, IDB_PHONE_IMAGES_SMALL, IDB_PHONE_IMAGES_LARGE, phoneColumns) {}
};

using Row = Bench::ListRow<phoneColumnCount>;

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

// The phone server control embedded in the owner, its children made from the module's classes,
// connecting through `hooks` (null: the platform's own) while it lives, and started: its first
// connection is to the machine its combo names.
class ServerControl {
public:
    ServerControl(HWND owner, const MachineConnectionHooks* hooks)
        : m_classes(Fw::Module::Current().SetClasses(&ModuleClasses()))
        , m_hooks(SetMachineConnectionHooks(hooks)) {
        m_container.emplace(owner, "OstrelPhoneListBench");
        Com::ThrowIfFailed(Fw::Object<COstrelPhoneServerCtrl>::Create(nullptr, IID_PPV_ARGS(&m_control)));
        Fw::EmbedOptions options;
        options.rect = {0, 0, 780, 560};
        Com::ThrowIfFailed(m_container->Embed(m_control.Get(), options).Activate());
        Com::ThrowIfFailed(m_control->Startup());
    }
    ~ServerControl() {
        if (m_control)
            m_control->Shutdown();
        m_control.Reset();
        m_container.reset();
        SetMachineConnectionHooks(m_hooks);
        Fw::Module::Current().SetClasses(m_classes);
        Fw::TypeLibrary::Release();
    }
    ServerControl(const ServerControl&) = delete;
    ServerControl& operator=(const ServerControl&) = delete;

    IOstrelPhoneServerCtrl* Control() const { return m_control.Get(); }
    template <class I>
    ComPtr<I> Child(int id) const {
        return static_cast<COstrelPhoneServerCtrl*>(m_control.Get())->Child<I>(id);
    }
    // The rows of the phone list inside, read from its list view.
    int Rows() const {
        const auto* site =
            static_cast<COstrelPhoneServerCtrl*>(m_control.Get())->ChildSite(COstrelPhoneServerCtrl::listId);
        const HWND rows = site ? ::FindWindowExA(site->Window(), nullptr, WC_LISTVIEWA, nullptr) : nullptr;
        return rows ? ListView_GetItemCount(rows) : -1;
    }

private:
    Fw::ClassTable* m_classes;
    const MachineConnectionHooks* m_hooks;
    std::optional<Fw::ControlContainer> m_container;
    ComPtr<IOstrelPhoneServerCtrl> m_control;
};

// A machine chosen in the phone server control (a put of SelectedServer with the name its combo
// already holds, so that no new name is remembered) until the list inside has filled, against that
// list's own fill from an agent of `server` made beforehand, and the steps between the two: the
// connection as a whole and each of its calls, and the combo's put. `where` names the half, and
// `rows` is what the list must hold after either. Answers false, having said why, when it could
// not be measured.
bool MeasureChoice(const ServerControl& control, IOstrelServer* server, const char* where, int rows) {
    _bstr_t machine;
    Com::ThrowIfFailed(control.Control()->get_SelectedServer(machine.GetAddress()));
    const auto list = control.Child<IOstrelPhoneList>(COstrelPhoneServerCtrl::listId);
    const auto combo = control.Child<IOstrelServerCombo>(COstrelPhoneServerCtrl::comboId);
    if (!list || !combo) {
        std::fprintf(stderr, "the phone server control has no phone list or no combo\n");
        return false;
    }
    // A list emptied, then filled by the choice alone: the choice is what fills it.
    list->Shutdown();
    const int emptied = control.Rows();
    Com::ThrowIfFailed(control.Control()->put_SelectedServer(machine));
    if (emptied != 0 || control.Rows() != rows) {
        std::fprintf(stderr, "choosing %s %s: rows %d before, %d after, not %d\n",
                     static_cast<const char*>(machine), where, emptied, control.Rows(), rows);
        return false;
    }

    const Agent agent(server);
    const MachineConnectionHooks& hooks = CurrentMachineConnectionHooks();
    const std::string name = static_cast<const char*>(machine);
    const std::wstring serverName = L"\\\\" + std::wstring(static_cast<const wchar_t*>(machine));
    ComPtr<IOstrelConfigAgent> connected;
    ComPtr<IOstrelServer> created;
    long state = -1, cookie = 0;
    ComPtr<IUnknown> agentObject;
    const auto releaseAgent = [&] {
        if (agentObject)
            server->ReleaseConfigAgent(cookie);
        agentObject.Reset();
    };
    const std::vector<double> medians = MediansInTurn({
        {nullptr, [&] { control.Control()->put_SelectedServer(machine); }},
        {nullptr, [&] { list->InitializeList(agent.object.Get()); }},
        {[&] { connected.Reset(); }, [&] { ConnectToMachine(name, &connected); }},
        {[&] { created.Reset(); }, [&] { hooks.createServer(serverName, &created); }},
        {nullptr, [&] { server->GetServerState(&state); }},
        {releaseAgent,
         [&] {
             ComPtr<IOstrelConfigAgent> queried;
             server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &agentObject);
             agentObject.As(&queried);
         }},
        {nullptr, [&] { combo->put_SelectedServer(machine); }},
    });
    releaseAgent();
    if (control.Rows() != rows || !connected || !created || state != 1) {
        std::fprintf(stderr, "%s: rows %d of %d after the rounds, agent %s, server %s, server state %ld\n",
                     where, control.Rows(), rows, connected ? "made" : "missing",
                     created ? "made" : "missing", state);
        return false;
    }

    const double choice = medians[0], fill = medians[1], connect = medians[2], creation = medians[3],
                 poll = medians[4], agentMade = medians[5], put = medians[6];
    // The put names the combo's own entry twice: once as asked, once when the connection succeeded.
    // What is left is the differences of medians: out of process the fills' spread outweighs it,
    // and it may come out below zero.
    const double rest = choice - fill, left = rest - connect - 2 * put;
    const auto line = [where](const char* what, double us) {
        std::printf("%-44s %12.1f us\n", (std::string(what) + ", " + where).c_str(), us);
    };
    line("machine chosen, list filled", choice);
    line("the list's own fill, beside it", fill);
    std::printf("%-44s %12.2f\n", ("chosen / own fill, " + std::string(where)).c_str(), choice / fill);
    std::printf("the rest, %.1f us: ConnectToMachine %.1f us (server creation %.1f us, GetServerState x1 "
                "%.1f us, CreateConfigAgent %.1f us), the combo's SelectedServer put %.1f us x2, "
                "unaccounted %.1f us\n",
                rest, connect, creation, poll, agentMade, put, left);
    return true;
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
    const std::vector<Row> source = Bench::ReadRows<phoneColumnCount>(inProcessList.list.helper->List());
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

    // A machine chosen in the phone server control: in process its connection is handed the
    // simulator above, out of process the platform's reaches the one started by hand (under Wine
    // the local server answers whatever the machine's name).
    const MachineConnectionHooks inProcessHooks{
        [&local](const std::wstring&, IOstrelServer** ppServer) { return local.CopyTo(ppServer); },
        MachineConnectionHooks::Platform().wait};
    try {
        {
            const ServerControl control(owner, &inProcessHooks);
            if (!MeasureChoice(control, local.Get(), "in process", localRows))
                return 1;
        }
        const ServerControl control(owner, nullptr);
        if (!MeasureChoice(control, simulator.server.Get(), "out of process", remoteRows))
            return 1;
    } catch (const _com_error& failure) {
        std::fprintf(stderr, "the phone server control failed: 0x%08lX\n",
                     static_cast<unsigned long>(failure.Error()));
        return 1;
    }

    return MeasureTick(owner, inProcessList, localControl.Get()) ? 0 : 1;
}

} // namespace

int main() {
    // OLE, not COM alone: the phone server control is activated in place.
    ::OleInitialize(nullptr);
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
    ::OleUninitialize();
    return status;
}
