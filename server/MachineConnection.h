#pragma once

#include "server/OstrelServer.h"

#include <functional>
#include <string>

// Reaching the device server of a named machine. Both steps that touch the world can be
// replaced, so that tests neither start servers on other machines nor sleep for real.
struct MachineConnectionHooks {
    // Creates the server out of process on the machine "\\name" and asks for IOstrelServer.
    std::function<HRESULT(const std::wstring& serverName, IOstrelServer** ppServer)> createServer;
    // Waits while the server reports that it is starting; the host's windows keep painting.
    std::function<void(DWORD milliseconds)> wait;

    static MachineConnectionHooks Platform();
};

// The hooks of the process: the platform's unless replaced (tests reach a simulator in the
// test's own process this way). Answers the ones it replaces; null puts the platform's back.
const MachineConnectionHooks* SetMachineConnectionHooks(const MachineConnectionHooks* hooks);
const MachineConnectionHooks& CurrentMachineConnectionHooks();

// Creates the server on the machine, waits until it is ready (up to 100 polls, 1000 ms
// apart while it reports "starting") and gives a configuration agent of it. The agent's
// cookie is not kept and the server is let go: the agent lives as long as the caller
// holds it. Answers the creation's failure as it came, E_FAIL when the server never got
// ready, and the agent's own failures otherwise.
HRESULT ConnectToMachine(const std::string& machineName, IOstrelConfigAgent** ppAgent,
                         const MachineConnectionHooks& hooks = CurrentMachineConnectionHooks());

// The platform's ways of doing both.
HRESULT CreateServerOnMachine(const std::wstring& serverName, IOstrelServer** ppServer);
void WaitPaintingOnly(DWORD milliseconds);
