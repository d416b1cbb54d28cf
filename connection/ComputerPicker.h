#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The system's dialog that lets the user pick a machine of the network, kept behind an interface:
// the one the platform gives does not work everywhere the module is tested.
struct ComputerPicker {
    virtual ~ComputerPicker() = default;
    // The picked machine's display name, or nothing when the user cancelled.
    virtual std::optional<std::string> Pick(HWND owner, const char* title) = 0;
};

// The picker buttons of the process use: the shell's computer browser unless replaced. Answers
// the one it replaces; null puts the shell's back.
ComputerPicker* SetComputerPicker(ComputerPicker* picker);
ComputerPicker& CurrentComputerPicker();
