#include "framework/Module.h"

namespace Fw {

Module& Module::Current() {
    static Module module;
    return module;
}

void Module::Attach(HINSTANCE instance) {
    m_instance = instance;
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

} // namespace Fw
