#include "devicesim/SimConfigAgent.h"

#include "devicesim/SimRecords.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Boundary.h"

#include <algorithm>

namespace Sim {

namespace {

long RequireRange(long value, long low, long high) {
    if (value < low || value > high)
        Com::Throw(E_INVALIDARG);
    return value;
}

long Flag(bool value) {
    return value ? 1 : 0;
}

// Ports on USB are classified by the machine; a name the machine does not list is taken for a
// plain serial port, as the server would open it.
long LinkTypeOf(const SimState& state, const std::string& portName) {
    for (const LocalPort& local : state.localPorts)
        if (local.name == portName)
            return local.portClass == LocalPortClass::Serial ? linkSerial : linkUsb;
    return linkSerial;
}

} // namespace

SimConfigAgent::~SimConfigAgent() {
    if (m_core) {
        m_core->RemoveEventSource(this);
        // No events from a destructor: sinks would hear from a half-destroyed agent.
        if (m_objectId)
            m_core->RemoveAgentObject(m_objectId, false);
    }
}

void SimConfigAgent::Init(std::shared_ptr<SimCore> core, long cookie) {
    m_core = std::move(core);
    m_cookie = cookie;
    m_core->AddEventSource(static_cast<IOstrelConfigAgent*>(this), this);
}

void SimConfigAgent::Deactivate() {
    if (m_objectId)
        m_core->RemoveAgentObject(std::exchange(m_objectId, 0), true);
}

template <class Out, class Read>
HRESULT SimConfigAgent::ReadPort(const char* member, short portId, Out* out, Read read) {
    return Fw::Boundary(out, [&] {
        m_core->Enter(member, portId);
        *out = read(m_core->Port(portId));
    });
}

template <class Change>
HRESULT SimConfigAgent::ChangePort(const char* member, short portId, Change change) {
    return Fw::Boundary([&] {
        m_core->Enter(member, portId);
        change(m_core->Port(portId));
        m_core->PortSettingsChanged(portId);
    });
}

// --- IOstrelConfigAgent --------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetObjectIds(long lTypeMask, short* psCount, SAFEARRAY** ppsaIds) {
    return Fw::Boundary(psCount, ppsaIds, [&] {
        m_core->Enter("GetObjectIds");
        const std::vector<short> ids = ObjectIds(m_core->State(), lTypeMask);
        *ppsaIds = ShortArray(ids);
        *psCount = static_cast<short>(ids.size());
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetObjectInfo(short sObjectId, OstrelObjectInfo* pInfo) {
    return Fw::Boundary(pInfo, [&] {
        m_core->Enter("GetObjectInfo");
        if (!FillObjectInfo(m_core->State(), sObjectId, *pInfo))
            Com::Throw(Status::UnknownId);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetClientInfo(short sClientId, OstrelClientInfo* pInfo) {
    return Fw::Boundary(pInfo, [&] {
        m_core->Enter("GetClientInfo");
        const SimClient* client = m_core->State().findClient(sClientId);
        if (!client)
            Com::Throw(Status::UnknownId);
        FillClientInfo(*client, *pInfo);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPhoneInfo(short sPhoneId, OstrelPhoneInfo* pInfo) {
    return Fw::Boundary(pInfo, [&] {
        m_core->Enter("GetPhoneInfo");
        FillPhoneInfo(m_core->Phone(sPhoneId), *pInfo);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPortPhoneInfo(short sPortId, OstrelPhoneInfo* pInfo) {
    return Fw::Boundary(pInfo, [&] {
        m_core->Enter("GetPortPhoneInfo", sPortId);
        const SimPort& port = m_core->Port(sPortId);
        const SimPhone* phone = m_core->State().phoneOnPort(sPortId);
        if (!phone) {
            // The views show "TPB" for a platform device that answers no phone query.
            pInfo->portId = port.id;
            pInfo->platformDevice = Flag(port.platformDevice);
            return Status::NoPhone;
        }
        FillPhoneInfo(*phone, *pInfo);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPortInfo(short sPortId, OstrelPortInfo* pInfo) {
    return Fw::Boundary(pInfo, [&] {
        m_core->Enter("GetPortInfo", sPortId);
        FillPortInfo(m_core->Port(sPortId), *pInfo);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPortIds(short* psCount, SAFEARRAY** ppsaIds) {
    return Fw::Boundary(psCount, ppsaIds, [&] {
        m_core->Enter("GetPortIds");
        std::vector<short> ids;
        for (const SimPort& port : m_core->State().ports)
            ids.push_back(port.id);
        *ppsaIds = ShortArray(ids);
        *psCount = static_cast<short>(ids.size());
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetAccumulatedData(short sPortId, long* plCount,
                                                             SAFEARRAY** ppsaCookies,
                                                             SAFEARRAY** ppsaByteCounts) {
    // The count goes in as the capacity, so it is not cleared the way out-pointers are.
    if (!plCount)
        return E_POINTER;
    return Fw::Boundary(ppsaCookies, ppsaByteCounts, [&] {
        m_core->Enter("GetAccumulatedData", sPortId);
        if (*plCount < 0)
            Com::Throw(E_INVALIDARG);
        const SimPort& port = m_core->Port(sPortId);
        const size_t count = std::min(port.listeners.size(), static_cast<size_t>(*plCount));
        std::vector<long> cookies;
        std::vector<std::int64_t> bytes;
        for (size_t i = 0; i < count; ++i) {
            cookies.push_back(port.listeners[i].cookie);
            bytes.push_back(port.listeners[i].bytes);
        }
        Win32::UniqueSafeArray cookieArray(LongArray(cookies));
        *ppsaByteCounts = LongLongArray(bytes);
        *ppsaCookies = cookieArray.release();
        *plCount = static_cast<long>(count);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetPortLabel(short sPortId, BSTR bstrLabel) {
    return ChangePort("SetPortLabel", sPortId,
                      [&](SimPort& port) { port.label = Lang::FromBstr(bstrLabel); });
}

HRESULT SimConfigAgent::AddNewPort(const char* member, BSTR name, BSTR label, long baudRate, bool remoteEfs) {
    return Fw::Boundary([&] {
        m_core->Enter(member);
        SimPort port;
        port.name = Lang::FromBstr(name);
        port.label = Lang::FromBstr(label);
        port.linkType = remoteEfs ? linkUsb : LinkTypeOf(m_core->State(), port.name);
        port.remoteEfs = remoteEfs;
        port.baudRate = baudRate;
        port.baudRates = DefaultBaudRates();
        for (BaudRateEntry& entry : port.baudRates)
            entry.tried = entry.rate == static_cast<std::uint32_t>(baudRate);
        m_core->AddPort(std::move(port));
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::AddPort(BSTR bstrPortName, BSTR bstrLabel, long lBaudRate) {
    return AddNewPort("AddPort", bstrPortName, bstrLabel, lBaudRate, false);
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::EnablePort(short sPortId) {
    return Fw::Boundary([&] {
        m_core->Enter("EnablePort", sPortId);
        // A port whose device is gone from the machine cannot be opened.
        if (m_core->Port(sPortId).state == portNotAvailable)
            Com::Throw(Status::PortNotPresent);
        m_core->SetPortState(sPortId, portEnabled);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::DisablePort(short sPortId) {
    return Fw::Boundary([&] {
        m_core->Enter("DisablePort", sPortId);
        m_core->SetPortState(sPortId, portDisabled);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::RemovePort(short sPortId) {
    return Fw::Boundary([&] {
        m_core->Enter("RemovePort", sPortId);
        m_core->RemovePort(sPortId);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::ActivateAgent() {
    return Fw::Boundary([&] {
        m_core->Enter("ActivateAgent");
        if (!m_objectId)
            m_objectId = m_core->AddAgentObject(m_cookie);
    });
}

// --- IOstrelConfigAgentEx ------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPhoneModel(short sPhoneId, OstrelModelEx* pModel) {
    return Fw::Boundary(pModel, [&] {
        m_core->Enter("GetPhoneModel");
        FillModel(m_core->Phone(sPhoneId), *pModel);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPortPhoneModel(short sPortId, OstrelModelEx* pModel) {
    return Fw::Boundary(pModel, [&] {
        m_core->Enter("GetPortPhoneModel", sPortId);
        FillModel(m_core->PhoneOnPort(sPortId), *pModel);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPortConfigEx(short sPortId, OstrelPortConfigEx* pConfig) {
    return Fw::Boundary(pConfig, [&] {
        m_core->Enter("GetPortConfigEx", sPortId);
        FillPortConfig(m_core->Port(sPortId), *pConfig);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetDiagSwitchState(short sPortId, long* plState) {
    return ReadPort("GetDiagSwitchState", sPortId, plState,
                    [](const SimPort& port) { return Flag(port.diagSwitch); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetDiagSwitchState(short sPortId, long lState) {
    return ChangePort("SetDiagSwitchState", sPortId, [&](SimPort& port) { port.diagSwitch = lState != 0; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetBaudRateEntry(short sPortId, long lIndex, long,
                                                           unsigned long* pulBaudRate, long* plTried,
                                                           unsigned long* pulMaskBit) {
    return Fw::Boundary(pulBaudRate, plTried, pulMaskBit, [&] {
        m_core->Enter("GetBaudRateEntry", sPortId);
        const SimPort& port = m_core->Port(sPortId);
        if (lIndex < 0)
            Com::Throw(E_INVALIDARG);
        if (static_cast<size_t>(lIndex) >= port.baudRates.size())
            return S_FALSE;
        const BaudRateEntry& entry = port.baudRates[static_cast<size_t>(lIndex)];
        *pulBaudRate = entry.rate;
        *plTried = Flag(entry.tried);
        *pulMaskBit = entry.maskBit;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetBaudRateMask(short sPortId, unsigned long ulMask, long) {
    return ChangePort("SetBaudRateMask", sPortId, [&](SimPort& port) {
        unsigned long known = 0;
        for (const BaudRateEntry& entry : port.baudRates)
            known |= entry.maskBit;
        // A bit no rate owns means the caller built the mask from something else.
        if (ulMask & ~known)
            Com::Throw(E_INVALIDARG);
        for (BaudRateEntry& entry : port.baudRates)
            entry.tried = (ulMask & entry.maskBit) != 0;
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetProtocolMode(short sPortId, long* plMode) {
    return ReadPort("GetProtocolMode", sPortId, plMode,
                    [](const SimPort& port) { return port.protocolMode; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetProtocolMode(short sPortId, long lMode) {
    return ChangePort("SetProtocolMode", sPortId,
                      [&](SimPort& port) { port.protocolMode = RequireRange(lMode, 0, 2); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetSecurityPassword(short sPortId, BSTR* pbstrPassword) {
    return ReadPort("GetSecurityPassword", sPortId, pbstrPassword,
                    [](const SimPort& port) { return Lang::ToBstr(port.password); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetSecurityPassword(short sPortId, BSTR bstrPassword) {
    return ChangePort("SetSecurityPassword", sPortId,
                      [&](SimPort& port) { port.password = Lang::FromBstr(bstrPassword); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetDiagCommandHistory(short sPortId, BSTR* pbstrHistory) {
    return ReadPort("GetDiagCommandHistory", sPortId, pbstrHistory,
                    [](const SimPort& port) { return Lang::ToBstr(port.diagHistory); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetDiagCommandHistory(short sPortId, BSTR bstrHistory) {
    return ChangePort("SetDiagCommandHistory", sPortId,
                      [&](SimPort& port) { port.diagHistory = Lang::FromBstr(bstrHistory); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SendDiagCommand(short sPortId, BSTR bstrCommand,
                                                          BSTR* pbstrResponse) {
    return Fw::Boundary(pbstrResponse, [&] {
        m_core->Enter("SendDiagCommand", sPortId);
        const std::string text = Lang::FromBstr(bstrCommand);
        m_core->Port(sPortId).diagCommands.push_back(text);
        m_core->PhoneOnPort(sPortId);
        std::vector<std::uint8_t> command;
        if (!ParseHexBytes(text, command))
            Com::Throw(E_INVALIDARG);
        // The simulated phone echoes the request, as a phone acknowledges a command it knows.
        *pbstrResponse = Lang::ToBstr(HexBytes(command));
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorOneDownload(short sPortId, long* plOneDownload) {
    return ReadPort("GetZelkorOneDownload", sPortId, plOneDownload,
                    [](const SimPort& port) { return Flag(port.zelkor.oneDownload); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorAutoReset(short sPortId, long* plAutoReset) {
    return ReadPort("GetZelkorAutoReset", sPortId, plAutoReset,
                    [](const SimPort& port) { return Flag(port.zelkor.autoReset); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorXmlFile(short sPortId, BSTR* pbstrXmlFile) {
    return ReadPort("GetZelkorXmlFile", sPortId, pbstrXmlFile,
                    [](const SimPort& port) { return Lang::ToBstr(port.zelkor.xmlFile); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorDumpFolder(short sPortId, BSTR* pbstrDumpFolder) {
    return ReadPort("GetZelkorDumpFolder", sPortId, pbstrDumpFolder,
                    [](const SimPort& port) { return Lang::ToBstr(port.zelkor.dumpFolder); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorHelloResponse(short sPortId, long* plMode) {
    return ReadPort("GetZelkorHelloResponse", sPortId, plMode,
                    [](const SimPort& port) { return port.zelkor.helloResponse; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorTimestampFolders(short sPortId, long* plTimestamp) {
    return ReadPort("GetZelkorTimestampFolders", sPortId, plTimestamp,
                    [](const SimPort& port) { return Flag(port.zelkor.timestampFolders); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorContinueBoot(short sPortId, long* plContinue) {
    return ReadPort("GetZelkorContinueBoot", sPortId, plContinue,
                    [](const SimPort& port) { return Flag(port.zelkor.continueBoot); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetZelkorDumpSections(short sPortId, long lCapacity,
                                                                long* plFilterOn, long* plCount,
                                                                SAFEARRAY** ppsaNames) {
    return Fw::Boundary(plFilterOn, plCount, ppsaNames, [&] {
        m_core->Enter("GetZelkorDumpSections", sPortId);
        if (lCapacity < 0)
            Com::Throw(E_INVALIDARG);
        const ZelkorSettings& zelkor = m_core->Port(sPortId).zelkor;
        const size_t carried = std::min(zelkor.sections.size(), static_cast<size_t>(lCapacity));
        *ppsaNames = BstrArray(
            {zelkor.sections.begin(), zelkor.sections.begin() + static_cast<std::ptrdiff_t>(carried)});
        *plFilterOn = Flag(zelkor.sectionFilter);
        *plCount = static_cast<long>(zelkor.sections.size());
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorXmlFile(short sPortId, BSTR bstrXmlFile,
                                                           long lOneDownload) {
    return ChangePort("SetZelkorXmlFile", sPortId, [&](SimPort& port) {
        port.zelkor.xmlFile = Lang::FromBstr(bstrXmlFile);
        port.zelkor.oneDownload = lOneDownload != 0;
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorDumpFolder(short sPortId, BSTR bstrDumpFolder, long) {
    return ChangePort("SetZelkorDumpFolder", sPortId,
                      [&](SimPort& port) { port.zelkor.dumpFolder = Lang::FromBstr(bstrDumpFolder); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorAutoReset(short sPortId, long lAutoReset) {
    return ChangePort("SetZelkorAutoReset", sPortId,
                      [&](SimPort& port) { port.zelkor.autoReset = lAutoReset != 0; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorHelloResponse(short sPortId, long lMode) {
    return ChangePort("SetZelkorHelloResponse", sPortId,
                      [&](SimPort& port) { port.zelkor.helloResponse = RequireRange(lMode, 0, 3); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorTimestampFolders(short sPortId, long lTimestamp) {
    return ChangePort("SetZelkorTimestampFolders", sPortId,
                      [&](SimPort& port) { port.zelkor.timestampFolders = lTimestamp != 0; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorContinueBoot(short sPortId, long lContinue) {
    return ChangePort("SetZelkorContinueBoot", sPortId,
                      [&](SimPort& port) { port.zelkor.continueBoot = lContinue != 0; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetZelkorDumpSections(short sPortId, long lCount,
                                                                SAFEARRAY* psaNames) {
    return ChangePort("SetZelkorDumpSections", sPortId, [&](SimPort& port) {
        if (lCount < 0)
            Com::Throw(E_INVALIDARG);
        port.zelkor.sections = TextsOf(psaNames, lCount);
        port.zelkor.sectionFilter = lCount > 0;
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::ZelkorReset(short sPortId, long* plAccepted) {
    return Fw::Boundary(plAccepted, [&] {
        m_core->Enter("ZelkorReset", sPortId);
        SimPort& port = m_core->Port(sPortId);
        ++port.zelkor.resets;
        const SimPhone* phone = m_core->State().phoneOnPort(sPortId);
        if (!phone || phone->mode != 12)
            Com::Throw(Status::NotZelkorMode);
        *plAccepted = Flag(port.zelkor.resetAccepted);
        if (port.zelkor.resetAccepted)
            m_core->SetPhoneMode(sPortId, phone->mode);
    });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::AddRemoteEfsPort(BSTR bstrPortName, BSTR bstrLabel,
                                                           long lBaudRate) {
    return AddNewPort("AddRemoteEfsPort", bstrPortName, bstrLabel, lBaudRate, true);
}

// --- IOstrelPortOptions --------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetFlowControl(short sPortId, long* plFlowControl) {
    return ReadPort("GetFlowControl", sPortId, plFlowControl,
                    [](const SimPort& port) { return port.flowControl; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetFlowControl(short sPortId, long lFlowControl) {
    return ChangePort("SetFlowControl", sPortId,
                      [&](SimPort& port) { port.flowControl = Flag(lFlowControl != 0); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetPollingMode(short sPortId, long* plMode) {
    return ReadPort("GetPollingMode", sPortId, plMode, [](const SimPort& port) { return port.pollingMode; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetPollingMode(short sPortId, long lMode) {
    return ChangePort("SetPollingMode", sPortId,
                      [&](SimPort& port) { port.pollingMode = RequireRange(lMode, 0, 2); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetTraceLevel(short sPortId, long* plLevel) {
    return ReadPort("GetTraceLevel", sPortId, plLevel, [](const SimPort& port) { return port.traceLevel; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetTraceLevel(short sPortId, long lLevel) {
    return ChangePort("SetTraceLevel", sPortId,
                      [&](SimPort& port) { port.traceLevel = RequireRange(lLevel, 0, 3); });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::GetShutdownAction(short sPortId, long* plAction) {
    return ReadPort("GetShutdownAction", sPortId, plAction,
                    [](const SimPort& port) { return port.shutdownAction; });
}

HRESULT STDMETHODCALLTYPE SimConfigAgent::SetShutdownAction(short sPortId, long lAction) {
    return ChangePort("SetShutdownAction", sPortId,
                      [&](SimPort& port) { port.shutdownAction = RequireRange(lAction, 0, 2); });
}

} // namespace Sim
