#include "devicesim/ScenarioLoader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <utility>

namespace Sim {

namespace {

template <class T>
void readInteger(const ScenarioNode& object, std::string_view name, T& target,
                 T min = std::numeric_limits<T>::min(), T max = std::numeric_limits<T>::max()) {
    if (const ScenarioNode* value = object.optionalField(name))
        target = value->asInteger<T>(min, max);
}

void readText(const ScenarioNode& object, std::string_view name, std::string& target) {
    if (const ScenarioNode* value = object.optionalField(name))
        target = value->asString();
}

void readFlag(const ScenarioNode& object, std::string_view name, bool& target) {
    if (const ScenarioNode* value = object.optionalField(name))
        target = value->asBool();
}

// A named value from a small vocabulary; `numbersToo` also lets a raw code through, so a
// scenario can show what the views do with a code the server has not defined.
template <class T>
T readName(const ScenarioNode& value, std::initializer_list<std::pair<const char*, T>> names,
           bool numbersToo = false) {
    if (numbersToo && value.kind() == ScenarioNode::Kind::Integer)
        return static_cast<T>(value.asInteger<long>());
    const std::string text = value.asString();
    for (const auto& [known, code] : names)
        if (text == known)
            return code;
    std::string expected;
    for (const auto& [known, code] : names)
        expected += (expected.empty() ? "" : ", ") + std::string(known);
    value.fail("unknown value \"" + text + "\" (expected " + expected + (numbersToo ? " or a number" : "") +
               ")");
}

const ScenarioNode* optionalArray(const ScenarioNode& object, std::string_view name) {
    const ScenarioNode* value = object.optionalField(name);
    if (value)
        value->items(); // refuses anything but an array, at the value's own line
    return value;
}

std::vector<std::uint8_t> readFileContent(const ScenarioNode& file) {
    const ScenarioNode* text = file.optionalField("text");
    const ScenarioNode* hex = file.optionalField("hex");
    if ((text != nullptr) == (hex != nullptr))
        file.fail("give the content as either \"text\" or \"hex\"");
    if (text) {
        const std::string bytes = text->asString();
        return {bytes.begin(), bytes.end()};
    }
    std::vector<std::uint8_t> bytes;
    const size_t fault = ParseFileHex(hex->asString(), bytes);
    if (fault != std::string_view::npos)
        hex->fail("expected pairs of hex digits at character " + std::to_string(fault + 1));
    return bytes;
}

// Byte counts pass 2^32 on a busy port; the reader stops at 32 bits, so those come as text.
std::int64_t readByteCount(const ScenarioNode& value) {
    if (value.kind() != ScenarioNode::Kind::String)
        return value.asInteger<long>(0);
    const std::string text = value.asString();
    std::int64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 0)
        value.fail("expected a byte count (a number, or decimal digits as text)");
    return count;
}

ZelkorSettings readZelkor(const ScenarioNode& node) {
    node.expectFields({"xmlFile", "oneDownload", "dumpFolder", "autoReset", "helloResponse",
                       "timestampFolders", "continueBoot", "sectionFilter", "sections", "resetAccepted"});
    ZelkorSettings zelkor;
    readText(node, "xmlFile", zelkor.xmlFile);
    readFlag(node, "oneDownload", zelkor.oneDownload);
    readText(node, "dumpFolder", zelkor.dumpFolder);
    readFlag(node, "autoReset", zelkor.autoReset);
    readInteger<long>(node, "helloResponse", zelkor.helloResponse, 0, 3);
    readFlag(node, "timestampFolders", zelkor.timestampFolders);
    readFlag(node, "continueBoot", zelkor.continueBoot);
    readFlag(node, "sectionFilter", zelkor.sectionFilter);
    readFlag(node, "resetAccepted", zelkor.resetAccepted);
    if (const ScenarioNode* sections = optionalArray(node, "sections"))
        for (const ScenarioNode& section : sections->items())
            zelkor.sections.push_back(section.asString());
    return zelkor;
}

std::vector<Listener> readListeners(const ScenarioNode& array) {
    std::vector<Listener> listeners;
    for (const ScenarioNode& listener : array.items()) {
        listener.expectFields({"cookie", "bytes"});
        listeners.push_back(
            {listener.field("cookie").asInteger<long>(), readByteCount(listener.field("bytes"))});
    }
    return listeners;
}

SimPort readPort(const ScenarioNode& node) {
    node.expectFields({"id",           "name",        "label",          "state",       "link",
                       "baudRate",     "baudRates",   "host",           "networkPort", "linkQualifier",
                       "protocolMode", "traceLevel",  "shutdownAction", "flowControl", "pollingMode",
                       "password",     "diagHistory", "diagSwitch",     "remoteEfs",   "platformDevice",
                       "zelkor",       "listeners"});
    SimPort port;
    port.id = node.field("id").asInteger<short>(1);
    port.name = node.field("name").asString();
    if (port.name.empty())
        node.field("name").fail("a port needs a name");
    readText(node, "label", port.label);
    if (const ScenarioNode* state = node.optionalField("state"))
        port.state = readName<long>(*state,
                                    {{"unavailable", portNotAvailable},
                                     {"enabled", portEnabled},
                                     {"pending", portPending},
                                     {"disabled", portDisabled},
                                     {"waiting", portWaiting}},
                                    true);
    if (const ScenarioNode* link = node.optionalField("link"))
        port.linkType =
            readName<long>(*link, {{"serial", linkSerial}, {"usb", linkUsb}, {"network", linkNetwork}});
    readInteger<long>(node, "baudRate", port.baudRate, 0);
    readText(node, "host", port.host);
    readInteger<std::uint32_t>(node, "networkPort", port.networkPort, 0, 65535);
    readText(node, "linkQualifier", port.linkQualifier);
    if (port.linkType == linkNetwork) {
        if (port.host.empty())
            node.fail("a network port needs a \"host\"");
    } else {
        for (const char* networkOnly : {"host", "networkPort", "linkQualifier"})
            if (const ScenarioNode* value = node.optionalField(networkOnly))
                value->fail("only network ports have this field");
    }
    if (const ScenarioNode* rates = optionalArray(node, "baudRates")) {
        std::uint32_t bitsSeen = 0;
        for (const ScenarioNode& rate : rates->items()) {
            rate.expectFields({"rate", "maskBit", "tried"});
            BaudRateEntry entry;
            entry.rate = rate.field("rate").asInteger<std::uint32_t>(1);
            const ScenarioNode& bit = rate.field("maskBit");
            entry.maskBit = bit.asInteger<std::uint32_t>(1);
            if ((entry.maskBit & (entry.maskBit - 1)) != 0)
                bit.fail("a mask bit has exactly one bit set");
            if (entry.maskBit & bitsSeen)
                bit.fail("mask bit " + std::to_string(entry.maskBit) + " is already used by another rate");
            bitsSeen |= entry.maskBit;
            readFlag(rate, "tried", entry.tried);
            port.baudRates.push_back(entry);
        }
    } else {
        port.baudRates = DefaultBaudRates();
    }
    readInteger<long>(node, "protocolMode", port.protocolMode, 0, 2);
    readInteger<long>(node, "traceLevel", port.traceLevel, 0, 3);
    readInteger<long>(node, "shutdownAction", port.shutdownAction, 0, 2);
    readInteger<long>(node, "flowControl", port.flowControl, 0, 1);
    readInteger<long>(node, "pollingMode", port.pollingMode, 0, 2);
    readText(node, "password", port.password);
    readText(node, "diagHistory", port.diagHistory);
    readFlag(node, "diagSwitch", port.diagSwitch);
    readFlag(node, "remoteEfs", port.remoteEfs);
    readFlag(node, "platformDevice", port.platformDevice);
    if (const ScenarioNode* zelkor = node.optionalField("zelkor"))
        port.zelkor = readZelkor(*zelkor);
    if (const ScenarioNode* listeners = node.optionalField("listeners"))
        port.listeners = readListeners(*listeners);
    return port;
}

const std::initializer_list<std::string_view> phoneFields = {"esn",
                                                             "analogMin",
                                                             "phoneNumber",
                                                             "phoneName",
                                                             "modelText",
                                                             "modelNumber",
                                                             "banner",
                                                             "phoneStateText",
                                                             "stateText",
                                                             "buildVersion",
                                                             "compileDate",
                                                             "compileTime",
                                                             "releaseDate",
                                                             "releaseTime",
                                                             "slotCycleIndex",
                                                             "majorVersion",
                                                             "minorVersion",
                                                             "chipText",
                                                             "stationClassMark",
                                                             "protocolRevision",
                                                             "mode",
                                                             "locked",
                                                             "authorized",
                                                             "platformDevice",
                                                             "formFactor",
                                                             "modelEx",
                                                             "meid",
                                                             "phoneStatus",
                                                             "efs"};

// Every phone field but its id and port, each laid over what `phone` already holds.
void readPhoneFields(const ScenarioNode& node, SimPhone& phone) {
    const std::pair<const char*, std::string*> texts[] = {
        {"esn", &phone.esn},
        {"analogMin", &phone.analogMin},
        {"phoneNumber", &phone.phoneNumber},
        {"phoneName", &phone.phoneName},
        {"modelText", &phone.modelText},
        {"banner", &phone.banner},
        {"phoneStateText", &phone.phoneStateText},
        {"stateText", &phone.stateText},
        {"buildVersion", &phone.buildVersion},
        {"compileDate", &phone.compileDate},
        {"compileTime", &phone.compileTime},
        {"releaseDate", &phone.releaseDate},
        {"releaseTime", &phone.releaseTime},
        {"chipText", &phone.chipText},
        {"meid", &phone.meid},
    };
    for (const auto& [name, target] : texts)
        readText(node, name, *target);
    const std::pair<const char*, std::uint8_t*> bytes[] = {
        {"modelNumber", &phone.modelNumber},           {"slotCycleIndex", &phone.slotCycleIndex},
        {"majorVersion", &phone.majorVersion},         {"minorVersion", &phone.minorVersion},
        {"stationClassMark", &phone.stationClassMark}, {"protocolRevision", &phone.protocolRevision},
    };
    for (const auto& [name, target] : bytes)
        readInteger<std::uint8_t>(node, name, *target);
    readInteger<long>(node, "mode", phone.mode, 0);
    readFlag(node, "locked", phone.locked);
    readFlag(node, "authorized", phone.authorized);
    readFlag(node, "platformDevice", phone.platformDevice);
    readInteger<long>(node, "formFactor", phone.formFactor);
    if (const ScenarioNode* modelEx = node.optionalField("modelEx"))
        phone.modelEx =
            modelEx->kind() == ScenarioNode::Kind::Null ? std::optional<long>() : modelEx->asInteger<long>();
    readInteger<long>(node, "phoneStatus", phone.phoneStatus, 1, 9);
    if (const ScenarioNode* efs = node.optionalField("efs")) {
        efs->expectFields({"present", "version", "files"});
        readFlag(*efs, "present", phone.efsPresent);
        readInteger<long>(*efs, "version", phone.efsVersion);
        if (const ScenarioNode* files = optionalArray(*efs, "files")) {
            phone.files.clear();
            for (const ScenarioNode& file : files->items()) {
                file.expectFields({"name", "text", "hex"});
                const ScenarioNode& name = file.field("name");
                const std::string fileName = name.asString();
                if (fileName.empty())
                    name.fail("a file needs a name");
                if (phone.files.contains(fileName))
                    name.fail("file \"" + fileName + "\" is listed twice");
                phone.files[fileName] = readFileContent(file);
            }
        }
    }
}

SimPhone readPhone(const ScenarioNode& node) {
    node.expectFields({"id", "port"}, phoneFields);
    SimPhone phone;
    phone.id = node.field("id").asInteger<short>(1);
    phone.portId = node.field("port").asInteger<short>(1);
    readPhoneFields(node, phone);
    return phone;
}

const std::initializer_list<std::string_view> clientFields = {"name", "machine", "processId", "version",
                                                              "startTime"};

// Every client field but its id, each laid over what `client` already holds.
void readClientFields(const ScenarioNode& node, SimClient& client) {
    readText(node, "name", client.name);
    readText(node, "machine", client.machine);
    readInteger<long>(node, "processId", client.processId);
    readText(node, "version", client.version);
    readText(node, "startTime", client.startTime);
}

SimClient readClient(const ScenarioNode& node) {
    node.expectFields({"id"}, clientFields);
    SimClient client;
    client.id = node.field("id").asInteger<short>(1);
    readClientFields(node, client);
    return client;
}

const std::initializer_list<std::string_view> objectFields = {"className", "name", "type", "version"};

// Every field of a further object but its id, each laid over what `object` already holds.
void readObjectFields(const ScenarioNode& node, SimObject& object) {
    readText(node, "className", object.className);
    readText(node, "name", object.name);
    readInteger<long>(node, "type", object.type, 1);
    readText(node, "version", object.version);
}

SimObject readObject(const ScenarioNode& node) {
    node.expectFields({"id"}, objectFields);
    SimObject object;
    object.id = node.field("id").asInteger<short>(1);
    // A scenario names and types every object; a change may leave them as they were.
    node.field("name");
    node.field("type");
    readObjectFields(node, object);
    return object;
}

LocalPort readLocalPort(const ScenarioNode& node) {
    node.expectFields({"name", "description", "detail", "class", "allowed"});
    LocalPort port;
    port.name = node.field("name").asString();
    readText(node, "description", port.description);
    readText(node, "detail", port.detail);
    if (const ScenarioNode* portClass = node.optionalField("class"))
        port.portClass = readName<LocalPortClass>(*portClass, {{"serial", LocalPortClass::Serial},
                                                               {"modem", LocalPortClass::Modem},
                                                               {"diagnostic", LocalPortClass::Diagnostic},
                                                               {"nmea", LocalPortClass::Nmea},
                                                               {"remoteEfs", LocalPortClass::RemoteEfs},
                                                               {"unknownUsb", LocalPortClass::UnknownUsb},
                                                               {"excluded", LocalPortClass::Excluded}});
    readFlag(node, "allowed", port.allowed);
    return port;
}

// Ports, phones, clients and objects share the server's one id space; a reused id would make
// GetObjectInfo ambiguous, so the second use is refused where it is written.
class IdRegistry {
public:
    void claim(const ScenarioNode& id, const ScenarioNode& owner) {
        const short value = id.asInteger<short>(1);
        const auto [known, added] = m_owners.emplace(value, &owner);
        if (!added)
            id.fail("id " + std::to_string(value) + " is already used by " + known->second->path());
    }
    short highest() const { return m_owners.empty() ? 0 : m_owners.rbegin()->first; }

private:
    std::map<short, const ScenarioNode*> m_owners;
};

SimState readState(const ScenarioNode& root) {
    root.expectFields(
        {"name", "server", "ports", "phones", "clients", "objects", "localPorts", "unreachableMachines"});
    SimState state;
    readText(root, "name", state.name);
    if (const ScenarioNode* server = root.optionalField("server")) {
        server->expectFields({"protocolLock", "startingPolls", "version"});
        readFlag(*server, "protocolLock", state.protocolLock);
        readInteger<long>(*server, "startingPolls", state.startingPolls, 0);
        readText(*server, "version", state.serverVersion);
    }
    // Looked up in sets rather than in the state's lists, so that a long list reads in n log n.
    IdRegistry ids;
    std::set<std::string> portNames;
    std::set<short> portIds, portsWithPhones;
    if (const ScenarioNode* ports = optionalArray(root, "ports")) {
        for (const ScenarioNode& node : ports->items()) {
            SimPort port = readPort(node);
            ids.claim(node.field("id"), node);
            if (!portNames.insert(port.name).second)
                node.field("name").fail("port name \"" + port.name + "\" is already used");
            portIds.insert(port.id);
            state.ports.push_back(std::move(port));
        }
    }
    if (const ScenarioNode* phones = optionalArray(root, "phones")) {
        for (const ScenarioNode& node : phones->items()) {
            SimPhone phone = readPhone(node);
            ids.claim(node.field("id"), node);
            const ScenarioNode& port = node.field("port");
            if (!portIds.contains(phone.portId))
                port.fail("no port has id " + std::to_string(phone.portId));
            if (!portsWithPhones.insert(phone.portId).second)
                port.fail("port " + std::to_string(phone.portId) + " already has a phone");
            state.phones.push_back(std::move(phone));
        }
    }
    if (const ScenarioNode* clients = optionalArray(root, "clients")) {
        for (const ScenarioNode& node : clients->items()) {
            state.clients.push_back(readClient(node));
            ids.claim(node.field("id"), node);
        }
    }
    if (const ScenarioNode* objects = optionalArray(root, "objects")) {
        for (const ScenarioNode& node : objects->items()) {
            state.objects.push_back(readObject(node));
            ids.claim(node.field("id"), node);
        }
    }
    if (const ScenarioNode* localPorts = optionalArray(root, "localPorts"))
        for (const ScenarioNode& node : localPorts->items())
            state.localPorts.push_back(readLocalPort(node));
    if (const ScenarioNode* machines = optionalArray(root, "unreachableMachines")) {
        for (const ScenarioNode& node : machines->items()) {
            node.expectFields({"machine", "winsockError"});
            state.unreachableMachines.push_back(
                {node.field("machine").asString(), node.field("winsockError").asInteger<long>(10000, 11000)});
        }
    }
    state.highestId = ids.highest();
    return state;
}

} // namespace

