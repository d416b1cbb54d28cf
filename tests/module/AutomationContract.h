#pragma once

// The automation contract hosts bind to: the classes as the registry and the
// type library show them, the interfaces, and every member by vtable slot,
// DISPID and name. A mismatch with any of it breaks a host, so the module
// follows these tables, never the other way round.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace Contract {

constexpr const char* kLibName = "OSTRELUITOOLSLib";
constexpr const char* kLibHelp = "OstrelUITools 1.0 Type Library";
// As oleaut32 writes it (StringFromGUID2: upper case).
constexpr const char* kLibId = "{73E704DE-EED3-11D3-A096-00805F9B0C38}";
// The same library as the registry scripts write it under a class key.
constexpr const char* kScriptLibId = "{73E704DE-EED3-11d3-A096-00805F9B0C38}";
// The model names live in the configuration agent's library, not ours.
constexpr const char* kModelNamesLib = "{71B14BAD-8326-11D2-888A-00805F0D391E}";

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

// A Prop is a get followed in the vtable by its put, which takes the value the get returns.
enum MemberKind { Method, Get, Prop };

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
    const char* name;
};

struct MemberRow {
    const char* iface;
    const char* name;
    MemberKind kind;
    MEMBERID dispid;
    Param params[5];
    // Only where it differs from "method <name>" / "property <name>" ("" for none).
    const char* help = nullptr;
};

