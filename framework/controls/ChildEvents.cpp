#include "framework/controls/ChildEvents.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

#include <comdef.h>

namespace Fw {

Microsoft::WRL::ComPtr<IDispatch> ChildEventSink::Create(int childId, std::weak_ptr<const ChildEventRelay> relay) {
    Microsoft::WRL::ComPtr<IDispatch> sink;
    if (FAILED(Object<ChildEventSink>::Create(nullptr, IID_PPV_ARGS(&sink))))
        return nullptr;
    auto* self = static_cast<ChildEventSink*>(sink.Get());
    self->m_childId = childId;
    self->m_relay = std::move(relay);
    return sink;
}

HRESULT ChildEventSink::GetTypeInfoCount(UINT* pctinfo) {
    return Boundary(pctinfo, [] {});
}

HRESULT ChildEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    return Boundary(ppTInfo, [] { return E_NOTIMPL; });
}

HRESULT ChildEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    // A source calls its sinks by DISPID only.
    return E_NOTIMPL;
}

HRESULT ChildEventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* arguments, VARIANT*, EXCEPINFO*,
                               UINT*) {
    return Boundary([&] {
        if (!arguments)
            return E_POINTER;
        const auto relay = m_relay.lock();
        return relay ? (*relay)(m_childId, member, *arguments) : S_OK;
    });
}

std::string TextArgument(const DISPPARAMS& arguments, UINT position) {
    if (arguments.cNamedArgs != 0)
        Com::Throw(DISP_E_NONAMEDARGS);
    if (position >= arguments.cArgs || !arguments.rgvarg)
        Com::Throw(DISP_E_BADPARAMCOUNT);
    _variant_t text;
    Com::ThrowIfFailed(
        ::VariantChangeType(&text, &arguments.rgvarg[arguments.cArgs - 1 - position], 0, VT_BSTR));
    return Lang::FromBstr(text.bstrVal);
}

} // namespace Fw
