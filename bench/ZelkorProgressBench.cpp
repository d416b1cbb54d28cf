// What a boot-protocol transfer costs the port list: 10,000 progress events for one port, each
// handled inside the event call as the server makes it (route, Phone cell text, bar position),
// against the bare list view and progress bar messages that show the same, in the same run.
#include "bench/Timing.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "framework/com/ComObject.h"
#include "framework/com/Module.h"
#include "lists/ListViewHelper.h"
#include "ports/PortRowRules.h"
#include "ports/PortRows.h"
#include "resources/resource.h"
#include "server/ServerEventRoute.h"
#include "server/ServerEventSink.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int events = 10000;
constexpr short zelkorPort = 4; // the bench scenario's port whose phone is in Zelkor download mode
constexpr long dumpProgressEvent = 20;

// The event's value through the dump, wrapping as a signed 16-bit fraction of 32767.
short ValueOf(int event) {
    return static_cast<short>((event * 7) % 32768);
}

int Run() {
    const std::string folder = Fw::Module::Current().Folder();
    const ComPtr<IOstrelServer> server =
        Sim::CreateSimServer(Sim::LoadScenario(folder + "\\scenarios\\bench.json"));
    long cookie = 0;
    ComPtr<IUnknown> object;
    ComPtr<IOstrelConfigAgent> agent;
    if (FAILED(server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &object)) ||
        FAILED(object.As(&agent)))
        return 1;

    // A list view set up as the port list sets up its own, in a window that is never shown.
    const HWND owner = ::CreateWindowExA(0, WC_STATICA, "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                         nullptr, nullptr, nullptr);
    const HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL |
                                            LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | LVS_SHAREIMAGELISTS,
                                        0, 0, 780, 560, owner, nullptr, nullptr, nullptr);
    CListViewHelper helper(list);
    helper.LoadImageLists(IDB_LIST_IMAGES_SMALL, IDB_LIST_IMAGES_LARGE);
    for (int column = 0; column < portColumnCount; ++column)
        helper.AddColumn(column, portListColumns[column], true);
    CPortRows rows;
    rows.SetList(&helper);
    rows.SetAgent(agent.Get());
    rows.FillList();
    const auto bar = rows.Progress().find(zelkorPort);
    const int row = helper.FindRow(zelkorPort);
    if (bar == rows.Progress().end() || !bar->second || row < 0) {
        std::fprintf(stderr, "the bench scenario's port %d has no transfer bar\n", zelkorPort);
        return 1;
    }

    ComPtr<IOstrelServerEvents> sinkObject;
    if (FAILED(Fw::Object<ServerEventSink>::Create(nullptr, IID_PPV_ARGS(&sinkObject))))
        return 1;
    auto* sink = static_cast<ServerEventSink*>(sinkObject.Get());
    sink->Bind(ViewKind::PortList, list, [&rows](const ServerEventRoute& route, short portId, short value) {
        rows.ShowTransferProgress(static_cast<long>(route.lParam), portId, value);
    });

    const HWND barWindow = bar->second->Window();
    const std::string text = Fw::Module::Current().String(IDS_ZELKOR_PHONE_MEMORY_DUMP);
    const auto handled = [&] {
        for (int event = 0; event < events; ++event)
            sinkObject->OnServerEvent(dumpProgressEvent, zelkorPort, ValueOf(event));
    };
    const auto bare = [&] {
        for (int event = 0; event < events; ++event) {
            LVITEMA item = {};
            item.iSubItem = portColumnPhone;
            item.pszText = const_cast<char*>(text.c_str());
            ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            ::SendMessageA(barWindow, PBM_SETPOS, 500 + ValueOf(event) * 500 / 32767, 0);
        }
    };
    const std::vector<double> medians = Bench::MediansInTurn({{nullptr, handled}, {nullptr, bare}});
    const double ratio = medians[0] / medians[1];

    std::printf("%d progress events for one port, handled in the call  %12.1f us  (%.3f us an event)\n",
                events, medians[0], medians[0] / events);
    std::printf("the same cell texts and bar positions, bare           %12.1f us  (%.3f us an event)\n",
                medians[1], medians[1] / events);
    std::printf("handled / bare                                        %8.2f  (target <= 1.5)\n", ratio);

    sink->Unbind();
    rows.RemoveAllRows();
    rows.SetList(nullptr);
    ::DestroyWindow(owner);
    return 0;
}

} // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = Run();
    ::CoUninitialize();
    return status;
}
