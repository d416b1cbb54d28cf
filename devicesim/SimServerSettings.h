#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

class SimServerSettings : public Fw::ObjectRoot, public IOstrelServerSettings {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimServerSettings, IOstrelServerSettings>(),
    };

    void Init(std::shared_ptr<SimCore> core) { m_core = std::move(core); }

    HRESULT STDMETHODCALLTYPE GetProtocolLock(long* plLocked) override;

private:
    std::shared_ptr<SimCore> m_core;
};

} // namespace Sim
