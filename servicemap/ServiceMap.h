#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A phone's device service map, "RDM_DEV_MAP": which service runs on which of its devices, one
// byte per device, and the rules of which device may carry which service. Plain functions over
// bytes, apart from any window, so that the lists, the dialog, the tests and the fuzzer share
// them.
namespace ServiceMap {

// The file as the phone keeps it; byte d is the service of device d.
constexpr size_t tableSize = 23;
using Table = std::array<std::uint8_t, tableSize>;
constexpr char fileName[] = "RDM_DEV_MAP";

// Devices 1 to 21 are the ones a user sees and edits; 0 ("NULL DEV") and 22 ("MAXDEV") never.
constexpr int firstShownDevice = 1;
constexpr int lastShownDevice = 21;
constexpr int deviceCount = 23;

// Service identifiers; a byte is widened as a signed 8-bit value, so 0xFF is NULL.
constexpr int nullService = -1;
constexpr int diagService = 0;
constexpr int dataService = 1;
constexpr std::uint8_t noServiceByte = 0xFF;
// The identifiers the compatibility table holds, 0 to 16 (16 names no service).
constexpr int maskedServiceCount = 17;

// "UNKNOWN" for an index the vocabulary does not name.
const char* DeviceName(int device);
const char* ServiceName(int service);
inline int ServiceOf(std::uint8_t value) {
    return static_cast<std::int8_t>(value);
}

// The seventeen services in the order the unassigned list is filled in.
std::span<const int> PoolOrder();
// Bit d set: device d may carry the service. NULL's own mask is used for -1; an identifier the
// table does not hold may go nowhere.
std::uint32_t CompatibilityMask(int service);
// Whether the unassigned list offers the service: NULL always, any other only when it may go to
// some device besides device 0.
bool IsOffered(int service);
bool MayCarry(int service, int device);
// The devices the service may go to, in ascending order.
std::vector<std::int32_t> CompatibleDevices(int service);

// The table a file's content makes: at most its first 23 bytes, the rest 0xFF; `count` is how
// many bytes came from the file.
struct ReadResult {
    Table table;
    size_t count;
};
ReadResult ReadTable(std::span<const std::uint8_t> content);
// The rows of the assigned list, one per shown device from device 1, take their services from
// a table: row r the byte of device r + 1 while that device is below min(count, 22); the rows
// beyond keep theirs.
void ApplyTable(const ReadResult& read, std::span<int> rowServices);
// The table of the rows' services (each one's low 8 bits), 0xFF on the devices no row shows.
Table TableOfRows(std::span<const int> rowServices);
// Whether the first `count` bytes of the edited table differ from the table as it was read,
// which alone decides that the table is written.
bool Differs(const Table& edited, size_t count, const Table& asRead);
// Whether a device from 1 to min(count, 22) - 1 carries DIAG; without one the user is warned
// before the table goes to the phone.
bool CarriesDiag(const Table& table, size_t count);

} // namespace ServiceMap
