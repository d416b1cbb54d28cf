#include "lookup/CKmNvTools.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"
#include "lookup/NvItemTables.h"

#include <algorithm>
#include <iterator>

HRESULT CKmNvTools::GetItemName(long item, BSTR* pName) {
    return Fw::Boundary(pName, [&] {
        // The last entry only marks the end of the table; it names no item.
        const bool named = item >= 0 && item < Lookup::nvItemCount - 1;
        *pName = Lang::ToBstr(named ? Lookup::g_nvItemNames[item].name : "");
        return named ? S_OK : S_FALSE;
    });
}

HRESULT CKmNvTools::IsIndexed(long item, long* pIndexed) {
    return Fw::Boundary(pIndexed, [&] {
        *pIndexed =
            std::binary_search(std::begin(Lookup::g_nvIndexedItems), std::end(Lookup::g_nvIndexedItems), item)
                ? 1
                : 0;
    });
}

HRESULT CKmNvTools::GetStatusName(long status, BSTR* pName) {
    return Fw::Boundary(pName, [&] {
        // Compared without sign, so a negative status is simply out of range.
        const bool known = static_cast<unsigned long>(status) < Lookup::nvStatusCount;
        *pName = Lang::ToBstr(known ? Lookup::g_nvStatusNames[status] : "");
        return known ? S_OK : S_FALSE;
    });
}
