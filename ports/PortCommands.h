#pragma once

#include "ports/DiagCommandDlg.h"
#include "ports/PortCommandContext.h"
#include "ports/PortItem.h"
#include "server/OstrelServer.h"

#include <windows.h>

#include <optional>

class CPortProps;

// The port list's right-click menu and the commands it runs for the selected port. A command
// reads the port's settings, runs its dialog over the active window and writes back on OK;
// a server call that fails ends the command there with one message box naming the command,
// the port and the failure, and nothing after it is sent.
class CPortCommands {
public:
    // What the commands need of the list they serve.
    class Host {
    public:
        // The item of the selected row, or null.
        virtual CPortItem* SelectedItem() = 0;
        // The item of the port's row, or null when the list shows none.
        virtual CPortItem* ItemOfPort(long portId) = 0;
        virtual IOstrelConfigAgent* Agent() = 0;
        // The list's device server, created and kept on first need; null, after writing
        // `failureTrace` to the debug output, when none can be had.
        virtual IOstrelServer* Server(const char* failureTrace) = 0;
        // The control's window, else its container's.
        virtual HWND MessageOwner() = 0;
        // LV_VIEW_ICON, LV_VIEW_SMALLICON, LV_VIEW_LIST or LV_VIEW_DETAILS.
        virtual void SetViewMode(DWORD view) = 0;
        // The port's row built again from fresh records.
        virtual void RefreshPort(long portId) = 0;
        virtual void Redraw() = 0;

    protected:
        ~Host() = default;
    };

    explicit CPortCommands(Host& host)
        : m_host(host) {}
    CPortCommands(const CPortCommands&) = delete;
    CPortCommands& operator=(const CPortCommands&) = delete;

    // The menu for the selected row, tracked at `screen` with the right button, and the
    // chosen command run.
    void ShowMenu(HWND owner, POINT screen);
    // A command for the selected row; ids of no command do nothing.
    void Run(UINT commandId);
    // The properties dialog of the selected row; nothing without one.
    void ShowProperties();
    // Rows are about to go (allPortsId: every row): a properties dialog showing one of them
    // closes.
    void OnRowsLeaving(long portId);

private:
    // A command for the port of `target` (null: no row was selected). The target is taken
    // when the menu opens: the menu's loop may rebuild rows and move the selection.
    void Run(UINT commandId, const PortCommandContext* target);
    void ShowProperties(CPortItem* item);
    // Runs `body` for the target; a failure raised inside ends it with the command's message.
    template <class Body>
    void Guarded(UINT commandId, const PortCommandContext& context, Body body);
    PortCommandContext ContextOf(const CPortItem& target);
    // Whether the server forbids changing the protocol; false when it cannot tell.
    bool ProtocolLocked();

    void PortShutdown(PortCommandContext& context);
    void SwitchToDiagnostic(PortCommandContext& context);
    void BaudRates(PortCommandContext& context);
    void Protocol(PortCommandContext& context);
    void Trace(PortCommandContext& context);
    void Password(PortCommandContext& context);
    void DiagCommand(PortCommandContext& context);
    void ControlLines(PortCommandContext& context, bool showFlowControl, HWND owner);

    Host& m_host;
    // The modem switch as read when the menu was built; the command sets the opposite.
    long m_diagSwitchRead = 0;
    // The raw command history last read from or written to the server.
    CDiagCommandHistory m_diagHistory;
    CPortProps* m_properties = nullptr;
    long m_propertiesPortId = 0;
};
