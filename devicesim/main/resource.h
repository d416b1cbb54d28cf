#pragma once

// Type libraries: the first is the one the framework's dispatch reads from the running module,
// so the simulator's control library comes first and the device server's second.
#define IDT_SIMCONTROL_LIBRARY 1
#define IDT_SERVER_LIBRARY 2

#define IDR_OSTRELDEVICESIM 101
