#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

// A phone's file system (IOstrelPort::GetPortObject kind 17). Files are the phone's "files"
// of the scenario; OpenFile hands out a SimEfsFile stream over a copy of one of them.
class SimPhoneEfs : public Fw::ObjectRoot, public IPhoneEfs {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPhoneEfs, IPhoneEfs>(),
    };

    static constexpr long ReadMode = 0;
    static constexpr long WriteMode = 1;

    void Init(std::shared_ptr<SimCore> core, short phoneId);

    HRESULT STDMETHODCALLTYPE IsEfsPresent(long* plPresent) override;
    HRESULT STDMETHODCALLTYPE GetEfsVersion(long* plVersion) override;
    HRESULT STDMETHODCALLTYPE RemoveFile(BSTR bstrPath) override;
    HRESULT STDMETHODCALLTYPE OpenFile(BSTR bstrPath, long lMode, IUnknown** ppFile) override;

private:
    SimPhone& Phone() const;
    // The phone, when it has a file system at all.
    SimPhone& PhoneWithFiles() const;

    std::shared_ptr<SimCore> m_core;
    short m_phoneId = 0;
};

} // namespace Sim
