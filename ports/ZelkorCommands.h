#pragma once

#include "ports/PortCommandContext.h"

// The port list's boot-protocol (Zelkor) commands for the port of the selected row. A failing
// server write raises its failure object (_com_error) to the command's runner, and no later
// write is made.

// "Zelkor Configuration...": reads the port's settings into the configuration dialog, run over
// the active window, and on OK writes them back. Without IOstrelConfigAgentEx the dialog still
// opens, with its construction values, and nothing is written.
void ConfigureZelkor(PortCommandContext& context);

// "Send Zelkor Reset Command...": asks the server to reset the port's device and tells the
// user, in a message box over `context.messageOwner`, when it could not.
void SendZelkorReset(PortCommandContext& context);
