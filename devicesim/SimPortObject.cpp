#include "devicesim/SimPortObject.h"

#include "devicesim/SimPhoneEfs.h"
#include "devicesim/SimPhoneObject.h"
#include "devicesim/SimPortDescriptor.h"
#include "devicesim/SimRecords.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

namespace Sim {

void SimPortObject::Init(std::shared_ptr<SimCore> core, short portId) {
    m_core = std::move(core);
    m_portId = portId;
}

SimPhone* SimPortObject::PhoneOrNull() {
    m_core->Port(m_portId);
    return m_core->State().phoneOnPort(m_portId);
}

HRESULT STDMETHODCALLTYPE SimPortObject::GetPortObject(long lKind, long, IUnknown** ppObject) {
    return Fw::Boundary(ppObject, [&] {
        m_core->Enter("GetPortObject");
        const short phoneId = m_core->PhoneOnPort(m_portId).id;
        if (lKind == PhoneObject)
            *ppObject = NewObject<SimPhoneObject, IOstrelPhone>(m_core, phoneId).Detach();
        else if (lKind == FileSystemObject)
            *ppObject = NewObject<SimPhoneEfs, IPhoneEfs>(m_core, phoneId).Detach();
        else
            Com::Throw(E_INVALIDARG);
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::GetPortDescriptor(IOstrelPortDescriptor** ppDescriptor) {
    return Fw::Boundary(ppDescriptor, [&] {
        m_core->Enter("GetPortDescriptor");
        m_core->Port(m_portId);
        *ppDescriptor = NewObject<SimPortDescriptor, IOstrelPortDescriptor>(m_core, m_portId).Detach();
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::IsLocked(unsigned char* pbLocked) {
    return Fw::Boundary(pbLocked, [&] {
        m_core->Enter("IsLocked");
        const SimPhone* phone = PhoneOrNull();
        *pbLocked = phone && phone->locked ? 1 : 0;
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::GetPhoneMode(long* plMode) {
    return Fw::Boundary(plMode, [&] {
        m_core->Enter("GetPhoneMode");
        const SimPhone* phone = PhoneOrNull();
        *plMode = phone ? phone->mode : 0;
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::GetPhoneKind(long* plKind) {
    return Fw::Boundary(plKind, [&] {
        m_core->Enter("GetPhoneKind");
        const SimPhone* phone = PhoneOrNull();
        // 1: an ESN phone; the views tell only 7 (MEID) apart.
        *plKind = !phone ? 0 : phone->meid.empty() ? 1 : PhoneKindMeid;
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::RequestPhoneMode(long lMode) {
    return Fw::Boundary([&] {
        m_core->Enter("RequestPhoneMode", std::to_string(lMode));
        m_core->SetPhoneMode(m_portId, lMode == ResetRequest ? OnlineMode : lMode);
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::AwaitPhoneMode(long lMode, long lTimeoutMs, long lFlags) {
    // Nothing happens in the simulator while a caller waits: the phone is there already, or
    // the wait times out at once.
    return Fw::Boundary([&] {
        m_core->Enter("AwaitPhoneMode", Lang::Format("%ld,%ld,%ld", lMode, lTimeoutMs, lFlags));
        if (m_core->PhoneOnPort(m_portId).mode != lMode)
            Com::Throw(Status::PhoneModeTimeout);
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::ReadModelNumber(unsigned short* pusModel) {
    return Fw::Boundary(pusModel, [&] {
        m_core->Enter("ReadModelNumber");
        *pusModel = ModelNumber(m_core->PhoneOnPort(m_portId));
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::ReadModelText(BSTR* pbstrModel) {
    return Fw::Boundary(pbstrModel, [&] {
        m_core->Enter("ReadModelText");
        *pbstrModel = Lang::ToBstr(m_core->PhoneOnPort(m_portId).modelText);
    });
}

HRESULT STDMETHODCALLTYPE SimPortObject::ReadPhoneStatus(long* plStatus) {
    return Fw::Boundary(plStatus, [&] {
        m_core->Enter("ReadPhoneStatus");
        *plStatus = m_core->PhoneOnPort(m_portId).phoneStatus;
    });
}

} // namespace Sim
