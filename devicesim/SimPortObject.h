#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

// A port as the port manager hands it out. It names the port by id and reads the state at
// every call, so a port removed meanwhile answers Status::UnknownId.
class SimPortObject : public Fw::ObjectRoot, public IOstrelPort, public IOstrelPhoneModel {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPortObject, IOstrelPort>(),
        Fw::Entry<SimPortObject, IOstrelPhoneModel>(),
    };

    // Object kinds of GetPortObject.
    static constexpr long PhoneObject = 7;
    static constexpr long FileSystemObject = 17;
    // RequestPhoneMode's reset: the phone restarts and comes back online in OnlineMode.
    static constexpr long ResetRequest = 4;
    static constexpr long OnlineMode = 5;

    void Init(std::shared_ptr<SimCore> core, short portId);

    HRESULT STDMETHODCALLTYPE GetPortObject(long lKind, long lReserved, IUnknown** ppObject) override;
    HRESULT STDMETHODCALLTYPE GetPortDescriptor(IOstrelPortDescriptor** ppDescriptor) override;
    HRESULT STDMETHODCALLTYPE IsLocked(unsigned char* pbLocked) override;
    HRESULT STDMETHODCALLTYPE GetPhoneMode(long* plMode) override;
    HRESULT STDMETHODCALLTYPE GetPhoneKind(long* plKind) override;
    HRESULT STDMETHODCALLTYPE RequestPhoneMode(long lMode) override;
    HRESULT STDMETHODCALLTYPE AwaitPhoneMode(long lMode, long lTimeoutMs, long lFlags) override;

    HRESULT STDMETHODCALLTYPE ReadModelNumber(unsigned short* pusModel) override;
    HRESULT STDMETHODCALLTYPE ReadModelText(BSTR* pbstrModel) override;
    HRESULT STDMETHODCALLTYPE ReadPhoneStatus(long* plStatus) override;

private:
    // The phone on the port, or null; raises for a port that is gone.
    SimPhone* PhoneOrNull();

    std::shared_ptr<SimCore> m_core;
    short m_portId = 0;
};

} // namespace Sim
