#include "servicemap/ServiceFormats.h"

#include "foundation/Com/Failure.h"
#include "servicemap/DragData.h"
#include "servicemap/MapStream.h"

#include <algorithm>

namespace {

CLIPFORMAT RegisterFormat(const char* name) {
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(name));
}

LONG ThisProcess() {
    return static_cast<LONG>(::GetCurrentProcessId());
}

} // namespace

ServiceFormats ServiceFormats::Register() {
    ServiceFormats formats;
    formats.m_assigned = RegisterFormat(ServiceMap::assignedServiceFormat);
    formats.m_unassigned = RegisterFormat(ServiceMap::unassignedServiceFormat);
    formats.m_compatible = RegisterFormat(ServiceMap::compatibleDevicesFormat);
    return formats;
}

FORMATETC ServiceFormats::Request(CLIPFORMAT format) {
    return {format, nullptr, DVASPECT_CONTENT, ThisProcess(), TYMED_ISTREAM};
}

HRESULT ServiceFormats::Match(const FORMATETC& request, std::span<const CLIPFORMAT> offered) {
    if (std::find(offered.begin(), offered.end(), request.cfFormat) == offered.end())
        return DV_E_FORMATETC;
    if (request.dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (request.lindex != ThisProcess())
        return DV_E_LINDEX;
    if ((request.tymed & TYMED_ISTREAM) == 0)
        return DV_E_TYMED;
    return S_OK;
}

STGMEDIUM ServiceFormats::StreamMedium(std::span<const std::uint8_t> bytes) {
    Microsoft::WRL::ComPtr<IStream> stream = ServiceMap::NewStream(bytes);
    Com::Call(stream, &IStream::Seek, LARGE_INTEGER{}, DWORD{STREAM_SEEK_SET}, nullptr);
    STGMEDIUM medium = {};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream.Detach();
    return medium;
}

Microsoft::WRL::ComPtr<IStream> ServiceFormats::StreamFrom(IDataObject* data, CLIPFORMAT format) {
    FORMATETC request = Request(format);
    STGMEDIUM medium = {};
    if (!data || FAILED(data->GetData(&request, &medium)))
        return nullptr;
    Microsoft::WRL::ComPtr<IStream> stream;
    if (medium.tymed == TYMED_ISTREAM)
        stream = medium.pstm;
    ::ReleaseStgMedium(&medium);
    return stream;
}

std::optional<int> ServiceFormats::ServiceFrom(IDataObject* data, CLIPFORMAT format) {
    const Microsoft::WRL::ComPtr<IStream> stream = StreamFrom(data, format);
    if (!stream)
        return std::nullopt;
    return ServiceMap::ServiceFromBytes(ServiceMap::ReadFromStart(stream.Get(), 4));
}
