#include "ports/PortConfigCtrl.h"

#include "foundation/Lang/Text.h"
#include "foundation/ServerCodes.h"
#include "framework/com/Boundary.h"
#include "ports/AddPortCommand.h"
#include "ports/MomDialog.h"
#include "server/OwnedRecord.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int commandButtons[] = {IDC_PORT_CONFIG_ENABLE, IDC_PORT_CONFIG_DISABLE, IDC_PORT_CONFIG_REMOVE};

// An application holds the phone for itself; the server will not let its port go.
constexpr long phoneLockedForExclusiveAccess = 1;

std::string ResourceText(UINT id) {
    return Fw::Module::Current().String(id);
}

BOOL CALLBACK PassSysColorChange(HWND child, LPARAM) {
    ::SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

} // namespace

// --- IOstrelPortConfigCtrl ------------------------------------------------------------------

HRESULT COstrelPortConfigCtrl::Startup() {
    return Fw::Boundary([&] {
        if (const auto list = Child<IOstrelPortList>(listId))
            list->Startup();
    });
}

HRESULT COstrelPortConfigCtrl::Shutdown() {
    return Fw::Boundary([&] {
        if (const auto list = Child<IOstrelPortList>(listId))
            list->Shutdown();
    });
}

HRESULT COstrelPortConfigCtrl::Initialize(IUnknown* pConfigAgentUnk) {
    return Fw::Boundary([&] {
        // The server is given on its own, for the add command; the agent is what the list shows.
        if (ComPtr<IOstrelServer> server;
            pConfigAgentUnk && SUCCEEDED(pConfigAgentUnk->QueryInterface(IID_PPV_ARGS(&server))) && server) {
            m_server = server;
            return;
        }
        m_agent.Reset();
        if (pConfigAgentUnk)
            pConfigAgentUnk->QueryInterface(IID_PPV_ARGS(&m_agent));
        if (const auto list = Child<IOstrelPortList>(listId)) {
            list->InitializeList(pConfigAgentUnk);
            list->ShowPropertiesOnDoubleClick(1);
        }
        UpdateButtons();
    });
}

HRESULT COstrelPortConfigCtrl::RefreshDisplay() {
    return Fw::Boundary([&] {
        if (const auto list = Child<IOstrelPortList>(listId))
            list->RefreshDisplay();
        UpdateButtons();
    });
}

// --- the buttons ----------------------------------------------------------------------------

void COstrelPortConfigCtrl::UpdateButtons() {
    const auto list = Child<IOstrelPortList>(listId);
    short state = -1;
    if (!list || FAILED(list->GetSelectedPortState(&state)) || state == -1) {
        for (const int id : commandButtons)
            Button(id).Enable(false);
        return;
    }
    bool offersEnable = false;
    switch (state) {
    case portNotAvailable:
    case portPending:
    case portDisabled:
        offersEnable = true;
        break;
    case portEnabled:
    case portWaiting:
        break;
    default:
        // A state this control does not know leaves the buttons as they are.
        return;
    }
    Button(IDC_PORT_CONFIG_ENABLE).Enable(offersEnable);
    Button(IDC_PORT_CONFIG_DISABLE).Enable(!offersEnable);
    Button(IDC_PORT_CONFIG_REMOVE).Enable(true);
}

LRESULT COstrelPortConfigCtrl::OnListItemChanged(NMHDR* header) {
    if (reinterpret_cast<const NMLISTVIEW*>(header)->uChanged & LVIF_STATE)
        UpdateButtons();
    return 0;
}

void COstrelPortConfigCtrl::ShowMessage(const std::string& text, UINT captionId, UINT type) const {
    ::MessageBoxA(m_hWnd, text.c_str(), ResourceText(captionId).c_str(), type);
}

short COstrelPortConfigCtrl::SelectedPort(UINT captionId) {
    long portId = 0;
    if (const auto list = Child<IOstrelPortList>(listId))
        list->GetSelectedPort(&portId);
    if (portId == 0)
        ShowMessage(ResourceText(IDS_NO_PORT_SELECTED), captionId, MB_OK);
    return static_cast<short>(portId);
}

