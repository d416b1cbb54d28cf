// regsvr32 against the real module, and what it leaves in HKEY_CLASSES_ROOT.

#include "../support/ModuleRegistration.h"
#include "../support/RegistryReader.h"
#include "AutomationContract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Contract;
using namespace TestSupport;

namespace {

// RegisterTypeLib writes identifiers through StringFromGUID2: upper case.
const std::string kLibKey = std::string("TypeLib\\") + kLibId;
constexpr const char* kUniversalMarshaler = "{00020424-0000-0000-C000-000000000046}";
constexpr const char* kDispatchMarshaler = "{00020420-0000-0000-C000-000000000046}";
// The key under the library's locale that holds its path names the module's platform.
const std::string kPlatform = sizeof(void*) == 8 ? "win64" : "win32";

std::string classKey(const ClassRow& c) {
    return std::string("CLSID\\") + c.clsid;
}

std::string versioned(const ClassRow& c) {
    return progIdOf(c) + ".1";
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
    addKey(lines, versioned(c), {{"@", descriptionOf(c)}});
    addKey(lines, versioned(c) + "\\CLSID", {{"@", c.clsid}});
    addKey(lines, progIdOf(c), {{"@", descriptionOf(c)}});
    addKey(lines, progIdOf(c) + "\\CLSID", {{"@", c.clsid}});
    addKey(lines, progIdOf(c) + "\\CurVer", {{"@", versioned(c)}});

    addKey(lines, key, {{"@", descriptionOf(c)}});
    addKey(lines, key + "\\InprocServer32", {{"@", module}, {"ThreadingModel", "Apartment"}});
    if (c.kind != Kind::Lookup)
        addKey(lines, key + "\\Programmable");
    if (c.kind != Kind::PropertyPage) {
        addKey(lines, key + "\\ProgID", {{"@", versioned(c)}});
        addKey(lines, key + "\\VersionIndependentProgID", {{"@", progIdOf(c)}});
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

void append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

// What a class left in the registry, with every key name spelt as stored.
std::vector<std::string> classLines(const ClassRow& c) {
    std::vector<std::string> lines;
    for (const std::string& progId : {versioned(c), progIdOf(c)})
        append(lines, snapshot(HKEY_CLASSES_ROOT, storedName(HKEY_CLASSES_ROOT, "", progId)));
    append(lines, snapshot(HKEY_CLASSES_ROOT, "CLSID\\" + storedName(HKEY_CLASSES_ROOT, "CLSID", c.clsid)));
    return lines;
}

std::vector<std::string> everythingRegistered() {
    std::vector<std::string> lines = snapshot(HKEY_CLASSES_ROOT, kLibKey);
    for (const ClassRow& c : kClasses)
        append(lines, classLines(c));
    for (const InterfaceRow& i : kInterfaces)
        append(lines, snapshot(HKEY_CLASSES_ROOT, std::string("Interface\\") + i.iid));
    return lines;
}

// The class whose key gets a subkey of our own before unregistration.
const ClassRow& kExtended = *std::find_if(std::begin(kClasses), std::end(kClasses), [](const ClassRow& c) {
    return c.name == std::string("OstrelPortList");
});
const std::string kExtraKey = classKey(kExtended) + "\\Extra";

// Every test starts and ends with the module registered: other test
// executables of the run create its classes. Each test's registration is thus a second one,
// and what it leaves is compared whole.
class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, runRegsvr32(false)) << "regsvr32 " << modulePath(); }

    void TearDown() override {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtraKey.c_str());
        EXPECT_EQ(0u, runRegsvr32(false)) << "re-registering " << modulePath();
    }
};

TEST_F(Registration, WritesExactlyTheKeysOfEachClass) {
    for (const ClassRow& c : kClasses) {
        EXPECT_EQ(c.clsid, storedName(HKEY_CLASSES_ROOT, "CLSID", c.clsid)) << c.name;
        // Machine-wide only: a per-user key would hide a missing machine one.
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Classes\\" + classKey(c))) << c.name;
        const std::string diff = lineDiff(expectedLines(c), classLines(c));
        EXPECT_TRUE(diff.empty()) << c.name << ":\n" << diff;
    }
}

TEST_F(Registration, RegistersTheTypeLibraryFromTheModule) {
    const std::string version = kLibKey + "\\1.0";
    EXPECT_EQ(std::vector<std::string>{"1.0"}, subkeyNames(HKEY_CLASSES_ROOT, kLibKey));
    // The library's locale (0x409) names the key that holds its path.
    EXPECT_EQ((std::vector<std::string>{"409", "FLAGS", "HELPDIR"}), subkeyNames(HKEY_CLASSES_ROOT, version));
    EXPECT_EQ(std::vector<std::string>{kPlatform}, subkeyNames(HKEY_CLASSES_ROOT, version + "\\409"));
    EXPECT_EQ(kLibHelp, readString(HKEY_CLASSES_ROOT, version));
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

    for (const InterfaceRow& i : kInterfaces) {
        const std::string key = std::string("Interface\\") + i.iid;
        EXPECT_EQ(i.name, readString(HKEY_CLASSES_ROOT, key)) << i.name;
        // Dual and automation-compatible interfaces are marshalled from the type library; the
        // event interfaces, dispatch-only, through IDispatch.
        const char* marshaler = i.shape == Shape::Events ? kDispatchMarshaler : kUniversalMarshaler;
        EXPECT_EQ(marshaler, readString(HKEY_CLASSES_ROOT, key + "\\ProxyStubClsid32")) << i.name;
        EXPECT_EQ(kLibId, readString(HKEY_CLASSES_ROOT, key + "\\TypeLib")) << i.name;
        EXPECT_EQ("1.0", readString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "Version")) << i.name;
    }
}

TEST_F(Registration, UnregisteringRemovesWhatItWroteAndKeepsForeignKeys) {
    HKEY extra = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, kExtraKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &extra, nullptr));
    RegCloseKey(extra);

    ASSERT_EQ(0u, runRegsvr32(true));

    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID"));
    // The key that holds a stranger stays, but nothing that the scripts or the library wrote.
    const std::string key = "CLSID\\" + storedName(HKEY_CLASSES_ROOT, "CLSID", kExtended.clsid);
    EXPECT_EQ((std::vector<std::string>{key, key + "\\Extra"}), everythingRegistered());

    RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtraKey.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, classKey(kExtended).c_str());
}

} // namespace
