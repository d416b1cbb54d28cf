#include "devicesim/SimPortIdEnum.h"

#include "devicesim/SimRecords.h"
#include "framework/com/Boundary.h"

#include <algorithm>

namespace Sim {

void SimPortIdEnum::Init(std::shared_ptr<SimCore> core, std::vector<unsigned short> ids, size_t position) {
    m_core = std::move(core);
    m_ids = std::move(ids);
    m_position = position;
}

HRESULT STDMETHODCALLTYPE SimPortIdEnum::Next(long lCount, SAFEARRAY** ppsaIds, long* plFetched) {
    return Fw::Boundary(ppsaIds, plFetched, [&] {
        m_core->Enter("Next");
        if (lCount < 0)
            Com::Throw(E_INVALIDARG);
        const size_t count = std::min(static_cast<size_t>(lCount), m_ids.size() - m_position);
        const auto first = m_ids.begin() + static_cast<std::ptrdiff_t>(m_position);
        *ppsaIds =
            UShortArray(std::vector<unsigned short>(first, first + static_cast<std::ptrdiff_t>(count)));
        *plFetched = static_cast<long>(count);
        m_position += count;
        return count == static_cast<size_t>(lCount) ? S_OK : S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE SimPortIdEnum::Skip(long lCount) {
    return Fw::Boundary([&] {
        m_core->Enter("Skip");
        if (lCount < 0)
            Com::Throw(E_INVALIDARG);
        const size_t count = std::min(static_cast<size_t>(lCount), m_ids.size() - m_position);
        m_position += count;
        return count == static_cast<size_t>(lCount) ? S_OK : S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE SimPortIdEnum::Reset() {
    return Fw::Boundary([&] {
        m_core->Enter("Reset");
        m_position = 0;
    });
}

HRESULT STDMETHODCALLTYPE SimPortIdEnum::Clone(IEnumOstrelPortId** ppEnum) {
    return Fw::Boundary(ppEnum, [&] {
        m_core->Enter("Clone");
        *ppEnum = NewObject<SimPortIdEnum, IEnumOstrelPortId>(m_core, m_ids, m_position).Detach();
    });
}

} // namespace Sim
