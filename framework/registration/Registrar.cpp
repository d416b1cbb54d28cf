#include "framework/registration/Registrar.h"

#include "foundation/Lang/Exception.h"
#include "foundation/Lang/Text.h"
#include "foundation/Lang/Trace.h"
#include "framework/com/Module.h"
#include "framework/registration/RegistryScript.h"

#include <wrl/client.h>

namespace Fw {

namespace {

constexpr HRESULT malformedScript = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

#ifdef _WIN64
constexpr SYSKIND moduleSysKind = SYS_WIN64;
#else
constexpr SYSKIND moduleSysKind = SYS_WIN32;
#endif

bool LoadScriptText(UINT resourceId, std::string& text) {
    const HMODULE module = Module::Current().Instance();
    const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), "REGISTRY");
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return false;
    text.assign(static_cast<const char*>(data), ::SizeofResource(module, resource));
    return true;
}

} // namespace

HRESULT RunRegistryScript(UINT resourceId, bool registering) {
    std::string text;
    if (!LoadScriptText(resourceId, text)) {
        Lang::Trace("registry script %u: resource not found\r\n", resourceId);
        return malformedScript;
    }
    const std::string path = Module::Current().Path();
    RegistryScript script;
    try {
        script = RegistryScript::Parse(text, {{"MODULE", path}, {"MODULE_RAW", path}});
    } catch (const Lang::Exception& failure) {
        Lang::Trace("registry script %u, %s: %s\r\n", resourceId, failure.GetContext().c_str(),
                    failure.what());
        return malformedScript;
    }
    return registering ? script.Register() : script.Unregister();
}

HRESULT RegisterTypeLibrary() {
    std::string path = Module::Current().Path();
    Microsoft::WRL::ComPtr<ITypeLib> library;
    HRESULT status = ::LoadTypeLibEx(Lang::ToWide(path).c_str(), REGKIND_NONE, &library);
    if (FAILED(status)) {
        const size_t dot = path.find_last_of('.');
        path = (dot == std::string::npos ? path : path.substr(0, dot)) + ".tlb";
        status = ::LoadTypeLibEx(Lang::ToWide(path).c_str(), REGKIND_NONE, &library);
    }
    if (FAILED(status))
        return status;
    std::wstring widePath = Lang::ToWide(path);
    std::wstring helpFolder = Lang::ToWide(Module::Current().Folder());
    return ::RegisterTypeLib(library.Get(), widePath.data(), helpFolder.data());
}

HRESULT UnregisterTypeLibrary(REFGUID libraryId, WORD majorVersion, WORD minorVersion, LCID locale) {
    return ::UnRegisterTypeLib(libraryId, majorVersion, minorVersion, locale, moduleSysKind);
}

} // namespace Fw
