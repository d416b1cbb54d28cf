#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

class SimPortManager : public Fw::ObjectRoot, public IOstrelPortManager2 {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPortManager, IOstrelPortManager>(),
        Fw::Entry<SimPortManager, IOstrelPortManager2>(),
    };

    void Init(std::shared_ptr<SimCore> core) { m_core = std::move(core); }

    HRESULT STDMETHODCALLTYPE GetPort(short sPortId, IOstrelPort** ppPort) override;
    HRESULT STDMETHODCALLTYPE GetPortLookup(IOstrelPortLookup** ppLookup) override;
    HRESULT STDMETHODCALLTYPE FindPort(short sPortId, IUnknown** ppObject) override;
    HRESULT STDMETHODCALLTYPE GetServerSettings(IOstrelServerSettings** ppSettings) override;

private:
    std::shared_ptr<SimCore> m_core;
};

} // namespace Sim
