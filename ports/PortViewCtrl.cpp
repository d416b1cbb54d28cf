#include "ports/PortViewCtrl.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Boundary.h"
#include "framework/com/ComObject.h"
#include "lists/ListViewWindow.h"
#include "ports/PortSelectDlg.h"
#include "server/ServerEventSink.h"

using Microsoft::WRL::ComPtr;

namespace {

// IOstrelPort::GetPortObject's kind for the phone on the port.
constexpr long phoneObject = 7;

} // namespace

HRESULT COstrelPortViewCtrl::FinalConstruct() {
    const HRESULT status = Fw::Object<ServerEventSink>::Create(nullptr, IID_PPV_ARGS(&m_sinkObject));
    if (FAILED(status))
        return status;
    m_sink = static_cast<ServerEventSink*>(m_sinkObject.Get());
    // Every reaction of the port view is its own refresh, made while the server's call lasts;
    // nothing is posted, so the sink needs no window.
    m_sink->Bind(ViewKind::PortView, nullptr, [this](const ServerEventRoute& route, short objectId, short) {
        OnServerEvent(route.action, objectId);
    });
    return m_marshaler.Aggregate(static_cast<IOstrelPortViewCtrl*>(this));
}

COstrelPortViewCtrl::~COstrelPortViewCtrl() {
    Unadvise();
    // The server may hold the sink a while longer: it must not reach this control any more.
    if (m_sink)
        m_sink->Unbind();
}

// --- IOstrelPortViewCtrl --------------------------------------------------------------------

HRESULT COstrelPortViewCtrl::InitializePortCtrl(IUnknown* pOstrelServer, BSTR portName, LONG addBrowseButton,
                                                LONG autoUpdateOn) {
    return Fw::Boundary([&] {
        if (!pOstrelServer)
            return E_FAIL;
        if (m_hWnd)
            PlaceBrowseButton(addBrowseButton != 0);
        ComPtr<IOstrelServer> server;
        ComPtr<IConnectionPointContainer> source;
        if (FAILED(pOstrelServer->QueryInterface(IID_PPV_ARGS(&server))) || !server ||
            FAILED(pOstrelServer->QueryInterface(IID_PPV_ARGS(&source))) || !source)
            return E_FAIL;
        m_server = server;
        m_eventSource = source;
        const HRESULT shown = SetPortByName(portName);
        if (autoUpdateOn != 1)
            return shown;
        // The control keeps one connection: a repeated call with automatic update lets go of the
        // earlier one (perhaps to another server) before it advises anew, so that no event is
        // heard twice and no server keeps a sink the control has forgotten.
        Unadvise();
        ComPtr<IConnectionPoint> point;
        Com::Call(m_eventSource, &IConnectionPointContainer::FindConnectionPoint, IID_IOstrelServerEvents,
                  &point);
        DWORD cookie = 0;
        const HRESULT advised = Com::ThrowIfNull(point.Get())->Advise(m_sinkObject.Get(), &cookie);
        if (SUCCEEDED(advised)) {
            m_eventPoint = point;
            m_cookie = cookie;
        }
        return advised;
    });
}

HRESULT COstrelPortViewCtrl::SetPortByName(BSTR pVal) {
    return Fw::Boundary([&] {
        ComPtr<IOstrelPortManager> manager;
        if (!m_server || FAILED(m_server->GetPortManager(&manager)) || !manager)
            return E_FAIL;
        ComPtr<IOstrelPortLookup> lookup;
        short portId = 0;
        if (FAILED(manager->GetPortLookup(&lookup)) || !lookup ||
            FAILED(lookup->GetPortIdByName(pVal, &portId)))
            portId = 0;
        return SetPortById(portId);
    });
}

HRESULT COstrelPortViewCtrl::SetPortById(short portId) {
    return Fw::Boundary([&] {
        m_portId = portId;
        return Refresh(m_refreshType);
    });
}

HRESULT COstrelPortViewCtrl::Refresh(int rfType) {
    return Fw::Boundary([&] {
        if (!m_server)
            return E_FAIL;
        m_refreshType = rfType;
        m_modelNumber = 0;
        m_modelText = _bstr_t();
        m_phoneText = _bstr_t();
        m_esn = -1;
        m_esnText = _bstr_t();
        m_authorised = false;

        ComPtr<IOstrelPortManager> manager;
        Com::Call(m_server, &IOstrelServer::GetPortManager, &manager);
        ComPtr<IOstrelPortLookup> lookup;
        Com::Call(Com::ThrowIfNull(manager.Get()), &IOstrelPortManager::GetPortLookup, &lookup);
        Com::ThrowIfNull(lookup.Get());
        if (!FindShownPort(manager.Get(), lookup.Get())) {
            m_state = noPorts;
            m_portName = _bstr_t();
        } else {
            try {
                ReadPort(manager.Get());
            } catch (const _com_error&) {
                // A port whose details cannot be read is still named, as the lookup knows it.
                _bstr_t name;
                m_portName =
                    SUCCEEDED(lookup->GetPortNameById(m_portId, name.GetAddress())) ? name : _bstr_t();
                m_state = unavailablePort;
            }
        }
        Redraw();
        return S_OK;
    });
}

