#include "servicemap/ServiceMap.h"

#include <algorithm>

namespace ServiceMap {

namespace {

constexpr const char* deviceNames[deviceCount] = {
    "NULL DEV",      "UART1",         "UART2",         "UART3",         "USB MDM",      "USB MMC",
    "USB SER1",      "BT NA",         "SMEM DS",       "LSM CSD",       "USB SER2",     "BT SPP",
    "USB NET WWAN",  "APPS uP",       "APPS uP DATA1", "APPS uP DATA2", "APPS uP DATA3", "APPS uP DATA4",
    "3RD PARTY OS",  "APPS NMEA",     "TOLV EX DATA",  "TOLV EX NOTI",  "MAXDEV",
};

// By identifier 0 to 15; NULL is -1.
constexpr const char* serviceNames[] = {
    "DIAG", "DATA",   "BT HCI", "BT SOC", "MMC",   "NMEA",  "RPC",   "DATA WWAN",
    "TOLV", "TOLV EXTENDED", "STRIDE", "OEM 1", "OEM 2", "OEM 3", "OEM 4", "OEM 5",
};
constexpr char unknownName[] = "UNKNOWN";

constexpr int poolOrder[] = {8, 9, 2, 3, 1, 7, 0, 4, 5, nullService, 6, 10, 11, 12, 13, 14, 15};

// By identifier 0 to 16, as the unassigned list holds them: TOLV may go to UART1 and USB MDM
// (0x12, where a plain table of the services would let it go to device 0 only).
constexpr std::uint32_t masks[maskedServiceCount] = {
    0x43, 0x3E293, 0x13, 0, 1, 0x80403, 0x13, 0x1001, 0x12, 1, 1, 1, 1, 1, 1, 1, 1,
};
constexpr std::uint32_t nullMask = 0x3FED3;

} // namespace

const char* DeviceName(int device) {
    return device >= 0 && device < deviceCount ? deviceNames[device] : unknownName;
}

const char* ServiceName(int service) {
    if (service == nullService)
        return "NULL";
    return service >= 0 && service < int(std::size(serviceNames)) ? serviceNames[service] : unknownName;
}

std::span<const int> PoolOrder() {
    return poolOrder;
}

std::uint32_t CompatibilityMask(int service) {
    if (service == nullService)
        return nullMask;
    return service >= 0 && service < maskedServiceCount ? masks[service] : 0;
}

bool IsOffered(int service) {
    return service == nullService || CompatibilityMask(service) >= 2;
}

bool MayCarry(int service, int device) {
    return device >= 0 && device < 32 && (CompatibilityMask(service) >> device & 1) != 0;
}

std::vector<std::int32_t> CompatibleDevices(int service) {
    std::vector<std::int32_t> devices;
    for (int device = 0; device < deviceCount; ++device)
        if (MayCarry(service, device))
            devices.push_back(device);
    return devices;
}

ReadResult ReadTable(std::span<const std::uint8_t> content) {
    ReadResult result{};
    result.table.fill(noServiceByte);
    result.count = std::min(content.size(), tableSize);
    std::copy_n(content.begin(), result.count, result.table.begin());
    return result;
}

void ApplyTable(const ReadResult& read, std::span<int> rowServices) {
    const size_t end = std::min(read.count, tableSize - 1);
    for (size_t row = 0; row < rowServices.size() && row + 1 < end; ++row)
        rowServices[row] = ServiceOf(read.table[row + 1]);
}

Table TableOfRows(std::span<const int> rowServices) {
    Table table;
    table.fill(noServiceByte);
    const size_t rows = std::min(rowServices.size(), tableSize - 1);
    for (size_t row = 0; row < rows; ++row)
        table[row + 1] = static_cast<std::uint8_t>(rowServices[row] & 0xFF);
    return table;
}

bool Differs(const Table& edited, size_t count, const Table& asRead) {
    const auto compared = static_cast<std::ptrdiff_t>(std::min(count, tableSize));
    return !std::equal(edited.begin(), edited.begin() + compared, asRead.begin());
}

bool CarriesDiag(const Table& table, size_t count) {
    const size_t end = std::min(count, tableSize - 1);
    for (size_t device = firstShownDevice; device < end; ++device)
        if (ServiceOf(table[device]) == diagService)
            return true;
    return false;
}

} // namespace ServiceMap
