// Everything the simulated device server knows, as plain data. A scenario file fills it, the
// server's operations and the control interface change it; nothing here knows about COM.
#pragma once

#include "foundation/ServerCodes.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Sim {

// Object types of OstrelObjectInfo; one bit per kind so that views can ask by mask.
enum ObjectType : long { ObjectPort = 1, ObjectPhone = 2, ObjectAgent = 8, ObjectClient = 0x20 };

// The phone kind that IOstrelPort reports for a phone known by its MEID instead of an ESN.
constexpr long PhoneKindMeid = 7;

struct BaudRateEntry {
    std::uint32_t rate = 0;
    std::uint32_t maskBit = 0;
    bool tried = false;
};

// The boot-protocol (Zelkor) settings the server keeps per port.
struct ZelkorSettings {
    std::string xmlFile;
    bool oneDownload = false;
    std::string dumpFolder;
    bool autoReset = true;
    long helloResponse = 0; // 0 perform, 1 dump instead, 2 download instead, 3 nothing
    bool timestampFolders = false;
    bool continueBoot = false;
    bool sectionFilter = false;
    std::vector<std::string> sections;
    // Whether a reset request finds the device in a state that allows it.
    bool resetAccepted = true;
    // Received, never set by a scenario: the ZelkorReset calls that reached the port, whatever
    // they answered.
    long resets = 0;
};

// One listener of a port and the bytes it has taken in (IOstrelConfigAgent::GetAccumulatedData).
struct Listener {
    long cookie = 0;
    std::int64_t bytes = 0;
};

struct SimPort {
    short id = 0;
    std::string name;
    std::string label;
    long state = portEnabled;
    long linkType = linkSerial;
    long baudRate = 38400;
    std::string host;
    std::uint32_t networkPort = 0;
    std::string linkQualifier;
    std::vector<BaudRateEntry> baudRates;
    long protocolMode = 0;
    long traceLevel = 0;
    long shutdownAction = 0;
    long flowControl = 0;
    long pollingMode = 0;
    std::string password;
    std::string diagHistory;
    bool diagSwitch = false;
    // Received, never set by a scenario: every text SendDiagCommand was given for the port, oldest
    // first, whether or not a phone took it.
    std::vector<std::string> diagCommands;
    bool remoteEfs = false;
    // Reported in the phone record even when no phone answers on the port.
    bool platformDevice = false;
    ZelkorSettings zelkor;
    std::vector<Listener> listeners;
};

// A phone: every field of OstrelPhoneInfo, the wide model number, and what the port objects
// and the phone's file system answer.
struct SimPhone {
    short id = 0;
    short portId = 0;
    std::string esn;
    std::string analogMin;
    std::string phoneNumber;
    std::string phoneName;
    std::string modelText;
    std::uint8_t modelNumber = 0;
    std::string banner;
    std::string phoneStateText;
    std::string stateText;
    std::string buildVersion;
    std::string compileDate;
    std::string compileTime;
    std::string releaseDate;
    std::string releaseTime;
    std::uint8_t slotCycleIndex = 0;
    std::uint8_t majorVersion = 0;
    std::uint8_t minorVersion = 0;
    std::string chipText;
    std::uint8_t stationClassMark = 0;
    std::uint8_t protocolRevision = 0;
    long mode = 5;
    bool locked = false;
    bool authorized = true;
    bool platformDevice = false;
    long formFactor = 0;
    // The wide model number of OstrelModelEx; absent means hasValue 0.
    std::optional<long> modelEx;
    // Non-empty: the phone is known by this MEID text (phone kind 7) instead of its ESN.
    std::string meid;
    long phoneStatus = 1; // 1..9, the icon of a diagnostic-mode phone
    bool efsPresent = true;
    long efsVersion = 2;
    std::map<std::string, std::vector<std::uint8_t>> files;
};

struct SimClient {
    short id = 0;
    std::string name;
    std::string machine;
    long processId = 0;
    std::string version;
    std::string startTime;
};

// Any further object the server reports (agents of other tools, components of other types).
struct SimObject {
    short id = 0;
    std::string className;
    std::string name;
    long type = ObjectAgent;
    std::string version;
};

// A port of the local machine, for the add-port dialog's discovery and the classifier.
enum class LocalPortClass { Serial, Modem, Diagnostic, Nmea, RemoteEfs, UnknownUsb, Excluded };

struct LocalPort {
    std::string name;
    std::string description;
    std::string detail;
    LocalPortClass portClass = LocalPortClass::Serial;
    bool allowed = true;
};

// A machine that refuses outgoing connections, with the winsock error it answers.
struct UnreachableMachine {
    std::string machine;
    long winsockError = 0;
};

struct OutgoingConnection {
    std::string machine;
    unsigned short ipPort = 0;
    short portId = 0;
};

struct SimState {
    std::string name;
    bool protocolLock = false;
    long startingPolls = 0;
    std::string serverVersion = "1.0";
    // In the server's order: GetPortIds and the enumerators hand them out as listed.
    std::vector<SimPort> ports;
    std::vector<SimPhone> phones;
    std::vector<SimClient> clients;
    std::vector<SimObject> objects;
    std::vector<LocalPort> localPorts;
    std::vector<UnreachableMachine> unreachableMachines;
    std::vector<OutgoingConnection> outgoingConnections;

    SimPort* findPort(short id);
    SimPort* findPortByName(const std::string& name);
    SimPhone* findPhone(short id);
    SimPhone* phoneOnPort(short portId);
    SimClient* findClient(short id);
    SimObject* findObject(short id);
    // Ports, phones, clients and objects share one 16-bit id space.
    bool idInUse(short id) const;
    // A fresh id above every id handed out so far, so an id is never reused within a run
    // (a view may still hold the old one); 0 when the 16-bit space is used up.
    short issueId();

    // The highest id the scenario or an operation has handed out.
    short highestId = 0;
};

// The rates a newly added port offers, with the 38400 the views ask for tried.
std::vector<BaudRateEntry> DefaultBaudRates();

} // namespace Sim
