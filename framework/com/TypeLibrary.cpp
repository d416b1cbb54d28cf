#include "framework/com/TypeLibrary.h"
#include "foundation/Com/Failure.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Module.h"

#include <comdef.h>
#include <wrl/client.h>

#include <mutex>
#include <vector>

namespace Fw {

namespace {

using Microsoft::WRL::ComPtr;

// Shared by every apartment of the process that uses the module's objects.
struct Cache {
    std::recursive_mutex lock;
    ComPtr<ITypeLib> library;
    std::vector<std::pair<GUID, ComPtr<ITypeInfo>>> types;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

} // namespace

ITypeLib* TypeLibrary::Get() {
    Cache& state = cache();
    const std::lock_guard lock(state.lock);
    if (!state.library) {
        const std::wstring path = Lang::ToWide(Module::Current().Path());
        Com::ThrowIfFailed(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, state.library.ReleaseAndGetAddressOf()));
    }
    return state.library.Get();
}

ITypeInfo* TypeLibrary::TypeInfoOf(REFGUID guid) {
    Cache& state = cache();
    const std::lock_guard lock(state.lock);
    for (const auto& [known, info] : state.types)
        if (::InlineIsEqualGUID(known, guid))
            return info.Get();
    ComPtr<ITypeInfo> info;
    Com::ThrowIfFailed(Get()->GetTypeInfoOfGuid(guid, &info));
    state.types.emplace_back(guid, info);
    return info.Get();
}

IID DefaultSourceInterface(ITypeInfo* coclass) {
    TYPEATTR* attributes = nullptr;
    Com::ThrowIfFailed(coclass->GetTypeAttr(&attributes));
    const WORD count = attributes->cImplTypes;
    coclass->ReleaseTypeAttr(attributes);
    constexpr INT defaultSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    for (UINT index = 0; index < count; ++index) {
        INT flags = 0;
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> source;
        if (FAILED(coclass->GetImplTypeFlags(index, &flags)) || (flags & defaultSource) != defaultSource ||
            FAILED(coclass->GetRefTypeOfImplType(index, &reference)) ||
            FAILED(coclass->GetRefTypeInfo(reference, &source)) || FAILED(source->GetTypeAttr(&attributes)))
            continue;
        const IID iid = attributes->guid;
        source->ReleaseTypeAttr(attributes);
        return iid;
    }
    return IID_NULL;
}

void TypeLibrary::Release() {
    Cache& state = cache();
    const std::lock_guard lock(state.lock);
    state.types.clear();
    state.library.Reset();
}

} // namespace Fw
