// Port rows as the user sees them: column texts, icons, order and which ports show at all.
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

TEST(PortRowRules, LinkColumnText) {
    struct Case {
        const char* name;
        PortFields port;
        const char* expected;
    };
    const Case cases[] = {
        {"serial enabled", {.state = 2, .linkType = 1, .baud = 38400}, "38400 baud"},
        {"serial pending", {.state = 4, .linkType = 1, .baud = 115200}, "115200 baud"},
        {"usb", {.state = 2, .linkType = 2}, "USB"},
        {"network", {.linkType = 3, .host = L"h", .networkPort = 2500, .qualifier = L"q"}, "h/2500[q]"},
        {"network without qualifier", {.linkType = 3, .host = L"h", .networkPort = 2500}, "h/2500[]"},
        {"network port unsigned",
         {.linkType = 3, .host = L"h", .networkPort = 4294967295u},
         "h/4294967295[]"},
        {"link type 0", {.linkType = 0}, "?"},
        {"link type 4", {.linkType = 4}, "?"},
        {"link type -1", {.linkType = -1}, "?"},
        {"unknown state shows the link", {.state = 0, .linkType = 2}, "USB"},
        {"two state bits show the link", {.state = 3, .linkType = 1, .baud = 9600}, "9600 baud"},
        {"not available", {.state = 1, .linkType = 2}, "N/A"},
        {"disabled", {.state = 8, .linkType = 1}, "N/A"},
        {"waiting", {.state = 16, .linkType = 3, .host = L"h"}, "N/A"},
        {"state read as 16 bits", {.state = 0x10008, .linkType = 2}, "N/A"},
    };
    for (const Case& c : cases) {
        const PortRecord port(c.port);
        EXPECT_EQ(c.expected, LinkColumnText(port.record)) << c.name;
        EXPECT_EQ(c.expected, BuildPortItem(port.record, E_FAIL, PhoneRecord({}).record)->linkText) << c.name;
    }
}

TEST(PortRowRules, PhoneText) {
    struct Case {
        const char* name;
        HRESULT status;
        PhoneFields phone;
        const char* expected;
    };
    const Case cases[] = {
        {"esn as hex", S_OK, {.esn = L"305419896", .model = L"X"}, "X (12345678)"},
        {"hex in upper case", S_OK, {.esn = L"3735928559", .model = L"X"}, "X (DEADBEEF)"},
        {"esn 0", S_OK, {.esn = L"0", .model = L"X"}, "X (0)"},
        {"no leading zeros", S_OK, {.esn = L"00255", .model = L"X"}, "X (FF)"},
        {"no model", S_OK, {.esn = L"255"}, "? (FF)"},
        {"empty esn and model", S_OK, {}, "? (0)"},
        {"null esn", S_OK, {.esn = nullptr, .model = L"X"}, "X (0)"},
        {"esn not decimal", S_OK, {.esn = L"12AB", .model = L"X"}, "X (\?\?\?\?\?\?\?\?)"},
        {"esn not decimal, no model", S_OK, {.esn = L"12AB"}, "No Phone"},
        {"meid", S_OK, {.esn = L"A0000012345678", .model = L"X"}, "X (\?\?\?\?\?\?\?\?)"},
        {"esn with trailing blank", S_OK, {.esn = L"123 ", .model = L"X"}, "X (\?\?\?\?\?\?\?\?)"},
        {"success that is not S_OK", S_FALSE, {.esn = L"16", .model = L"X"}, "X (10)"},
        {"download 2", S_OK, {.esn = L"16", .model = L"X", .mode = 2}, "P/PHN-XXX (Download)"},
        {"download 6", S_OK, {.mode = 6}, "P/PHN-XXX (Download)"},
        {"zelkor download 12",
         S_OK,
         {.esn = L"16", .model = L"X", .mode = 12},
         "P/PHN-XXX (Zelkor Download)"},
        {"mode 1 is no download", S_OK, {.esn = L"16", .model = L"X", .mode = 1}, "X (10)"},
        {"mode 13 is no download", S_OK, {.esn = L"16", .model = L"X", .mode = 13}, "X (10)"},
        {"failed, platform device", E_FAIL, {.platformDevice = 1}, "TPB"},
        {"failed, any non-zero flag", E_FAIL, {.platformDevice = -1}, "TPB"},
        {"failed, no platform device", E_FAIL, {.esn = L"16", .model = L"X"}, "N/A"},
        {"failed in download mode", E_FAIL, {.mode = 12}, "N/A"},
    };
    for (const Case& c : cases) {
        const PhoneRecord phone(c.phone);
        EXPECT_EQ(c.expected, PhoneText(c.status, phone.record)) << c.name;
        EXPECT_EQ(c.expected, BuildPortItem(PortRecord({}).record, c.status, phone.record)->phoneText)
            << c.name;
    }
}

