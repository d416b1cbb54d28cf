#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

// What the two service lists hand each other while a service is dragged: 32-bit little-endian
// integers in a stream. Plain functions over the stream's bytes, so that a malformed or hostile
// data object can only be refused.
namespace ServiceMap {

// The clipboard formats, registered by name in every process that takes part.
constexpr char assignedServiceFormat[] = "NORVIK_RDM_SERVICE_ASSIGNED";
constexpr char unassignedServiceFormat[] = "NORVIK_RDM_SERVICE_UNASSIGNED";
constexpr char compatibleDevicesFormat[] = "NORVIK_RDM_COMPAT_LIST";

// The most bytes a device list is read from: 23 devices.
constexpr size_t compatibleDevicesLimit = 92;

// One service as one integer.
std::vector<std::uint8_t> ServiceBytes(int service);
// The service of the first four bytes; none when there are fewer.
std::optional<int> ServiceFromBytes(std::span<const std::uint8_t> bytes);

// The devices the service may go to, one integer each in ascending order.
std::vector<std::uint8_t> CompatibleDeviceBytes(int service);
// Every whole integer within the first 92 bytes.
std::set<int> DevicesFromBytes(std::span<const std::uint8_t> bytes);

} // namespace ServiceMap
