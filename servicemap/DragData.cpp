#include "servicemap/DragData.h"

#include "servicemap/ServiceMap.h"

#include <algorithm>

namespace ServiceMap {

namespace {

void Append(std::vector<std::uint8_t>& bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
}

std::int32_t IntegerAt(std::span<const std::uint8_t> bytes, size_t offset) {
    std::uint32_t bits = 0;
    for (int index = 3; index >= 0; --index)
        bits = bits << 8 | bytes[offset + static_cast<size_t>(index)];
    return static_cast<std::int32_t>(bits);
}

} // namespace

std::vector<std::uint8_t> ServiceBytes(int service) {
    std::vector<std::uint8_t> bytes;
    Append(bytes, service);
    return bytes;
}

std::optional<int> ServiceFromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4)
        return std::nullopt;
    return IntegerAt(bytes, 0);
}

std::vector<std::uint8_t> CompatibleDeviceBytes(int service) {
    std::vector<std::uint8_t> bytes;
    for (const std::int32_t device : CompatibleDevices(service))
        Append(bytes, device);
    return bytes;
}

std::set<int> DevicesFromBytes(std::span<const std::uint8_t> bytes) {
    const size_t usable = std::min(bytes.size(), compatibleDevicesLimit) / 4 * 4;
    std::set<int> devices;
    for (size_t offset = 0; offset < usable; offset += 4)
        devices.insert(IntegerAt(bytes, offset));
    return devices;
}

} // namespace ServiceMap
