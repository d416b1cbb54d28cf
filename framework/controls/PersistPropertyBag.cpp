#include "framework/controls/PersistPropertyBag.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT PersistPropertyBag::GetClassID(CLSID* pClassID) {
    return CopyClassId(pClassID);
}

HRESULT PersistPropertyBag::InitNew() {
    return Boundary([&] { ResetToDefaults(); });
}

HRESULT PersistPropertyBag::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
    return Boundary([&] { ApplyState(ReadBag(pPropBag, pErrorLog, Properties(), CaptureState())); });
}

HRESULT PersistPropertyBag::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
    return Boundary([&] {
        WriteBag(pPropBag, CaptureState(), Properties());
        if (fClearDirty)
            SetDirty(false);
    });
}

} // namespace Fw
