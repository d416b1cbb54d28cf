// The local ports the add-port dialog offers: their order, the library's listings through a
// classifier, and the registry's USB tree and serial device map under a scratch key.
#include "foundation/Win32/Unique.h"
#include "ports/DiscoveredPort.h"
#include "ports/PortDiscovery.h"
#include "ports/PortRegEnum.h"
#include "tests/connection/ScratchKey.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

struct OrderCase {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
};

constexpr OrderCase orderCases[] = {
    {L"COM3", L"COM12", -1}, {L"COM12", L"COM100", -1}, {L"COM2", L"COM10", -1}, {L"COM5", L"COM05", 0},
    {L"COMX", L"COM1", -1},  {L"COM", L"COM0", -1},     {L"CO", L"COM1", -1},    {L"com10", L"com9", -1},
    {L"LPT10", L"LPT9", -1}, {L"COM10", L"LPT1", -1},   {L"COM", L"COM", 0},     {L"COM1", L"COM1A", 0},
};

TEST(DiscoveredPort, NamesCompareByComNumberElseAsText) {
    for (const OrderCase& c : orderCases) {
        EXPECT_EQ(c.expected, Sign(CompareDiscoveredPortNames(c.a, c.b)))
            << testing::PrintToString(std::wstring(c.a)) << " vs "
            << testing::PrintToString(std::wstring(c.b));
        EXPECT_EQ(-c.expected, Sign(CompareDiscoveredPortNames(c.b, c.a)))
            << testing::PrintToString(std::wstring(c.b)) << " vs "
            << testing::PrintToString(std::wstring(c.a));
    }
}

// --- The library source ---

enum Question { diagnostic, nmea, excluded, allowed, remoteEfs };
enum Answer { no, yes, fails };

struct Rule {
    Question question;
    const wchar_t* text;
    Answer answer;
};

