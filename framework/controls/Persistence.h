#pragma once

#include <ocidl.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <span>
#include <vector>

namespace Fw {

// One line of a control's property map: a property of its default interface, saved under
// its name in a property bag and in map order in a stream.
struct PersistedProperty {
    const char* name;
    DISPID id;
};

// What a control saves: its extent in HIMETRIC and one 32-bit integer per mapped property.
struct SavedState {
    SIZEL extent = {};
    std::vector<LONG> values;

    bool operator==(const SavedState& other) const {
        return extent.cx == other.extent.cx && extent.cy == other.extent.cy && values == other.values;
    }
};

// The stream layout: 32-bit version, 32-bit width and height, then per property its 16-bit
// variant type and 32-bit value, little-endian. Older versions read the same way; a newer
// one is not ours to guess at.
constexpr DWORD savedStateVersion = 0x0C00;

std::vector<BYTE> EncodeState(const SavedState& state, DWORD version = savedStateVersion);
// Raises E_FAIL for a newer version, too few bytes, or a value that is not VT_I4. `used`
// receives the bytes the state took, so that whatever follows it can be read on.
SavedState DecodeState(std::span<const BYTE> bytes, size_t propertyCount, size_t* used = nullptr);

// The same through a stream: reading takes exactly the bytes of the state and raises E_FAIL
// (never a partial state) when the stream ends early.
SavedState ReadState(IStream* stream, size_t propertyCount);
void WriteState(IStream* stream, const SavedState& state);
ULONG StateSize(size_t propertyCount);

// Property bags: "_cx" and "_cy" as VT_UI4, each property under its name as VT_I4. A value
// the bag lacks keeps its value in `current` and is noted in the log; bags written by hand (a
// web page's parameters) hold text, so a value of another type that converts exactly is
// taken. An empty value, an inexact one or an extent out of 0..LONG_MAX is noted and raises
// E_INVALIDARG.
SavedState ReadBag(IPropertyBag* bag, IErrorLog* log, std::span<const PersistedProperty> properties,
                   const SavedState& current);
void WriteBag(IPropertyBag* bag, const SavedState& state, std::span<const PersistedProperty> properties);

// A property of a dual interface read and written through its type information, as a
// script host would: the get and put entries are the ones the host sees. E_FAIL on failure.
LONG GetProperty(ITypeInfo* info, IDispatch* object, DISPID id);
void PutProperty(ITypeInfo* info, IDispatch* object, DISPID id, LONG value);

// The creation data of a control placed in one of the module's dialog templates is a 32-bit
// field, then the control's saved state in the stream layout (version 0x0300 there). This is
// that saved state as a stream at its start, for IPersistStreamInit::Load; null when the data
// is shorter than its 32-bit field.
Microsoft::WRL::ComPtr<IStream> InitialDataStream(std::span<const BYTE> data);

} // namespace Fw
