// The automation surface as hosts see it: the registered type library, read
// back through oleaut32 and compared with the contract's tables. Hosts bind
// by vtable slot, by DISPID and by name, so every mismatch here breaks one of
// them.
//
// The library must already be registered (the suite registers the module
// with regsvr32 before the tests run).

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "AutomationContract.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace Contract;

namespace {

constexpr const char* kStdOle2 = "{00020430-0000-0000-C000-000000000046}";
constexpr const char* kIUnknown = "{00000000-0000-0000-C000-000000000046}";
constexpr const char* kIDispatch = "{00020400-0000-0000-C000-000000000046}";

std::string narrow(const wchar_t* text) {
    if (!text)
        return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring wide(const char* text) {
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring result(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1)
        MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), size);
    return result;
}

// Owns the BSTRs an oleaut32 call hands back.
struct Bstr {
    BSTR value = nullptr;
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value); }
    BSTR* operator&() { return &value; }
    std::string str() const { return narrow(value); }
};

std::string guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return narrow(text);
}

GUID guidOf(const char* text) {
    GUID guid = {};
    CLSIDFromString(wide(text).c_str(), &guid);
    return guid;
}

struct TypeAttr {
    ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* ti)
        : info(ti) {
        if (FAILED(info->GetTypeAttr(&attr)))
            attr = nullptr;
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr)
            info->ReleaseTypeAttr(attr);
    }
    const TYPEATTR* operator->() const { return attr; }
};

struct FuncDesc {
    ComPtr<ITypeInfo> info;
    FUNCDESC* desc = nullptr;
    FuncDesc(ITypeInfo* ti, UINT index)
        : info(ti) {
        if (FAILED(info->GetFuncDesc(index, &desc)))
            desc = nullptr;
    }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() {
        if (desc)
            info->ReleaseFuncDesc(desc);
    }
    const FUNCDESC* operator->() const { return desc; }
};

std::string typeName(ITypeInfo* info) {
    Bstr name;
    info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    return name.str();
}

std::string libraryOf(ITypeInfo* info) {
    ComPtr<ITypeLib> lib;
    UINT index = 0;
    if (FAILED(info->GetContainingTypeLib(&lib, &index)))
        return "(no library)";
    TLIBATTR* attr = nullptr;
    if (FAILED(lib->GetLibAttr(&attr)))
        return "(no library attributes)";
    std::string text = guidText(attr->guid);
    lib->ReleaseTLibAttr(attr);
    return text;
}

// The type as the IDL spells it, so that the tables read like the IDL.
std::string typeText(ITypeInfo* info, const TYPEDESC& desc) {
    switch (desc.vt) {
    case VT_PTR:
        return typeText(info, *desc.lptdesc) + "*";
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> ref;
        if (FAILED(info->GetRefTypeInfo(desc.hreftype, &ref)))
            return "(unresolved)";
        return typeName(ref.Get());
    }
    case VT_I2:
        return "short";
    case VT_UI2:
        return "unsigned short";
    case VT_I4:
        return "long";
    case VT_UI4:
        return "unsigned long";
    case VT_INT:
        return "int";
    case VT_BSTR:
        return "BSTR";
    case VT_UNKNOWN:
        return "IUnknown*";
    case VT_DISPATCH:
        return "IDispatch*";
    case VT_HRESULT:
        return "HRESULT";
    default:
        return "VT " + std::to_string(desc.vt);
    }
}

struct Referenced {
    std::string name, guid, library;
};

Referenced referenced(ITypeInfo* info, UINT implIndex) {
    HREFTYPE href = 0;
    ComPtr<ITypeInfo> ref;
    if (FAILED(info->GetRefTypeOfImplType(implIndex, &href)) || FAILED(info->GetRefTypeInfo(href, &ref)))
        return {"(unresolved)", "", ""};
    TypeAttr attr(ref.Get());
    return {typeName(ref.Get()), attr.attr ? guidText(attr->guid) : "", libraryOf(ref.Get())};
}

const InterfaceRow* interfaceRow(const char* name) {
    for (const auto& row : kInterfaces)
        if (std::string(row.name) == name)
            return &row;
    return nullptr;
}

std::vector<const MemberRow*> membersOf(const char* iface) {
    std::vector<const MemberRow*> rows;
    for (const auto& row : kMembers)
        if (std::string(row.iface) == iface)
            rows.push_back(&row);
    return rows;
}

std::size_t paramCount(const MemberRow& row) {
    std::size_t n = 0;
    while (n < std::size(row.params) && row.params[n].type)
        ++n;
    return n;
}