// In vtable order.
// clang-format off
constexpr MemberRow kMembers[] = {
    {"IOstrelPhoneList", "Startup", Method, 1, {}},
    {"IOstrelPhoneList", "Shutdown", Method, 2, {}},
    {"IOstrelPhoneList", "InitializeList", Method, 3, {{"IUnknown*", NoDir, "pConfigAgent"}}},
    {"IOstrelPhoneList", "GetSelectedPhone", Method, 4, {{"long*", Out, "pESN"}, {"long*", Out, "pPortID"}}},
    {"IOstrelPhoneList", "ShowPhoneTypeLabel", Prop, 5, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowESNLabel", Prop, 6, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowBannerLabel", Prop, 7, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowPortLabel", Prop, 8, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowServerLabel", Prop, 9, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneList", "ShowNumberLabel", Prop, 10, {{"long*", Retval, "pVal"}}},
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
    {"IOstrelPhoneServerCtrl", "ShowPhoneTypeLabel", Prop, 5, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowESNLabel", Prop, 6, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowBannerLabel", Prop, 7, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowPortLabel", Prop, 8, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowServerLabel", Prop, 9, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "ShowNumberLabel", Prop, 10, {{"long*", Retval, "pVal"}}},
    {"IOstrelPhoneServerCtrl", "SelectedServer", Prop, 11, {{"BSTR*", Retval, "pVal"}}},

    {"IOstrelServerCombo", "SelectedServer", Prop, 1, {{"BSTR*", Retval, "pVal"}}},
    // Read-only, and its help string names it "drawSize".
    {"IOstrelServerCombo", "drawSizeHeight", Get, 2, {{"long*", Retval, "pVal"}}, "property drawSize"},

    {"IOstrelPortList", "Startup", Method, 1, {}},
    {"IOstrelPortList", "Shutdown", Method, 2, {}},
    {"IOstrelPortList", "InitializeList", Method, 3, {{"IUnknown*", NoDir, "pConfigAgent"}}},
    {"IOstrelPortList", "GetSelectedPort", Method, 4, {{"long*", Out, "pPortID"}}},
    {"IOstrelPortList", "ShowPortNumberLabel", Prop, 5, {{"long*", Retval, "pVal"}}},
    // DISPIDs are per interface: the phone list has its ShowPortLabel at 8.
    {"IOstrelPortList", "ShowPortLabel", Prop, 6, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowBaudLabel", Prop, 7, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowPhoneLabel", Prop, 8, {{"long*", Retval, "pVal"}}},
    {"IOstrelPortList", "ShowPortErrorLabel", Prop, 9, {{"long*", Retval, "pVal"}}},
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

    {"IKmMobModelTools", "GetGenericName", Method, 0x60010000, {{"long", In, "modelId"}, {"BSTR*", Out, "pGenName"}, {"long*", Retval, "pOK"}}, ""},
    {"IKmMobModelTools", "IterateGenericList", Method, 0x60010001, {{"BSTR", In, "genName"}, {"long", In, "index"}, {"long*", Out, "pModelId"}, {"BSTR*", Out, "pSpcfcName"}, {"long*", Retval, "pOK"}}, ""},
    {"IKmMobModelTools", "GetSpecificName", Method, 0x60010002, {{"BSTR", In, "genName"}, {"long", In, "modelId"}, {"BSTR*", Out, "pSpcfName"}, {"long*", Retval, "pOK"}}, ""},

    {"_IOstrelServerButtonEvents", "ServerSelChanged", Method, 1, {{"BSTR", NoDir, "serverName"}}},
    {"_IOstrelServerComboEvents", "ServerChanged", Method, 1, {{"BSTR", NoDir, "serverName"}}},
};
// clang-format on

enum class Kind { Control, PropertyPage, Lookup };

struct ClassRow {
    const char* name;  // in the type library, whose default interface is I<name> (IUnknown for the pages)
    const char* clsid; // as the scripts write it: hosts that compare text see this form
    Kind kind;
    int bitmap;          // controls only
    const char* typeLib; // the class key's TypeLib value; none for the pages
    bool events;         // fires _I<name>Events
    // Only where they differ from "OstrelUITools.<name>" (version-independent) and "<name> Class".
    const char* progId = nullptr;
    const char* description = nullptr; // the registry's; the type library's is always "<name> Class"
};

inline std::string progIdOf(const ClassRow& c) {
    return c.progId ? c.progId : "OstrelUITools." + std::string(c.name);
}

inline std::string descriptionOf(const ClassRow& c) {
    return c.description ? c.description : std::string(c.name) + " Class";
}

// In class-table order.
constexpr ClassRow kClasses[] = {
    {"OstrelPhoneList", "{73E704E2-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 101, kScriptLibId, true},
    {"PhoneListProps", "{73E704E3-EED3-11d3-A096-00805F9B0C38}", Kind::PropertyPage, 0, nullptr, false},
    {"OstrelServerButton", "{73E704E7-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 114, kScriptLibId, true},
    {"OstrelServerCombo", "{73E704EA-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 118, kScriptLibId, true},
    {"OstrelPhoneServerCtrl", "{73E704E4-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 109, kScriptLibId,
     false},
    {"OstrelPortList", "{73E704ED-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 122, kScriptLibId, true},
    {"PortListProps", "{73E704EE-EED3-11d3-A096-00805F9B0C38}", Kind::PropertyPage, 0, nullptr, false},
    {"OstrelPortConfigCtrl", "{73E704F1-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 139, kScriptLibId,
     true},
    {"OstrelClientList", "{73E704F4-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 143, kScriptLibId, true},
    {"OstrelObjectList", "{73E704F7-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 145, kScriptLibId, true},
    {"OstrelPortViewCtrl", "{73E704F8-EED3-11d3-A096-00805F9B0C38}", Kind::Control, 150, kScriptLibId, false},
    {"KmNvTools", "{D7E00F2A-B48C-41B1-945F-FA0DD825EFAE}", Kind::Lookup, 0, kScriptLibId, false},
    {"KmMobModelTools", "{150DD281-839E-4D9F-B517-F5354F63D5CE}", Kind::Lookup, 0, kModelNamesLib, false},
    {"RdmSvcAsgn", "{1CE59F9F-4668-4877-9101-D83F6CE37750}", Kind::Control, 160, kScriptLibId, false},
    {"RdmSvcPool", "{C0C563FA-7784-4C47-A4A5-A5B6BE3625DF}", Kind::Control, 162, kScriptLibId, false},
    {"NORVIKPhonePortConfigCtrl", "{43797FC2-49BD-413B-A309-626C475586F7}", Kind::Control, 164, kScriptLibId,
     true, "Kelmar.NORVIKPhonePortConfiguration", "NORVIKPhonePortConfiguration Class"},
};

constexpr const char* kEnumName = "portState";
constexpr std::pair<const char*, long> kPortState[] = {
    {"noPorts", 0}, {"noPhone", 1}, {"downloadPort", 2}, {"diagPort", 3}, {"unavailablePort", 4},
};

} // namespace Contract
