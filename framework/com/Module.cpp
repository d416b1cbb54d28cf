#include "framework/com/Module.h"

#include "foundation/Lang/Text.h"
#include "framework/com/ClassTable.h"

#include <utility>

namespace Fw {

Module& Module::Current() {
    static Module module;
    return module;
}

void Module::Attach(HINSTANCE instance) {
    m_instance = instance;
}

ClassTable* Module::SetClasses(ClassTable* classes) {
    return std::exchange(m_classes, classes);
}

HRESULT Module::CreateObject(REFCLSID clsid, REFIID iid, void** ppv) const {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_classes ? m_classes->CreateObject(clsid, iid, ppv) : CLASS_E_CLASSNOTAVAILABLE;
}

std::string Module::Path() const {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(m_instance, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string Module::Folder() const {
    const std::string path = Path();
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string Module::String(UINT id) const {
    // Asked for no buffer, LoadStringW hands out the table's own UTF-16 text and its length.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(m_instance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? Lang::FromWide({text, static_cast<size_t>(length)}) : std::string();
}

} // namespace Fw
