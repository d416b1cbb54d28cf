#pragma once

#include <oaidl.h>

#include <vector>

namespace Fw {

// A script passes each variable by reference as a VARIANT, which the platform's ITypeInfo::Invoke
// will not hand to an [in,out] object reference (IUnknown**, IDispatch**): the call would fail with
// a type mismatch. While one of these lives, such arguments of the member being invoked point at
// a reference of the parameter's own type, holding the variable's object (or null); when it goes,
// each variable takes the object the member left there, in place of the one it held.
class ObjectReferenceArguments {
public:
    ObjectReferenceArguments(ITypeInfo* info, DISPID member, WORD flags, DISPPARAMS& parameters);
    ~ObjectReferenceArguments();
    ObjectReferenceArguments(const ObjectReferenceArguments&) = delete;
    ObjectReferenceArguments& operator=(const ObjectReferenceArguments&) = delete;

private:
    struct Adapted {
        VARIANTARG* argument;
        VARIANT* variable;
        IUnknown* reference;
    };
    std::vector<Adapted> m_adapted;
};

} // namespace Fw
