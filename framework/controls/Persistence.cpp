#include "framework/controls/Persistence.h"
#include "foundation/Com/Failure.h"

#include "foundation/Lang/Text.h"
#include "foundation/Mem/ByteLayout.h"
#include "foundation/Win32/Unique.h"

#include <comdef.h>
#include <wrl/client.h>

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

// Tells the host's error log which value could not be read and why, then refuses the load.
[[noreturn]] void RefuseValue(IErrorLog* log, BSTR name, HRESULT status) {
    if (log) {
        EXCEPINFO failure = {};
        failure.scode = status;
        log->AddError(name, &failure);
    }
    Refuse();
}

LONG ReadInteger(IPropertyBag* bag, IErrorLog* log, const char* name, VARTYPE wanted) {
    const Win32::UniqueBstr bagName(Lang::ToBstr(name));
    Variant read;
    read.value.vt = wanted;
    if (const HRESULT status = bag->Read(bagName.get(), &read.value, log); FAILED(status))
        RefuseValue(log, bagName.get(), status);
    if (const HRESULT status = ::VariantChangeType(&read.value, &read.value, 0, wanted); FAILED(status))
        RefuseValue(log, bagName.get(), status);
    return wanted == VT_UI4 ? static_cast<LONG>(read.value.ulVal) : read.value.lVal;
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

SavedState ReadBag(IPropertyBag* bag, IErrorLog* log, std::span<const PersistedProperty> properties) {
    Com::ThrowIfNull(bag);
    SavedState state;
    state.extent.cx = ReadInteger(bag, log, "_cx", VT_UI4);
    state.extent.cy = ReadInteger(bag, log, "_cy", VT_UI4);
    for (const PersistedProperty& property : properties)
        state.values.push_back(ReadInteger(bag, log, property.name, VT_I4));
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

HRESULT LoadInitialData(IUnknown* control, std::span<const BYTE> data) {
    if (!control)
        return E_POINTER;
    ComPtr<IPersistStreamInit> persist;
    const HRESULT status = control->QueryInterface(IID_PPV_ARGS(&persist));
    if (FAILED(status))
        return status;
    const ComPtr<IStream> stream = InitialDataStream(data);
    return stream ? persist->Load(stream.Get()) : E_FAIL;
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
