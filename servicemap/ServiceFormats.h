#pragma once

#include <objidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <optional>
#include <span>

// The clipboard formats the two service lists exchange data in, and the one shape of request
// they answer: the content aspect, a stream, and this process's id as index, so that drag data
// never passes between processes.
class ServiceFormats {
public:
    // Registers the three formats by name; every window of either list does so when it is made.
    static ServiceFormats Register();

    CLIPFORMAT Assigned() const { return m_assigned; }
    CLIPFORMAT Unassigned() const { return m_unassigned; }
    CLIPFORMAT CompatibleDevices() const { return m_compatible; }

    // The request for a format as this process makes it.
    static FORMATETC Request(CLIPFORMAT format);
    // S_OK when the request names one of `offered` in the only shape answered; otherwise the
    // data object error of the first field that does not match, in the order format, aspect,
    // index, medium.
    static HRESULT Match(const FORMATETC& request, std::span<const CLIPFORMAT> offered);
    // A medium that holds a new stream of the bytes, rewound.
    static STGMEDIUM StreamMedium(std::span<const std::uint8_t> bytes);
    // The stream a data object gives for a format; null when it gives none.
    static Microsoft::WRL::ComPtr<IStream> StreamFrom(IDataObject* data, CLIPFORMAT format);
    // The one integer (a service) that a data object gives for a format: none when it gives no
    // stream; a failed read is raised.
    static std::optional<int> ServiceFrom(IDataObject* data, CLIPFORMAT format);

private:
    CLIPFORMAT m_assigned = 0;
    CLIPFORMAT m_unassigned = 0;
    CLIPFORMAT m_compatible = 0;
};
