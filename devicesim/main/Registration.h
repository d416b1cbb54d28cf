// /RegServer and /UnregServer: the class under the device server's identifier with the
// simulator's own ProgIDs, and both embedded type libraries, so that the universal marshaler
// carries every interface of the server and of the control surface.
#pragma once

#include <windows.h>

namespace DeviceSim {

// Both stop at the first failure and return it.
HRESULT RegisterServer();
HRESULT UnregisterServer();

} // namespace DeviceSim
