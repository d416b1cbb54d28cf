// The service map's vocabularies, compatibility rules and the reading and writing decisions, as
// the dialog and the two lists rely on them.
#include "servicemap/DragData.h"
#include "servicemap/ServiceMap.h"
#include "tests/support/ServiceMapFuzz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ServiceMap;

TEST(ServiceMap, NamesDevicesAndServicesAndCallsTheRestUnknown) {
    const std::pair<int, std::string> devices[] = {{0, "NULL DEV"},      {1, "UART1"},  {12, "USB NET WWAN"},
                                                   {18, "3RD PARTY OS"}, {22, "MAXDEV"}, {23, "UNKNOWN"},
                                                   {-1, "UNKNOWN"}};
    for (const auto& [device, name] : devices)
        EXPECT_EQ(name, DeviceName(device)) << device;
    const std::pair<std::uint8_t, std::string> services[] = {
        {0xFF, "NULL"}, {0, "DIAG"}, {7, "DATA WWAN"}, {9, "TOLV EXTENDED"}, {15, "OEM 5"}, {16, "UNKNOWN"},
        {0x20, "UNKNOWN"}, {0x80, "UNKNOWN"}};
    for (const auto& [value, name] : services)
        EXPECT_EQ(name, ServiceName(ServiceOf(value))) << int(value);

    std::vector<std::string> pool, offered;
    for (const int service : PoolOrder()) {
        pool.push_back(ServiceName(service));
        if (IsOffered(service))
            offered.push_back(ServiceName(service));
    }
    EXPECT_EQ((std::vector<std::string>{"TOLV", "TOLV EXTENDED", "BT HCI", "BT SOC", "DATA", "DATA WWAN", "DIAG", "MMC",
                                        "NMEA", "NULL", "RPC", "STRIDE", "OEM 1", "OEM 2", "OEM 3", "OEM 4", "OEM 5"}),
              pool);
    EXPECT_EQ((std::vector<std::string>{"TOLV", "BT HCI", "DATA", "DATA WWAN", "DIAG", "NMEA", "NULL", "RPC"}), offered);
}

TEST(ServiceMap, EachServiceGoesOnlyToTheDevicesOfItsMask) {
    const std::pair<int, std::vector<std::int32_t>> rows[] = {
        {nullService, {0, 1, 4, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
        {diagService, {0, 1, 6}},
        {dataService, {0, 1, 4, 7, 9, 13, 14, 15, 16, 17}},
        {3, {}},
        {5, {0, 1, 10, 19}},
        {7, {0, 12}},
        {8, {1, 4}},
        {16, {0}},
        {17, {}},
        {32, {}},
    };
    for (const auto& [service, devices] : rows)
        EXPECT_EQ(devices, CompatibleDevices(service)) << service;
    EXPECT_FALSE(MayCarry(diagService, 2)) << "UART2";
    EXPECT_FALSE(MayCarry(nullService, 40));
}

TEST(ServiceMap, ReadsAnyLengthPaddedAndWritesOnlyWhatDiffers) {
    for (size_t length = 0; length <= 64; ++length) {
        std::vector<std::uint8_t> content(length);
        for (size_t index = 0; index < length; ++index)
            content[index] = static_cast<std::uint8_t>(index + 1);
        const ReadResult read = ReadTable(content);
        EXPECT_EQ(std::min(length, tableSize), read.count) << length;
        for (size_t index = 0; index < tableSize; ++index)
            EXPECT_EQ(int(index < length ? index + 1 : 0xFF), int(read.table[index])) << length << " byte " << index;
        EXPECT_FALSE(Differs(read.table, tableSize, ReadTable(std::vector<std::uint8_t>(content)).table));
    }
    // A short file is compared padded; a phone's own byte 0 or 22 differs from the 0xFF written.
    Table edited = ReadTable({}).table;
    const Table asRead = ReadTable(std::vector<std::uint8_t>(5, 0xFF)).table;
    EXPECT_FALSE(Differs(edited, tableSize, asRead));
    Table phone = asRead;
    phone[22] = 0;
    EXPECT_TRUE(Differs(edited, tableSize, phone));
    edited[20] = 1;
    EXPECT_FALSE(Differs(edited, 20, asRead)) << "bytes past the count take no part";
    EXPECT_TRUE(Differs(edited, 21, asRead));
}

// The assigned list's rows are devices 1 to 21: a table fills them as far as it reaches, and
// they give back a table with 0xFF on devices 0 and 22 and any unknown service unchanged.
TEST(ServiceMap, RowsTakeTheTableAsFarAsItReachesAndGiveItBack) {
    std::vector<std::uint8_t> phone(23, 0xFF);
    phone[0] = 7;
    phone[1] = diagService;
    phone[3] = 0x20;
    phone[21] = 8;
    phone[22] = 0;
    std::vector<int> rows(lastShownDevice, 5);
    ApplyTable(ReadTable(phone), rows);
    EXPECT_EQ(0, rows[0]);
    EXPECT_EQ(32, rows[2]);
    EXPECT_EQ(8, rows[20]);
    Table expected = ReadTable(phone).table;
    expected[0] = expected[22] = noServiceByte;
    EXPECT_EQ(expected, TableOfRows(rows));

    std::vector<int> kept(lastShownDevice, 5);
    ApplyTable(ReadTable(std::vector<std::uint8_t>(5, 1)), kept);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 5}), std::vector<int>(kept.begin(), kept.begin() + 5))
        << "a 5-byte file reaches devices 1 to 4";
    EXPECT_EQ(ReadTable({}).table, TableOfRows({})) << "a list without rows";
}

TEST(ServiceMap, DiagCountsOnlyOnTheDevicesAUserSees) {
    const struct {
        int device;
        size_t count;
        bool carried;
    } rows[] = {{0, 23, false}, {1, 23, true}, {21, 23, true}, {22, 23, false}, {3, 4, true}, {4, 4, false}};
    for (const auto& row : rows) {
        Table table = ReadTable({}).table;
        table[static_cast<size_t>(row.device)] = diagService;
        EXPECT_EQ(row.carried, CarriesDiag(table, row.count)) << row.device << " of " << row.count;
    }
}

TEST(ServiceMap, DragDataIsLittleEndianIntegersAndOnlyWholeOnesCount) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF}), ServiceBytes(nullService));
    EXPECT_EQ((Bytes{1, 0, 0, 0, 4, 0, 0, 0}), CompatibleDeviceBytes(8));
    EXPECT_EQ(-1, ServiceFromBytes(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 7}));
    EXPECT_EQ(std::nullopt, ServiceFromBytes(Bytes{5, 0, 0}));
    EXPECT_EQ((std::set<int>{1, 4}), DevicesFromBytes(Bytes{1, 0, 0, 0, 4, 0, 0, 0, 9, 0, 0}));
    Bytes many;
    for (std::int32_t device = 0; device < 30; ++device)
        many.insert(many.end(), {static_cast<std::uint8_t>(device), 0, 0, 0});
    EXPECT_EQ(23u, DevicesFromBytes(many).size()) << "no more than 92 bytes are read";
}

// Random and mutated inputs are each refused or read within bounds.
TEST(ServiceMap, RandomAndMutatedInputsAreReadWithinBoundsOrRefused) {
    TestSupport::ServiceMapInputs inputs(20261207);
    for (int input = 0; input < 4000; ++input)
        ASSERT_EQ("", TestSupport::ServiceMapReadersFault(inputs.Next())) << input;
}

} // namespace
