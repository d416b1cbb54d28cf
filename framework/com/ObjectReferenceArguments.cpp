#include "framework/com/ObjectReferenceArguments.h"

#include <algorithm>

namespace Fw {

namespace {

// The object type an [in,out] parameter refers to: VT_UNKNOWN or VT_DISPATCH, else VT_EMPTY.
VARTYPE ReferencedObjectType(const ELEMDESC& parameter) {
    const TYPEDESC& type = parameter.tdesc;
    if (type.vt != VT_PTR || !type.lptdesc)
        return VT_EMPTY;
    const VARTYPE target = type.lptdesc->vt;
    return target == VT_UNKNOWN || target == VT_DISPATCH ? target : VARTYPE{VT_EMPTY};
}

bool HoldsObjectOrNothing(const VARIANT& variable) {
    const VARTYPE type = V_VT(&variable);
    return type == VT_EMPTY || type == VT_NULL || type == VT_UNKNOWN || type == VT_DISPATCH;
}

} // namespace

ObjectReferenceArguments::ObjectReferenceArguments(ITypeInfo* info, DISPID member, WORD flags,
                                                   DISPPARAMS& parameters) {
    if (!info || !(flags & DISPATCH_METHOD) || parameters.cNamedArgs != 0)
        return;
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes)))
        return;
    const WORD functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    for (WORD index = 0; index < functions; ++index) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(index, &function)))
            continue;
        if (function->memid == member && function->invkind == INVOKE_FUNC) {
            const UINT count = std::min<UINT>(parameters.cArgs, static_cast<UINT>(function->cParams));
            for (UINT position = 0; position < count; ++position) {
                // Arguments come last first.
                VARIANTARG& argument = parameters.rgvarg[parameters.cArgs - 1 - position];
                const VARTYPE target = ReferencedObjectType(function->lprgelemdescParam[position]);
                if (target == VT_EMPTY || V_VT(&argument) != (VT_BYREF | VT_VARIANT) || !V_VARIANTREF(&argument) ||
                    !HoldsObjectOrNothing(*V_VARIANTREF(&argument)))
                    continue;
                VARIANT* variable = V_VARIANTREF(&argument);
                const bool holdsObject = V_VT(variable) == VT_UNKNOWN || V_VT(variable) == VT_DISPATCH;
                m_adapted.push_back({&argument, variable, holdsObject ? V_UNKNOWN(variable) : nullptr});
            }
        }
        info->ReleaseFuncDesc(function);
    }
    for (Adapted& adapted : m_adapted) {
        V_VT(adapted.argument) = VT_BYREF | VT_UNKNOWN;
        V_UNKNOWNREF(adapted.argument) = &adapted.reference;
    }
}

ObjectReferenceArguments::~ObjectReferenceArguments() {
    for (Adapted& adapted : m_adapted) {
        VARIANT* variable = adapted.variable;
        V_VT(adapted.argument) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(adapted.argument) = variable;
        const bool holdsObject = V_VT(variable) == VT_UNKNOWN || V_VT(variable) == VT_DISPATCH;
        if (holdsObject && V_UNKNOWN(variable) == adapted.reference)
            continue;
        // The module's members overwrite such a reference without releasing what it held: the
        // variable lets its own object go and takes the new one.
        ::VariantClear(variable);
        V_VT(variable) = adapted.reference ? VT_UNKNOWN : VT_EMPTY;
        if (adapted.reference)
            V_UNKNOWN(variable) = adapted.reference;
    }
}

} // namespace Fw
