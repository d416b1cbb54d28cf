// Turns a scenario file into the simulator's state. Every field is checked (type, range,
// unknown names, unique ids, phones on existing ports); the first fault raises ScenarioError
// naming "file:line: path: what", and no state is handed out unless the whole file is good.
#pragma once

#include "devicesim/ScenarioDocument.h"
#include "devicesim/SimState.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Sim {

SimState LoadScenario(const std::string& path);
SimState ParseScenario(std::string_view text, const std::string& name);

// The settings of a port that the views read and change, as JSON in the fields a scenario gives
// them (label, baudRates, protocolMode, traceLevel, shutdownAction, flowControl, pollingMode,
// password, diagHistory, diagSwitch, zelkor), with what the port received that no scenario sets:
// "diagCommands" (every SendDiagCommand text, oldest first) and zelkor "resets" (a count).
std::string PortSettingsJson(const SimPort& port);

// A file's content as a scenario's "hex" field writes it: pairs of hex digits, blanks allowed
// between bytes ("0A1B 2C"), an empty text for an empty file. Answers npos when the whole text
// went into `bytes`, else the index of the first character that starts no pair.
size_t ParseFileHex(std::string_view digits, std::vector<std::uint8_t>& bytes);

// A phone written as in a scenario's "phones" list but without "id" and "port", laid over
// `base`: what the control interface uses to attach a new phone or change one in place.
SimPhone ParsePhoneFields(std::string_view text, const std::string& name, const SimPhone& base);

// A client or a further object written as in a scenario's "clients" or "objects" list but
// without "id", every field optional, laid over `base`: what the control interface uses to
// change one in place.
SimClient ParseClientFields(std::string_view text, const std::string& name, const SimClient& base);
SimObject ParseObjectFields(std::string_view text, const std::string& name, const SimObject& base);

// A port's listeners written as a scenario's "listeners" array: what the control interface
// puts in place of a port's listeners.
std::vector<Listener> ParseListeners(std::string_view text, const std::string& name);

} // namespace Sim