std::string expectedHelp(const MemberRow& row) {
    if (row.help)
        return row.help;
    if (std::string(row.iface) == "IKmMobModelTools")
        return "";
    return (row.kind == Method ? "method " : "property ") + std::string(row.name);
}

INVOKEKIND invokeKind(MemberKind kind) {
    switch (kind) {
    case Get:
        return INVOKE_PROPERTYGET;
    case Put:
        return INVOKE_PROPERTYPUT;
    default:
        return INVOKE_FUNC;
    }
}

class TypeLibraryContract : public ::testing::Test {
protected:
    void SetUp() override {
        // The library is registered for its own locale, 0x409.
        HRESULT hr = LoadRegTypeLib(guidOf(kLibId), 1, 0, 0x409, &lib);
        ASSERT_EQ(S_OK, hr) << "type library " << kLibId << " 1.0 is not registered";
    }

    // The type info whose members sit in the vtable: for a dual interface
    // its interface half, otherwise the type info itself.
    ComPtr<ITypeInfo> memberSide(const InterfaceRow& row) {
        ComPtr<ITypeInfo> info;
        if (FAILED(lib->GetTypeInfoOfGuid(guidOf(row.iid), &info)))
            return nullptr;
        if (row.shape != Shape::Dual)
            return info;
        HREFTYPE href = 0;
        ComPtr<ITypeInfo> vtable;
        if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &href)) ||
            FAILED(info->GetRefTypeInfo(href, &vtable)))
            return nullptr;
        return vtable;
    }

    ComPtr<ITypeLib> lib;
};

TEST_F(TypeLibraryContract, LibraryAttributes) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
    EXPECT_EQ(kLibId, guidText(attr->guid));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(0x409u, attr->lcid);
    // The 32-bit module carries the plain 32-bit library; the x64 one is marked 64-bit.
    EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attr->syskind);
    lib->ReleaseTLibAttr(attr);

    Bstr name, help;
    ASSERT_EQ(S_OK, lib->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_EQ(kLibName, name.str());
    EXPECT_EQ(kLibHelp, help.str());
}

TEST_F(TypeLibraryContract, HoldsNoTypeBeyondTheContract) {
    // A copy of an imported type (IUnknown, GUID) or a stray declaration
    // would show up here as a name hosts were never promised.
    std::multiset<std::string> expected{kEnumName};
    for (const auto& row : kInterfaces)
        expected.insert(row.name);
    for (const auto& row : kClasses)
        expected.insert(row.name);

    std::multiset<std::string> actual;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        Bstr name;
        lib->GetDocumentation(i, &name, nullptr, nullptr, nullptr);
        actual.insert(name.str());
    }
    for (const auto& name : actual)
        EXPECT_EQ(1u, expected.count(name)) << "type info " << name << " is not part of the contract";
    for (const auto& name : expected)
        EXPECT_EQ(1u, actual.count(name)) << "type info " << name << " is missing or duplicated";
}

TEST_F(TypeLibraryContract, PortStateEnumeration) {
    ComPtr<ITypeInfo> info;
    for (UINT i = 0; i < lib->GetTypeInfoCount() && !info; ++i) {
        Bstr name;
        lib->GetDocumentation(i, &name, nullptr, nullptr, nullptr);
        if (name.str() == kEnumName)
            lib->GetTypeInfo(i, &info);
    }
    ASSERT_TRUE(info) << kEnumName << " not in the library";
    TypeAttr attr(info.Get());
    ASSERT_TRUE(attr.attr);
    EXPECT_EQ(TKIND_ENUM, attr->typekind);
    EXPECT_EQ(4u, attr->cbSizeInstance) << "32-bit signed";
    ASSERT_EQ(std::size(kPortState), std::size_t{attr->cVars});
    for (UINT i = 0; i < attr->cVars; ++i) {
        const auto& row = kPortState[i];
        VARDESC* var = nullptr;
        ASSERT_EQ(S_OK, info->GetVarDesc(i, &var));
        Bstr name;
        info->GetDocumentation(var->memid, &name, nullptr, nullptr, nullptr);
        EXPECT_EQ(row.name, name.str()) << "portState value " << i;
        EXPECT_EQ(VAR_CONST, var->varkind) << row.name;
        ASSERT_TRUE(var->lpvarValue) << row.name;
        EXPECT_EQ(VT_I4, V_VT(var->lpvarValue)) << row.name;
        EXPECT_EQ(row.value, V_I4(var->lpvarValue)) << row.name;
        info->ReleaseVarDesc(var);
    }
}

