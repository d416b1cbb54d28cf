#include "host/ControlTabs.h"

#include "foundation/Com/Failure.h"
#include "host/resource.h"
#include "interfaces/OstrelUITools.h"

#include <comdef.h>
#include <wrl/client.h>

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

const ControlTab tabs[] = {
    {IDS_TAB_PORTLIST, &CLSID_OstrelPortList, "OstrelUITools.OstrelPortList", "PortList1", StartPortList,
     ShutDownPortList},
};

} // namespace

std::span<const ControlTab> ControlTabs() {
    return tabs;
}

} // namespace DemoHost
