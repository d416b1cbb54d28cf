#include "connection/PhoneServerCtrl.h"

#include "foundation/Lang/Text.h"
#include "foundation/Win32/WaitCursor.h"
#include "framework/com/Boundary.h"
#include "server/MachineConnection.h"

#include <comdef.h>

using Microsoft::WRL::ComPtr;

// --- IOstrelPhoneServerCtrl -----------------------------------------------------------------

HRESULT COstrelPhoneServerCtrl::Startup() {
    return Fw::Boundary([&] {
        if (const auto list = Child<IOstrelPhoneList>(listId))
            list->Startup();
        // The connection's failure shows as an empty list; Startup itself has done its part.
        if (const auto combo = Child<IOstrelServerCombo>(comboId)) {
            _bstr_t name;
            if (SUCCEEDED(combo->get_SelectedServer(name.GetAddress())))
                ConnectTo(Lang::FromBstr(name));
        }
    });
}

HRESULT COstrelPhoneServerCtrl::Shutdown() {
    return Fw::Boundary([&] {
        const auto list = Child<IOstrelPhoneList>(listId);
        return list ? list->Shutdown() : S_OK;
    });
}

HRESULT COstrelPhoneServerCtrl::DefaultServer(BSTR bStrOstrelServer) {
    return Fw::Boundary([&] {
        const auto combo = Child<IOstrelServerCombo>(comboId);
        return combo ? combo->put_SelectedServer(bStrOstrelServer) : E_FAIL;
    });
}

HRESULT COstrelPhoneServerCtrl::GetSelectedPhone(LONG* pESN, LONG* pPortID) {
    return Fw::Boundary(pESN, pPortID, [&] {
        const auto list = Child<IOstrelPhoneList>(listId);
        return list ? list->GetSelectedPhone(pESN, pPortID) : S_OK;
    });
}

HRESULT COstrelPhoneServerCtrl::get_SelectedServer(BSTR* pVal) {
    return Fw::Boundary(pVal, [&] {
        const auto combo = Child<IOstrelServerCombo>(comboId);
        return combo ? combo->get_SelectedServer(pVal) : E_FAIL;
    });
}

HRESULT COstrelPhoneServerCtrl::put_SelectedServer(BSTR newVal) {
    return Fw::Boundary([&] {
        const auto combo = Child<IOstrelServerCombo>(comboId);
        if (!combo)
            return E_FAIL;
        Com::ThrowIfFailed(combo->put_SelectedServer(newVal));
        return ConnectTo(Lang::FromBstr(newVal));
    });
}

HRESULT COstrelPhoneServerCtrl::GetShown(DISPID id, LONG* value) const {
    return Fw::Boundary(value, [&] { *value = m_shown[&Fw::FindProperty(shownFlags, id) - shownFlags]; });
}

HRESULT COstrelPhoneServerCtrl::PutShown(DISPID id, LONG value) {
    return Fw::Boundary([&] {
        const auto& flag = Fw::FindProperty(shownFlags, id);
        HRESULT listStatus = S_OK;
        if (const auto list = Child<IOstrelPhoneList>(listId))
            listStatus = (list.Get()->*flag.slot)(value);
        m_shown[&flag - shownFlags] = value;
        PropertyChanged(id);
        return listStatus;
    });
}

HRESULT COstrelPhoneServerCtrl::get_ShowPhoneTypeLabel(LONG* pVal) {
    return GetShown(DISPID_PHONESERVER_SHOWPHONETYPELABEL, pVal);
}
HRESULT COstrelPhoneServerCtrl::put_ShowPhoneTypeLabel(LONG newVal) {
    return PutShown(DISPID_PHONESERVER_SHOWPHONETYPELABEL, newVal);
}
HRESULT COstrelPhoneServerCtrl::get_ShowESNLabel(LONG* pVal) {
    return GetShown(DISPID_PHONESERVER_SHOWESNLABEL, pVal);
}
HRESULT COstrelPhoneServerCtrl::put_ShowESNLabel(LONG newVal) {
    return PutShown(DISPID_PHONESERVER_SHOWESNLABEL, newVal);
}
HRESULT COstrelPhoneServerCtrl::get_ShowBannerLabel(LONG* pVal) {
    return GetShown(DISPID_PHONESERVER_SHOWBANNERLABEL, pVal);
}
HRESULT COstrelPhoneServerCtrl::put_ShowBannerLabel(LONG newVal) {
    return PutShown(DISPID_PHONESERVER_SHOWBANNERLABEL, newVal);
}
HRESULT COstrelPhoneServerCtrl::get_ShowPortLabel(LONG* pVal) {
    return GetShown(DISPID_PHONESERVER_SHOWPORTLABEL, pVal);
}
HRESULT COstrelPhoneServerCtrl::put_ShowPortLabel(LONG newVal) {
    return PutShown(DISPID_PHONESERVER_SHOWPORTLABEL, newVal);
}
HRESULT COstrelPhoneServerCtrl::get_ShowServerLabel(LONG* pVal) {
    return GetShown(DISPID_PHONESERVER_SHOWSERVERLABEL, pVal);
}
HRESULT COstrelPhoneServerCtrl::put_ShowServerLabel(LONG newVal) {
    return PutShown(DISPID_PHONESERVER_SHOWSERVERLABEL, newVal);
}
HRESULT COstrelPhoneServerCtrl::get_ShowNumberLabel(LONG* pVal) {
    return GetShown(DISPID_PHONESERVER_SHOWNUMBERLABEL, pVal);
}
HRESULT COstrelPhoneServerCtrl::put_ShowNumberLabel(LONG newVal) {
    return PutShown(DISPID_PHONESERVER_SHOWNUMBERLABEL, newVal);
}

