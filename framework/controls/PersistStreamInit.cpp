#include "framework/controls/PersistStreamInit.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT PersistStreamInit::GetClassID(CLSID* pClassID) {
    return CopyClassId(pClassID);
}

HRESULT PersistStreamInit::IsDirty() {
    return Dirty() ? S_OK : S_FALSE;
}

HRESULT PersistStreamInit::Load(LPSTREAM pStm) {
    return Boundary([&] { ApplyState(ReadState(pStm, Properties().size())); });
}

HRESULT PersistStreamInit::Save(LPSTREAM pStm, BOOL fClearDirty) {
    return Boundary([&] {
        WriteState(pStm, CaptureState());
        if (fClearDirty)
            SetDirty(false);
    });
}

HRESULT PersistStreamInit::GetSizeMax(ULARGE_INTEGER* pCbSize) {
    return Boundary(pCbSize, [&] { pCbSize->QuadPart = StateSize(Properties().size()); });
}

HRESULT PersistStreamInit::InitNew() {
    return Boundary([&] { ResetToDefaults(); });
}

} // namespace Fw
