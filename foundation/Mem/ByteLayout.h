#pragma once

#include <windows.h>

#include <cstring>
#include <span>
#include <vector>

namespace Mem {

// Little-endian fields of a resource or stream layout at a byte offset, copied rather than
// cast: the offsets need not be aligned. The caller has checked that the bytes are there.
template <class Value>
Value ReadAt(std::span<const BYTE> bytes, size_t offset) {
    Value value;
    std::memcpy(&value, bytes.data() + offset, sizeof(Value));
    return value;
}

template <class Value>
void WriteAt(std::vector<BYTE>& bytes, size_t offset, Value value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(Value));
}

} // namespace Mem
