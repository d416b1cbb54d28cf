#pragma once

#include "framework/com/ComObject.h"
#include "interfaces/OstrelUITools.h"
#include "lookup/CGenModelList.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Model names by generic chip family. Every member answers S_OK (E_POINTER for a null
// out-pointer) and reports whether the lookup found anything through pOK.
class CKmMobModelTools : public Fw::ObjectRoot, public IKmMobModelTools {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<CKmMobModelTools, IKmMobModelTools>(),
    };

    CKmMobModelTools();

    HRESULT STDMETHODCALLTYPE GetGenericName(long modelId, BSTR* pGenName, long* pOK) override;
    HRESULT STDMETHODCALLTYPE IterateGenericList(BSTR genName, long index, long* pModelId, BSTR* pSpcfcName,
                                                 long* pOK) override;
    HRESULT STDMETHODCALLTYPE GetSpecificName(BSTR genName, long modelId, BSTR* pSpcfName,
                                              long* pOK) override;

private:
    const CGenModelList* FindFamily(BSTR genName) const;

    std::vector<std::unique_ptr<CGenModelList>> m_families;
    // Byte-wise order of the generic names; GetGenericName searches in this order.
    std::map<std::string, const CGenModelList*> m_familiesByName;
};
