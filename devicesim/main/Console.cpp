#include "devicesim/main/Console.h"

#include "foundation/Lang/Trace.h"

#include <windows.h>

namespace DeviceSim {

namespace {

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A GUI program has standard handles only when its starter passed them (Wine passes the shell's);
// started from a console window on Windows it has to borrow that console.
HANDLE Output(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    if (Usable(handle))
        return handle;
    // Kept for the life of the process: every later line goes there too.
    static const HANDLE console =
        ::AttachConsole(ATTACH_PARENT_PROCESS)
            ? ::CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr)
            : INVALID_HANDLE_VALUE;
    return console;
}

void Write(DWORD which, const std::string& line) {
    Lang::Trace("%s\r\n", line.c_str());
    const HANDLE handle = Output(which);
    if (!Usable(handle))
        return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace

void Say(const std::string& line) {
    Write(STD_OUTPUT_HANDLE, line);
}

void Complain(const std::string& line) {
    Write(STD_ERROR_HANDLE, line);
}

} // namespace DeviceSim