// Answers no by default (allowed: yes) and records nothing; answers by text per question.
class FakeClassifier : public IOstrelPortClassifier {
public:
    explicit FakeClassifier(const std::vector<Rule>& rules) {
        for (const Rule& rule : rules)
            m_answers[{rule.question, rule.text}] = rule.answer;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = iid == __uuidof(IUnknown) || iid == __uuidof(IOstrelPortClassifier) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE IsDiagnosticDevice(BSTR text, long* result) override {
        return Reply(diagnostic, text, result);
    }
    HRESULT STDMETHODCALLTYPE IsNmeaDevice(BSTR text, long* result) override {
        return Reply(nmea, text, result);
    }
    HRESULT STDMETHODCALLTYPE IsExcludedDevice(BSTR text, long* result) override {
        return Reply(excluded, text, result);
    }
    HRESULT STDMETHODCALLTYPE IsPortAllowed(BSTR text, long* result) override {
        return Reply(allowed, text, result);
    }
    HRESULT STDMETHODCALLTYPE IsRemoteEfsDevice(BSTR text, long* result) override {
        return Reply(remoteEfs, text, result);
    }

private:
    HRESULT Reply(Question question, BSTR text, long* result) {
        const auto found = m_answers.find({question, std::wstring(text, ::SysStringLen(text))});
        const Answer answer = found != m_answers.end() ? found->second : question == allowed ? yes : no;
        *result = answer == yes;
        return answer == fails ? E_FAIL : S_OK;
    }
    std::map<std::pair<Question, std::wstring>, Answer> m_answers;
};

LocalPortDescription Usb(const wchar_t* name, const wchar_t* description, const wchar_t* detail = L"") {
    return {name, description, detail, true};
}
LocalPortDescription Serial(const wchar_t* name, const wchar_t* description = L"",
                            const wchar_t* detail = L"") {
    return {name, description, detail, false};
}

struct ListingCase {
    const char* what;
    bool diagOnly;
    LocalPortDescriptions modems;
    LocalPortDescriptions coms;
    std::vector<Rule> rules;
    std::vector<std::string> expectedRows;
    std::vector<std::wstring> expectedRemoteEfs = {};
};

// clang-format off
const ListingCase listingCases[] = {
    {"serial ports in COM number order", false, {},
     {Serial(L"COM100"), Serial(L"COM3", L"A"), Serial(L"COM12", L"", L"B"), Serial(L"COM05"), Serial(L"COM5")}, {},
     {"COM3 - Serial (A)", "COM05 - Serial", "COM12 - Serial (B)", "COM100 - Serial"}},
    {"diagnostic beats NMEA", false, {}, {Usb(L"COM7", L"A", L"B")},
     {{diagnostic, L"A", yes}, {nmea, L"A", yes}}, {"COM7 - USB/KM Diagnostic (A, B)"}},
    {"each USB type", false, {},
     {Usb(L"COM1", L"diag"), Usb(L"COM2", L"gps"), Usb(L"COM3", L"efs", L"B"), Usb(L"COM4", L"other")},
     {{diagnostic, L"diag", yes}, {nmea, L"gps", yes}, {remoteEfs, L"efs", yes}},
     {"COM1 - USB/KM Diagnostic (diag)", "COM2 - USB/KM NMEA (gps)", "COM3 - USB/KM Remote EFS (efs, B)",
      "COM4 - USB/Unknown (other)"}, {L"COM3"}},
    {"diagOnly keeps serial, diagnostic and Remote EFS", true, {{L"COM9", L"modem", L"", true}},
     {Serial(L"COM8"), Usb(L"COM1", L"diag"), Usb(L"COM2", L"gps"), Usb(L"COM3", L"efs"), Usb(L"COM4", L"other")},
     {{diagnostic, L"diag", yes}, {nmea, L"gps", yes}, {remoteEfs, L"efs", yes}},
     {"COM1 - USB/KM Diagnostic (diag)", "COM3 - USB/KM Remote EFS (efs)", "COM8 - Serial"}, {L"COM3"}},
    {"a modem that is also a COM port is listed once as a modem", false,
     {{L"COM9", L"modem", L"M", true}, {L"COM6", L"", L"", true}}, {Usb(L"COM9", L"diag"), Serial(L"COM6")},
     {{diagnostic, L"diag", yes}}, {"COM6 - USB/KM Data Modem", "COM9 - USB/KM Data Modem (modem, M)"}},
    {"a failing question while classifying omits the port", false, {},
     {Usb(L"COM1", L"d"), Usb(L"COM2", L"n"), Usb(L"COM3", L"e"), Usb(L"COM4", L"ok"), Serial(L"COM5", L"d")},
     {{diagnostic, L"d", fails}, {nmea, L"n", fails}, {remoteEfs, L"e", fails}, {diagnostic, L"ok", yes}},
     {"COM4 - USB/KM Diagnostic (ok)", "COM5 - Serial (d)"}},
    {"the exclusion checks drop on yes and no, keep on failure", false, {{L"COM1", L"x", L"", true}},
     {Serial(L"COM2", L"y"), Serial(L"COM3", L"z"), Serial(L"COM4", L"w"), Usb(L"COM5", L"efs")},
     {{excluded, L"x", yes}, {allowed, L"COM2", no}, {excluded, L"z", fails}, {allowed, L"COM4", fails},
      {excluded, L"efs", yes}, {remoteEfs, L"efs", yes}},
     {"COM3 - Serial (z)", "COM4 - Serial (w)"}, {L"COM5"}},
};
// clang-format on

const KnownPortTest noKnownPorts = [](const std::string&) { return false; };

TEST(PortDiscovery, LibraryListingRowsFollowTheClassifier) {
    for (const ListingCase& c : listingCases) {
        FakeClassifier classifier(c.rules);
        int modemRequests = 0;
        const auto modems = [&] { return ++modemRequests, c.modems; };
        const LibraryPortListing listing =
            ListLibraryPorts(modems, c.coms, noKnownPorts, &classifier, c.diagOnly);
        std::vector<std::string> texts;
        for (const PortListRow& row : listing.rows) {
            texts.push_back(row.text);
            EXPECT_EQ(row.text.substr(0, row.text.find(" - ")), row.portName) << c.what;
        }
        EXPECT_EQ(c.expectedRows, texts) << c.what;
        EXPECT_EQ(std::set<std::wstring>(c.expectedRemoteEfs.begin(), c.expectedRemoteEfs.end()),
                  listing.remoteEfsPorts)
            << c.what;
        EXPECT_EQ(c.diagOnly ? 0 : 1, modemRequests) << c.what;
    }
}

TEST(PortDiscovery, KnownPortsAndAMissingClassifier) {
    const KnownPortTest known = [](const std::string& name) { return name == "COM3" || name == "COM9"; };
    const auto modems = [] {
        return LocalPortDescriptions{{L"COM9", L"", L"", true}, {L"COM10", L"", L"", true}};
    };
    const LocalPortDescriptions coms = {Serial(L"COM3"), Serial(L"com3"), Usb(L"COM4", L"diag"),
                                        Serial(L"COM9")};
    const LibraryPortListing listing = ListLibraryPorts(modems, coms, known, nullptr, false);
    const std::vector<PortListRow> expected = {{"COM10 - USB/KM Data Modem", "COM10"},
                                               {"com3 - Serial", "com3"}};
    EXPECT_EQ(expected, listing.rows);
}

// --- The registry source ---

void Put(HKEY root, const std::string& path, const std::string& name, DWORD type, std::string_view data) {
    Win32::UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                               key.put(), nullptr))
        << path;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                               static_cast<DWORD>(data.size())))
        << path << " " << name;
}

