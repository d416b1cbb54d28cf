#pragma once

#include <oaidl.h>

namespace Fw {

// The type library embedded in this module, loaded once and kept for the module's life.
// Dispatch and class information are served from it, so they can never disagree with
// what a host reads from the registered library.
class TypeLibrary {
public:
    // Throws _com_error when the library or the type cannot be loaded.
    static ITypeLib* Get();
    static ITypeInfo* TypeInfoOf(REFGUID guid);
    static void Release();
};

// The [default, source] interface of a coclass, as hosts find a control's events; IID_NULL
// when the class has none. Throws _com_error when the coclass cannot be read.
IID DefaultSourceInterface(ITypeInfo* coclass);

} // namespace Fw
