#include "host/AddPortOpener.h"

#include "interfaces/OstrelUITools.h"
#include "ports/AddPortCommand.h"
#include "ports/AddPortDialog.h"

#include <comdef.h>
#include <commctrl.h>
#include <wrl/client.h>

namespace DemoHost {

namespace {

using Microsoft::WRL::ComPtr;

// How long the dialog is given to fill its list before the demo plays the user's part.
constexpr UINT userPauseMs = 500;

struct PendingCommand {
    ComPtr<IOstrelServer> server;
    ComPtr<IUnknown> agent;
    HWND window = nullptr;
    OpenTarget target = OpenTarget::None;
};
PendingCommand pending;

void Select(HWND dialog, int id, UINT code) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// What a user does in the open dialog: picks the first port, or turns to the connection page and
// names a machine.
void CALLBACK PlayUser(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const HWND dialog = ::GetActiveWindow();
    if (!::GetDlgItem(dialog, IDC_ADD_PORT_TABS))
        return;
    if (pending.target == OpenTarget::NewPort) {
        ::SendDlgItemMessageA(dialog, IDC_ADD_PORT_LIST, LB_SETCURSEL, 0, 0);
        Select(dialog, IDC_ADD_PORT_LIST, LBN_SELCHANGE);
        return;
    }
    const HWND tabs = ::GetDlgItem(dialog, IDC_ADD_PORT_TABS);
    TabCtrl_SetCurSel(tabs, AddPortDialog::outgoingPage);
    NMHDR changed = {tabs, IDC_ADD_PORT_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageA(dialog, WM_NOTIFY, IDC_ADD_PORT_TABS, reinterpret_cast<LPARAM>(&changed));
    ::SetDlgItemTextA(dialog, IDC_ADD_PORT_NAME, "bench-host");
    ::SetDlgItemTextA(dialog, IDC_ADD_PORT_LABEL, "5000");
}

void CALLBACK RunCommand(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    ::SetTimer(nullptr, 0, userPauseMs, PlayUser);
    try {
        AddPortThroughDialog(pending.server.Get(), pending.agent.Get(), pending.window);
    } catch (const _com_error&) {
        // A server without a port manager: the dialog cannot be made, and the demo shows nothing.
    }
    pending = {};
}

} // namespace

bool IsAddPortTarget(OpenTarget target) {
    return target == OpenTarget::NewPort || target == OpenTarget::OutgoingConnection;
}

bool OpenAddPort(IUnknown* control, HWND window, IUnknown* server, OpenTarget target) {
    ComPtr<IOstrelPortList> list;
    ComPtr<IUnknown> agent;
    ComPtr<IOstrelServer> ostrelServer;
    if (FAILED(control->QueryInterface(IID_PPV_ARGS(&list))) || FAILED(list->GetConfigAgent(&agent)) ||
        !agent || FAILED(server->QueryInterface(IID_PPV_ARGS(&ostrelServer))))
        return false;
    pending = {ostrelServer, agent, window, target};
    // Not from inside the caller's timer: the dialog's message loop would deliver it again.
    ::SetTimer(nullptr, 0, 0, RunCommand);
    return true;
}

} // namespace DemoHost
