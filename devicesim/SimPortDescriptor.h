#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

class SimPortDescriptor : public Fw::ObjectRoot, public IOstrelPortDescriptor {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPortDescriptor, IOstrelPortDescriptor>(),
    };

    void Init(std::shared_ptr<SimCore> core, short portId);

    HRESULT STDMETHODCALLTYPE GetName(BSTR* pbstrName) override;

private:
    std::shared_ptr<SimCore> m_core;
    short m_portId = 0;
};

} // namespace Sim
