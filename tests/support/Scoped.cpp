#include "Scoped.h"

#include <fstream>

namespace TestSupport {

ScratchFile::ScratchFile(const std::string& name, const std::string& content) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    m_path = std::string(folder) + name;
    std::ofstream(m_path, std::ios::binary) << content;
}

ScratchFile::~ScratchFile() {
    ::DeleteFileA(m_path.c_str());
}

} // namespace TestSupport
