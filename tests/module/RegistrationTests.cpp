// regsvr32 against the real module, and what it leaves in HKEY_CLASSES_ROOT.

#include "../support/ModuleRegistration.h"
#include "../support/RegistryReader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace TestSupport;

namespace {

enum class Kind { Control, PropertyPage, Lookup };

struct ClassRow {
    const char* name;
    const char* clsid;  // as the scripts write it: hosts that compare text see this form
    const char* progId; // version-independent
    const char* description;
    Kind kind;
    int bitmap;          // controls only
    const char* typeLib; // the class key's TypeLib value; none for the pages
};

constexpr const char* kOwnLib = "{73E704DE-EED3-11d3-A096-00805F9B0C38}";

// In class-table order.
constexpr ClassRow classes[] = {
    {"OstrelPhoneList", "{73E704E2-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelPhoneList",
     "OstrelPhoneList Class", Kind::Control, 101, kOwnLib},
    {"PhoneListProps", "{73E704E3-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.PhoneListProps",
     "PhoneListProps Class", Kind::PropertyPage, 0, nullptr},
    {"OstrelServerButton", "{73E704E7-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelServerButton",
     "OstrelServerButton Class", Kind::Control, 114, kOwnLib},
    {"OstrelServerCombo", "{73E704EA-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelServerCombo",
     "OstrelServerCombo Class", Kind::Control, 118, kOwnLib},
    {"OstrelPhoneServerCtrl", "{73E704E4-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelPhoneServerCtrl",
     "OstrelPhoneServerCtrl Class", Kind::Control, 109, kOwnLib},
    {"OstrelPortList", "{73E704ED-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelPortList",
     "OstrelPortList Class", Kind::Control, 122, kOwnLib},
    {"PortListProps", "{73E704EE-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.PortListProps",
     "PortListProps Class", Kind::PropertyPage, 0, nullptr},
    {"OstrelPortConfigCtrl", "{73E704F1-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelPortConfigCtrl",
     "OstrelPortConfigCtrl Class", Kind::Control, 139, kOwnLib},
    {"OstrelClientList", "{73E704F4-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelClientList",
     "OstrelClientList Class", Kind::Control, 143, kOwnLib},
    {"OstrelObjectList", "{73E704F7-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelObjectList",
     "OstrelObjectList Class", Kind::Control, 145, kOwnLib},
    {"OstrelPortViewCtrl", "{73E704F8-EED3-11d3-A096-00805F9B0C38}", "OstrelUITools.OstrelPortViewCtrl",
     "OstrelPortViewCtrl Class", Kind::Control, 150, kOwnLib},
    {"KmNvTools", "{D7E00F2A-B48C-41B1-945F-FA0DD825EFAE}", "OstrelUITools.KmNvTools", "KmNvTools Class",
     Kind::Lookup, 0, kOwnLib},
    {"KmMobModelTools", "{150DD281-839E-4D9F-B517-F5354F63D5CE}", "OstrelUITools.KmMobModelTools",
     "KmMobModelTools Class", Kind::Lookup, 0, "{71B14BAD-8326-11D2-888A-00805F0D391E}"},
    {"RdmSvcAsgn", "{1CE59F9F-4668-4877-9101-D83F6CE37750}", "OstrelUITools.RdmSvcAsgn", "RdmSvcAsgn Class",
     Kind::Control, 160, kOwnLib},
    {"RdmSvcPool", "{C0C563FA-7784-4C47-A4A5-A5B6BE3625DF}", "OstrelUITools.RdmSvcPool", "RdmSvcPool Class",
     Kind::Control, 162, kOwnLib},
    {"NORVIKPhonePortConfigCtrl", "{43797FC2-49BD-413B-A309-626C475586F7}",
     "Kelmar.NORVIKPhonePortConfiguration", "NORVIKPhonePortConfiguration Class", Kind::Control, 164,
     kOwnLib},
};

// RegisterTypeLib writes identifiers through StringFromGUID2: upper case.
const std::string kLibKey = "TypeLib\\{73E704DE-EED3-11D3-A096-00805F9B0C38}";
constexpr const char* kLibId = "{73E704DE-EED3-11D3-A096-00805F9B0C38}";
constexpr const char* kUniversalMarshaler = "{00020424-0000-0000-C000-000000000046}";
constexpr const char* kDispatchMarshaler = "{00020420-0000-0000-C000-000000000046}";
#ifdef _WIN64
constexpr const char* kPlatform = "win64";
#else
constexpr const char* kPlatform = "win32";
#endif

struct InterfaceRow {
    const char* name;
    const char* iid;
    const char* proxyStub;
};

// Dual and automation-compatible interfaces are marshalled from the type
// library; the event interfaces, dispatch-only, through IDispatch.
constexpr InterfaceRow interfaces[] = {
    {"IOstrelPhoneList", "{73E704DD-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelPhoneServerCtrl", "{73E704E0-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelServerButton", "{73E704E1-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelServerCombo", "{73E704E6-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelPortList", "{73E704E9-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelPortConfigCtrl", "{73E704EC-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelClientList", "{73E704F0-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelObjectList", "{73E704F3-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IOstrelPortViewCtrl", "{73E704F6-EED3-11D3-A096-00805F9B0C38}", kUniversalMarshaler},
    {"IRdmSvcAsgn", "{B52B8DAF-710C-4813-8D32-F1BF6C052A3F}", kUniversalMarshaler},
    {"IRdmSvcPool", "{49A381A8-80E7-48ED-B7F3-9C1918A7123A}", kUniversalMarshaler},
    {"INORVIKPhonePortConfigCtrl", "{25847B22-4239-41E9-96E5-77F15D21F18A}", kUniversalMarshaler},
    {"IKmNvTools", "{376D6D9A-A93B-40F0-9A9A-5E4B7F1103F3}", kUniversalMarshaler},
    {"IKmMobModelTools", "{1E6E0DEF-06BF-45DA-AFF3-F240CFBE5711}", kUniversalMarshaler},
    {"_IOstrelPhoneListEvents", "{73E704DF-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_IOstrelServerButtonEvents", "{73E704E5-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_IOstrelServerComboEvents", "{73E704E8-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_IOstrelPortListEvents", "{73E704EB-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_IOstrelPortConfigCtrlEvents", "{73E704EF-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_IOstrelClientListEvents", "{73E704F2-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_IOstrelObjectListEvents", "{73E704F5-EED3-11D3-A096-00805F9B0C38}", kDispatchMarshaler},
    {"_INORVIKPhonePortConfigCtrlEvents", "{AD73A4E8-2A46-4D58-8506-56AEEF1A903A}", kDispatchMarshaler},
};

std::string classKey(const ClassRow& c) {
    return std::string("CLSID\\") + c.clsid;
}

std::string versioned(const ClassRow& c) {
    return std::string(c.progId) + ".1";
}

// Snapshot lines (see snapshot()) of one key and its values.
void addKey(std::vector<std::string>& lines, const std::string& path,
            std::initializer_list<std::pair<const char*, std::string>> values = {}) {
    lines.push_back(path);
    for (const auto& [name, data] : values)
        lines.push_back(path + ":" + name + "=" + data);
}

// Everything a class's script must leave, in snapshot form.
std::vector<std::string> expectedLines(const ClassRow& c) {
    const std::string module = modulePath();
    const std::string key = classKey(c);
    std::vector<std::string> lines;
    addKey(lines, versioned(c), {{"@", c.description}});
    addKey(lines, versioned(c) + "\\CLSID", {{"@", c.clsid}});
    addKey(lines, c.progId, {{"@", c.description}});
    addKey(lines, std::string(c.progId) + "\\CLSID", {{"@", c.clsid}});
    addKey(lines, std::string(c.progId) + "\\CurVer", {{"@", versioned(c)}});

    addKey(lines, key, {{"@", c.description}});
    addKey(lines, key + "\\InprocServer32", {{"@", module}, {"ThreadingModel", "Apartment"}});
    if (c.kind != Kind::Lookup)
        addKey(lines, key + "\\Programmable");
    if (c.kind != Kind::PropertyPage) {
        addKey(lines, key + "\\ProgID", {{"@", versioned(c)}});
        addKey(lines, key + "\\VersionIndependentProgID", {{"@", c.progId}});
        addKey(lines, key + "\\TypeLib", {{"@", c.typeLib}});
    }
    if (c.kind == Kind::Control) {
        addKey(lines, key + "\\Control");
        addKey(lines, key + "\\Insertable");
        addKey(lines, key + "\\ToolboxBitmap32", {{"@", module + ", " + std::to_string(c.bitmap)}});
        addKey(lines, key + "\\MiscStatus", {{"@", "0"}});
        addKey(lines, key + "\\MiscStatus\\1", {{"@", "131473"}});
        addKey(lines, key + "\\Version", {{"@", "1.0"}});
    }
    return lines;
}

// What a class left in the registry, with every key name spelt as stored.
std::vector<std::string> classLines(const ClassRow& c) {
    std::vector<std::string> lines;
    for (const std::string& progId : {versioned(c), std::string(c.progId)})
        for (std::string& line : snapshot(HKEY_CLASSES_ROOT, storedName(HKEY_CLASSES_ROOT, "", progId)))
            lines.push_back(std::move(line));
    const std::string key = "CLSID\\" + storedName(HKEY_CLASSES_ROOT, "CLSID", c.clsid);
    for (std::string& line : snapshot(HKEY_CLASSES_ROOT, key))
        lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> everythingRegistered() {
    std::vector<std::string> lines = snapshot(HKEY_CLASSES_ROOT, kLibKey);
    for (const ClassRow& c : classes)
        for (std::string& line : classLines(c))
            lines.push_back(std::move(line));
    for (const InterfaceRow& i : interfaces)
        for (std::string& line : snapshot(HKEY_CLASSES_ROOT, std::string("Interface\\") + i.iid))
            lines.push_back(std::move(line));
    return lines;
}

const ClassRow& byName(std::string_view name) {
    for (const ClassRow& c : classes)
        if (c.name == name)
            return c;
    throw std::logic_error("no class " + std::string(name));
}

// The class whose key gets a subkey of our own before unregistration.
const ClassRow& kExtended = byName("OstrelPortList");
const std::string kExtraKey = classKey(kExtended) + "\\Extra";

// Every test starts and ends with the module registered: other test
// executables of the run create its classes.
class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, runRegsvr32(false)) << "regsvr32 " << modulePath(); }

    void TearDown() override {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtraKey.c_str());
        EXPECT_EQ(0u, runRegsvr32(false)) << "re-registering " << modulePath();
    }
};

