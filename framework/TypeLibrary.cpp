#include "framework/TypeLibrary.h"

#include "foundation/Lang/Text.h"
#include "framework/Module.h"

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
        const HRESULT status =
            ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, state.library.ReleaseAndGetAddressOf());
        if (FAILED(status))
            _com_issue_error(status);
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
    const HRESULT status = Get()->GetTypeInfoOfGuid(guid, &info);
    if (FAILED(status))
        _com_issue_error(status);
    state.types.emplace_back(guid, info);
    return info.Get();
}

IID DefaultSourceInterface(ITypeInfo* coclass) {
    TYPEATTR* attributes = nullptr;
    if (const HRESULT status = coclass->GetTypeAttr(&attributes); FAILED(status))
        _com_issue_error(status);
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
