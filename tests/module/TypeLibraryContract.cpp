// The automation surface as hosts see it: the registered type library, read
// back through oleaut32 and compared with the contract's tables. Hosts bind
// by vtable slot, by DISPID and by name, so every mismatch here breaks one of
// them.
//
// The library must already be registered (the suite registers the module
// with regsvr32 before the tests run).

#include "../support/RegistryReader.h"
#include "AutomationContract.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace Contract;

namespace {

// A BSTR oleaut32 handed back, freed; "" for none.
std::string take(BSTR text) {
    const _bstr_t owned(text, false);
    return text && *text ? static_cast<const char*>(owned) : "";
}

std::string guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return static_cast<const char*>(_bstr_t(text));
}

GUID guidOf(const char* text) {
    GUID guid = {};
    CLSIDFromString(_bstr_t(text), &guid);
    return guid;
}

// Name and help string of a library (-1), one of its types (by index), a type (MEMBERID_NIL) or a member.
template <class Owner>
std::pair<std::string, std::string> documentation(Owner* owner, LONG id) {
    BSTR name = nullptr, help = nullptr;
    owner->GetDocumentation(id, &name, &help, nullptr, nullptr);
    return {take(name), take(help)};
}

std::string typeName(ITypeInfo* info) {
    return documentation(info, MEMBERID_NIL).first;
}

// Attributes and descriptions go back to the type info that lent them.
std::shared_ptr<const TYPEATTR> typeAttr(ITypeInfo* info) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr)))
        return nullptr;
    return {attr, [owner = ComPtr<ITypeInfo>(info)](TYPEATTR* a) { owner->ReleaseTypeAttr(a); }};
}

std::shared_ptr<const FUNCDESC> funcDesc(ITypeInfo* info, UINT index) {
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(index, &desc)))
        return nullptr;
    return {desc, [owner = ComPtr<ITypeInfo>(info)](FUNCDESC* d) { owner->ReleaseFuncDesc(d); }};
}

// The type as the IDL spells it, so that the tables read like the IDL.
std::string typeText(ITypeInfo* info, const TYPEDESC& desc) {
    static const std::map<VARTYPE, const char*> names = {
        {VT_I2, "short"}, {VT_UI2, "unsigned short"}, {VT_I4, "long"},           {VT_UI4, "unsigned long"},
        {VT_INT, "int"},  {VT_BSTR, "BSTR"},          {VT_UNKNOWN, "IUnknown*"}, {VT_HRESULT, "HRESULT"}};
    ComPtr<ITypeInfo> ref;
    if (desc.vt == VT_PTR)
        return typeText(info, *desc.lptdesc) + "*";
    if (desc.vt == VT_USERDEFINED)
        return SUCCEEDED(info->GetRefTypeInfo(desc.hreftype, &ref)) ? typeName(ref.Get()) : "(unresolved)";
    const auto found = names.find(desc.vt);
    return found != names.end() ? found->second : "VT " + std::to_string(desc.vt);
}

// The name of an implemented or base interface. The tests pin each name of ours to its IID,
// and the library to one type of each name, so a copy of a stdole2 interface would show there.
std::string referenced(ITypeInfo* info, UINT implIndex) {
    HREFTYPE href = 0;
    ComPtr<ITypeInfo> ref;
    if (FAILED(info->GetRefTypeOfImplType(implIndex, &href)) || FAILED(info->GetRefTypeInfo(href, &ref)))
        return "(unresolved)";
    return typeName(ref.Get());
}

std::string paramText(const std::string& type, USHORT flags, const std::string& name) {
    static const std::map<USHORT, std::string> directions = {
        {NoDir, ""}, {In, "[in] "}, {Out, "[out] "}, {InOut, "[in, out] "}, {Retval, "[out, retval] "}};
    const auto found = directions.find(flags);
    return (found != directions.end() ? found->second : "[flags " + std::to_string(flags) + "] ") + type +
           (name.empty() ? "" : " " + name);
}

// One vtable entry as the IDL would declare it, led by its slot so that a moved member shows.
std::string memberLine(UINT slot, INVOKEKIND kind, MEMBERID id, const std::string& help,
                       const std::string& result, const std::string& name,
                       const std::vector<std::string>& params) {
    std::string line = std::to_string(slot) + ": [id(" + std::to_string(id) + ")";
    line += kind == INVOKE_PROPERTYGET ? ", propget" : kind == INVOKE_PROPERTYPUT ? ", propput" : "";
    line += ", helpstring(\"" + help + "\")] " + result + " " + name + "(";
    for (std::size_t p = 0; p < params.size(); ++p)
        line += (p ? ", " : "") + params[p];
    return line + ")";
}