TEST_F(Registration, WritesExactlyTheKeysOfEachClass) {
    for (const ClassRow& c : classes) {
        EXPECT_EQ(c.clsid, storedName(HKEY_CLASSES_ROOT, "CLSID", c.clsid)) << c.name;
        // Machine-wide only: a per-user key would hide a missing machine one.
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Classes\\" + classKey(c))) << c.name;
        const std::string diff = lineDiff(expectedLines(c), classLines(c));
        EXPECT_TRUE(diff.empty()) << c.name << ":\n" << diff;
    }
}

TEST_F(Registration, ModelLookupNamesAForeignTypeLibrary) {
    // Hosts load the model names' library by this value; it must not be ours.
    const auto lib = readString(HKEY_CLASSES_ROOT, classKey(byName("KmMobModelTools")) + "\\TypeLib");
    ASSERT_TRUE(lib);
    EXPECT_EQ("{71B14BAD-8326-11D2-888A-00805F0D391E}", *lib);
    EXPECT_NE(CSTR_EQUAL, CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, lib->c_str(), -1, kLibId, -1));
}

TEST_F(Registration, RegistersTheTypeLibraryFromTheModule) {
    const std::string version = kLibKey + "\\1.0";
    EXPECT_EQ(std::vector<std::string>{"1.0"}, subkeyNames(HKEY_CLASSES_ROOT, kLibKey));
    // The library's locale (0x409) names the key that holds its path.
    EXPECT_EQ((std::vector<std::string>{"409", "FLAGS", "HELPDIR"}), subkeyNames(HKEY_CLASSES_ROOT, version));
    EXPECT_EQ(std::vector<std::string>{kPlatform}, subkeyNames(HKEY_CLASSES_ROOT, version + "\\409"));
    EXPECT_EQ("OstrelUITools 1.0 Type Library", readString(HKEY_CLASSES_ROOT, version));
    EXPECT_EQ(modulePath(), readString(HKEY_CLASSES_ROOT, version + "\\409\\" + kPlatform));

    // Windows leaves out LIBFLAG_FHASDISKIMAGE, which Wine writes as it finds
    // it in the loaded library's attributes.
    const auto flags = readString(HKEY_CLASSES_ROOT, version + "\\FLAGS");
    EXPECT_TRUE(flags == "0" || (runningUnderWine() && flags == "8")) << flags.value_or("(none)");

    // RegisterTypeLib stores the help folder as the module passes it; with or
    // without a trailing backslash both name the module's folder.
    const auto helpDir = readString(HKEY_CLASSES_ROOT, version + "\\HELPDIR");
    EXPECT_TRUE(helpDir == moduleFolder() || helpDir == moduleFolder() + "\\")
        << helpDir.value_or("(none)") << " for " << moduleFolder();

    for (const InterfaceRow& i : interfaces) {
        const std::string key = std::string("Interface\\") + i.iid;
        EXPECT_EQ(i.name, readString(HKEY_CLASSES_ROOT, key)) << i.name;
        EXPECT_EQ(i.proxyStub, readString(HKEY_CLASSES_ROOT, key + "\\ProxyStubClsid32")) << i.name;
        EXPECT_EQ(kLibId, readString(HKEY_CLASSES_ROOT, key + "\\TypeLib")) << i.name;
        EXPECT_EQ("1.0", readString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "Version")) << i.name;
    }
}

