// A phone row built from server records: every text and picture the list and the properties
// window show, without a window.
#include "phones/PhoneItem.h"

#include <comdef.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A phone record whose texts live as long as it does.
struct PhoneRecord {
    std::vector<_bstr_t> texts;
    OstrelPhoneInfo info = {};

    BSTR Keep(const wchar_t* text) { return texts.emplace_back(text).GetBSTR(); }
};

struct Fields {
    const wchar_t* esn = L"305419896";
    const wchar_t* modelText = L"VX-210";
    long mode = 5;
    long formFactor = 4;
    long locked = 0;
    long authorized = 1;
    long platformDevice = 0;
    short modelExValue = 0;
};

CPhoneItem Build(const Fields& fields, const std::string& label = "Bench") {
    PhoneRecord record;
    OstrelPhoneInfo& phone = record.info;
    phone.portId = -3;
    phone.esn = record.Keep(fields.esn);
    phone.modelText = record.Keep(fields.modelText);
    phone.phoneName = record.Keep(L"");
    phone.phoneNumber = record.Keep(L"");
    phone.analogMin = record.Keep(L"");
    phone.banner = record.Keep(L"READY");
    phone.compileDate = record.Keep(L"Mar 02 2006");
    phone.compileTime = record.Keep(L"14:21:07");
    phone.modelNumber = 84;
    phone.stationClassMark = 0xA5;
    phone.majorVersion = 2;
    phone.minorVersion = 1;
    phone.mode = fields.mode;
    phone.formFactor = fields.formFactor;
    phone.locked = fields.locked;
    phone.authorized = fields.authorized;
    phone.platformDevice = fields.platformDevice;
    const OstrelModelEx model = {fields.modelExValue, 0, 2100};
    return CPhoneItem(phone, "COM4", label, model);
}

std::vector<std::string> Columns(const CPhoneItem& item) {
    std::vector<std::string> texts;
    for (int column = 0; column < phoneColumnCount; ++column)
        texts.push_back(item.ColumnText(column));
    return texts;
}

TEST(PhoneItem, ColumnsOfAPhoneAndOfOneInDownloadMode) {
    const CPhoneItem phone = Build({});
    EXPECT_EQ((std::vector<std::string>{"VX-210", "12345678", " ", "READY", "COM4 (Bench)"}), Columns(phone));
    EXPECT_EQ(-3, phone.GetID());
    EXPECT_EQ("No Phone Name", phone.phoneName);
    EXPECT_EQ("No MIN Analog", phone.analogMin);
    EXPECT_EQ("Mar 02 2006   14:21:07", phone.compiled);
    EXPECT_EQ("10100101", phone.stationClassMark);
    EXPECT_EQ("2.1", phone.majorMinor);
    EXPECT_EQ(84, phone.modelNumber);

    for (const long mode : {2L, 6L, 12L}) {
        const CPhoneItem loading = Build({.mode = mode}, "");
        EXPECT_EQ((std::vector<std::string>{"P/PHN-XXX", "*Download*", "*Download*", "*Download*", "COM4"}),
                  Columns(loading))
            << mode;
        EXPECT_EQ("P/PHN-XXX", loading.phoneName);
        EXPECT_EQ(0, loading.modelNumber);
        EXPECT_EQ("", loading.analogMin) << "nothing from the analog MIN on is filled";
    }
}

TEST(PhoneItem, EsnModelAndModelNumberRules) {
    const struct {
        Fields fields;
        const char* esnText;
        unsigned long esn;
        const char* modelText;
        long modelNumber;
    } cases[] = {
        {{.esn = L"4294967295"}, "FFFFFFFF", 0xFFFFFFFFul, "VX-210", 84},
        {{.esn = L"12a"}, "No ESN", 0, "VX-210", 84},
        {{.esn = L"0"}, "0", 0, "VX-210", 84},
        {{.esn = L""}, "No ESN", 0, "VX-210", 84},
        {{.modelText = L"", .platformDevice = 1}, "12345678", 0x12345678, "TPB", 84},
        {{.modelText = L""}, "12345678", 0x12345678, "Unknown", 84},
        {{.modelExValue = 1}, "12345678", 0x12345678, "VX-210", 2100},
    };
    for (const auto& c : cases) {
        const CPhoneItem item = Build(c.fields);
        EXPECT_EQ(c.esnText, item.esnText) << c.esnText;
        EXPECT_EQ(c.esn, item.esn) << c.esnText;
        EXPECT_EQ(c.modelText, item.modelText);
        EXPECT_EQ(c.modelNumber, item.modelNumber);
    }
}

TEST(PhoneItem, PictureByAuthorisationFormFactorAndLock) {
    const struct {
        long authorized, platformDevice, formFactor, locked;
        int image;
    } cases[] = {
        {1, 0, 6, 0, 0},  {1, 0, 7, 1, 1},  {1, 0, 4, 0, 2},  {1, 0, 1, 1, 7},  {1, 0, 8, 0, 6},
        {1, 0, 9, 1, 9},  {1, 0, 2, 0, 10}, {1, 0, 3, 1, 11}, {1, 0, 5, 0, 4},  {1, 1, 0, 1, 5},
        {0, 1, 9, 0, 10}, {0, 1, 9, 1, 11}, {0, 0, 9, 0, 12}, {0, 0, 9, 1, 12},
    };
    for (const auto& c : cases) {
        const CPhoneItem item = Build({.formFactor = c.formFactor, .locked = c.locked, .authorized = c.authorized,
                                       .platformDevice = c.platformDevice});
        EXPECT_EQ(c.image, item.Image()) << c.authorized << c.platformDevice << " form " << c.formFactor
                                         << " locked " << c.locked;
    }
}

TEST(PhoneItem, PortColumnSortsByComNumber) {
    PhoneRecord record;
    const OstrelModelEx model = {};
    const CPhoneItem com2(record.info, "COM2", "", model), com10(record.info, "com10", "", model),
        bench(record.info, "COM1", "Bench", model), rig(record.info, "lab-rig:2500", "", model);
    EXPECT_LT(ComparePhoneItems(&com2, &com10, phoneColumnPort), 0);
    EXPECT_GT(ComparePhoneItems(&com10, &bench, phoneColumnPort), 0);
    EXPECT_LT(ComparePhoneItems(&com10, &rig, phoneColumnPort), 0);
    EXPECT_EQ(0, ComparePhoneItems(&com2, nullptr, phoneColumnPort));
}

} // namespace