void COstrelPortConfigCtrl::OnAdd(UINT, UINT, HWND) {
    // Raises without a server: the dialog has nowhere to ask which local ports it may offer.
    AddPortThroughDialog(m_server.Get(), m_agent.Get(), m_hWnd);
}

void COstrelPortConfigCtrl::OnEnable(UINT, UINT, HWND) {
    if (!m_agent)
        return;
    const short portId = SelectedPort(IDS_PORT_ENABLE_CAPTION);
    if (portId == 0)
        return;
    const HRESULT status = m_agent->EnablePort(portId);
    if (status != S_OK)
        ShowMessage(
            Lang::Format(ResourceText(IDS_ENABLE_SELECTED_PORT_FAILED).c_str(), static_cast<int>(status)),
            IDS_ENABLE_PORT_FAILED_CAPTION, MB_OK | MB_ICONERROR);
}

void COstrelPortConfigCtrl::OnDisable(UINT, UINT, HWND) {
    const short portId = SelectedPort(IDS_PORT_DISABLE_CAPTION);
    if (portId == 0)
        return;
    // A locked phone would be cut off mid-session: refused outright, never asked about.
    if (Server::OwnedRecord<OstrelPhoneInfo> phone;
        m_agent && SUCCEEDED(m_agent->GetPortPhoneInfo(portId, phone.put())) &&
        phone->locked == phoneLockedForExclusiveAccess) {
        ShowMessage(ResourceText(IDS_DISABLE_LOCKED_PORT), IDS_DISABLE_PORT_CAPTION, MB_OK | MB_ICONERROR);
        return;
    }
    if (!CMomDialog(CMomDialog::disablePort).Confirm() || !m_agent)
        return;
    const HRESULT status = m_agent->DisablePort(portId);
    if (status != S_OK)
        ShowMessage(
            Lang::Format(ResourceText(IDS_PORT_DISABLE_FAILED).c_str(), static_cast<unsigned>(status)),
            IDS_PORT_DISABLE_CAPTION, MB_OK);
}

void COstrelPortConfigCtrl::OnRemove(UINT, UINT, HWND) {
    const short portId = SelectedPort(IDS_PORT_REMOVE_CAPTION);
    if (portId == 0)
        return;
    // The list hears of the removal from the server; a failure leaves the row, which says enough.
    if (CMomDialog(CMomDialog::removePort).Confirm() && m_agent)
        m_agent->RemovePort(portId);
}

// --- the face -------------------------------------------------------------------------------

bool COstrelPortConfigCtrl::OnInitDialog(HWND) {
    // The list passes its item changes to its parent's parent, which is where a host window
    // between the face and the list would put this face; embedded directly, the face names itself.
    if (const auto list = Child<IOstrelPortList>(listId))
        list->SetNotificationWindow(static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(m_hWnd)));
    return false;
}

void COstrelPortConfigCtrl::OnSize(UINT type, SIZE client) {
    if (type == SIZE_MINIMIZED || type == SIZE_MAXHIDE)
        return;
    auto* list = ChildSite(listId);
    const Fw::Window add = Button(IDC_PORT_CONFIG_ADD);
    if (!list || !add)
        return;
    const int marginX = 4 * ::GetSystemMetrics(SM_CXBORDER);
    const int marginY = 4 * ::GetSystemMetrics(SM_CYBORDER);
    const RECT addPlace = add.RectInParent();
    const int width = addPlace.right - addPlace.left, height = addPlace.bottom - addPlace.top;
    const int top = client.cy - height - marginY;
    const auto place = [&](int id, int x) { Button(id).Move({x, top, x + width, top + height}); };
    place(IDC_PORT_CONFIG_ENABLE, marginX);
    place(IDC_PORT_CONFIG_DISABLE, width + 3 * marginX);
    place(IDC_PORT_CONFIG_REMOVE, 2 * width + 5 * marginX);
    place(IDC_PORT_CONFIG_ADD, client.cx - width - marginX);
    list->SetRect(
        {marginX, marginY, marginX + client.cx - 2 * marginY, marginY + client.cy - 4 * marginY - height});
}

void COstrelPortConfigCtrl::OnSysColorChange() {
    if (const auto* list = ChildSite(listId))
        ::EnumChildWindows(list->Window(), &PassSysColorChange, 0);
}