TEST(PortRowRules, StateTextAndIcon) {
    struct Case {
        long state;
        const char* text;
        int image;
    };
    const Case cases[] = {
        {1, "Not Available", portImageUnavailable},
        {2, "Enabled", portImageUsable},
        {4, "Pending", portImagePending},
        {8, "Disabled", portImageUnavailable},
        {16, "Waiting", portImageUsable},
        {0, "Unknown", portImageUsable},
        {3, "Unknown", portImageUsable},
        {-1, "Unknown", portImageUsable},
        {0x10004, "Pending", portImagePending},
    };
    static_assert(portImageUsable == 1 && portImageUnavailable == 3 && portImagePending == 4);
    for (const Case& c : cases) {
        const auto item =
            BuildPortItem(PortRecord({.state = c.state}).record, E_FAIL, PhoneRecord({}).record);
        EXPECT_EQ(c.text, item->stateText) << "state " << c.state;
        EXPECT_EQ(c.image, PortStateImage(item->stateCode)) << "state " << c.state;
    }
}

TEST(PortRowRules, ItemCarriesThePortRecord) {
    const PortRecord port({.id = -5,
                           .name = L"NET7",
                           .label = L"bench",
                           .state = 2,
                           .linkType = 3,
                           .host = L"h",
                           .networkPort = 2500,
                           .qualifier = L"q"});
    const auto item = BuildPortItem(port.record, S_OK, PhoneRecord({.esn = L"1", .model = L"X"}).record);
    EXPECT_EQ(-5, item->portId) << "the 16-bit id keeps its sign";
    EXPECT_EQ(-5, item->GetID()) << "the row key is the port id";
    EXPECT_EQ("NET7", item->portName);
    EXPECT_EQ("bench", item->label);
    EXPECT_EQ(2, item->stateCode);
    EXPECT_EQ(3, item->linkType);
    EXPECT_EQ("h", item->host);
    EXPECT_EQ(2500u, item->networkPort);
    EXPECT_EQ("q", item->linkQualifier);
    EXPECT_EQ("X (1)", item->phoneText);
}

TEST(PortRowRules, LabelColumnFallsBackToPortName) {
    struct Case {
        const wchar_t* label;
        const char* expected;
    };
    const Case cases[] = {{L"", "COM4"}, {L"bench", "bench"}};
    for (const Case& c : cases) {
        const auto item = BuildPortItem(PortRecord({.name = L"COM4", .label = c.label}).record, E_FAIL,
                                        PhoneRecord({}).record);
        EXPECT_EQ(c.expected, LabelColumnText(*item)) << c.expected;
    }
}

TEST(PortRowRules, ZelkorModeGetsTheProgressBar) {
    for (long mode : {0L, 1L, 2L, 6L, 11L, 12L, 13L})
        EXPECT_EQ(mode == 12, NeedsZelkorProgress(PhoneRecord({.mode = mode}).record)) << "mode " << mode;
    EXPECT_EQ(portColumnState, zelkorProgressColumn);
    EXPECT_EQ(1, zelkorProgressLow);
    EXPECT_EQ(1000, zelkorProgressHigh);
    EXPECT_EQ(250, zelkorProgressStart);
}

