#include "connection/ComputerPicker.h"

#include <shlobj.h>

#include <utility>

namespace {

// Computers only, under the network's root, with a box to type a name into.
class ShellComputerPicker final : public ComputerPicker {
public:
    std::optional<std::string> Pick(HWND owner, const char* title) override {
        PIDLIST_ABSOLUTE network = nullptr;
        if (FAILED(::SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &network)))
            return std::nullopt;
        char displayName[MAX_PATH] = {};
        BROWSEINFOA browse = {};
        browse.hwndOwner = owner;
        browse.pidlRoot = network;
        browse.pszDisplayName = displayName;
        browse.lpszTitle = title;
        browse.ulFlags = BIF_BROWSEFORCOMPUTER | BIF_EDITBOX;
        const PIDLIST_ABSOLUTE picked = ::SHBrowseForFolderA(&browse);
        ::CoTaskMemFree(network);
        // The buffer holds nothing reliable after a cancel.
        if (!picked)
            return std::nullopt;
        ::CoTaskMemFree(picked);
        return std::string(displayName);
    }
};

ShellComputerPicker shellPicker;
ComputerPicker* current = &shellPicker;

} // namespace

ComputerPicker* SetComputerPicker(ComputerPicker* picker) {
    return std::exchange(current, picker ? picker : &shellPicker);
}

ComputerPicker& CurrentComputerPicker() {
    return *current;
}
