#pragma once

#include <windows.h>

#include <string>

namespace Fw {

// Runs the registry script stored in this module as resource type "REGISTRY" under the
// given id, with %MODULE% (and %MODULE_RAW%) set to the module's path. A script that
// cannot be loaded or parsed fails with HRESULT_FROM_WIN32(ERROR_INVALID_DATA) and writes
// nothing; the reason goes to the debug trace.
HRESULT RunRegistryScript(UINT resourceId, bool registering);

// Registers the module's type library machine-wide, with the module's folder as help
// directory: the embedded TYPELIB resource, or else the .tlb file beside the module.
HRESULT RegisterTypeLibrary();
HRESULT UnregisterTypeLibrary(REFGUID libraryId, WORD majorVersion, WORD minorVersion, LCID locale);

} // namespace Fw