TEST(PortRowRules, DisplayMaskReadsTheWholeStateCode) {
    struct Case {
        long state;
        unsigned long mask;
        bool shown;
    };
    const Case cases[] = {
        {2, 2, true}, {8, 2, false}, {0, 0xFFFFFFFF, false}, {0x10000, 0xFFFFFFFF, true}, {2, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, IsPortShown(PortRecord({.state = c.state}).record, c.mask))
            << "state " << c.state << " mask " << c.mask;
}

TEST(PortRowRules, RowIndexOfPlacement) {
    struct Case {
        RowPlacement placement;
        int expected;
    };
    const Case cases[] = {{RowPlacement::First, 0}, {RowPlacement::Last, 7}, {RowPlacement::At, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, RowIndexForPlacement(c.placement, 7, 3)) << "placement " << int(c.placement);
}

TEST(PortListColumns, HeadersAndWidths) {
    struct Case {
        PortListColumn column;
        const char* header;
        int width;
    };
    const Case cases[] = {
        {portColumnPort, "Port", 70},    {portColumnState, "State", 90}, {portColumnLabel, "Label", 130},
        {portColumnPhone, "Phone", 150}, {portColumnLink, "Link", 60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.header, PortColumnHeader(c.column)) << "column " << c.column;
        EXPECT_EQ(c.width, PortColumnWidth(c.column)) << "column " << c.column;
    }
    for (const auto& [text, width] : {std::pair{"", 0}, {"60", 60}, {"-5", -5}, {"x", 0}})
        EXPECT_EQ(width, ColumnWidthFromText(text)) << '"' << text << '"';
}

TEST(PortListSort, SortKeyOfHeaderClick) {
    struct Case {
        int column;
        bool descending;
        long key;
    };
    const Case cases[] = {{0, false, 1}, {4, false, 5}, {0, true, -1}, {3, true, -4}};
    for (const Case& c : cases)
        EXPECT_EQ(c.key, PortSortKey(c.column, c.descending)) << c.column << (c.descending ? " down" : " up");
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
    item->portId = id;
    item->portName = name;
    item->label = label;
    item->stateCode = state;
    item->phoneText = phone;
    item->linkText = link;
    return item;
}

TEST(PortListSort, EveryColumnBothWays) {
    const auto first = SortItem(1, "COM2", "", 8, "a", "N/A");
    const auto second = SortItem(2, "COM10", "alpha", 2, "B", "38400 baud");
    struct Case {
        long key;
        int order; // of first against second
    };
    const Case cases[] = {
        {1, -1}, {-1, 1}, {2, 1},   {-2, -1}, {3, 1}, {-3, -1}, {4, -1},
        {-4, 1}, {5, 1},  {-5, -1}, {0, 0},   {6, 0}, {-6, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.order, Sign(ComparePortItems(first.get(), second.get(), c.key))) << "key " << c.key;
}

TEST(PortListSort, RowsWithoutItemCompareEqual) {
    CPortItemList items;
    items.Add(SortItem(1, "COM2", "", 2, "", ""));
    items.Add(SortItem(2, "COM10", "", 2, "", ""));
    struct Case {
        LPARAM row1;
        LPARAM row2;
        long key;
        int order;
    };
    const Case cases[] = {{1, 2, 1, -1}, {2, 1, 1, 1},  {1, 2, -1, 1},
                          {1, 9, 1, 0},  {9, 2, -1, 0}, {9, 9, 1, 0}};
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

TEST(ItemList, KeyStartsAtZeroAndSetIdAnswersIt) {
    CItem item;
    EXPECT_EQ(0, item.GetID());
    EXPECT_EQ(-7, item.SetID(-7));
    EXPECT_EQ(-7, item.GetID());
}

TEST(ItemList, FindAndRemoveTakeTheNewestOfEqualKeys) {
    std::vector<int> destroyed;
    CItemList<LoggedItem> list;
    // Tags 0..3 with keys 5, 7, 5, 8.
    for (const auto& [key, tag] : {std::pair{5L, 0}, {7L, 1}, {5L, 2}, {8L, 3}})
        list.Add(std::make_unique<LoggedItem>(key, tag, destroyed));
    for (size_t index = 0; index < list.Count(); ++index)
        EXPECT_EQ(int(index), list.At(index)->Tag()) << "added in order";

    struct Step {
        const char* name;
        long key;
        bool removed;
        int destroyedTag;   // -1: nothing destroyed
        int foundAfterTag;  // what Find gives for the key afterwards, -1: nothing
        long foundPosition; // and where
    };
    const Step steps[] = {
        {"newest 5 goes", 5, true, 2, 0, 0},
        {"older 5 goes", 5, true, 0, -1, -1},
        {"no such key", 9, false, -1, -1, -1},
        {"8 moved up", 8, true, 3, -1, -1},
    };
    EXPECT_EQ(2, list.Find(5).item->Tag());
    EXPECT_EQ(2, list.Find(5).position);
    for (const Step& s : steps) {
        destroyed.clear();
        EXPECT_EQ(s.removed, list.Remove(s.key)) << s.name;
        EXPECT_EQ(s.destroyedTag < 0 ? std::vector<int>{} : std::vector<int>{s.destroyedTag}, destroyed)
            << s.name;
        const auto found = list.Find(s.key);
        EXPECT_EQ(s.foundAfterTag, found.item ? found.item->Tag() : -1) << s.name;
        EXPECT_EQ(s.foundPosition, found.position) << s.name;
    }
    ASSERT_EQ(1u, list.Count());
    EXPECT_EQ(0, list.Find(7).position) << "positions close up after removal";
}

TEST(ItemList, ClearAndDestructionGoFromLastToFirst) {
    std::vector<int> destroyed;
    {
        CItemList<LoggedItem> list;
        for (int tag = 0; tag < 3; ++tag)
            list.Add(std::make_unique<LoggedItem>(tag, tag, destroyed));
        list.Clear();
        EXPECT_EQ((std::vector<int>{2, 1, 0}), destroyed) << "clear";
        EXPECT_EQ(0u, list.Count());
        EXPECT_EQ(nullptr, list.Find(0).item);
        destroyed.clear();
        for (int tag = 0; tag < 3; ++tag)
            list.Add(std::make_unique<LoggedItem>(tag, tag, destroyed));
    }
    EXPECT_EQ((std::vector<int>{2, 1, 0}), destroyed) << "destruction";
}

} // namespace
