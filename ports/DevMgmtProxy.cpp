#include "ports/DevMgmtProxy.h"

#include "foundation/Win32/LibraryExport.h"

namespace {

const wchar_t libraryName[] = L"NorvikDevMgmt.dll";

} // namespace

std::wstring HostProgramFolder() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

DWORD CDevMgmtProxy::Load() {
    return LoadFrom(HostProgramFolder());
}

DWORD CDevMgmtProxy::LoadFrom(const std::wstring& folder) {
    m_entries = {};
    m_library.reset(::LoadLibraryW((folder + libraryName).c_str()));
    if (!m_library)
        return ::GetLastError();
    // In the order the suite's own loader looks them up; the first one missing ends the search.
    EntryPoints found;
    const HMODULE library = m_library.get();
    if (!Win32::FindExport(library, "_Z11GetPortList5_GUIDj", found.portList) ||
        !Win32::FindExport(library, "_Z14GetPortListComj", found.portListCom) ||
        !Win32::FindExport(library, "_Z16GetPortListModemj", found.portListModem) ||
        !Win32::FindExport(library, "_Z11DeviceParseRKNSt7__cxx1112basic_stringIwSt11char_traitsIwESaIwEEE",
                           found.deviceParse) ||
        !Win32::FindExport(
            library,
            "_Z14DeviceParseVecRKSt6vectorINSt7__cxx1112basic_stringIwSt11char_traitsIwESaIwEEESaIS5_EE",
            found.deviceParseVec) ||
        !Win32::FindExport(library, "_Z14GetPortListComb", found.portListComUsb) ||
        !Win32::FindExport(library, "_Z16GetPortListModemb", found.portListModemUsb)) {
        m_library.reset();
        return ERROR_INVALID_ADDRESS;
    }
    m_entries = found;
    return 0;
}

CDevMgmtProxy::Listing CDevMgmtProxy::GetPortListCom(unsigned int layoutVersion) const {
    return Listing(m_entries.portListCom ? m_entries.portListCom(layoutVersion) : nullptr);
}

CDevMgmtProxy::Listing CDevMgmtProxy::GetPortListModem(unsigned int layoutVersion) const {
    return Listing(m_entries.portListModem ? m_entries.portListModem(layoutVersion) : nullptr);
}

LocalPortDescriptions Described(const CDevMgmtProxy::Listing& listing) {
    LocalPortDescriptions ports;
    if (listing)
        for (const CPortDescription& port : *listing)
            ports.push_back({port.portName, port.description, port.detail, port.isUsb});
    return ports;
}
