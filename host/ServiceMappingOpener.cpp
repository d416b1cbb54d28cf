#include "host/ServiceMappingOpener.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "host/ListRows.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"
#include "servicemap/ServiceMap.h"

#include <comdef.h>
#include <wrl/client.h>

namespace DemoHost {

namespace {

using Microsoft::WRL::ComPtr;

// IOstrelPort::GetPortObject's kind for the phone's file system.
constexpr long fileSystemObject = 17;
constexpr long readMode = 0;

// The edit the demo plays: a service the bench phones leave unassigned, onto a device it may go
// to, where it takes DATA's place; DATA stays offered, as it always is.
constexpr char draggedService[] = "BT HCI";
constexpr char targetDevice[] = "USB MDM";

// How often the dialog is looked for, and for how long, before the demo gives up on the edit.
constexpr UINT lookMs = 250;
constexpr int lookLimit = 40;
// The drag loop's steps: the cursor is moved onto the device at the second, the button let go at
// the fifth, as a hand would after a pause over the drop point.
constexpr UINT dragStepMs = 60;
constexpr int moveStep = 2;
constexpr int releaseStep = 5;

int looks = 0;
POINT dropPoint = {};
int dragSteps = 0;

// The row whose first column reads `text`; -1 for none.
int RowShowing(const Fw::ListView& rows, const char* text) {
    for (int row = 0; row < rows.GetItemCount(); ++row)
        if (rows.GetItemText(row, 0) == text)
            return row;
    return -1;
}

POINT Centre(const Fw::ListView& rows, int row) {
    const RECT label = rows.GetItemRect(row, LVIR_LABEL);
    POINT point = {(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    ::ClientToScreen(rows.Handle(), &point);
    return point;
}

void SetLeftButton(bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

// Runs inside the platform's drag loop, which reads the cursor and the button from the thread.
void CALLBACK StepDrag(HWND, UINT, UINT_PTR, DWORD) {
    if (++dragSteps == moveStep)
        ::SetCursorPos(dropPoint.x, dropPoint.y);
    else if (dragSteps == releaseStep)
        SetLeftButton(false);
}

// The press on the service's row, the move onto the device's and the release: the pool list
// starts its drag loop on the list view's begin-drag notice, as it does under a real mouse.
void Drag(const Fw::ListView& services, int row, const Fw::ListView& devices, int onto) {
    devices.EnsureVisible(onto);
    services.EnsureVisible(row);
    services.SelectItem(row);
    services.SetSelectionMark(row);
    dropPoint = Centre(devices, onto);
    const POINT start = Centre(services, row);
    ::SetCursorPos(start.x, start.y);
    SetLeftButton(true);
    dragSteps = 0;
    const UINT_PTR steps = ::SetTimer(nullptr, 0, dragStepMs, StepDrag);
    NMLISTVIEW begin = {};
    begin.hdr = {services.Handle(), static_cast<UINT_PTR>(::GetDlgCtrlID(services.Handle())),
                 static_cast<UINT>(LVN_BEGINDRAG)};
    begin.iItem = row;
    ::SendMessageA(::GetParent(services.Handle()), WM_NOTIFY, begin.hdr.idFrom,
                   reinterpret_cast<LPARAM>(&begin));
    ::KillTimer(nullptr, steps);
    SetLeftButton(false);
}

// Once the dialog is up with the phone's map in its lists: the drag, then the device's row
// selected with the focus in its list, so that the picture shows where the service went.
void CALLBACK PlayUser(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = ::GetActiveWindow();
    const Fw::ListView devices = ListRows(::GetDlgItem(dialog, IDC_SERVICE_MAPPING_ASSIGNED));
    const Fw::ListView services = ListRows(::GetDlgItem(dialog, IDC_SERVICE_MAPPING_POOL));
    const int row = services.Exists() ? RowShowing(services, draggedService) : -1;
    const int onto = devices.Exists() ? RowShowing(devices, targetDevice) : -1;
    if ((row < 0 || onto < 0) && ++looks < lookLimit)
        return;
    ::KillTimer(nullptr, timer);
    if (row < 0 || onto < 0)
        return;
    Drag(services, row, devices, onto);
    devices.SelectItem(onto);
    devices.SetSelectionMark(onto);
    ::SetFocus(devices.Handle());
}

} // namespace

bool HoldsServiceMap(IUnknown* server, long portId) {
    try {
        ComPtr<IOstrelPortManager> manager;
        Com::Call(Com::Query<IOstrelServer>(server), &IOstrelServer::GetPortManager, &manager);
        ComPtr<IOstrelPort> port;
        Com::Call(manager, &IOstrelPortManager::GetPort, static_cast<short>(portId), &port);
        ComPtr<IUnknown> object;
        Com::Call(Com::ThrowIfNull(port.Get()), &IOstrelPort::GetPortObject, fileSystemObject, 0L, &object);
        const ComPtr<IPhoneEfs> efs = Com::Query<IPhoneEfs>(Com::ThrowIfNull(object.Get()));
        long present = 0;
        Com::Call(Com::ThrowIfNull(efs.Get()), &IPhoneEfs::IsEfsPresent, &present);
        if (!present)
            return false;
        const Win32::UniqueBstr path(Lang::ToBstr(ServiceMap::fileName));
        ComPtr<IUnknown> file;
        return SUCCEEDED(efs->OpenFile(path.get(), readMode, &file)) && file;
    } catch (const _com_error&) {
        return false;
    }
}

void OpenServiceMapping(HWND list) {
    looks = 0;
    ::SetTimer(nullptr, 0, lookMs, PlayUser);
    ::PostMessageA(list, WM_COMMAND, MAKEWPARAM(ID_PHONE_SERVICE_MAPPING, 0), 0);
}

} // namespace DemoHost