TEST_F(TypeLibraryContract, InterfaceAttributes) {
    for (const auto& row : kInterfaces) {
        SCOPED_TRACE(row.name);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(guidOf(row.iid), &info));
        EXPECT_EQ(row.name, typeName(info.Get()));
        Bstr help;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr);
        EXPECT_EQ(std::string(row.name) + " Interface", help.str());

        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr.attr);
        EXPECT_EQ(row.iid, guidText(attr->guid));
        ASSERT_EQ(1, attr->cImplTypes);
        Referenced base = referenced(info.Get(), 0);
        const std::size_t members = membersOf(row.name).size();
        switch (row.shape) {
        case Shape::Dual: {
            // The dispatch half of a dual interface does not itself carry the
            // automation flag; its interface half does.
            EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
            EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE, attr->wTypeFlags);
            ComPtr<ITypeInfo> vtable = memberSide(row);
            ASSERT_TRUE(vtable) << "no interface half";
            TypeAttr vattr(vtable.Get());
            ASSERT_TRUE(vattr.attr);
            EXPECT_EQ(TKIND_INTERFACE, vattr->typekind);
            EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE, vattr->wTypeFlags);
            EXPECT_EQ(row.iid, guidText(vattr->guid));
            EXPECT_EQ((7 + members) * sizeof(void*), std::size_t{vattr->cbSizeVft});
            EXPECT_EQ(members, std::size_t{vattr->cFuncs});
            ASSERT_EQ(1, vattr->cImplTypes);
            base = referenced(vtable.Get(), 0);
            EXPECT_EQ("IDispatch", base.name);
            EXPECT_EQ(kIDispatch, base.guid);
            break;
        }
        case Shape::Custom:
            EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
            EXPECT_EQ(TYPEFLAG_FOLEAUTOMATION, attr->wTypeFlags) << "not dual, not dispatchable";
            EXPECT_EQ((3 + members) * sizeof(void*), std::size_t{attr->cbSizeVft});
            EXPECT_EQ(members, std::size_t{attr->cFuncs});
            EXPECT_EQ("IUnknown", base.name);
            EXPECT_EQ(kIUnknown, base.guid);
            break;
        case Shape::Events:
            EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
            EXPECT_EQ(TYPEFLAG_FDISPATCHABLE, attr->wTypeFlags);
            EXPECT_EQ(members, std::size_t{attr->cFuncs});
            EXPECT_EQ(0, attr->cVars);
            EXPECT_EQ("IDispatch", base.name);
            EXPECT_EQ(kIDispatch, base.guid);
            break;
        }
        EXPECT_EQ(kStdOle2, base.library) << "base interface must come from stdole2";
    }
}

TEST_F(TypeLibraryContract, MembersInVtableOrder) {
    for (const auto& iface : kInterfaces) {
        ComPtr<ITypeInfo> info = memberSide(iface);
        ASSERT_TRUE(info) << iface.name;
        const auto rows = membersOf(iface.name);
        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr.attr) << iface.name;
        ASSERT_EQ(rows.size(), std::size_t{attr->cFuncs}) << iface.name << ": number of members";
        const UINT firstSlot = iface.shape == Shape::Dual ? 7 : 3;

        for (UINT i = 0; i < rows.size(); ++i) {
            const MemberRow& row = *rows[i];
            const std::string where =
                std::string(iface.name) + "::" + row.name + " (entry " + std::to_string(i + 1) + ")";
            FuncDesc func(info.Get(), i);
            ASSERT_TRUE(func.desc) << where;

            Bstr name, help;
            info->GetDocumentation(func->memid, &name, &help, nullptr, nullptr);
            EXPECT_EQ(row.name, name.str()) << where;
            // Documentation is looked up by DISPID, so a put reads its get's
            // help string; the contract gives both the same one.
            EXPECT_EQ(expectedHelp(row), help.str()) << where;
            EXPECT_EQ(row.dispid, func->memid) << where;
            EXPECT_EQ(invokeKind(row.kind), func->invkind) << where;
            EXPECT_EQ(CC_STDCALL, func->callconv) << where;
            EXPECT_EQ("HRESULT", typeText(info.Get(), func->elemdescFunc.tdesc)) << where;
            if (iface.shape == Shape::Events) {
                EXPECT_EQ(FUNC_DISPATCH, func->funckind) << where;
            } else {
                EXPECT_EQ(FUNC_PUREVIRTUAL, func->funckind) << where;
                EXPECT_EQ(static_cast<SHORT>((firstSlot + i) * sizeof(void*)), func->oVft)
                    << where << ": vtable slot";
            }

            const std::size_t count = paramCount(row);
            ASSERT_EQ(static_cast<SHORT>(count), func->cParams) << where;
            EXPECT_EQ(0, func->cParamsOpt) << where;
            for (std::size_t p = 0; p < count; ++p) {
                const ELEMDESC& param = func->lprgelemdescParam[p];
                EXPECT_EQ(row.params[p].type, typeText(info.Get(), param.tdesc))
                    << where << " parameter " << p + 1;
                EXPECT_EQ(row.params[p].flags, param.paramdesc.wParamFlags)
                    << where << " parameter " << p + 1 << " flags";
            }

            // Names are also looked up by DISPID, which for a put finds its get.
            if (row.kind == Put)
                continue;
            BSTR names[8] = {};
            UINT got = 0;
            ASSERT_EQ(S_OK, info->GetNames(func->memid, names, 8, &got)) << where;
            EXPECT_EQ(count + 1, got) << where << ": parameter names";
            for (std::size_t p = 0; p < count && p + 1 < got; ++p)
                EXPECT_EQ(row.params[p].name, narrow(names[p + 1]))
                    << where << " parameter " << p + 1 << " name";
            for (UINT k = 0; k < got; ++k)
                SysFreeString(names[k]);
        }
    }
}

