// The automation surface as hosts see it: the registered type library, read
// back through oleaut32 and compared with the tables below. Hosts bind by
// vtable slot, by DISPID and by name, so every mismatch here breaks one of
// them. The tables are the contract; the IDL has to follow them, not the
// other way round.
//
// The library must already be registered (the suite registers the module
// with regsvr32 before the tests run).

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

constexpr const char* kLibId = "{73E704DE-EED3-11D3-A096-00805F9B0C38}";
constexpr const char* kStdOle2 = "{00020430-0000-0000-C000-000000000046}";
constexpr const char* kIUnknown = "{00000000-0000-0000-C000-000000000046}";
constexpr const char* kIDispatch = "{00020400-0000-0000-C000-000000000046}";

// ---------------------------------------------------------------------------
// The contract
// ---------------------------------------------------------------------------

enum class Shape {
    Dual,   // derives from IDispatch; vtable after the 7 IUnknown/IDispatch slots
    Custom, // derives from IUnknown; vtable only, after the 3 IUnknown slots
    Events, // dispinterface a host implements
};

struct InterfaceRow {
    const char* name;
    const char* iid;
    Shape shape;
};

constexpr InterfaceRow kInterfaces[] = {
    {"IOstrelPhoneList", "{73E704DD-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelPhoneServerCtrl", "{73E704E0-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelServerButton", "{73E704E1-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelServerCombo", "{73E704E6-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelPortList", "{73E704E9-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelPortConfigCtrl", "{73E704EC-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelClientList", "{73E704F0-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelObjectList", "{73E704F3-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IOstrelPortViewCtrl", "{73E704F6-EED3-11D3-A096-00805F9B0C38}", Shape::Dual},
    {"IRdmSvcAsgn", "{B52B8DAF-710C-4813-8D32-F1BF6C052A3F}", Shape::Dual},
    {"IRdmSvcPool", "{49A381A8-80E7-48ED-B7F3-9C1918A7123A}", Shape::Dual},
    {"INORVIKPhonePortConfigCtrl", "{25847B22-4239-41E9-96E5-77F15D21F18A}", Shape::Dual},
    {"IKmNvTools", "{376D6D9A-A93B-40F0-9A9A-5E4B7F1103F3}", Shape::Custom},
    {"IKmMobModelTools", "{1E6E0DEF-06BF-45DA-AFF3-F240CFBE5711}", Shape::Custom},
    {"_IOstrelPhoneListEvents", "{73E704DF-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_IOstrelServerButtonEvents", "{73E704E5-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_IOstrelServerComboEvents", "{73E704E8-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_IOstrelPortListEvents", "{73E704EB-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_IOstrelPortConfigCtrlEvents", "{73E704EF-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_IOstrelClientListEvents", "{73E704F2-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_IOstrelObjectListEvents", "{73E704F5-EED3-11D3-A096-00805F9B0C38}", Shape::Events},
    {"_INORVIKPhonePortConfigCtrlEvents", "{AD73A4E8-2A46-4D58-8506-56AEEF1A903A}", Shape::Events},
};

enum Kind { Method, Get, Put };

// Parameter flags as stored. A parameter written without a direction carries
// no flags at all, and that is what hosts have always seen.
constexpr USHORT NoDir = PARAMFLAG_NONE;
constexpr USHORT In = PARAMFLAG_FIN;
constexpr USHORT Out = PARAMFLAG_FOUT;
constexpr USHORT InOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr USHORT Retval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

struct Param {
    const char* type; // as the IDL spells it: "long*", "BSTR", "IUnknown**", "portState*"
    USHORT flags;
    const char* name; // "" for the value of a put: the library keeps no name for it
};

struct MemberRow {
    const char* iface;
    const char* name;
    Kind kind;
    MEMBERID dispid;
    Param params[5];
    // Only where it differs from "method <name>" / "property <name>"; the members of
    // IKmMobModelTools have none.
    const char* help = nullptr;
};