HRESULT COstrelPortViewCtrl::GetPortNameString(BSTR* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_portName.copy(); });
}

HRESULT COstrelPortViewCtrl::GetPortId(short* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_portId; });
}

HRESULT COstrelPortViewCtrl::GetPortState(portState* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_state; });
}

HRESULT COstrelPortViewCtrl::GetModelNumber(unsigned short* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_modelNumber; });
}

HRESULT COstrelPortViewCtrl::GetModelString(BSTR* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_modelText.copy(); });
}

HRESULT COstrelPortViewCtrl::GetServerOfPort(IUnknown** pVal) {
    return Fw::Boundary(pVal, [&] {
        if (m_server)
            Com::ThrowIfFailed(m_server.CopyTo(IID_IUnknown, reinterpret_cast<void**>(pVal)));
    });
}

HRESULT COstrelPortViewCtrl::GetEsnString(BSTR* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_esnText.copy(); });
}

HRESULT COstrelPortViewCtrl::IsPhoneAuthorized(LONG* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_authorised ? 1 : 0; });
}

HRESULT COstrelPortViewCtrl::IsPhoneLocked(LONG* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = m_locked ? 1 : 0; });
}

HRESULT COstrelPortViewCtrl::EnableButton(LONG pVal) {
    return Fw::Boundary([&] {
        if (m_hWnd)
            ::EnableWindow(::GetDlgItem(m_hWnd, browseId), pVal != 0);
    });
}

// --- reading the port -----------------------------------------------------------------------

bool COstrelPortViewCtrl::FindShownPort(IOstrelPortManager* manager, IOstrelPortLookup* lookup) {
    ComPtr<IUnknown> known;
    if (SUCCEEDED(manager->FindPort(m_portId, &known)) && known)
        return true;
    // A port the server does not know (or none chosen yet) gives way to the server's first.
    ComPtr<IEnumOstrelPortId> ids;
    short count = 0;
    if (FAILED(lookup->EnumPortIds(&ids, &count)) || !ids || count <= 0)
        return false;
    SAFEARRAY* array = nullptr;
    long fetched = 0;
    const HRESULT status = ids->Next(1, &array, &fetched);
    const Win32::UniqueSafeArray owned(array);
    if (FAILED(status) || fetched < 1)
        return false;
    try {
        const Win32::SafeArrayAccess<unsigned short> first(array);
        if (first.Items().empty())
            return false;
        m_portId = static_cast<short>(first.Items().front());
        return true;
    } catch (const _com_error&) {
        return false;
    }
}

void COstrelPortViewCtrl::ReadPort(IOstrelPortManager* manager) {
    ComPtr<IOstrelPort> port;
    Com::Call(manager, &IOstrelPortManager::GetPort, m_portId, &port);
    Com::ThrowIfNull(port.Get());
    ComPtr<IUnknown> phoneUnknown;
    Com::Call(port, &IOstrelPort::GetPortObject, phoneObject, 0L, &phoneUnknown);
    const ComPtr<IOstrelPhone> phone = Com::Query<IOstrelPhone>(Com::ThrowIfNull(phoneUnknown.Get()));
    Com::ThrowIfNull(phone.Get(), E_NOINTERFACE);
    ComPtr<IOstrelPortDescriptor> descriptor;
    Com::Call(port, &IOstrelPort::GetPortDescriptor, &descriptor);
    _bstr_t name;
    Com::Call(Com::ThrowIfNull(descriptor.Get()), &IOstrelPortDescriptor::GetName, name.GetAddress());
    m_portName = name;
    unsigned char locked = 0;
    Com::Call(port, &IOstrelPort::IsLocked, &locked);
    m_locked = locked != 0;
    Com::Call(port, &IOstrelPort::GetPhoneKind, &m_phoneKind);
    _bstr_t meid;
    if (m_phoneKind == phoneKindMeid)
        Com::Call(phone, &IOstrelPhone::GetMeidText, meid.GetAddress());
    m_meidText = meid;

    long mode = 0;
    Com::Call(port, &IOstrelPort::GetPhoneMode, &mode);
    m_state = PortViewStateOfMode(mode);
    // A phone in download mode does not tell its ESN.
    if (m_state != downloadPort)
        Com::Call(phone, &IOstrelPhone::GetEsn, &m_esn);
    m_authorised = true;
    if (m_esn == -1)
        return;

    const ComPtr<IOstrelPhoneModel> model = Com::Query<IOstrelPhoneModel>(port.Get());
    Com::ThrowIfNull(model.Get(), E_NOINTERFACE);
    _bstr_t modelText;
    Com::Call(model, &IOstrelPhoneModel::ReadModelText, modelText.GetAddress());
    m_modelText = modelText;
    Com::Call(model, &IOstrelPhoneModel::ReadModelNumber, &m_modelNumber);
    _bstr_t phoneText;
    Com::Call(phone, &IOstrelPhone::GetPhoneText, phoneText.GetAddress());
    m_phoneText = phoneText;
    m_esnText = _bstr_t(Lang::Format("%08lX", static_cast<unsigned long>(m_esn)).c_str());
    Com::Call(model, &IOstrelPhoneModel::ReadPhoneStatus, &m_phoneStatus);
}

