#pragma once

// The diagnostic-ports-only choice of the add-port dialog, kept by the suite's settings library
// beside the host program. The library is loaded for each use, so a module without it beside the
// host still loads: the flag then reads as off and is not kept.
namespace SuiteSettings {

bool GetDiagPortsOnly();
void SetDiagPortsOnly(bool diagPortsOnly);

} // namespace SuiteSettings
