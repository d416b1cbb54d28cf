#include "devicesim/SimState.h"

#include <algorithm>

namespace Sim {

namespace {

template <class Item>
Item* byId(std::vector<Item>& items, short id) {
    const auto found =
        std::find_if(items.begin(), items.end(), [id](const Item& item) { return item.id == id; });
    return found == items.end() ? nullptr : &*found;
}

template <class Item>
bool holds(const std::vector<Item>& items, short id) {
    return std::any_of(items.begin(), items.end(), [id](const Item& item) { return item.id == id; });
}

} // namespace

SimPort* SimState::findPort(short id) {
    return byId(ports, id);
}

SimPort* SimState::findPortByName(const std::string& portName) {
    const auto found =
        std::find_if(ports.begin(), ports.end(), [&](const SimPort& port) { return port.name == portName; });
    return found == ports.end() ? nullptr : &*found;
}

SimPhone* SimState::findPhone(short id) {
    return byId(phones, id);
}

SimPhone* SimState::phoneOnPort(short portId) {
    const auto found = std::find_if(phones.begin(), phones.end(),
                                    [portId](const SimPhone& phone) { return phone.portId == portId; });
    return found == phones.end() ? nullptr : &*found;
}

SimClient* SimState::findClient(short id) {
    return byId(clients, id);
}

SimObject* SimState::findObject(short id) {
    return byId(objects, id);
}

bool SimState::idInUse(short id) const {
    return holds(ports, id) || holds(phones, id) || holds(clients, id) || holds(objects, id);
}

short SimState::issueId() {
    if (highestId >= 0x7FFF)
        return 0;
    return ++highestId;
}

std::vector<BaudRateEntry> DefaultBaudRates() {
    return {{9600, 0x01, false},
            {19200, 0x02, false},
            {38400, 0x04, true},
            {57600, 0x08, false},
            {115200, 0x10, false}};
}

} // namespace Sim
