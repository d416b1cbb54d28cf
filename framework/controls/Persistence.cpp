#include "framework/controls/Persistence.h"
#include "foundation/Com/Failure.h"

#include "foundation/Lang/Text.h"
#include "foundation/Mem/ByteLayout.h"
#include "foundation/Win32/Unique.h"

#include <comdef.h>
#include <wrl/client.h>

#include <climits>
#include <cwchar>
#include <optional>

namespace Fw {

using Mem::ReadAt;
using Mem::WriteAt;

namespace {

using Microsoft::WRL::ComPtr;

constexpr size_t headerSize = 12;
constexpr size_t valueSize = 6;

[[noreturn]] void Refuse() {
    Com::Throw(E_FAIL);
}

struct Variant {
    VARIANT value;
    Variant() { ::VariantInit(&value); }
    ~Variant() { ::VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

struct ExceptionInfo {
    EXCEPINFO info = {};
    ~ExceptionInfo() {
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrHelpFile);
    }
};

// Tells the host's error log which value could not be read and why.
void Note(IErrorLog* log, BSTR name, HRESULT status) {
    if (log) {
        EXCEPINFO failure = {};
        failure.scode = status;
        log->AddError(name, &failure);
    }
}

[[noreturn]] void RefuseValue(IErrorLog* log, BSTR name, HRESULT status) {
    Note(log, name, status);
    Com::Throw(E_INVALIDARG);
}

// Two values of one type, compared as the text they read as: the same text, the same value.
bool SameValue(VARIANT& first, VARIANT& second) {
    Variant firstText, secondText;
    if (FAILED(::VariantChangeTypeEx(&firstText.value, &first, LOCALE_INVARIANT, 0, VT_BSTR)) ||
        FAILED(::VariantChangeTypeEx(&secondText.value, &second, LOCALE_INVARIANT, 0, VT_BSTR)))
        return false;
    const UINT length = ::SysStringLen(firstText.value.bstrVal);
    return length == ::SysStringLen(secondText.value.bstrVal) &&
           std::wmemcmp(firstText.value.bstrVal, secondText.value.bstrVal, length) == 0;
}

// A value of the bag as `wanted` (VT_I4 or VT_I8), or nothing when the bag has none. The bag
// answers in its own type; another type is taken only when it converts there and back
// unchanged ("12" but not "12abc" or 2.5).
std::optional<LONGLONG> ReadInteger(IPropertyBag* bag, IErrorLog* log, const char* name, VARTYPE wanted) {
    const Win32::UniqueBstr bagName(Lang::ToBstr(name));
    Variant read;
    // The log stays ours: a bag that noted a missing value there too would tell the host twice.
    if (const HRESULT status = bag->Read(bagName.get(), &read.value, nullptr); FAILED(status)) {
        Note(log, bagName.get(), status);
        return std::nullopt;
    }
    if (read.value.vt == VT_EMPTY)
        RefuseValue(log, bagName.get(), E_INVALIDARG);
    Variant converted, back;
    if (const HRESULT status = ::VariantChangeType(&converted.value, &read.value, 0, wanted); FAILED(status))
        RefuseValue(log, bagName.get(), status);
    if (FAILED(::VariantChangeType(&back.value, &converted.value, 0, read.value.vt)) ||
        !SameValue(back.value, read.value))
        RefuseValue(log, bagName.get(), DISP_E_TYPEMISMATCH);
    return wanted == VT_I8 ? converted.value.llVal : converted.value.lVal;
}

LONG ReadExtent(IPropertyBag* bag, IErrorLog* log, const char* name, LONG current) {
    const std::optional<LONGLONG> value = ReadInteger(bag, log, name, VT_I8);
    if (value && (*value < 0 || *value > LONG_MAX))
        RefuseValue(log, Win32::UniqueBstr(Lang::ToBstr(name)).get(), E_INVALIDARG);
    return value ? static_cast<LONG>(*value) : current;
}

void WriteInteger(IPropertyBag* bag, const char* name, VARTYPE type, LONG value) {
    const Win32::UniqueBstr bagName(Lang::ToBstr(name));
    VARIANT written;
    written.vt = type;
    written.lVal = value;
    Com::ThrowIfFailed(bag->Write(bagName.get(), &written));
}

} // namespace

std::vector<BYTE> EncodeState(const SavedState& state, DWORD version) {
    std::vector<BYTE> bytes(headerSize + state.values.size() * valueSize);
    WriteAt<DWORD>(bytes, 0, version);
    WriteAt<DWORD>(bytes, 4, static_cast<DWORD>(state.extent.cx));
    WriteAt<DWORD>(bytes, 8, static_cast<DWORD>(state.extent.cy));
    size_t offset = headerSize;
    for (const LONG value : state.values) {
        WriteAt<WORD>(bytes, offset, VT_I4);
        WriteAt<LONG>(bytes, offset + 2, value);
        offset += valueSize;
    }
    return bytes;
}

SavedState DecodeState(std::span<const BYTE> bytes, size_t propertyCount, size_t* used) {
    if (bytes.size() < sizeof(DWORD) || ReadAt<DWORD>(bytes, 0) > savedStateVersion)
        Refuse();
    const size_t size = headerSize + propertyCount * valueSize;
    if (bytes.size() < size)
        Refuse();
    SavedState state;
    state.extent = {static_cast<LONG>(ReadAt<DWORD>(bytes, 4)), static_cast<LONG>(ReadAt<DWORD>(bytes, 8))};
    for (size_t offset = headerSize; offset < size; offset += valueSize) {
        if (ReadAt<WORD>(bytes, offset) != VT_I4)
            Refuse();
        state.values.push_back(ReadAt<LONG>(bytes, offset + 2));
    }
    if (used)
        *used = size;
    return state;
}

ULONG StateSize(size_t propertyCount) {
    return static_cast<ULONG>(headerSize + propertyCount * valueSize);
}

SavedState ReadState(IStream* stream, size_t propertyCount) {
    Com::ThrowIfNull(stream);
    std::vector<BYTE> bytes(StateSize(propertyCount));
    ULONG read = 0;
    // The version first: a newer stream may be laid out differently, even shorter.
    if (FAILED(stream->Read(bytes.data(), sizeof(DWORD), &read)) || read != sizeof(DWORD))
        Refuse();
    if (ReadAt<DWORD>(bytes, 0) > savedStateVersion)
        Refuse();
    const ULONG rest = static_cast<ULONG>(bytes.size() - sizeof(DWORD));
    if (FAILED(stream->Read(bytes.data() + sizeof(DWORD), rest, &read)) || read != rest)
        Refuse();
    return DecodeState(bytes, propertyCount);
}

void WriteState(IStream* stream, const SavedState& state) {
    const std::vector<BYTE> bytes = EncodeState(state);
    ULONG written = 0;
    Com::ThrowIfFailed(Com::ThrowIfNull(stream)->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    if (written != bytes.size())
        Com::Throw(STG_E_MEDIUMFULL);
}

SavedState ReadBag(IPropertyBag* bag, IErrorLog* log, std::span<const PersistedProperty> properties,
                   const SavedState& current) {
    Com::ThrowIfNull(bag);
    SavedState state = current;
    state.extent.cx = ReadExtent(bag, log, "_cx", current.extent.cx);
    state.extent.cy = ReadExtent(bag, log, "_cy", current.extent.cy);
    for (size_t index = 0; index < properties.size() && index < state.values.size(); ++index)
        if (const auto value = ReadInteger(bag, log, properties[index].name, VT_I4))
            state.values[index] = static_cast<LONG>(*value);
    return state;
}

void WriteBag(IPropertyBag* bag, const SavedState& state, std::span<const PersistedProperty> properties) {
    Com::ThrowIfNull(bag);
    WriteInteger(bag, "_cx", VT_UI4, state.extent.cx);
    WriteInteger(bag, "_cy", VT_UI4, state.extent.cy);
    for (size_t index = 0; index < properties.size() && index < state.values.size(); ++index)
        WriteInteger(bag, properties[index].name, VT_I4, state.values[index]);
}

LONG GetProperty(ITypeInfo* info, IDispatch* object, DISPID id) {
    DISPPARAMS none = {};
    Variant result;
    ExceptionInfo exception;
    UINT badArgument = 0;
    if (FAILED(info->Invoke(object, id, DISPATCH_PROPERTYGET, &none, &result.value, &exception.info,
                            &badArgument)) ||
        FAILED(::VariantChangeType(&result.value, &result.value, 0, VT_I4)))
        Refuse();
    return result.value.lVal;
}

void PutProperty(ITypeInfo* info, IDispatch* object, DISPID id, LONG value) {
    VARIANT argument;
    argument.vt = VT_I4;
    argument.lVal = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {&argument, &named, 1, 1};
    ExceptionInfo exception;
    UINT badArgument = 0;
    if (FAILED(info->Invoke(object, id, DISPATCH_PROPERTYPUT, &parameters, nullptr, &exception.info,
                            &badArgument)))
        Refuse();
}

ComPtr<IStream> InitialDataStream(std::span<const BYTE> data) {
    ComPtr<IStream> stream;
    if (data.size() < sizeof(DWORD) || FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return nullptr;
    const auto state = data.subspan(sizeof(DWORD));
    const LARGE_INTEGER start = {};
    if (FAILED(stream->Write(state.data(), static_cast<ULONG>(state.size()), nullptr)) ||
        FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return nullptr;
    return stream;
}

} // namespace Fw
