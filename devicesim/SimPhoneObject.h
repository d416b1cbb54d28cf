#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

// The phone on a port (IOstrelPort::GetPortObject kind 7), named by its phone id: once the
// phone has left, every call answers Status::NoPhone.
class SimPhoneObject : public Fw::ObjectRoot, public IOstrelPhone {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPhoneObject, IOstrelPhone>(),
    };

    void Init(std::shared_ptr<SimCore> core, short phoneId);

    HRESULT STDMETHODCALLTYPE GetEsn(long* plEsn) override;
    HRESULT STDMETHODCALLTYPE GetPhoneText(BSTR* pbstrText) override;
    HRESULT STDMETHODCALLTYPE GetMeidText(BSTR* pbstrMeid) override;

private:
    const SimPhone& Phone() const;

    std::shared_ptr<SimCore> m_core;
    short m_phoneId = 0;
};

} // namespace Sim
