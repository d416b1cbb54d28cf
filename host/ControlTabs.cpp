#include "host/ControlTabs.h"

#include "foundation/Com/Failure.h"
#include "host/AddPortOpener.h"
#include "host/PhoneListOpener.h"
#include "host/PortListOpener.h"
#include "host/resource.h"
#include "interfaces/OstrelUITools.h"

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

// The port list makes its own agent on the server it is given. StartupEx sets up the columns
// itself and refuses a list that is started already, so Startup is not called first.
void StartPortList(IUnknown* control, IUnknown* server) {
    Com::ThrowIfFailed(As<IOstrelPortList>(control)->StartupEx(server));
}

void ShutDownPortList(IUnknown* control) {
    Com::ThrowIfFailed(As<IOstrelPortList>(control)->Shutdown());
}

// The phone server control connects itself, to the machine its combo names: this computer at
// first, whose local server is the simulator the demo started (Wine reaches the local server
// whatever the name), so the server the host holds is not handed to it.
void StartPhoneServer(IUnknown* control, IUnknown*) {
    Com::ThrowIfFailed(As<IOstrelPhoneServerCtrl>(control)->Startup());
}

void ShutDownPhoneServer(IUnknown* control) {
    Com::ThrowIfFailed(As<IOstrelPhoneServerCtrl>(control)->Shutdown());
}

// The add-port dialog belongs to the port configuration control; until that lands it opens on the
// port list's agent.
bool OpenOnPortsTab(IUnknown* control, HWND window, IUnknown* server, OpenTarget target) {
    return IsAddPortTarget(target) ? OpenAddPort(control, window, server, target)
                                   : OpenOnPortList(control, window, server, target);
}

constexpr OpenTarget portListOpens[] = {OpenTarget::Menu, OpenTarget::Properties, OpenTarget::Zelkor,
                                        OpenTarget::NewPort, OpenTarget::OutgoingConnection};
constexpr OpenTarget phoneServerOpens[] = {OpenTarget::PhoneList, OpenTarget::PhoneProperties};

const ControlTab tabs[] = {
    {IDS_TAB_PORTLIST, &CLSID_OstrelPortList, "OstrelUITools.OstrelPortList", "PortList1", StartPortList,
     ShutDownPortList, portListOpens, OpenOnPortsTab},
    {IDS_TAB_PHONELIST, &CLSID_OstrelPhoneServerCtrl, "OstrelUITools.OstrelPhoneServerCtrl",
     "PhoneServerCtrl1", StartPhoneServer, ShutDownPhoneServer, phoneServerOpens, OpenOnPhoneServer},
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

} // namespace DemoHost
