#include "devicesim/SimRecords.h"

#include "devicesim/SimCore.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"

#include <algorithm>
#include <charconv>

namespace Sim {

namespace {

template <class Value>
SAFEARRAY* Vector(VARTYPE type, const std::vector<Value>& values) {
    Win32::UniqueSafeArray array(::SafeArrayCreateVector(type, 0, static_cast<ULONG>(values.size())));
    if (!array)
        Com::Throw(E_OUTOFMEMORY);
    if (!values.empty()) {
        void* data = nullptr;
        if (FAILED(::SafeArrayAccessData(array.get(), &data)))
            Com::Throw(E_UNEXPECTED);
        std::copy(values.begin(), values.end(), static_cast<Value*>(data));
        ::SafeArrayUnaccessData(array.get());
    }
    return array.release();
}

void AddObject(std::vector<short>& ids, long type, long mask, short id) {
    if (type & mask)
        ids.push_back(id);
}

} // namespace

void FillPortInfo(const SimPort& port, OstrelPortInfo& info) {
    info = {};
    info.portId = port.id;
    info.portName = Lang::ToBstr(port.name);
    info.label = Lang::ToBstr(port.label);
    info.portState = port.state;
}

void FillPortConfig(const SimPort& port, OstrelPortConfigEx& config) {
    config = {};
    config.portId = port.id;
    config.portName = Lang::ToBstr(port.name);
    config.baudRate = port.baudRate;
    config.label = Lang::ToBstr(port.label);
    config.portState = port.state;
    config.linkType = port.linkType;
    config.host = Lang::ToBstr(port.host);
    config.networkPort = port.networkPort;
    config.linkQualifier = Lang::ToBstr(port.linkQualifier);
}

void FillPhoneInfo(const SimPhone& phone, OstrelPhoneInfo& info) {
    info = {};
    info.portId = phone.portId;
    info.esn = Lang::ToBstr(phone.esn);
    info.analogMin = Lang::ToBstr(phone.analogMin);
    info.phoneNumber = Lang::ToBstr(phone.phoneNumber);
    info.phoneName = Lang::ToBstr(phone.phoneName);
    info.modelText = Lang::ToBstr(phone.modelText);
    info.modelNumber = phone.modelNumber;
    info.banner = Lang::ToBstr(phone.banner);
    info.phoneStateText = Lang::ToBstr(phone.phoneStateText);
    info.stateText = Lang::ToBstr(phone.stateText);
    info.buildVersion = Lang::ToBstr(phone.buildVersion);
    info.compileDate = Lang::ToBstr(phone.compileDate);
    info.compileTime = Lang::ToBstr(phone.compileTime);
    info.releaseDate = Lang::ToBstr(phone.releaseDate);
    info.releaseTime = Lang::ToBstr(phone.releaseTime);
    info.slotCycleIndex = phone.slotCycleIndex;
    info.majorVersion = phone.majorVersion;
    info.minorVersion = phone.minorVersion;
    info.chipText = Lang::ToBstr(phone.chipText);
    info.stationClassMark = phone.stationClassMark;
    info.protocolRevision = phone.protocolRevision;
    info.mode = phone.mode;
    info.locked = phone.locked ? 1 : 0;
    info.authorized = phone.authorized ? 1 : 0;
    info.platformDevice = phone.platformDevice ? 1 : 0;
    info.formFactor = phone.formFactor;
}

void FillModel(const SimPhone& phone, OstrelModelEx& model) {
    model = {};
    model.hasValue = phone.modelEx ? 1 : 0;
    model.modelNumber = phone.modelEx.value_or(0);
}

void FillClientInfo(const SimClient& client, OstrelClientInfo& info) {
    info = {};
    info.clientName = Lang::ToBstr(client.name);
    info.clientId = client.id;
    info.machineName = Lang::ToBstr(client.machine);
    info.processId = client.processId;
    info.version = Lang::ToBstr(client.version);
    info.startTime = Lang::ToBstr(client.startTime);
}

bool FillObjectInfo(SimState& state, short id, OstrelObjectInfo& info) {
    std::string className, name, version = state.serverVersion;
    long type = 0;
    if (const SimPort* port = state.findPort(id)) {
        className = "OstrelPort";
        name = port->name;
        type = ObjectPort;
    } else if (const SimPhone* phone = state.findPhone(id)) {
        className = "OstrelPhone";
        name = phone->phoneName.empty() ? phone->modelText : phone->phoneName;
        type = ObjectPhone;
        version = phone->buildVersion;
    } else if (const SimClient* client = state.findClient(id)) {
        // Clients have no class; the views show "N/A" for it.
        name = client->name;
        type = ObjectClient;
        version = client->version;
    } else if (const SimObject* object = state.findObject(id)) {
        className = object->className;
        name = object->name;
        type = object->type;
        version = object->version;
    } else {
        return false;
    }
    info = {};
    info.className = Lang::ToBstr(className);
    info.objectName = Lang::ToBstr(name);
    info.objectType = type;
    info.version = Lang::ToBstr(version);
    return true;
}

std::vector<short> ObjectIds(const SimState& state, long typeMask) {
    std::vector<short> ids;
    for (const SimPort& port : state.ports)
        AddObject(ids, ObjectPort, typeMask, port.id);
    for (const SimPhone& phone : state.phones)
        AddObject(ids, ObjectPhone, typeMask, phone.id);
    for (const SimClient& client : state.clients)
        AddObject(ids, ObjectClient, typeMask, client.id);
    for (const SimObject& object : state.objects)
        AddObject(ids, object.type, typeMask, object.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

long EsnValue(const SimPhone& phone) {
    std::uint32_t esn = 0;
    const char* end = phone.esn.data() + phone.esn.size();
    const auto [stop, error] = std::from_chars(phone.esn.data(), end, esn);
    if (phone.esn.empty() || error != std::errc() || stop != end)
        return -1;
    return static_cast<long>(esn);
}

unsigned short ModelNumber(const SimPhone& phone) {
    return static_cast<unsigned short>(phone.modelEx ? *phone.modelEx : phone.modelNumber);
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const size_t end = std::min(text.find(' ', i), text.size());
        unsigned value = 0;
        const auto [stop, error] = std::from_chars(text.data() + i, text.data() + end, value, 16);
        if (error != std::errc() || stop != text.data() + end || end - i > 2)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
        i = end;
    }
    return !bytes.empty();
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes)
        text += Lang::Format(text.empty() ? "%02X" : " %02X", byte);
    return text;
}

SAFEARRAY* ShortArray(const std::vector<short>& values) {
    return Vector(VT_I2, values);
}
SAFEARRAY* UShortArray(const std::vector<unsigned short>& values) {
    return Vector(VT_UI2, values);
}
SAFEARRAY* LongArray(const std::vector<long>& values) {
    return Vector(VT_I4, values);
}
SAFEARRAY* LongLongArray(const std::vector<std::int64_t>& values) {
    std::vector<LONGLONG> wide(values.begin(), values.end());
    return Vector(VT_I8, wide);
}

SAFEARRAY* BstrArray(const std::vector<std::string>& values) {
    Win32::UniqueSafeArray array(::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(values.size())));
    if (!array)
        Com::Throw(E_OUTOFMEMORY);
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        Win32::UniqueBstr text(Lang::ToBstr(values[static_cast<size_t>(i)]));
        // SafeArrayPutElement copies the string.
        if (FAILED(::SafeArrayPutElement(array.get(), &i, text.get())))
            Com::Throw(E_OUTOFMEMORY);
    }
    return array.release();
}

std::vector<std::string> TextsOf(SAFEARRAY* array, long count) {
    std::vector<std::string> texts;
    if (count <= 0)
        return texts;
    VARTYPE type = VT_EMPTY;
    LONG lower = 0, upper = -1;
    if (!array || ::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetVartype(array, &type)) ||
        type != VT_BSTR || FAILED(::SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(array, 1, &upper)) || upper - lower + 1 < count)
        Com::Throw(E_INVALIDARG);
    for (LONG i = lower; i < lower + count; ++i) {
        BSTR text = nullptr;
        if (FAILED(::SafeArrayGetElement(array, &i, &text)))
            Com::Throw(E_INVALIDARG);
        Win32::UniqueBstr owned(text);
        texts.push_back(Lang::FromBstr(text));
    }
    return texts;
}

} // namespace Sim
