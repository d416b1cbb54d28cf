#include "devicesim/SimPortDescriptor.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

namespace Sim {

void SimPortDescriptor::Init(std::shared_ptr<SimCore> core, short portId) {
    m_core = std::move(core);
    m_portId = portId;
}

HRESULT STDMETHODCALLTYPE SimPortDescriptor::GetName(BSTR* pbstrName) {
    return Fw::Boundary(pbstrName, [&] {
        m_core->Enter("GetName");
        *pbstrName = Lang::ToBstr(m_core->Port(m_portId).name);
    });
}

} // namespace Sim
