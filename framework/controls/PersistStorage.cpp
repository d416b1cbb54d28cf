#include "framework/controls/PersistStorage.h"

#include "foundation/Com/Failure.h"
#include "framework/com/Boundary.h"

#include <wrl/client.h>

namespace Fw {

HRESULT PersistStorage::GetClassID(CLSID* pClassID) {
    return CopyClassId(pClassID);
}

HRESULT PersistStorage::IsDirty() {
    return Dirty() ? S_OK : S_FALSE;
}

HRESULT PersistStorage::InitNew(IStorage*) {
    return Boundary([&] { ResetToDefaults(); });
}

HRESULT PersistStorage::Load(IStorage* pStg) {
    return Boundary([&] {
        if (!pStg)
            return E_POINTER;
        Microsoft::WRL::ComPtr<IStream> stream;
        if (FAILED(pStg->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
            return E_FAIL;
        ApplyState(ReadState(stream.Get(), Properties().size()));
        return S_OK;
    });
}

HRESULT PersistStorage::Save(IStorage* pStgSave, BOOL fSameAsLoad) {
    return Boundary([&] {
        if (!pStgSave)
            return E_POINTER;
        Microsoft::WRL::ComPtr<IStream> stream;
        Com::ThrowIfFailed(pStgSave->CreateStream(
            L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream));
        WriteState(stream.Get(), CaptureState());
        if (fSameAsLoad)
            SetDirty(false);
        return S_OK;
    });
}

HRESULT PersistStorage::SaveCompleted(IStorage*) {
    return S_OK;
}

HRESULT PersistStorage::HandsOffStorage() {
    return S_OK;
}

} // namespace Fw
