#include "framework/TypeLibrary.h"

#include "foundation/Lang/Text.h"
#include "framework/Module.h"

#include <comdef.h>
#include <wrl/client.h>

#include <vector>

namespace Fw {

namespace {

using Microsoft::WRL::ComPtr;

struct Cache {
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

void TypeLibrary::Release() {
    cache().types.clear();
    cache().library.Reset();
}

} // namespace Fw
