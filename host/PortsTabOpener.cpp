#include "host/PortsTabOpener.h"

#include "host/AddPortOpener.h"
#include "host/ListRows.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace DemoHost {

namespace {

void Click(HWND window, int id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

// The control sets its Disable button by the selected port's state as the selection changes.
bool ConfirmDisable(HWND window, const Fw::ListView& rows) {
    const HWND disable = ::GetDlgItem(window, IDC_PORT_CONFIG_DISABLE);
    for (int row = 0; row < rows.GetItemCount(); ++row) {
        if (SelectRow(rows, rows.GetItemData(row)) < 0 || !::IsWindowEnabled(disable))
            continue;
        ::RegDeleteKeyA(HKEY_CURRENT_USER, disablePortAnswerKey);
        Click(window, IDC_PORT_CONFIG_DISABLE);
        return true;
    }
    return false;
}

} // namespace

bool OpenOnPortsTab(std::span<const PlacedControl> controls, IUnknown*, OpenTarget target) {
    if (target == OpenTarget::PortSelect) {
        const HWND view = ControlAnswering<IOstrelPortViewCtrl>(controls).window;
        const HWND browse = view ? ::GetDlgItem(view, IDC_PORT_VIEW_BROWSE) : nullptr;
        if (!browse || !::IsWindowVisible(browse) || !::IsWindowEnabled(browse))
            return false;
        Click(view, IDC_PORT_VIEW_BROWSE);
        return true;
    }
    const HWND config = ControlAnswering<IOstrelPortConfigCtrl>(controls).window;
    if (!config)
        return false;
    if (IsAddPortTarget(target))
        return OpenAddPort(config, target);
    const Fw::ListView rows = ListRows(::GetDlgItem(config, IDC_PORT_CONFIG_LIST));
    if (!rows.Exists() || rows.GetItemCount() == 0)
        return false;
    return target != OpenTarget::Confirm || ConfirmDisable(config, rows);
}

} // namespace DemoHost
