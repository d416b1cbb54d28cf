#pragma once

// Inputs for the service map's readers as a broken or hostile peer could hand them over, and
// what the readers must make of each: a refusal, or a table or device set within bounds. The
// unit tests run a few thousand; the fuzz target under bench/ as many as it is told.
#include "servicemap/DragData.h"
#include "servicemap/ServiceMap.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace TestSupport {

class ServiceMapInputs {
public:
    explicit ServiceMapInputs(unsigned seed)
        : m_random(seed) {}

    // In turn: random bytes of any length up to 129, and a well-formed input with a few bits
    // flipped, one byte shorter, as long, or one byte longer.
    std::vector<std::uint8_t> Next() {
        std::vector<std::uint8_t> bytes = Seed(m_count % 3);
        if (m_count++ % 2) {
            bytes.resize(m_random() % 130);
            for (auto& byte : bytes)
                byte = static_cast<std::uint8_t>(m_random());
            return bytes;
        }
        for (int flip = 0; flip < 4 && !bytes.empty(); ++flip)
            bytes[m_random() % bytes.size()] ^= static_cast<std::uint8_t>(1u << (m_random() % 8));
        bytes.resize(std::max<size_t>(bytes.size() + m_random() % 3, 1) - 1);
        return bytes;
    }

private:
    static std::vector<std::uint8_t> Seed(unsigned which) {
        switch (which) {
        case 0:
            return ServiceMap::ServiceBytes(5);
        case 1:
            return ServiceMap::CompatibleDeviceBytes(ServiceMap::nullService);
        default:
            return std::vector<std::uint8_t>(ServiceMap::tableSize, ServiceMap::noServiceByte);
        }
    }

    std::mt19937 m_random;
    unsigned m_count = 0;
};

// What is wrong with the readers' answer to one input; empty when nothing is.
inline std::string ServiceMapReadersFault(const std::vector<std::uint8_t>& bytes) {
    using namespace ServiceMap;
    const ReadResult read = ReadTable(bytes);
    if (read.count != std::min(bytes.size(), tableSize))
        return "table count";
    if (!std::all_of(read.table.begin() + std::ptrdiff_t(read.count), read.table.end(),
                     [](std::uint8_t value) { return value == noServiceByte; }))
        return "table padding";
    if (ServiceFromBytes(bytes).has_value() != (bytes.size() >= 4))
        return "service";
    if (DevicesFromBytes(bytes).size() > std::min(bytes.size(), compatibleDevicesLimit) / 4)
        return "device list";
    return {};
}

} // namespace TestSupport
