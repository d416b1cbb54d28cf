#pragma once

#include <set>
#include <string>
#include <string_view>

// A local port found by the device-management library, before it becomes a row of the add-port
// dialog's list.
struct DiscoveredPort {
    std::wstring portName;
    std::wstring typeName;
    // The text the classifier is asked about.
    std::wstring description;
    // Only shown.
    std::wstring detail;
};

// Negative, zero or positive as a sorts before, with or after b. Two "COM" names compare by their
// numbers, so COM2 comes before COM10 and COM5 is the same port as COM05; every other pair
// compares as text.
int CompareDiscoveredPortNames(std::wstring_view a, std::wstring_view b);

struct DiscoveredPortOrder {
    bool operator()(const DiscoveredPort& a, const DiscoveredPort& b) const {
        return CompareDiscoveredPortNames(a.portName, b.portName) < 0;
    }
};

// A port that compares equal to one already in the set is not added: the first one stays.
using DiscoveredPortSet = std::set<DiscoveredPort, DiscoveredPortOrder>;