SimState ParseScenario(std::string_view text, const std::string& name) {
    return readState(ScenarioDocument::Parse(text, name).root());
}

SimState LoadScenario(const std::string& path) {
    return readState(ScenarioDocument::Load(path).root());
}

size_t ParseFileHex(std::string_view digits, std::vector<std::uint8_t>& bytes) {
    // Pairs of hex digits, blanks between bytes allowed, as a byte dump is usually written.
    bytes.clear();
    for (size_t i = 0; i < digits.size();) {
        if (digits[i] == ' ') {
            ++i;
            continue;
        }
        unsigned value = 0;
        const auto [end, error] =
            std::from_chars(digits.data() + i, digits.data() + std::min(i + 2, digits.size()), value, 16);
        if (error != std::errc() || end != digits.data() + i + 2)
            return i;
        bytes.push_back(static_cast<std::uint8_t>(value));
        i += 2;
    }
    return std::string_view::npos;
}

std::string PortSettingsJson(const SimPort& port) {
    ScenarioValue::Array baudRates;
    for (const BaudRateEntry& entry : port.baudRates)
        baudRates.push_back(
            ScenarioValue::Object{{"rate", entry.rate}, {"maskBit", entry.maskBit}, {"tried", entry.tried}});
    ScenarioValue::Array diagCommands(port.diagCommands.begin(), port.diagCommands.end());
    const ZelkorSettings& zelkor = port.zelkor;
    ScenarioValue::Object zelkorFields{
        {"xmlFile", zelkor.xmlFile},
        {"oneDownload", zelkor.oneDownload},
        {"dumpFolder", zelkor.dumpFolder},
        {"autoReset", zelkor.autoReset},
        {"helloResponse", zelkor.helloResponse},
        {"timestampFolders", zelkor.timestampFolders},
        {"continueBoot", zelkor.continueBoot},
        {"sectionFilter", zelkor.sectionFilter},
        {"sections", ScenarioValue::Array(zelkor.sections.begin(), zelkor.sections.end())},
        {"resetAccepted", zelkor.resetAccepted},
        {"resets", zelkor.resets},
    };
    const ScenarioValue settings = ScenarioValue::Object{
        {"label", port.label},
        {"baudRates", std::move(baudRates)},
        {"protocolMode", port.protocolMode},
        {"traceLevel", port.traceLevel},
        {"shutdownAction", port.shutdownAction},
        {"flowControl", port.flowControl},
        {"pollingMode", port.pollingMode},
        {"password", port.password},
        {"diagHistory", port.diagHistory},
        {"diagSwitch", port.diagSwitch},
        {"zelkor", std::move(zelkorFields)},
        {"diagCommands", std::move(diagCommands)},
    };
    return settings.json();
}

SimPhone ParsePhoneFields(std::string_view text, const std::string& name, const SimPhone& base) {
    const ScenarioDocument document = ScenarioDocument::Parse(text, name);
    document.root().expectFields(phoneFields);
    SimPhone phone = base;
    readPhoneFields(document.root(), phone);
    return phone;
}

SimClient ParseClientFields(std::string_view text, const std::string& name, const SimClient& base) {
    const ScenarioDocument document = ScenarioDocument::Parse(text, name);
    document.root().expectFields(clientFields);
    SimClient client = base;
    readClientFields(document.root(), client);
    return client;
}

SimObject ParseObjectFields(std::string_view text, const std::string& name, const SimObject& base) {
    const ScenarioDocument document = ScenarioDocument::Parse(text, name);
    document.root().expectFields(objectFields);
    SimObject object = base;
    readObjectFields(document.root(), object);
    return object;
}

std::vector<Listener> ParseListeners(std::string_view text, const std::string& name) {
    return readListeners(ScenarioDocument::Parse(text, name).root());
}

} // namespace Sim
