#include "host/AddPortOpener.h"

#include "host/ListRows.h"
#include "ports/AddPortDialog.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace DemoHost {

namespace {

// How long the dialog is given to open and fill its list before the demo plays the user's part.
constexpr UINT userPauseMs = 500;

OpenTarget playing = OpenTarget::None;

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
    if (playing == OpenTarget::NewPort) {
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

} // namespace

bool IsAddPortTarget(OpenTarget target) {
    return target == OpenTarget::NewPort || target == OpenTarget::OutgoingConnection;
}

bool OpenAddPort(HWND window, OpenTarget target) {
    const Fw::ListView rows = ListRows(::GetDlgItem(window, IDC_PORT_CONFIG_LIST));
    if (!rows.Exists() || rows.GetItemCount() == 0)
        return false;
    playing = target;
    ::SetTimer(nullptr, 0, userPauseMs, PlayUser);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PORT_CONFIG_ADD, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, IDC_PORT_CONFIG_ADD)));
    return true;
}

} // namespace DemoHost
