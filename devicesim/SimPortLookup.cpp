#include "devicesim/SimPortLookup.h"

#include "devicesim/SimPortIdEnum.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

#include <algorithm>

namespace Sim {

HRESULT STDMETHODCALLTYPE SimPortLookup::EnumPortIds(IEnumOstrelPortId** ppEnum, short* psCount) {
    return Fw::Boundary(ppEnum, psCount, [&] {
        m_core->Enter("EnumPortIds");
        std::vector<unsigned short> ids;
        for (const SimPort& port : m_core->State().ports)
            ids.push_back(static_cast<unsigned short>(port.id));
        const auto count = static_cast<short>(ids.size());
        *ppEnum = NewObject<SimPortIdEnum, IEnumOstrelPortId>(m_core, std::move(ids)).Detach();
        *psCount = count;
    });
}

HRESULT STDMETHODCALLTYPE SimPortLookup::GetPortNameById(short sPortId, BSTR* pbstrName) {
    return Fw::Boundary(pbstrName, [&] {
        m_core->Enter("GetPortNameById", sPortId);
        *pbstrName = Lang::ToBstr(m_core->Port(sPortId).name);
    });
}

HRESULT STDMETHODCALLTYPE SimPortLookup::GetPortIdByName(BSTR bstrName, short* psPortId) {
    return Fw::Boundary(psPortId, [&] {
        m_core->Enter("GetPortIdByName");
        const SimPort* port = m_core->State().findPortByName(Lang::FromBstr(bstrName));
        if (!port)
            Com::Throw(Status::UnknownId);
        *psPortId = port->id;
    });
}

HRESULT SimPortLookup::Classify(const char* member, BSTR description, LocalPortClass portClass,
                                long* result) {
    return Fw::Boundary(result, [&] {
        m_core->Enter(member);
        const std::string text = Lang::FromBstr(description);
        const auto& ports = m_core->State().localPorts;
        *result = std::any_of(ports.begin(), ports.end(),
                              [&](const LocalPort& port) {
                                  return port.description == text && port.portClass == portClass;
                              })
                      ? 1
                      : 0;
    });
}

HRESULT STDMETHODCALLTYPE SimPortLookup::IsDiagnosticDevice(BSTR bstrDescription, long* plResult) {
    return Classify("IsDiagnosticDevice", bstrDescription, LocalPortClass::Diagnostic, plResult);
}

HRESULT STDMETHODCALLTYPE SimPortLookup::IsNmeaDevice(BSTR bstrDescription, long* plResult) {
    return Classify("IsNmeaDevice", bstrDescription, LocalPortClass::Nmea, plResult);
}

HRESULT STDMETHODCALLTYPE SimPortLookup::IsExcludedDevice(BSTR bstrDescription, long* plResult) {
    return Classify("IsExcludedDevice", bstrDescription, LocalPortClass::Excluded, plResult);
}

HRESULT STDMETHODCALLTYPE SimPortLookup::IsRemoteEfsDevice(BSTR bstrDescription, long* plResult) {
    return Classify("IsRemoteEfsDevice", bstrDescription, LocalPortClass::RemoteEfs, plResult);
}

HRESULT STDMETHODCALLTYPE SimPortLookup::IsPortAllowed(BSTR bstrPortName, long* plResult) {
    return Fw::Boundary(plResult, [&] {
        m_core->Enter("IsPortAllowed");
        const std::string name = Lang::FromBstr(bstrPortName);
        const auto& ports = m_core->State().localPorts;
        const auto found = std::find_if(ports.begin(), ports.end(),
                                        [&](const LocalPort& port) { return port.name == name; });
        // A port the scenario does not describe is allowed, as on a machine without a policy.
        *plResult = found == ports.end() || found->allowed ? 1 : 0;
    });
}

} // namespace Sim
