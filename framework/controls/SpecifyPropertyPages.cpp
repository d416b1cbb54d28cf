#include "framework/controls/SpecifyPropertyPages.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT SpecifyPropertyPages::GetPages(CAUUID* pPages) {
    return Boundary([&] {
        if (!pPages)
            return E_POINTER;
        const auto pages = PropertyPages();
        pPages->cElems = 0;
        pPages->pElems = nullptr;
        if (pages.empty())
            return S_OK;
        pPages->pElems = static_cast<GUID*>(::CoTaskMemAlloc(pages.size() * sizeof(GUID)));
        if (!pPages->pElems)
            return E_OUTOFMEMORY;
        for (const CLSID* page : pages)
            pPages->pElems[pPages->cElems++] = *page;
        return S_OK;
    });
}

} // namespace Fw
