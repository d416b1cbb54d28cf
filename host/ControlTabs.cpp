#include "host/ControlTabs.h"

#include "foundation/Com/Failure.h"
#include "host/ClientsTabOpener.h"
#include "host/PhoneListOpener.h"
#include "host/PortListOpener.h"
#include "host/PortsTabOpener.h"
#include "host/resource.h"
#include "interfaces/OstrelUITools.h"
#include "server/OstrelServer.h"

#include <comdef.h>
#include <wrl/client.h>

#include <algorithm>

namespace DemoHost {

namespace {

using Microsoft::WRL::ComPtr;

template <class I>
ComPtr<I> As(IUnknown* control) {
    ComPtr<I> result;
    Com::ThrowIfFailed(control->QueryInterface(IID_PPV_ARGS(&result)));
    return result;
}

// The port list, the client list and the object tree make their own agents on the server they
// are given. StartupEx sets the control up itself and refuses one that is started already, so
// Startup is not called first.
template <class Control>
long StartOnServer(IUnknown* control, IUnknown* server) {
    Com::ThrowIfFailed(As<Control>(control)->StartupEx(server));
    return 0;
}

template <class Control>
void ShutDown(IUnknown* control, IUnknown*, long) {
    Com::ThrowIfFailed(As<Control>(control)->Shutdown());
}

// The phone server control connects itself, to the machine its combo names: this computer at
// first, whose local server is the simulator the demo started (Wine reaches the local server
// whatever the name), so the server the host holds is not handed to it.
long StartPhoneServer(IUnknown* control, IUnknown*) {
    Com::ThrowIfFailed(As<IOstrelPhoneServerCtrl>(control)->Startup());
    return 0;
}

void ShutDownPhoneServer(IUnknown* control, IUnknown*, long) {
    Com::ThrowIfFailed(As<IOstrelPhoneServerCtrl>(control)->Shutdown());
}

// The port configuration control is handed the server, for its add command, and an agent the
// host makes, which its list shows; Startup is not needed after that.
long StartPortConfig(IUnknown* control, IUnknown* server) {
    const ComPtr<IOstrelPortConfigCtrl> config = As<IOstrelPortConfigCtrl>(control);
    const ComPtr<IOstrelServer> ostrelServer = As<IOstrelServer>(server);
    long cookie = 0;
    ComPtr<IUnknown> agent;
    Com::Call(ostrelServer, &IOstrelServer::CreateConfigAgent, _bstr_t(L"Kelmar.OstrelConfigAgent.1"), -1L,
              &cookie, &agent);
    try {
        Com::ThrowIfNull(agent.Get());
        Com::ThrowIfFailed(config->Initialize(server));
        Com::ThrowIfFailed(config->Initialize(agent.Get()));
    } catch (const _com_error&) {
        ostrelServer->ReleaseConfigAgent(cookie);
        throw;
    }
    return cookie;
}

void ShutDownPortConfig(IUnknown* control, IUnknown* server, long agentCookie) {
    const HRESULT status = As<IOstrelPortConfigCtrl>(control)->Shutdown();
    As<IOstrelServer>(server)->ReleaseConfigAgent(agentCookie);
    Com::ThrowIfFailed(status);
}

// COM1 with its Browse... button, following the server's events.
long StartPortView(IUnknown* control, IUnknown* server) {
    Com::ThrowIfFailed(As<IOstrelPortViewCtrl>(control)->InitializePortCtrl(server, _bstr_t(L"COM1"), 1, 1));
    return 0;
}

// The openers of a tab of one control.
template <bool (*open)(IUnknown* control, HWND window, IUnknown* server, OpenTarget target)>
bool OnFirst(std::span<const PlacedControl> controls, IUnknown* server, OpenTarget target) {
    return !controls.empty() && controls.front().control &&
           open(controls.front().control, controls.front().window, server, target);
}

constexpr ControlPlacement portList[] = {
    {&CLSID_OstrelPortList, "OstrelUITools.OstrelPortList", "PortList1", StartOnServer<IOstrelPortList>,
     ShutDown<IOstrelPortList>},
};
constexpr ControlPlacement phoneServer[] = {
    {&CLSID_OstrelPhoneServerCtrl, "OstrelUITools.OstrelPhoneServerCtrl", "PhoneServerCtrl1",
     StartPhoneServer, ShutDownPhoneServer},
};
// The port view's face is 20 units high; the configuration control takes the rest below it.
constexpr ControlPlacement ports[] = {
    {&CLSID_OstrelPortViewCtrl, "OstrelUITools.OstrelPortViewCtrl", "PortViewCtrl1", StartPortView, nullptr,
     20},
    {&CLSID_OstrelPortConfigCtrl, "OstrelUITools.OstrelPortConfigCtrl", "PortConfigCtrl1", StartPortConfig,
     ShutDownPortConfig},
};
// Its face is empty, and it has nothing to connect.
constexpr ControlPlacement phonePorts[] = {
    {&CLSID_NORVIKPhonePortConfigCtrl, "Kelmar.NORVIKPhonePortConfiguration", "NORVIKPhonePortConfigCtrl1",
     nullptr, nullptr},
};

// The client list keeps a band of a few rows above the tree of everything the server holds.
constexpr ControlPlacement clients[] = {
    {&CLSID_OstrelClientList, "OstrelUITools.OstrelClientList", "ClientList1",
     StartOnServer<IOstrelClientList>, ShutDown<IOstrelClientList>, 60},
    {&CLSID_OstrelObjectList, "OstrelUITools.OstrelObjectList", "ObjectList1",
     StartOnServer<IOstrelObjectList>, ShutDown<IOstrelObjectList>},
};

constexpr OpenTarget portListOpens[] = {OpenTarget::Menu, OpenTarget::Properties, OpenTarget::Zelkor};
constexpr OpenTarget phoneServerOpens[] = {OpenTarget::PhoneList, OpenTarget::PhoneProperties,
                                           OpenTarget::ServiceMapping};
constexpr OpenTarget portsOpens[] = {OpenTarget::Ports, OpenTarget::NewPort, OpenTarget::OutgoingConnection,
                                     OpenTarget::Confirm, OpenTarget::PortSelect};
constexpr OpenTarget clientsOpens[] = {OpenTarget::Clients, OpenTarget::ClientProperties,
                                       OpenTarget::ComponentProperties};

const ControlTab tabs[] = {
    {IDS_TAB_PORTLIST, portList, portListOpens, OnFirst<OpenOnPortList>},
    {IDS_TAB_PHONELIST, phoneServer, phoneServerOpens, OnFirst<OpenOnPhoneServer>},
    {IDS_TAB_PORTS, ports, portsOpens, OpenOnPortsTab},
    {IDS_TAB_PHONEPORTS, phonePorts, {}, nullptr},
    {IDS_TAB_CLIENTS, clients, clientsOpens, OpenOnClientsTab},
};

} // namespace

std::span<const ControlTab> ControlTabs() {
    return tabs;
}

const ControlTab* TabOpening(OpenTarget target) {
    const auto found = std::find_if(std::begin(tabs), std::end(tabs), [&](const ControlTab& tab) {
        return std::find(tab.opens.begin(), tab.opens.end(), target) != tab.opens.end();
    });
    return found == std::end(tabs) ? nullptr : &*found;
}

std::vector<RECT> PlaceControls(std::span<const ControlPlacement> placements, const RECT& area, int spacing,
                                const std::function<int(int)>& pixels) {
    std::vector<int> heights;
    int fixed = placements.empty() ? 0 : spacing * int(placements.size() - 1);
    for (const ControlPlacement& placement : placements) {
        heights.push_back(placement.height > 0 ? pixels(placement.height) : 0);
        fixed += heights.back();
    }
    const auto rests = std::count_if(placements.begin(), placements.end(),
                                     [](const ControlPlacement& placement) { return placement.height <= 0; });
    const int rest = rests ? std::max(0, int(area.bottom - area.top) - fixed) / int(rests) : 0;
    std::vector<RECT> rects;
    LONG top = area.top;
    for (size_t i = 0; i < placements.size(); ++i) {
        const int height = placements[i].height > 0 ? heights[i] : rest;
        rects.push_back({area.left, top, area.right, top + height});
        top += height + spacing;
    }
    return rects;
}

} // namespace DemoHost
