#include "devicesim/SimPhoneEfs.h"

#include "devicesim/SimEfsFile.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

namespace Sim {

void SimPhoneEfs::Init(std::shared_ptr<SimCore> core, short phoneId) {
    m_core = std::move(core);
    m_phoneId = phoneId;
}

SimPhone& SimPhoneEfs::Phone() const {
    SimPhone* phone = m_core->State().findPhone(m_phoneId);
    if (!phone)
        Com::Throw(Status::NoPhone);
    return *phone;
}

SimPhone& SimPhoneEfs::PhoneWithFiles() const {
    SimPhone& phone = Phone();
    if (!phone.efsPresent)
        Com::Throw(Status::NoFileSystem);
    return phone;
}

HRESULT STDMETHODCALLTYPE SimPhoneEfs::IsEfsPresent(long* plPresent) {
    return Fw::Boundary(plPresent, [&] {
        m_core->Enter("IsEfsPresent");
        *plPresent = Phone().efsPresent ? 1 : 0;
    });
}

HRESULT STDMETHODCALLTYPE SimPhoneEfs::GetEfsVersion(long* plVersion) {
    return Fw::Boundary(plVersion, [&] {
        m_core->Enter("GetEfsVersion");
        *plVersion = PhoneWithFiles().efsVersion;
    });
}

HRESULT STDMETHODCALLTYPE SimPhoneEfs::RemoveFile(BSTR bstrPath) {
    return Fw::Boundary([&] {
        m_core->Enter("RemoveFile");
        if (PhoneWithFiles().files.erase(Lang::FromBstr(bstrPath)) == 0)
            Com::Throw(STG_E_FILENOTFOUND);
    });
}

HRESULT STDMETHODCALLTYPE SimPhoneEfs::OpenFile(BSTR bstrPath, long lMode, IUnknown** ppFile) {
    return Fw::Boundary(ppFile, [&] {
        const std::string path = Lang::FromBstr(bstrPath);
        m_core->Enter("OpenFile", Lang::Format("%s,%ld", path.c_str(), lMode));
        SimPhone& phone = PhoneWithFiles();
        if (lMode == ReadMode) {
            const auto found = phone.files.find(path);
            if (found == phone.files.end())
                Com::Throw(STG_E_FILENOTFOUND);
            *ppFile = NewObject<SimEfsFile, IStream>(m_core, m_phoneId, path, found->second, false).Detach();
        } else if (lMode == WriteMode) {
            *ppFile =
                NewObject<SimEfsFile, IStream>(m_core, m_phoneId, path, std::vector<std::uint8_t>(), true)
                    .Detach();
        } else {
            Com::Throw(E_INVALIDARG);
        }
    });
}

} // namespace Sim