Win32::UniqueKey Open(const TestSupport::ScratchKey& scratch) {
    Win32::UniqueKey key;
    ::RegOpenKeyExA(HKEY_CURRENT_USER, scratch.Path().c_str(), 0, KEY_READ, key.put());
    return key;
}

const std::string serialMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const std::string usbTree = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
const std::string portsGuid = "{4d36e978-e325-11ce-bfc1-08002be10318}";
const std::string modemGuid = "{4d36e96d-e325-11ce-bfc1-08002be10318}";

std::string Sz(const std::string& text) {
    return text + '\0';
}

std::vector<std::string> RowTexts(const ComPortRegEnum& ports, bool diagOnly) {
    std::vector<std::string> texts;
    for (const PortListRow& row : ListRegistryPorts(ports, diagOnly))
        texts.push_back(row.text);
    return texts;
}

TEST(PortRegEnum, SerialMapReadsOnlyWholeStringsInByteOrder) {
    const TestSupport::ScratchKey scratch({});
    const Win32::UniqueKey root = Open(scratch);
    const std::string longest(259, 'X');
    Put(root.get(), serialMap, "\\Device\\Serial0", REG_SZ, Sz("COM3"));
    Put(root.get(), serialMap, "\\Device\\Serial1", REG_EXPAND_SZ, Sz("COM12"));
    Put(root.get(), serialMap, "\\Device\\Serial2", REG_SZ, Sz("COM100"));
    Put(root.get(), serialMap, "\\Device\\Binary", REG_BINARY, Sz("COM4"));
    // Not "COM6" alone: the system counts a zero that follows the data as its terminator.
    Put(root.get(), serialMap, "\\Device\\Unterminated", REG_SZ, std::string_view("COM6!", 4));
    Put(root.get(), serialMap, "\\Device\\Longest", REG_SZ, Sz(longest));
    Put(root.get(), serialMap, "\\Device\\TooLong", REG_SZ, Sz(longest + "Y"));
    Put(root.get(), serialMap, "\\Device\\Known", REG_SZ, Sz("COM7"));
    ComPortRegEnum ports;
    ports.Build(
        UsbPortRegEnum(), [](const std::string& name) { return name == "COM7"; }, root.get());
    const std::vector<std::string> expected = {"COM100 - Serial", "COM12 - Serial", "COM3 - Serial",
                                               longest + " - Serial"};
    EXPECT_EQ(expected, RowTexts(ports, false));
    EXPECT_EQ("\\Device\\Serial1", ports.Ports().at("COM12").devicePath);
}

TEST(PortRegEnum, AnOverLongValueNameEndsTheSerialMapAndAMissingMapGivesNothing) {
    const TestSupport::ScratchKey scratch({});
    const Win32::UniqueKey root = Open(scratch);
    ComPortRegEnum none;
    none.Build(UsbPortRegEnum(), noKnownPorts, root.get());
    EXPECT_TRUE(none.Ports().empty());
    Put(root.get(), serialMap, "A", REG_SZ, Sz("COM1"));
    Put(root.get(), serialMap, std::string(260, 'N'), REG_SZ, Sz("COM2"));
    Put(root.get(), serialMap, "Z", REG_SZ, Sz("COM3"));
    ComPortRegEnum ports;
    ports.Build(UsbPortRegEnum(), noKnownPorts, root.get());
    EXPECT_EQ(std::vector<std::string>{"COM1 - Serial"}, RowTexts(ports, false));
}