// --- the face -------------------------------------------------------------------------------

void COstrelPortViewCtrl::ShowFace() {
    if (!m_hWnd)
        return;
    const auto text = [](const _bstr_t& value) { return Lang::FromBstr(value); };
    PortViewReading reading;
    reading.state = m_state;
    reading.portName = text(m_portName);
    reading.modelText = text(m_modelText);
    reading.esnText = text(m_esnText);
    reading.phoneText = text(m_phoneText);
    reading.meidText = text(m_meidText);
    reading.esn = m_esn;
    reading.phoneKind = m_phoneKind;
    reading.refreshType = m_refreshType;
    reading.phoneStatus = m_phoneStatus;
    reading.locked = m_locked;
    reading.authorised = m_authorised;
    const PortViewFace face = PortViewFaceOf(reading);
    ::SetDlgItemTextA(m_hWnd, textId, face.text.c_str());
    // The module's icons are shared: loaded once, never destroyed by the control.
    const HICON icon = ::LoadIconA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(face.icon));
    ::SendDlgItemMessageA(m_hWnd, iconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void COstrelPortViewCtrl::Redraw() {
    ShowFace();
    Notify(redrawnCode);
}

// A host may give the control its server before activating it: the new face shows what was read.
bool COstrelPortViewCtrl::OnInitDialog(HWND) {
    if (m_server)
        ShowFace();
    return false;
}

void COstrelPortViewCtrl::Notify(UINT code) const {
    if (m_hWnd)
        NotifyHost(::GetParent(m_hWnd), m_hWnd, code);
}

void COstrelPortViewCtrl::PlaceBrowseButton(bool show) const {
    const HWND button = ::GetDlgItem(m_hWnd, browseId);
    const HWND text = ::GetDlgItem(m_hWnd, textId);
    if (!button || !text)
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const RECT place = Fw::Window(button).RectInParent();
    const int width = place.right - place.left;
    Fw::Window(button).Move({client.right - width, place.top, client.right, place.bottom});
    const RECT line = Fw::Window(text).RectInParent();
    Fw::Window(text).Move({line.left, line.top, client.right - width, line.bottom});
    if (show)
        ::ShowWindow(button, SW_SHOW);
}

void COstrelPortViewCtrl::OnBrowse(UINT, UINT, HWND) {
    if (!m_server)
        return;
    [[maybe_unused]] const auto alive = KeepAlive();
    try {
        CPortSelectDlg dialog(m_server.Get());
        if (dialog.Run(::GetActiveWindow()) != IDOK)
            return;
        SetPortById(static_cast<short>(dialog.PortId()));
        Notify(portChosenCode);
    } catch (const _com_error&) {
        // The user sees the port shown before; the host has nothing to hear.
    }
}

// --- server events --------------------------------------------------------------------------

void COstrelPortViewCtrl::OnServerEvent(ServerEventRoute::Action action, short objectId) {
    using Action = ServerEventRoute::Action;
    if (action != Action::RefreshPort && objectId != m_portId)
        return;
    [[maybe_unused]] const auto alive = KeepAlive();
    Refresh(m_refreshType);
    if (action == Action::RefreshOwnPortAndNotify)
        Notify(serverRefreshCode);
}

void COstrelPortViewCtrl::Unadvise() {
    if (m_eventPoint)
        m_eventPoint->Unadvise(m_cookie);
    m_eventPoint.Reset();
    m_cookie = 0;
}
