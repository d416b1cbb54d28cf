#pragma once

// Codes of the device server's records that the module's views read and the simulator writes.

// Port state code: one bit each, so that sets of states are masks.
enum PortStateCode : long {
    portNotAvailable = 1,
    portEnabled = 2,
    portPending = 4,
    portDisabled = 8,
    portWaiting = 16,
};

// How a port reaches its phone.
enum LinkType : long { linkSerial = 1, linkUsb = 2, linkNetwork = 3 };
