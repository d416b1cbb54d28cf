// Port rows as the user sees them: column texts, icons, order and which ports show at all. The
// bench rows of PortListTests pin the ordinary states, links and phones; these are the edge cases.
#include "foundation/StateVocabulary.h"
#include "ports/PortRowRules.h"
#include "server/OwnedRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

struct PortFields {
    short id = 1;
    const wchar_t* name = L"COM1";
    const wchar_t* label = L"";
    long state = 2;
    long linkType = 1;
    long baud = 38400;
    const wchar_t* host = L"";
    unsigned long networkPort = 0;
    const wchar_t* qualifier = L"";
};

// A port record as the server fills it, owning its texts.
struct PortRecord {
    explicit PortRecord(const PortFields& f) {
        record.portId = f.id;
        record.portName = ::SysAllocString(f.name);
        record.label = ::SysAllocString(f.label);
        record.portState = f.state;
        record.linkType = f.linkType;
        record.baudRate = f.baud;
        record.host = ::SysAllocString(f.host);
        record.networkPort = f.networkPort;
        record.linkQualifier = ::SysAllocString(f.qualifier);
    }
    ~PortRecord() { Server::ClearRecord(record); }
    OstrelPortConfigEx record{};
};

struct PhoneFields {
    const wchar_t* esn = L"";
    const wchar_t* model = L"";
    long mode = 0;
    long platformDevice = 0;
};

struct PhoneRecord {
    explicit PhoneRecord(const PhoneFields& f) {
        record.esn = f.esn ? ::SysAllocString(f.esn) : nullptr;
        record.modelText = ::SysAllocString(f.model);
        record.mode = f.mode;
        record.platformDevice = f.platformDevice;
    }
    ~PhoneRecord() { Server::ClearRecord(record); }
    OstrelPhoneInfo record{};
};

// Widths come from the string table as text; a hidden column keeps its place at width 0.
TEST(PortRowRules, ColumnWidth) {
    struct Case {
        const char* text;
        bool shown;
        int width;
    };
    const Case cases[] = {
        {"70", true, 70},  {"70", false, 0}, {"", true, 0},
        {"wide", true, 0}, {"-2", true, -2}, {"90px", true, 90},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.width, ColumnWidth(c.text, c.shown))
            << '"' << c.text << '"' << (c.shown ? "" : " hidden");
}

