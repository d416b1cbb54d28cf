#pragma once

#include "servicemap/ServiceMap.h"

#include <objidl.h>
#include <wrl/client.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The streams in which the map and the drag data pass between the phone, the dialog and the two
// lists. A failed stream call raises its status with the stream as its source.
namespace ServiceMap {

// A new growable stream in memory that holds `bytes`, positioned after them.
Microsoft::WRL::ComPtr<IStream> NewStream(std::span<const std::uint8_t> bytes);
// Rewinds the stream and reads, in one request, at most `limit` bytes from its start.
std::vector<std::uint8_t> ReadFromStart(IStream* stream, size_t limit);
// The map a stream holds from its start: a raised failure when the object is no stream.
ReadResult ReadTableFrom(IUnknown* stream);

} // namespace ServiceMap