TEST_F(Registration, RegisteringAgainChangesNothing) {
    const std::vector<std::string> before = everythingRegistered();
    ASSERT_EQ(0u, runRegsvr32(false));
    const std::vector<std::string> after = everythingRegistered();
    EXPECT_FALSE(before.empty());
    const std::string diff = lineDiff(before, after);
    EXPECT_TRUE(diff.empty()) << diff;
}

TEST_F(Registration, UnregisteringRemovesWhatItWroteAndKeepsForeignKeys) {
    HKEY extra = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, kExtraKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &extra, nullptr));
    RegCloseKey(extra);

    ASSERT_EQ(0u, runRegsvr32(true));

    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID"));
    for (const ClassRow& c : classes) {
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, c.progId)) << c.name;
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, versioned(c))) << c.name;
        if (&c != &kExtended) {
            EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, classKey(c))) << c.name;
        }
    }
    // The key that holds a stranger stays, but nothing that the script wrote.
    EXPECT_EQ(std::vector<std::string>{"Extra"}, subkeyNames(HKEY_CLASSES_ROOT, classKey(kExtended)));
    EXPECT_EQ(std::vector<std::string>{}, valueNames(HKEY_CLASSES_ROOT, classKey(kExtended)));

    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, kLibKey));
    for (const InterfaceRow& i : interfaces)
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, std::string("Interface\\") + i.iid)) << i.name;

    RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtraKey.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, classKey(kExtended).c_str());
}

} // namespace