TEST(PortRowRules, LinkColumnText) {
    struct Case {
        const char* name;
        PortFields port;
        const char* expected;
    };
    const Case cases[] = {
        {"serial pending", {.state = 4, .linkType = 1, .baud = 115200}, "115200 baud"},
        {"network", {.linkType = 3, .host = L"h", .networkPort = 2500, .qualifier = L"q"}, "h/2500[q]"},
        {"network port unsigned",
         {.linkType = 3, .host = L"h", .networkPort = 4294967295u},
         "h/4294967295[]"},
        {"link type 0", {.linkType = 0}, "?"},
        {"link type 4", {.linkType = 4}, "?"},
        {"unknown state shows the link", {.state = 0, .linkType = 2}, "USB"},
        {"two state bits show the link", {.state = 3, .linkType = 1, .baud = 9600}, "9600 baud"},
        {"waiting", {.state = 16, .linkType = 3, .host = L"h"}, "N/A"},
        {"state read as 16 bits", {.state = 0x10008, .linkType = 2}, "N/A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, LinkColumnText(PortRecord(c.port).record)) << c.name;
}

TEST(PortRowRules, PhoneText) {
    struct Case {
        const char* name;
        HRESULT status;
        PhoneFields phone;
        const char* expected;
    };
    const Case cases[] = {
        {"hex in upper case", S_OK, {.esn = L"3735928559", .model = L"X"}, "X (DEADBEEF)"},
        {"no leading zeros", S_OK, {.esn = L"00255", .model = L"X"}, "X (FF)"},
        {"no model", S_OK, {.esn = L"255"}, "? (FF)"},
        {"empty esn and model", S_OK, {}, "? (0)"},
        {"null esn", S_OK, {.esn = nullptr, .model = L"X"}, "X (0)"},
        {"esn not decimal", S_OK, {.esn = L"12AB", .model = L"X"}, "X (\?\?\?\?\?\?\?\?)"},
        {"esn not decimal, no model", S_OK, {.esn = L"12AB"}, "No Phone"},
        {"esn with trailing blank", S_OK, {.esn = L"123 ", .model = L"X"}, "X (\?\?\?\?\?\?\?\?)"},
        {"success that is not S_OK", S_FALSE, {.esn = L"16", .model = L"X"}, "X (10)"},
        {"download 2", S_OK, {.esn = L"16", .model = L"X", .mode = 2}, "P/PHN-XXX (Download)"},
        {"download 6", S_OK, {.mode = 6}, "P/PHN-XXX (Download)"},
        {"zelkor download 12",
         S_OK,
         {.esn = L"16", .model = L"X", .mode = 12},
         "P/PHN-XXX (Zelkor Download)"},
        {"mode 13 is no download", S_OK, {.esn = L"16", .model = L"X", .mode = 13}, "X (10)"},
        {"failed, platform device", E_FAIL, {.platformDevice = 1}, "TPB"},
        {"failed, any non-zero flag", E_FAIL, {.platformDevice = -1}, "TPB"},
        {"failed, no platform device", E_FAIL, {.esn = L"16", .model = L"X"}, "N/A"},
        {"failed in download mode", E_FAIL, {.mode = 12}, "N/A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, PhoneText(c.status, PhoneRecord(c.phone).record)) << c.name;
}

TEST(PortRowRules, StateTextAndIcon) {
    struct Case {
        long state;
        const char* text;
        int image;
    };
    const Case cases[] = {
        {0, "Unknown", portImageUsable},
        {3, "Unknown", portImageUsable},
        {32, "Unknown", portImageUsable},
        {-1, "Unknown", portImageUsable},
        {0x10004, "Pending", portImagePending},
    };
    for (const Case& c : cases) {
        const auto item =
            BuildPortItem(PortRecord({.state = c.state}).record, E_FAIL, PhoneRecord({}).record);
        EXPECT_EQ(c.text, item->stateText) << "state " << c.state;
        EXPECT_EQ(c.image, PortStateImage(item->stateCode)) << "state " << c.state;
    }
}

// The label column's fallback to the port name shows in the bench rows.
TEST(PortRowRules, RowKeyIsTheSignedPortId) {
    EXPECT_EQ(-5, BuildPortItem(PortRecord({.id = -5}).record, E_FAIL, PhoneRecord({}).record)->GetID());
}

// A port is shown when its state shares a bit with the mask, the whole 32-bit code counting
// (the masks a host sets are PortListTests').
TEST(PortRowRules, DisplayMaskShowsStatesSharingABit) {
    struct Case {
        long state;
        unsigned long mask;
        bool shown;
    };
    const Case cases[] = {
        {0, defaultDisplayMask, false},
        {3, 1, true},
        {3, 4, false},
        {-1, defaultDisplayMask, true},
        {0x10000, defaultDisplayMask, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, IsPortShown(PortRecord({.state = c.state}).record, c.mask))
            << "state " << c.state << " mask " << c.mask;
}

TEST(PortListSort, PortNames) {
    struct Case {
        const char* name1;
        const char* name2;
        int order;
    };
    const Case cases[] = {
        {"COM2", "COM10", -1}, {"COM10", "COM2", 1}, {"com2", "COM10", -1}, {"Com3", "cOM3", 0},
        {"COM1A", "COM1", 0},  {"COMX", "COM1", -1}, {"COM", "COM0", -1},   {"COM9", "LPT1", -1},
        {"USB2", "usb10", 1},  {"abc", "ABD", -1},   {"LPT1", "lpt1", 0},   {"COM2", "CO", 1},
        {"", "COM1", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.order, Sign(ComparePortNames(c.name1, c.name2))) << c.name1 << " vs " << c.name2;
}

std::unique_ptr<CPortItem> SortItem(long id, const char* name, const char* label, short state,
                                    const char* phone, const char* link) {
    auto item = std::make_unique<CPortItem>();
    item->SetID(id);
    item->portName = name;
    item->label = label;
    item->stateCode = state;
    item->phoneText = phone;
    item->linkText = link;
    return item;
}

// Rows as the list view's sort callback hands them over: by row value, a row without an
// item comparing equal to anything.
TEST(PortListSort, EveryColumnBothWays) {
    CPortItemList items;
    items.Add(SortItem(1, "COM2", "", 8, "a", "N/A"));
    items.Add(SortItem(2, "COM10", "alpha", 2, "B", "38400 baud"));
    struct Case {
        LPARAM row1, row2;
        long key;
        int order;
    };
    const Case cases[] = {
        {1, 2, 1, -1}, {1, 2, -1, 1}, {1, 2, 2, 1}, {1, 2, -2, -1}, {1, 2, 3, 1}, {1, 2, -3, -1},
        {1, 2, 4, -1}, {1, 2, -4, 1}, {1, 2, 5, 1}, {1, 2, -5, -1}, {1, 2, 0, 0}, {1, 2, 6, 0},
        {1, 2, -6, 0}, {2, 1, 1, 1},  {1, 9, 1, 0}, {9, 2, -1, 0},  {9, 9, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.order, Sign(ComparePortRows(items, c.row1, c.row2, c.key)))
            << c.row1 << " vs " << c.row2 << " key " << c.key;
}

// An item that tells when it goes.
class LoggedItem : public CItem {
public:
    LoggedItem(long id, int tag, std::vector<int>& log)
        : m_tag(tag)
        , m_log(log) {
        SetID(id);
    }
    ~LoggedItem() override { m_log.push_back(m_tag); }
    int Tag() const { return m_tag; }

private:
    int m_tag;
    std::vector<int>& m_log;
};

// The tags of a list's items, in list order.
std::vector<int> Tags(const CItemList<LoggedItem>& list) {
    std::vector<int> tags;
    for (size_t index = 0; index < list.Count(); ++index)
        tags.push_back(list.At(index)->Tag());
    return tags;
}

// A row rebuilt before its old item went must find the new item.
TEST(ItemList, FindAndRemoveTakeTheNewestOfEqualKeysAndClearGoesBackwards) {
    std::vector<int> destroyed;
    CItemList<LoggedItem> list;
    for (const auto& [key, tag] : {std::pair{5L, 0}, {7L, 1}, {5L, 2}, {8L, 3}, {6L, 4}})
        list.Add(std::make_unique<LoggedItem>(key, tag, destroyed));
    EXPECT_EQ(2, list.Find(5).item->Tag());
    EXPECT_EQ(2, list.Find(5).position);
    EXPECT_EQ(nullptr, list.Find(9).item);
    EXPECT_EQ(-1, list.Find(9).position);
    struct Step {
        long key;
        bool removed;
        std::vector<int> left;
    };
    const Step steps[] = {{5, true, {0, 1, 3, 4}}, {9, false, {0, 1, 3, 4}}, {5, true, {1, 3, 4}}};
    for (const Step& step : steps) {
        EXPECT_EQ(step.removed, list.Remove(step.key)) << "key " << step.key;
        EXPECT_EQ(step.left, Tags(list)) << "key " << step.key;
    }
    EXPECT_EQ((std::vector<int>{2, 0}), destroyed) << "a removed item goes at once";
    EXPECT_EQ(1, list.Find(8).position) << "positions close up after removal";
    destroyed.clear();
    list.Clear();
    EXPECT_EQ((std::vector<int>{4, 3, 1}), destroyed) << "clear goes from the newest";
    EXPECT_EQ(0u, list.Count());
}

} // namespace
