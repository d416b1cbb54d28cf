#pragma once

#include "ports/PortDiscovery.h"

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

// Where the local ports come from: the device-management library in `libraryFolder` when it loads
// whole, else the device tree and serial map under `machine`.
struct LocalPortSources {
    std::wstring libraryFolder;
    HKEY machine = HKEY_LOCAL_MACHINE;

    // The library beside the host program and the machine's own registry.
    static LocalPortSources OfThisMachine();
};

// What one fill of the add-port dialog's list offers.
struct LocalPortOffer {
    std::vector<PortListRow> rows;
    // Only the library tells Remote EFS ports apart; after a registry fill there is no new set.
    std::optional<std::set<std::wstring>> remoteEfsPorts;
};

// The library is loaded for this one listing and let go before the call returns.
LocalPortOffer OfferLocalPorts(const LocalPortSources& sources, const KnownPortTest& isKnown,
                               IOstrelPortClassifier* classifier, bool diagOnly);
