#include "devicesim/SimServerSettings.h"

#include "framework/com/Boundary.h"

namespace Sim {

HRESULT STDMETHODCALLTYPE SimServerSettings::GetProtocolLock(long* plLocked) {
    return Fw::Boundary(plLocked, [&] {
        m_core->Enter("GetProtocolLock");
        *plLocked = m_core->State().protocolLock ? 1 : 0;
    });
}

} // namespace Sim
