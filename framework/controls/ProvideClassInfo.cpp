#include "framework/controls/ProvideClassInfo.h"

#include "framework/com/Boundary.h"
#include "framework/com/TypeLibrary.h"

#include <wrl/client.h>

namespace Fw {

HRESULT ProvideClassInfo::GetClassInfo(ITypeInfo** ppTI) {
    return Boundary(
        ppTI, [&] { Microsoft::WRL::ComPtr<ITypeInfo>(TypeLibrary::TypeInfoOf(ClassId())).CopyTo(ppTI); });
}

HRESULT ProvideClassInfo::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
    return Boundary(pGUID, [&] {
        if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        const IID source = DefaultSourceInterface(TypeLibrary::TypeInfoOf(ClassId()));
        if (::InlineIsEqualGUID(source, IID_NULL))
            return E_FAIL;
        *pGUID = source;
        return S_OK;
    });
}

} // namespace Fw
