#pragma once

#include "framework/com/Boundary.h"
#include "framework/com/ComObject.h"

#include <wrl/client.h>

#include <vector>

namespace Fw {

// A standard IEnumXxx over a snapshot of items. Copy supplies what the enumerator hands out
// for an item (an AddRef for interface pointers), so that the caller owns each one. The
// enumerator (and every clone) holds `keep`, the references that keep its items valid: a
// sink unadvised meanwhile, or an object its caller let go, must not leave it pointing at
// nothing.
template <class IEnum, class Item, class Copy>
class Enumerator : public ObjectRoot, public IEnum {
public:
    static inline const InterfaceEntry interfaces[] = {
        Entry<Enumerator, IEnum>(),
    };

    using References = std::vector<Microsoft::WRL::ComPtr<IUnknown>>;

    static HRESULT Create(std::vector<Item> items, References keep, IEnum** ppEnum) {
        if (!ppEnum)
            return E_POINTER;
        const HRESULT status =
            Object<Enumerator>::Create(nullptr, __uuidof(IEnum), reinterpret_cast<void**>(ppEnum));
        if (SUCCEEDED(status)) {
            auto* created = static_cast<Enumerator*>(*ppEnum);
            created->m_items = std::move(items);
            created->m_keep = std::move(keep);
        }
        return status;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
        if (!items || (count > 1 && !fetched))
            return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_position < m_items.size(); ++done)
            items[done] = Copy::Copy(m_items[m_position++]);
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const size_t left = m_items.size() - m_position;
        m_position += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** ppEnum) override {
        return Boundary(ppEnum, [&] {
            const HRESULT status = Create(m_items, m_keep, ppEnum);
            if (SUCCEEDED(status))
                static_cast<Enumerator*>(*ppEnum)->m_position = m_position;
            return status;
        });
    }

private:
    std::vector<Item> m_items;
    References m_keep;
    size_t m_position = 0;
};

} // namespace Fw
