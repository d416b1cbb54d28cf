#pragma once

#include "devicesim/SimCore.h"

#include <vector>

namespace Sim {

// The port ids as they stood when the enumerator was made: a port added or removed later
// does not shift an enumeration in progress.
class SimPortIdEnum : public Fw::ObjectRoot, public IEnumOstrelPortId {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimPortIdEnum, IEnumOstrelPortId>(),
    };

    void Init(std::shared_ptr<SimCore> core, std::vector<unsigned short> ids, size_t position = 0);

    HRESULT STDMETHODCALLTYPE Next(long lCount, SAFEARRAY** ppsaIds, long* plFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(long lCount) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumOstrelPortId** ppEnum) override;

private:
    std::shared_ptr<SimCore> m_core;
    std::vector<unsigned short> m_ids;
    size_t m_position = 0;
};

} // namespace Sim