TEST_F(TypeLibraryContract, DispatchCallersBindEveryMemberByName) {
    // What a script host does: name -> DISPID through the dispatch half.
    for (const auto& row : kMembers) {
        const InterfaceRow* iface = interfaceRow(row.iface);
        ASSERT_TRUE(iface) << row.iface << " has members but is not in the interface table";
        if (iface->shape == Shape::Custom || row.kind == Put)
            continue;
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(guidOf(iface->iid), &info)) << row.iface;
        std::wstring name = wide(row.name);
        LPOLESTR names[] = {name.data()};
        MEMBERID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, info->GetIDsOfNames(names, 1, &id)) << row.iface << "::" << row.name;
        EXPECT_EQ(row.dispid, id) << row.iface << "::" << row.name;
    }
}

TEST_F(TypeLibraryContract, Classes) {
    for (const auto& row : kClasses) {
        SCOPED_TRACE(row.name);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(guidOf(row.clsid), &info));
        EXPECT_EQ(row.name, typeName(info.Get()));
        Bstr help;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr);
        EXPECT_EQ(std::string(row.name) + " Class", help.str());

        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr.attr);
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        // The scripts spell some of these in lower case; the GUID is what counts here.
        EXPECT_EQ(guidText(guidOf(row.clsid)), guidText(attr->guid));
        // Creatable, and no control flag: registration marks the controls.
        EXPECT_EQ(TYPEFLAG_FCANCREATE, attr->wTypeFlags);
        ASSERT_EQ(row.defaultSource ? 2 : 1, attr->cImplTypes);

        bool sawDefault = false, sawSource = false;
        for (UINT i = 0; i < attr->cImplTypes; ++i) {
            INT flags = 0;
            ASSERT_EQ(S_OK, info->GetImplTypeFlags(i, &flags));
            const Referenced ref = referenced(info.Get(), i);
            if (flags == IMPLTYPEFLAG_FDEFAULT) {
                sawDefault = true;
                EXPECT_EQ(row.defaultInterface, ref.name) << "default interface";
                if (std::string(row.defaultInterface) == "IUnknown") {
                    // The property pages: stdole2's IUnknown, not a copy of it.
                    EXPECT_EQ(kIUnknown, ref.guid) << "default interface";
                    EXPECT_EQ(kStdOle2, ref.library) << "default interface";
                } else {
                    const InterfaceRow* iface = interfaceRow(row.defaultInterface);
                    ASSERT_TRUE(iface);
                    EXPECT_EQ(iface->iid, ref.guid) << "default interface";
                    EXPECT_EQ(kLibId, ref.library) << "default interface";
                }
            } else if (flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) {
                sawSource = true;
                ASSERT_TRUE(row.defaultSource) << "unexpected event interface " << ref.name;
                EXPECT_EQ(row.defaultSource, ref.name) << "default source";
                const InterfaceRow* events = interfaceRow(row.defaultSource);
                ASSERT_TRUE(events);
                EXPECT_EQ(events->iid, ref.guid) << "default source";
                EXPECT_EQ(kLibId, ref.library) << "default source";
            } else {
                ADD_FAILURE() << "interface " << ref.name << " with flags " << flags;
            }
        }
        EXPECT_TRUE(sawDefault) << "no default interface";
        EXPECT_EQ(row.defaultSource != nullptr, sawSource) << "default source interface";
    }
}

} // namespace
