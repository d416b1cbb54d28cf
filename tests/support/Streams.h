#pragma once

#include <objidl.h>
#include <wrl/client.h>

#include <vector>

namespace TestSupport {

// The bytes as a stream a host hands to IPersistStreamInit::Load, read from its start.
inline Microsoft::WRL::ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes) {
    Microsoft::WRL::ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

// What a stream holds from its start (the first 64 bytes, more than any saved state).
inline std::vector<BYTE> Contents(IStream* stream) {
    std::vector<BYTE> bytes(64);
    ULONG read = 0;
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

} // namespace TestSupport