std::vector<std::string> expectedMembers(const InterfaceRow& iface, UINT firstSlot) {
    std::vector<std::string> lines;
    for (const MemberRow& row : kMembers) {
        if (row.iface != std::string(iface.name))
            continue;
        const std::string help =
            row.help ? row.help : (row.kind == Method ? "method " : "property ") + std::string(row.name);
        std::vector<std::string> params;
        for (const Param& p : row.params)
            if (p.type)
                params.push_back(paramText(p.type, p.flags, p.name));
        const UINT slot = firstSlot + static_cast<UINT>(lines.size());
        const INVOKEKIND kind = row.kind == Method ? INVOKE_FUNC : INVOKE_PROPERTYGET;
        lines.push_back(memberLine(slot, kind, row.dispid, help, "HRESULT", row.name, params));
        if (row.kind != Prop)
            continue;
        // The put takes what the get returns, and the library keeps no name for it; its help
        // string is looked up by DISPID, so it reads its get's.
        std::string value = row.params[0].type;
        value.pop_back();
        lines.push_back(
            memberLine(slot + 1, INVOKE_PROPERTYPUT, row.dispid, help, "HRESULT", row.name, {value}));
    }
    return lines;
}

class TypeLibraryContract : public ::testing::Test {
protected:
    void SetUp() override {
        // The library is registered for its own locale, 0x409.
        HRESULT hr = LoadRegTypeLib(guidOf(kLibId), 1, 0, 0x409, &lib);
        ASSERT_EQ(S_OK, hr) << "type library " << kLibId << " 1.0 is not registered";
    }

    ComPtr<ITypeLib> lib;
};

TEST_F(TypeLibraryContract, LibraryHoldsTheContractsTypesAndNoOthers) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
    // The 32-bit module carries the plain 32-bit library; the x64 one is marked 64-bit.
    EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attr->syskind);
    lib->ReleaseTLibAttr(attr);
    EXPECT_EQ(std::make_pair(std::string(kLibName), std::string(kLibHelp)), documentation(lib.Get(), -1));

    // A copy of an imported type (IUnknown, GUID) or a stray declaration
    // would show up here as a name hosts were never promised.
    std::vector<std::string> expected{kEnumName}, actual;
    for (const auto& row : kInterfaces)
        expected.push_back(row.name);
    for (const auto& row : kClasses)
        expected.push_back(row.name);
    ComPtr<ITypeInfo> portState;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        actual.push_back(documentation(lib.Get(), i).first);
        if (actual.back() == kEnumName)
            lib->GetTypeInfo(i, &portState);
    }
    const std::string diff = TestSupport::lineDiff(expected, actual);
    EXPECT_TRUE(diff.empty()) << diff;

    // The port states: a 32-bit signed enumeration.
    ASSERT_TRUE(portState);
    const auto enumAttr = typeAttr(portState.Get());
    EXPECT_EQ(TKIND_ENUM, enumAttr->typekind);
    EXPECT_EQ(4u, enumAttr->cbSizeInstance);
    std::vector<std::string> expectedValues, values;
    for (const auto& [name, value] : kPortState)
        expectedValues.push_back(std::string(name) + " = " + std::to_string(value));
    for (UINT i = 0; i < enumAttr->cVars; ++i) {
        VARDESC* var = nullptr;
        ASSERT_EQ(S_OK, portState->GetVarDesc(i, &var));
        const bool constant = var->varkind == VAR_CONST && V_VT(var->lpvarValue) == VT_I4;
        values.push_back(documentation(portState.Get(), var->memid).first + " = " +
                         (constant ? std::to_string(V_I4(var->lpvarValue)) : "(not a long constant)"));
        portState->ReleaseVarDesc(var);
    }
    EXPECT_EQ(expectedValues, values);
}

