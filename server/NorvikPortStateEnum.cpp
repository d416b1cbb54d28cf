#include "server/NorvikPortStateEnum.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "server/OwnedRecord.h"

bool CNorvikPortStateEnum::Contains(const std::string&) const {
    return false;
}

void CNorvikPortStateEnum::Load(IUnknown*) {}

CNorvikPortStateEnum::~CNorvikPortStateEnum() = default;

bool CNorvikActiveStateEnum::Contains(const std::string& portName) const {
    return m_states.count(portName) != 0;
}

void CNorvikActiveStateEnum::Load(IUnknown* pConfigAgent) {
    try {
        const auto agent = Com::Query<IOstrelConfigAgent>(pConfigAgent);
        if (!agent)
            return;
        short count = 0;
        Win32::UniqueSafeArray ids;
        Com::Call(agent, &IOstrelConfigAgent::GetPortIds, &count, ids.put());
        const Win32::SafeArrayAccess<short> portIds(ids.get());
        for (short portId : portIds.First(count)) {
            Server::OwnedRecord<OstrelPortInfo> port;
            Com::Call(agent, &IOstrelConfigAgent::GetPortInfo, portId, port.put());
            // A later port of the same name wins, as the server lists them.
            m_states[Lang::FromBstr(port->portName)] = static_cast<short>(port->portState);
        }
    } catch (...) {
        // Whatever was read stays; the caller only ever asks for names.
    }
}
