#include "devicesim/SimPortManager.h"

#include "devicesim/SimPortLookup.h"
#include "devicesim/SimPortObject.h"
#include "devicesim/SimServerSettings.h"
#include "framework/com/Boundary.h"

namespace Sim {

HRESULT STDMETHODCALLTYPE SimPortManager::GetPort(short sPortId, IOstrelPort** ppPort) {
    return Fw::Boundary(ppPort, [&] {
        m_core->Enter("GetPort", sPortId);
        m_core->Port(sPortId);
        *ppPort = NewObject<SimPortObject, IOstrelPort>(m_core, sPortId).Detach();
    });
}

HRESULT STDMETHODCALLTYPE SimPortManager::GetPortLookup(IOstrelPortLookup** ppLookup) {
    return Fw::Boundary(ppLookup, [&] {
        m_core->Enter("GetPortLookup");
        *ppLookup = NewObject<SimPortLookup, IOstrelPortLookup>(m_core).Detach();
    });
}

HRESULT STDMETHODCALLTYPE SimPortManager::FindPort(short sPortId, IUnknown** ppObject) {
    return Fw::Boundary(ppObject, [&] {
        m_core->Enter("FindPort", sPortId);
        m_core->Port(sPortId);
        *ppObject = NewObject<SimPortObject, IOstrelPort>(m_core, sPortId).Detach();
    });
}

HRESULT STDMETHODCALLTYPE SimPortManager::GetServerSettings(IOstrelServerSettings** ppSettings) {
    return Fw::Boundary(ppSettings, [&] {
        m_core->Enter("GetServerSettings");
        *ppSettings = NewObject<SimServerSettings, IOstrelServerSettings>(m_core).Detach();
    });
}

} // namespace Sim
