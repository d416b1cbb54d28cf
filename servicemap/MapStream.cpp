#include "servicemap/MapStream.h"

#include "foundation/Com/Failure.h"

namespace ServiceMap {

Microsoft::WRL::ComPtr<IStream> NewStream(std::span<const std::uint8_t> bytes) {
    Microsoft::WRL::ComPtr<IStream> stream;
    Com::ThrowIfFailed(::CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    Com::Call(static_cast<ISequentialStream*>(stream.Get()), &ISequentialStream::Write, bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return stream;
}

std::vector<std::uint8_t> ReadFromStart(IStream* stream, size_t limit) {
    Com::Call(stream, &IStream::Seek, LARGE_INTEGER{}, DWORD{STREAM_SEEK_SET}, nullptr);
    std::vector<std::uint8_t> bytes(limit);
    ULONG read = 0;
    Com::Call(static_cast<ISequentialStream*>(stream), &ISequentialStream::Read, bytes.data(), static_cast<ULONG>(limit), &read);
    bytes.resize(std::min<size_t>(read, limit));
    return bytes;
}

ReadResult ReadTableFrom(IUnknown* stream) {
    const auto bytes = Com::ThrowIfNull(Com::Query<IStream>(stream), E_NOINTERFACE);
    return ReadTable(ReadFromStart(bytes.Get(), tableSize));
}

} // namespace ServiceMap