// One row per vtable entry (a get and its put are two rows), in vtable order.
// clang-format off
constexpr MemberRow kMembers[] = {
    {"IOstrelPhoneList", "Startup", Method, 1, {}},
    {"IOstrelPhoneList", "Shutdown", Method, 2, {}},
    {"IOstrelPhoneList", "InitializeList", Method, 3, {{"IUnknown*", NoDir, "pConfigAgent"}}},
    {"IOstrelPhoneList", "GetSelectedPhone", Method, 4, {{"long*", Out, "pESN"}, {"long*", Out, "pPortID"}}},
    {"IOstrelPhoneList", "ShowPhoneTypeLabel", Get, 5, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowPhoneTypeLabel", Put, 5, {{"long", NoDir, ""}}},
    {"IOstrelPhoneList", "ShowESNLabel", Get, 6, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowESNLabel", Put, 6, {{"long", NoDir, ""}}},
    {"IOstrelPhoneList", "ShowBannerLabel", Get, 7, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowBannerLabel", Put, 7, {{"long", NoDir, ""}}},
    {"IOstrelPhoneList", "ShowPortLabel", Get, 8, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowPortLabel", Put, 8, {{"long", NoDir, ""}}},
    {"IOstrelPhoneList", "ShowServerLabel", Get, 9, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowServerLabel", Put, 9, {{"long", NoDir, ""}}},
    {"IOstrelPhoneList", "ShowNumberLabel", Get, 10, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowNumberLabel", Put, 10, {{"long", NoDir, ""}}},
    {"IOstrelPhoneList", "GetConfigAgent", Method, 11, {{"IUnknown**", NoDir, "lpConfigAgent"}}},
    {"IOstrelPhoneList", "StartupEx", Method, 12, {{"IUnknown*", NoDir, "pIOstrelServer"}}},
    {"IOstrelPhoneList", "ShowProperties", Method, 13, {}},
    {"IOstrelPhoneList", "RefreshDisplay", Method, 14, {}},
    {"IOstrelPhoneList", "GetItemCount", Method, 15, {{"int*", Retval, "iCount"}}},
    {"IOstrelPhoneList", "GetModelNumber", Method, 16, {{"unsigned short*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "GetModelString", Method, 17, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "GetBuildVersion", Method, 18, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "GetPortName", Method, 19, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "IsPhoneAuthorized", Method, 20, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowAccumulatedData", Method, 21, {}},

    {"IOstrelPhoneServerCtrl", "Startup", Method, 1, {}},
    {"IOstrelPhoneServerCtrl", "Shutdown", Method, 2, {}},
    {"IOstrelPhoneServerCtrl", "DefaultServer", Method, 3, {{"BSTR", In, "bStrOstrelServer"}}},
    {"IOstrelPhoneServerCtrl", "GetSelectedPhone", Method, 4, {{"long*", Out, "pESN"}, {"long*", Out, "pPortID"}}},
    {"IOstrelPhoneServerCtrl", "ShowPhoneTypeLabel", Get, 5, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowPhoneTypeLabel", Put, 5, {{"long", NoDir, ""}}},
    {"IOstrelPhoneServerCtrl", "ShowESNLabel", Get, 6, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowESNLabel", Put, 6, {{"long", NoDir, ""}}},
    {"IOstrelPhoneServerCtrl", "ShowBannerLabel", Get, 7, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowBannerLabel", Put, 7, {{"long", NoDir, ""}}},
    {"IOstrelPhoneServerCtrl", "ShowPortLabel", Get, 8, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowPortLabel", Put, 8, {{"long", NoDir, ""}}},
    {"IOstrelPhoneServerCtrl", "ShowServerLabel", Get, 9, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowServerLabel", Put, 9, {{"long", NoDir, ""}}},
    {"IOstrelPhoneServerCtrl", "ShowNumberLabel", Get, 10, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowNumberLabel", Put, 10, {{"long", NoDir, ""}}},
    {"IOstrelPhoneServerCtrl", "SelectedServer", Get, 11, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "SelectedServer", Put, 11, {{"BSTR", NoDir, ""}}},

    {"IOstrelServerCombo", "SelectedServer", Get, 1, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelServerCombo", "SelectedServer", Put, 1, {{"BSTR", NoDir, ""}}},
    // Read-only, and its help string names it "drawSize".
    {"IOstrelServerCombo", "drawSizeHeight", Get, 2, {{"long*", Retval, "pVal"}}, "property drawSize"},

    {"IOstrelPortList", "Startup", Method, 1, {}},
    {"IOstrelPortList", "Shutdown", Method, 2, {}},
    {"IOstrelPortList", "InitializeList", Method, 3, {{"IUnknown*", NoDir, "pConfigAgent"}}},
    {"IOstrelPortList", "GetSelectedPort", Method, 4, {{"long*", Out, "pPortID"}}},
    {"IOstrelPortList", "ShowPortNumberLabel", Get, 5, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowPortNumberLabel", Put, 5, {{"long", NoDir, ""}}},
    // DISPIDs are per interface: the phone list has its ShowPortLabel at 8.
    {"IOstrelPortList", "ShowPortLabel", Get, 6, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowPortLabel", Put, 6, {{"long", NoDir, ""}}},
    {"IOstrelPortList", "ShowBaudLabel", Get, 7, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowBaudLabel", Put, 7, {{"long", NoDir, ""}}},
    {"IOstrelPortList", "ShowPhoneLabel", Get, 8, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowPhoneLabel", Put, 8, {{"long", NoDir, ""}}},
    {"IOstrelPortList", "ShowPortErrorLabel", Get, 9, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowPortErrorLabel", Put, 9, {{"long", NoDir, ""}}},
    {"IOstrelPortList", "GetConfigAgent", Method, 10, {{"IUnknown**", NoDir, "lpConfigAgent"}}},
    {"IOstrelPortList", "StartupEx", Method, 11, {{"IUnknown*", NoDir, "pOstrelServer"}}},
    {"IOstrelPortList", "ShowProperties", Method, 12, {}},
    {"IOstrelPortList", "RefreshDisplay", Method, 13, {}},
    {"IOstrelPortList", "ShowPropertiesOnDoubleClick", Method, 14, {{"long", In, "bEnable"}}},
    {"IOstrelPortList", "GetSelectedPortState", Method, 15, {{"short*", Out, "pState"}}},
    {"IOstrelPortList", "SetDisplayMask", Method, 16, {{"int", In, "epcMask"}}},
    {"IOstrelPortList", "SetNotificationWindow", Method, 17, {{"unsigned long", In, "hWnd"}}},

    {"IOstrelPortConfigCtrl", "Startup", Method, 1, {}},
    {"IOstrelPortConfigCtrl", "Shutdown", Method, 2, {}},
    {"IOstrelPortConfigCtrl", "Initialize", Method, 3, {{"IUnknown*", NoDir, "pConfigAgentUnk"}}},
    {"IOstrelPortConfigCtrl", "RefreshDisplay", Method, 4, {}},

    {"IOstrelClientList", "Startup", Method, 1, {}},
    {"IOstrelClientList", "Shutdown", Method, 2, {}},
    {"IOstrelClientList", "InitializeList", Method, 3, {{"IUnknown*", NoDir, "pConfigAgent"}}},
    {"IOstrelClientList", "StartupEx", Method, 4, {{"IUnknown*", NoDir, "pIOstrelServer"}}},
    {"IOstrelClientList", "ShowProperties", Method, 5, {}},
    {"IOstrelClientList", "RefreshDisplay", Method, 6, {}},

    {"IOstrelObjectList", "Startup", Method, 1, {}},
    {"IOstrelObjectList", "Shutdown", Method, 2, {}},
    {"IOstrelObjectList", "InitializeList", Method, 3, {{"IUnknown*", NoDir, "pConfigAgent"}}},
    {"IOstrelObjectList", "StartupEx", Method, 4, {{"IUnknown*", NoDir, "pIOstrelServer"}}},
    {"IOstrelObjectList", "GetConfigAgent", Method, 5, {{"IUnknown**", NoDir, "lpConfigAgent"}}},
    {"IOstrelObjectList", "RefreshDisplay", Method, 6, {}},
    {"IOstrelObjectList", "ShowProperties", Method, 7, {}},

    {"IOstrelPortViewCtrl", "SetPortByName", Method, 1, {{"BSTR", In, "pVal"}}},
    // Looked up by this name; the help string keeps the older one.
    {"IOstrelPortViewCtrl", "GetPortNameString", Method, 2, {{"BSTR*", Retval, "pVal"}}, "method GetPortName"},
    {"IOstrelPortViewCtrl", "GetPortId", Method, 3, {{"short*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "GetPortState", Method, 4, {{"portState*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "GetModelNumber", Method, 5, {{"unsigned short*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "GetModelString", Method, 6, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "InitializePortCtrl", Method, 7, {{"IUnknown*", NoDir, "pOstrelServer"}, {"BSTR", NoDir, "portName"}, {"long", NoDir, "addBrowseButton"}, {"long", NoDir, "autoUpdateOn"}}},
    {"IOstrelPortViewCtrl", "SetPortById", Method, 8, {{"short", In, "portId"}}},
    {"IOstrelPortViewCtrl", "GetServerOfPort", Method, 9, {{"IUnknown**", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "GetEsnString", Method, 10, {{"BSTR*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "Refresh", Method, 11, {{"int", In, "rfType"}}},
    {"IOstrelPortViewCtrl", "IsPhoneAuthorized", Method, 12, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "IsPhoneLocked", Method, 13, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortViewCtrl", "EnableButton", Method, 14, {{"long", In, "pVal"}}},

    {"IRdmSvcAsgn", "WriteDevTable", Method, 1, {{"IUnknown*", In, "pIn"}}},
    {"IRdmSvcAsgn", "ReadDevTable", Method, 2, {{"IUnknown**", InOut, "pOut"}}},

    {"IRdmSvcPool", "WriteDevTable", Method, 1, {{"IUnknown*", In, "pIn"}}},

    // Vtable-only: the identifiers are the automatic ones (0x60010000 + slot).
    {"IKmNvTools", "GetItemName", Method, 0x60010000, {{"long", In, "item"}, {"BSTR*", Out, "pName"}}},
    {"IKmNvTools", "IsIndexed", Method, 0x60010001, {{"long", In, "item"}, {"long*", Out, "pIndexed"}}},
    {"IKmNvTools", "GetStatusName", Method, 0x60010002, {{"long", NoDir, "status"}, {"BSTR*", NoDir, "pName"}}},

    {"IKmMobModelTools", "GetGenericName", Method, 0x60010000, {{"long", In, "modelId"}, {"BSTR*", Out, "pGenName"}, {"long*", Retval, "pOK"}}},
    {"IKmMobModelTools", "IterateGenericList", Method, 0x60010001, {{"BSTR", In, "genName"}, {"long", In, "index"}, {"long*", Out, "pModelId"}, {"BSTR*", Out, "pSpcfcName"}, {"long*", Retval, "pOK"}}},
    {"IKmMobModelTools", "GetSpecificName", Method, 0x60010002, {{"BSTR", In, "genName"}, {"long", In, "modelId"}, {"BSTR*", Out, "pSpcfName"}, {"long*", Retval, "pOK"}}},

    {"_IOstrelServerButtonEvents", "ServerSelChanged", Method, 1, {{"BSTR", NoDir, "serverName"}}},
    {"_IOstrelServerComboEvents", "ServerChanged", Method, 1, {{"BSTR", NoDir, "serverName"}}},
};
// clang-format on

struct ClassRow {
    const char* name;
    const char* clsid;
    const char* defaultInterface;
    const char* defaultSource; // nullptr: the class fires no events
};

constexpr ClassRow kClasses[] = {
    {"OstrelPhoneList", "{73E704E2-EED3-11D3-A096-00805F9B0C38}", "IOstrelPhoneList",
     "_IOstrelPhoneListEvents"},
    {"PhoneListProps", "{73E704E3-EED3-11D3-A096-00805F9B0C38}", "IUnknown", nullptr},
    {"OstrelServerButton", "{73E704E7-EED3-11D3-A096-00805F9B0C38}", "IOstrelServerButton",
     "_IOstrelServerButtonEvents"},
    {"OstrelServerCombo", "{73E704EA-EED3-11D3-A096-00805F9B0C38}", "IOstrelServerCombo",
     "_IOstrelServerComboEvents"},
    {"OstrelPhoneServerCtrl", "{73E704E4-EED3-11D3-A096-00805F9B0C38}", "IOstrelPhoneServerCtrl", nullptr},
    {"OstrelPortList", "{73E704ED-EED3-11D3-A096-00805F9B0C38}", "IOstrelPortList", "_IOstrelPortListEvents"},
    {"PortListProps", "{73E704EE-EED3-11D3-A096-00805F9B0C38}", "IUnknown", nullptr},
    {"OstrelPortConfigCtrl", "{73E704F1-EED3-11D3-A096-00805F9B0C38}", "IOstrelPortConfigCtrl",
     "_IOstrelPortConfigCtrlEvents"},
    {"OstrelClientList", "{73E704F4-EED3-11D3-A096-00805F9B0C38}", "IOstrelClientList",
     "_IOstrelClientListEvents"},
    {"OstrelObjectList", "{73E704F7-EED3-11D3-A096-00805F9B0C38}", "IOstrelObjectList",
     "_IOstrelObjectListEvents"},
    {"OstrelPortViewCtrl", "{73E704F8-EED3-11D3-A096-00805F9B0C38}", "IOstrelPortViewCtrl", nullptr},
    {"KmNvTools", "{D7E00F2A-B48C-41B1-945F-FA0DD825EFAE}", "IKmNvTools", nullptr},
    {"KmMobModelTools", "{150DD281-839E-4D9F-B517-F5354F63D5CE}", "IKmMobModelTools", nullptr},
    {"RdmSvcAsgn", "{1CE59F9F-4668-4877-9101-D83F6CE37750}", "IRdmSvcAsgn", nullptr},
    {"RdmSvcPool", "{C0C563FA-7784-4C47-A4A5-A5B6BE3625DF}", "IRdmSvcPool", nullptr},
    {"NORVIKPhonePortConfigCtrl", "{43797FC2-49BD-413B-A309-626C475586F7}", "INORVIKPhonePortConfigCtrl",
     "_INORVIKPhonePortConfigCtrlEvents"},
};

struct EnumRow {
    const char* name;
    long value;
};

constexpr const char* kEnumName = "portState";
constexpr EnumRow kPortState[] = {
    {"noPorts", 0}, {"noPhone", 1}, {"downloadPort", 2}, {"diagPort", 3}, {"unavailablePort", 4},
};

// ---------------------------------------------------------------------------
// Reading the library
// ---------------------------------------------------------------------------

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

INVOKEKIND invokeKind(Kind kind) {
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
    EXPECT_EQ("OSTRELUITOOLSLib", name.str());
    EXPECT_EQ("OstrelUITools 1.0 Type Library", help.str());
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
        EXPECT_EQ(row.clsid, guidText(attr->guid));
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
