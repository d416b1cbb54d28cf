#pragma once

#include "framework/controls/ControlBase.h"

namespace Fw {

// IProvideClassInfo2: the control's coclass and its default event interface, from the
// module's type library. (GetClassInfo is GetClassInfoA in an ANSI build.)
class ProvideClassInfo : public IProvideClassInfo2, public virtual ControlBase {
public:
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID* pGUID) override;
};

} // namespace Fw
