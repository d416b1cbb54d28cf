#include "ports/LocalPortOffer.h"

#include "ports/DevMgmtProxy.h"
#include "ports/PortRegEnum.h"

namespace {

// The version of the library's declarations this module reads its listings by.
constexpr unsigned int layoutVersion = 16;

} // namespace

LocalPortSources LocalPortSources::OfThisMachine() {
    return {HostProgramFolder(), HKEY_LOCAL_MACHINE};
}

LocalPortOffer OfferLocalPorts(const LocalPortSources& sources, const KnownPortTest& isKnown,
                               IOstrelPortClassifier* classifier, bool diagOnly) {
    CDevMgmtProxy library;
    if (library.LoadFrom(sources.libraryFolder) == 0) {
        LibraryPortListing listing =
            ListLibraryPorts([&] { return Described(library.GetPortListModem(layoutVersion)); },
                             Described(library.GetPortListCom(layoutVersion)), isKnown, classifier, diagOnly);
        return {std::move(listing.rows), std::move(listing.remoteEfsPorts)};
    }
    UsbPortRegEnum usbPorts;
    usbPorts.Enumerate(sources.machine);
    ComPortRegEnum comPorts;
    comPorts.Build(usbPorts, isKnown, sources.machine);
    return {ListRegistryPorts(comPorts, diagOnly), std::nullopt};
}
