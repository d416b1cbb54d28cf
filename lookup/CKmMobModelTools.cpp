#include "lookup/CKmMobModelTools.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

CKmMobModelTools::CKmMobModelTools()
    : m_families(CreateModelFamilies()) {
    for (const auto& family : m_families)
        m_familiesByName.emplace(family->GenericName(), family.get());
}

const CGenModelList* CKmMobModelTools::FindFamily(BSTR genName) const {
    // The "*" ending a generic name is part of it: the match is exact and case-sensitive.
    const auto found = m_familiesByName.find(Lang::FromBstr(genName));
    return found == m_familiesByName.end() ? nullptr : found->second;
}

HRESULT CKmMobModelTools::GetGenericName(long modelId, BSTR* pGenName, long* pOK) {
    return Fw::Boundary(pGenName, pOK, [&] {
        for (const auto& [name, family] : m_familiesByName) {
            if (family->Find(modelId)) {
                *pGenName = Lang::ToBstr(name);
                *pOK = 1;
                return;
            }
        }
        *pGenName = Lang::ToBstr("");
    });
}

HRESULT CKmMobModelTools::IterateGenericList(BSTR genName, long index, long* pModelId, BSTR* pSpcfcName,
                                             long* pOK) {
    return Fw::Boundary(pModelId, pSpcfcName, pOK, [&] {
        const CGenModelList* family = FindFamily(genName);
        const ModelEntry* entry = family ? family->At(index) : nullptr;
        *pSpcfcName = Lang::ToBstr(entry ? entry->name : "");
        if (entry) {
            *pModelId = entry->id;
            *pOK = 1;
        }
    });
}

HRESULT CKmMobModelTools::GetSpecificName(BSTR genName, long modelId, BSTR* pSpcfName, long* pOK) {
    return Fw::Boundary(pSpcfName, pOK, [&] {
        const CGenModelList* family = FindFamily(genName);
        const ModelEntry* entry = family ? family->Find(modelId) : nullptr;
        *pSpcfName = Lang::ToBstr(entry ? entry->name : "");
        *pOK = entry ? 1 : 0;
    });
}