TEST_F(TypeLibraryContract, InterfacesAndTheirMembersInVtableOrder) {
    for (const InterfaceRow& row : kInterfaces) {
        SCOPED_TRACE(row.name);
        const bool dual = row.shape == Shape::Dual, custom = row.shape == Shape::Custom;
        ComPtr<ITypeInfo> info, members;
        ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(guidOf(row.iid), &info));
        EXPECT_EQ(std::make_pair(std::string(row.name), row.name + std::string(" Interface")),
                  documentation(info.Get(), MEMBERID_NIL));
        const auto attr = typeAttr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_EQ(custom ? TKIND_INTERFACE : TKIND_DISPATCH, attr->typekind);
        const WORD dualFlags = TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE;
        const WORD otherFlags = custom ? TYPEFLAG_FOLEAUTOMATION : TYPEFLAG_FDISPATCHABLE;
        EXPECT_EQ(dual ? dualFlags : otherFlags, attr->wTypeFlags);
        // A dual interface's members sit in its interface half, which alone carries the
        // automation flag.
        HREFTYPE href = 0;
        if (!dual) {
            members = info;
        } else if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &href)) ||
                   FAILED(info->GetRefTypeInfo(href, &members))) {
            FAIL() << "no interface half";
        }
        const auto vtable = typeAttr(members.Get());
        ASSERT_TRUE(vtable);
        if (dual) {
            EXPECT_EQ(TKIND_INTERFACE, vtable->typekind);
            EXPECT_EQ(dualFlags | TYPEFLAG_FOLEAUTOMATION, vtable->wTypeFlags);
            EXPECT_EQ(row.iid, guidText(vtable->guid));
        }
        EXPECT_EQ(0, vtable->cVars);
        ASSERT_EQ(1, vtable->cImplTypes);
        EXPECT_EQ(custom ? "IUnknown" : "IDispatch", referenced(members.Get(), 0));

        // After the 3 slots of IUnknown, or the 7 of IDispatch; a dispinterface has no vtable.
        const bool events = row.shape == Shape::Events;
        const UINT firstSlot = custom ? 3 : 7;
        if (!events) {
            EXPECT_EQ((firstSlot + vtable->cFuncs) * sizeof(void*), std::size_t{vtable->cbSizeVft});
        }
        std::vector<std::string> actual;
        for (UINT i = 0; i < vtable->cFuncs; ++i) {
            const auto func = funcDesc(members.Get(), i);
            ASSERT_TRUE(func);
            EXPECT_EQ(CC_STDCALL, func->callconv) << "entry " << i + 1;
            EXPECT_EQ(events ? FUNC_DISPATCH : FUNC_PUREVIRTUAL, func->funckind) << "entry " << i + 1;
            // Names are looked up by DISPID, which for a put finds its get's.
            BSTR names[8] = {};
            UINT named = 0;
            if (func->invkind != INVOKE_PROPERTYPUT)
                members->GetNames(func->memid, names, 8, &named);
            take(names[0]);
            std::vector<std::string> params;
            for (SHORT p = 0; p < func->cParams; ++p) {
                const ELEMDESC& param = func->lprgelemdescParam[p];
                params.push_back(paramText(typeText(members.Get(), param.tdesc), param.paramdesc.wParamFlags,
                                           p + 1u < named ? take(names[p + 1]) : ""));
            }
            const auto [name, help] = documentation(members.Get(), func->memid);
            const UINT slot = events ? firstSlot + i : func->oVft / sizeof(void*);
            actual.push_back(memberLine(slot, func->invkind, func->memid, help,
                                        typeText(members.Get(), func->elemdescFunc.tdesc), name, params));
        }
        const std::string diff = TestSupport::lineDiff(expectedMembers(row, firstSlot), actual);
        EXPECT_TRUE(diff.empty()) << diff;
    }
}

TEST_F(TypeLibraryContract, ClassesAndTheirInterfaces) {
    for (const ClassRow& row : kClasses) {
        const std::string name = row.name;
        SCOPED_TRACE(name);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(guidOf(row.clsid), &info));
        EXPECT_EQ(std::make_pair(name, name + " Class"), documentation(info.Get(), MEMBERID_NIL));
        const auto attr = typeAttr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        // Creatable, and no control flag: registration marks the controls.
        EXPECT_EQ(TYPEFLAG_FCANCREATE, attr->wTypeFlags);

        // The property pages answer stdole2's IUnknown.
        std::vector<std::pair<INT, std::string>> expected = {
            {IMPLTYPEFLAG_FDEFAULT, row.kind == Kind::PropertyPage ? "IUnknown" : "I" + name}};
        if (row.events)
            expected.push_back({IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, "_I" + name + "Events"});
        std::vector<std::pair<INT, std::string>> actual;
        for (UINT i = 0; i < attr->cImplTypes; ++i) {
            INT flags = -1;
            info->GetImplTypeFlags(i, &flags);
            actual.push_back({flags, referenced(info.Get(), i)});
        }
        EXPECT_EQ(expected, actual);
    }
}

} // namespace