TEST(PortRegEnum, UsbDeviceClassesGiveTheKinds) {
    const TestSupport::ScratchKey scratch({});
    const Win32::UniqueKey root = Open(scratch);
    struct Instance {
        const char* key;
        const char* port;
        const std::string& guid;
        const char* description;
    };
    const std::string other = "{00000000-0000-0000-0000-000000000000}";
    const Instance instances[] = {
        {"VID_1\\A", "COM20", modemGuid, "Kelmar NMEA modem"},
        {"VID_1\\B", "COM21", portsGuid, "Kelmar Diag"},
        {"VID_2\\A", "COM22", portsGuid, "Kelmar nmea port"},
        {"VID_2\\B", "COM23", other, "Kelmar Diag"},
        {"VID_3\\A", "COM25", portsGuid, "first"},
        {"VID_3\\B", "COM25", other, "second"},
    };
    for (const Instance& i : instances) {
        Put(root.get(), usbTree + i.key + "\\Device Parameters", "PortName", REG_SZ, Sz(i.port));
        Put(root.get(), usbTree + i.key, "ClassGUID", REG_SZ, Sz(i.guid));
        Put(root.get(), usbTree + i.key, "DeviceDesc", REG_SZ, Sz(i.description));
    }
    // An instance without device parameters and one whose port name is no string have no port.
    Put(root.get(), usbTree + "VID_4\\A", "ClassGUID", REG_SZ, Sz(portsGuid));
    Put(root.get(), usbTree + "VID_4\\B\\Device Parameters", "PortName", REG_BINARY, Sz("COM24"));
    Put(root.get(), usbTree + "VID_4\\B", "Mfg", REG_SZ, Sz("Kelmar"));
    for (const char* port : {"COM20", "COM21", "COM22", "COM23", "COM24", "COM25"})
        Put(root.get(), serialMap, std::string("\\Device\\") + port, REG_SZ, Sz(port));

    UsbPortRegEnum usb;
    usb.Enumerate(root.get());
    EXPECT_EQ(5u, usb.Ports().size());
    UsbPortRegParams params;
    ASSERT_TRUE(usb.Find("COM25", params));
    EXPECT_EQ("second", params.DeviceDesc);
    EXPECT_EQ("", params.Mfg);
    EXPECT_FALSE(usb.Find("COM24", params));

    ComPortRegEnum ports;
    ports.Build(usb, noKnownPorts, root.get());
    const std::vector<std::string> all = {"COM20 - USB/KM Data Modem",
                                          "COM21 - USB/KM Diagnostic",
                                          "COM22 - USB/KM NMEA",
                                          "COM23 - USB/Unknown",
                                          "COM24 - Serial",
                                          "COM25 - USB/Unknown"};
    EXPECT_EQ(all, RowTexts(ports, false));
    const std::vector<std::string> diagOnly = {"COM21 - USB/KM Diagnostic", "COM24 - Serial"};
    EXPECT_EQ(diagOnly, RowTexts(ports, true));
}

TEST(PortRegEnum, KindTypeNamesAndTheirDiagOnlyOffer) {
    struct KindCase {
        int kind;
        const char* typeName;
        bool offeredWhenDiagOnly;
    };
    constexpr KindCase kindCases[] = {
        {0, "Serial", true},
        {1, "USB/Unknown", false},
        {2, "USB/KM Data Modem", false},
        {3, "USB/KM Diagnostic", true},
        {4, "USB/KM NMEA", false},
        {5, "Unknown", false},
        {-1, "Unknown", false},
    };
    for (const KindCase& c : kindCases) {
        EXPECT_STREQ(c.typeName, PortKindTypeName(c.kind)) << "kind " << c.kind;
        EXPECT_EQ(c.offeredWhenDiagOnly, IsPortKindOffered(c.kind, true)) << "kind " << c.kind;
        EXPECT_TRUE(IsPortKindOffered(c.kind, false)) << "kind " << c.kind;
    }
}

} // namespace
