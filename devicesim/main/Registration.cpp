#include "devicesim/main/Registration.h"

#include "devicesim/main/resource.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Module.h"
#include "framework/registration/Registrar.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

namespace DeviceSim {

namespace {

using Microsoft::WRL::ComPtr;

constexpr UINT embeddedLibraries[] = {IDT_SIMCONTROL_LIBRARY, IDT_SERVER_LIBRARY};

// The path the platform loads an embedded library by: the module alone names the first one.
std::wstring LibraryPath(UINT resourceId) {
    std::string path = Fw::Module::Current().Path();
    if (resourceId != 1)
        path += "\\" + std::to_string(resourceId);
    return Lang::ToWide(path);
}

HRESULT LoadEmbeddedLibrary(UINT resourceId, ComPtr<ITypeLib>& library) {
    return ::LoadTypeLibEx(LibraryPath(resourceId).c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
}

HRESULT RegisterLibrary(UINT resourceId) {
    ComPtr<ITypeLib> library;
    HRESULT status = LoadEmbeddedLibrary(resourceId, library);
    if (FAILED(status))
        return status;
    std::wstring path = LibraryPath(resourceId);
    std::wstring helpFolder = Lang::ToWide(Fw::Module::Current().Folder());
    return ::RegisterTypeLib(library.Get(), path.data(), helpFolder.data());
}

// Identifier, version, locale and platform as the library itself states them.
HRESULT UnregisterLibrary(UINT resourceId) {
    ComPtr<ITypeLib> library;
    HRESULT status = LoadEmbeddedLibrary(resourceId, library);
    if (FAILED(status))
        return status;
    TLIBATTR* attributes = nullptr;
    status = library->GetLibAttr(&attributes);
    if (FAILED(status))
        return status;
    status = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                 attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return status;
}

} // namespace

HRESULT RegisterServer() {
    HRESULT status = Fw::RunRegistryScript(IDR_OSTRELDEVICESIM, true);
    for (const UINT library : embeddedLibraries)
        if (SUCCEEDED(status))
            status = RegisterLibrary(library);
    return status;
}

HRESULT UnregisterServer() {
    HRESULT status = Fw::RunRegistryScript(IDR_OSTRELDEVICESIM, false);
    for (const UINT library : embeddedLibraries)
        if (SUCCEEDED(status))
            status = UnregisterLibrary(library);
    return status;
}

} // namespace DeviceSim
