#include "devicesim/SimPhoneObject.h"

#include "devicesim/SimRecords.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

namespace Sim {

void SimPhoneObject::Init(std::shared_ptr<SimCore> core, short phoneId) {
    m_core = std::move(core);
    m_phoneId = phoneId;
}

const SimPhone& SimPhoneObject::Phone() const {
    const SimPhone* phone = m_core->State().findPhone(m_phoneId);
    if (!phone)
        Com::Throw(Status::NoPhone);
    return *phone;
}

HRESULT STDMETHODCALLTYPE SimPhoneObject::GetEsn(long* plEsn) {
    return Fw::Boundary(plEsn, [&] {
        m_core->Enter("GetEsn");
        *plEsn = EsnValue(Phone());
    });
}

HRESULT STDMETHODCALLTYPE SimPhoneObject::GetPhoneText(BSTR* pbstrText) {
    return Fw::Boundary(pbstrText, [&] {
        m_core->Enter("GetPhoneText");
        *pbstrText = Lang::ToBstr(Phone().phoneName);
    });
}

HRESULT STDMETHODCALLTYPE SimPhoneObject::GetMeidText(BSTR* pbstrMeid) {
    return Fw::Boundary(pbstrMeid, [&] {
        m_core->Enter("GetMeidText");
        *pbstrMeid = Lang::ToBstr(Phone().meid);
    });
}

} // namespace Sim
