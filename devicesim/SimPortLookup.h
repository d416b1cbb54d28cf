#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

// Port names and ids, and the classifier the add-port dialog asks about local ports: its
// answers come from the scenario's local ports, looked up by description (or by name).
class SimPortLookup : public Fw::ObjectRoot, public IOstrelPortLookup, public IOstrelPortClassifier {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPortLookup, IOstrelPortLookup>(),
        Fw::Entry<SimPortLookup, IOstrelPortClassifier>(),
    };

    void Init(std::shared_ptr<SimCore> core) { m_core = std::move(core); }

    HRESULT STDMETHODCALLTYPE EnumPortIds(IEnumOstrelPortId** ppEnum, short* psCount) override;
    HRESULT STDMETHODCALLTYPE GetPortNameById(short sPortId, BSTR* pbstrName) override;
    HRESULT STDMETHODCALLTYPE GetPortIdByName(BSTR bstrName, short* psPortId) override;

    HRESULT STDMETHODCALLTYPE IsDiagnosticDevice(BSTR bstrDescription, long* plResult) override;
    HRESULT STDMETHODCALLTYPE IsNmeaDevice(BSTR bstrDescription, long* plResult) override;
    HRESULT STDMETHODCALLTYPE IsExcludedDevice(BSTR bstrDescription, long* plResult) override;
    HRESULT STDMETHODCALLTYPE IsPortAllowed(BSTR bstrPortName, long* plResult) override;
    HRESULT STDMETHODCALLTYPE IsRemoteEfsDevice(BSTR bstrDescription, long* plResult) override;

private:
    HRESULT Classify(const char* member, BSTR description, LocalPortClass portClass, long* result);

    std::shared_ptr<SimCore> m_core;
};

} // namespace Sim
