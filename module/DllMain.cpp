#include "framework/com/Module.h"
#include "framework/com/TypeLibrary.h"
#include "framework/registration/Registrar.h"
#include "framework/windows/Window.h"
#include "interfaces/OstrelUITools.h"
#include "module/ClassTable.h"

namespace {

constexpr WORD libraryMajorVersion = 1;
constexpr WORD libraryMinorVersion = 0;
constexpr LCID libraryLocale = 0x409;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        Fw::Module::Current().Attach(instance);
        Fw::Module::Current().SetClasses(&ModuleClasses());
        ::DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        // At process exit the objects we hold may belong to libraries already gone.
        if (!reserved) {
            ModuleClasses().ReleaseClassObjects();
            Fw::Module::Current().SetClasses(nullptr);
            Fw::TypeLibrary::Release();
            // A host may load the module again; its window classes must not outlive this copy.
            Fw::UnregisterWindowClasses();
        }
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    return ModuleClasses().GetClassObject(clsid, iid, ppv);
}

STDAPI DllCanUnloadNow() {
    return Fw::Module::Current().LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    const HRESULT status = ModuleClasses().RegisterClasses();
    return FAILED(status) ? status : Fw::RegisterTypeLibrary();
}

STDAPI DllUnregisterServer() {
    const HRESULT status = ModuleClasses().UnregisterClasses();
    return FAILED(status) ? status
                          : Fw::UnregisterTypeLibrary(LIBID_OSTRELUITOOLSLib, libraryMajorVersion,
                                                      libraryMinorVersion, libraryLocale);
}
