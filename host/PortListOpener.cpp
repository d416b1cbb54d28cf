#include "host/PortListOpener.h"

#include "foundation/Com/Failure.h"
#include "foundation/ServerCodes.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/windows/ListView.h"
#include "host/ListRows.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/OwnedRecord.h"

#include <comdef.h>
#include <wrl/client.h>

#include <algorithm>
#include <vector>

namespace DemoHost {

namespace {

using Microsoft::WRL::ComPtr;

std::vector<PortFacts> ServedPorts(IUnknown* agentObject) {
    // The ids come from the agent's first interface, what is known of each port from the second.
    const ComPtr<IOstrelConfigAgent> agent = Com::Query<IOstrelConfigAgent>(agentObject);
    const ComPtr<IOstrelConfigAgentEx> agentEx = Com::Query<IOstrelConfigAgentEx>(agentObject);
    if (!agent || !agentEx)
        return {};
    short count = 0;
    Win32::UniqueSafeArray ids;
    Com::ThrowIfFailed(agent->GetPortIds(&count, ids.put()));
    std::vector<PortFacts> ports;
    const Win32::SafeArrayAccess<short> access(ids.get());
    for (const short id : access.First(count)) {
        Server::OwnedRecord<OstrelPortConfigEx> config;
        if (FAILED(agentEx->GetPortConfigEx(id, config.put())))
            continue;
        Win32::UniqueBstr image;
        const bool namesImage =
            SUCCEEDED(agentEx->GetZelkorXmlFile(id, image.put())) && ::SysStringLen(image.get()) > 0;
        ports.push_back({id, config->portState, config->linkType, namesImage});
    }
    return ports;
}

} // namespace

short ChoosePort(std::span<const PortFacts> ports, OpenTarget target) {
    const auto first = [&](auto fits) {
        const auto found = std::find_if(ports.begin(), ports.end(), fits);
        return found == ports.end() ? short(0) : found->id;
    };
    const short serial =
        first([](const PortFacts& port) { return port.state == portEnabled && port.link == linkSerial; });
    if (target != OpenTarget::Zelkor)
        return serial;
    const short zelkor = first([](const PortFacts& port) { return port.namesZelkorImage; });
    return zelkor ? zelkor : serial;
}

bool OpenOnPortList(IUnknown* control, HWND window, IUnknown*, OpenTarget target) {
    try {
        const ComPtr<IUnknown> agentObject = ListAgent<IOstrelPortList>(control);
        if (!agentObject)
            return false;
        const short portId = ChoosePort(ServedPorts(agentObject.Get()), target);
        const Fw::ListView rows = ListRows(window);
        const int row = portId != 0 ? SelectRow(rows, portId) : -1;
        if (row < 0)
            return false;
        if (target == OpenTarget::Menu) {
            // A right click at the foot of the row's name: the menu opens below it and leaves the
            // row in sight. The list follows the pointer after the press until a button message
            // comes, so the release is queued behind it.
            const RECT name = rows.GetItemRect(row, LVIR_LABEL);
            const LPARAM at = MAKELPARAM(name.right - 2, name.bottom - 1);
            ::PostMessageA(rows.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, at);
            ::PostMessageA(rows.Handle(), WM_RBUTTONUP, 0, at);
        } else {
            // A command without a control is a menu's: the list runs it for the selected row.
            const UINT command =
                target == OpenTarget::Zelkor ? ID_PORT_ZELKOR_CONFIGURATION : ID_PORT_PROPERTIES;
            ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        }
        return true;
    } catch (const _com_error&) {
        // The server not answering yet reads as a list not filled yet.
        return false;
    }
}

} // namespace DemoHost