// --- connecting -----------------------------------------------------------------------------

HRESULT COstrelPhoneServerCtrl::ConnectTo(const std::string& machine) {
    const auto list = Child<IOstrelPhoneList>(listId);
    if (!list)
        return S_OK;
    const Win32::WaitCursor wait;
    ComPtr<IOstrelConfigAgent> agent;
    const HRESULT status = ConnectToMachine(machine, &agent);
    list->InitializeList(agent.Get());
    if (SUCCEEDED(status))
        if (const auto combo = Child<IOstrelServerCombo>(comboId))
            combo->put_SelectedServer(_bstr_t(machine.c_str()));
    return status;
}

void COstrelPhoneServerCtrl::OnServerChanged(const std::string& name) {
    // The combo's closing drop-down list leaves its trace on whatever lies under it.
    if (const auto* list = ChildSite(listId))
        ::SetWindowPos(list->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const int id : {labelId, comboId, buttonId})
        ::RedrawWindow(::GetDlgItem(m_hWnd, id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ConnectTo(name);
}

void COstrelPhoneServerCtrl::OnServerSelChanged(const std::string& name) {
    // Shown in the combo's edit field while it connects; it joins the combo's list only once the
    // connection succeeded.
    if (const auto* combo = ChildSite(comboId))
        ::SetWindowTextA(combo->Window(), name.c_str());
    ConnectTo(name);
}

// --- the face -------------------------------------------------------------------------------

bool COstrelPhoneServerCtrl::OnInitDialog(HWND) {
    if (const auto list = Child<IOstrelPhoneList>(listId))
        for (size_t index = 0; index < std::size(shownFlags); ++index)
            (list.Get()->*shownFlags[index].slot)(m_shown[index]);
    // The template's height for the combo is its drop-down list's; the control is one field high.
    if (auto* combo = ChildSite(comboId)) {
        LONG height = 0;
        if (const auto server = combo->Control<IOstrelServerCombo>();
            server && SUCCEEDED(server->get_drawSizeHeight(&height))) {
            RECT place = combo->Rect();
            place.bottom = place.top + height;
            combo->SetRect(place);
        }
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return false;
}

void COstrelPhoneServerCtrl::OnSize(UINT type, SIZE client) {
    if (type == SIZE_MINIMIZED || type == SIZE_MAXHIDE)
        return;
    auto* combo = ChildSite(comboId);
    auto* button = ChildSite(buttonId);
    auto* list = ChildSite(listId);
    const HWND label = ::GetDlgItem(m_hWnd, labelId);
    if (!combo || !button || !list || !label)
        return;
    const int marginX = 4 * ::GetSystemMetrics(SM_CXBORDER);
    const int marginY = 4 * ::GetSystemMetrics(SM_CYBORDER);
    const auto moved = [](RECT place, int x, int y) {
        ::OffsetRect(&place, x - place.left, y - place.top);
        return place;
    };
    const RECT text = moved(Fw::Window(label).RectInParent(), marginX, marginY);
    ::MoveWindow(label, text.left, text.top, text.right - text.left, text.bottom - text.top, TRUE);
    const RECT field = moved(combo->Rect(), marginX, text.bottom);
    combo->SetRect(field);
    const RECT browse = moved(button->Rect(), (field.right - field.left) + 2 * marginX, field.top);
    button->SetRect(browse);
    const int listTop = field.top + (browse.bottom - browse.top) + 2 * marginY;
    list->SetRect({marginX, listTop, client.cx - marginX, client.cy});
}
