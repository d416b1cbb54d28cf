#include "ports/PortCommands.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "foundation/ServerCodes.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "lists/ViewCommands.h"
#include "ports/BaudRateDlg.h"
#include "ports/ControlLinesDlg.h"
#include "ports/PasswordDlg.h"
#include "ports/PortProps.h"
#include "ports/PortRows.h"
#include "ports/PortShutdownOptionsDlg.h"
#include "ports/PortTraceDlg.h"
#include "ports/ProtocolDlg.h"
#include "ports/UncheckedRead.h"
#include "ports/ZelkorCommands.h"
#include "resources/resource.h"

#include <comdef.h>

#include <iterator>
#include <new>
#include <optional>

using Microsoft::WRL::ComPtr;

namespace {

// A server that keeps answering S_OK is not followed past this many baud rates.
constexpr long baudRateLimit = 64;

// The items appended to the menu under a target, by the condition each needs.
constexpr UINT agentCommands[] = {ID_PORT_TRACE, ID_PORT_ZELKOR_CONFIGURATION, ID_PORT_ZELKOR_RESET,
                                  ID_PORT_DIAG_COMMAND};

std::string CommandName(UINT commandId) {
    std::string name = Fw::Module::Current().String(commandId);
    std::erase(name, '&');
    if (name.ends_with("..."))
        name.resize(name.size() - 3);
    return name;
}

void ShowFailure(HWND owner, UINT commandId, const std::string& portName, HRESULT status) {
    const std::string text = Lang::Format(Fw::Module::Current().String(IDS_COMMAND_FAILED).c_str(), portName.c_str(),
                                          static_cast<unsigned>(status), Lang::ErrorText(status).c_str());
    ::MessageBoxA(owner, text.c_str(), CommandName(commandId).c_str(), MB_OK | MB_ICONSTOP);
}

ComPtr<IOstrelConfigAgentEx> AgentEx(IOstrelConfigAgent* agent) {
    return Com::ThrowIfNull(Com::Query<IOstrelConfigAgentEx>(agent), E_NOINTERFACE);
}

ComPtr<IOstrelPortOptions> PortOptions(IOstrelConfigAgent* agent) {
    return Com::ThrowIfNull(Com::Query<IOstrelPortOptions>(agent), E_NOINTERFACE);
}

HWND ActiveWindow() {
    return ::GetActiveWindow();
}

} // namespace

// --- menu -----------------------------------------------------------------------------------

void CPortCommands::ShowMenu(HWND owner, POINT screen) {
    CPortItem* target = m_host.SelectedItem();
    IOstrelConfigAgent* agent = m_host.Agent();
    const Win32::UniqueMenu menu(::LoadMenuA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(IDR_PORT_MENU)));
    const HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    if (!target) {
        ::EnableMenuItem(popup, ID_PORT_PROPERTIES, MF_BYCOMMAND | MF_GRAYED);
        ::EnableMenuItem(popup, ID_PORT_SHUTDOWN, MF_BYCOMMAND | MF_GRAYED);
    }

    bool switchKnown = false;
    m_diagSwitchRead = 0;
    if (target && agent) {
        try {
            if (const ComPtr<IOstrelConfigAgentEx> agentEx = Com::Query<IOstrelConfigAgentEx>(agent))
                switchKnown = SUCCEEDED(agentEx->GetDiagSwitchState(static_cast<short>(target->portId),
                                                                    &m_diagSwitchRead));
        } catch (const _com_error&) {
        }
    }
    ::EnableMenuItem(popup, ID_PORT_DIAG_SWITCH, MF_BYCOMMAND | (switchKnown ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(popup, ID_PORT_DIAG_SWITCH,
                    MF_BYCOMMAND | (switchKnown && m_diagSwitchRead != 0 ? MF_CHECKED : MF_UNCHECKED));

    const auto append = [&](UINT commandId) {
        ::AppendMenuA(popup, MF_STRING, commandId, Fw::Module::Current().String(commandId).c_str());
    };
    const bool enabled = target && target->stateCode == portEnabled;
    // Shift as it was when the button went down.
    if (enabled && ::GetKeyState(VK_SHIFT) < 0)
        append(ID_PORT_SEND_PASSWORD);
    if (target) {
        if (target->linkType == linkSerial && agent && enabled)
            append(ID_PORT_BAUD_RATE);
        if (agent) {
            for (UINT commandId : agentCommands)
                append(commandId);
            if (!ProtocolLocked())
                append(ID_PORT_PROTOCOL);
        }
    }

    std::optional<PortCommandContext> context;
    if (target)
        context = ContextOf(*target);
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, 0, owner, nullptr));
    if (chosen != 0)
        Run(chosen, context ? &*context : nullptr);
}

bool CPortCommands::ProtocolLocked() {
    IOstrelServer* server = m_host.Server(" OnRButtonDown: m_pOstrelServer get failed \n");
    if (!server)
        return false;
    try {
        ComPtr<IOstrelPortManager> manager;
        Com::Call(server, &IOstrelServer::GetPortManager, &manager);
        const ComPtr<IOstrelPortManager2> manager2 = Com::Query<IOstrelPortManager2>(manager.Get());
        if (!manager2)
            return false;
        ComPtr<IOstrelServerSettings> settings;
        Com::Call(manager2, &IOstrelPortManager2::GetServerSettings, &settings);
        long locked = 0;
        Com::Call(settings, &IOstrelServerSettings::GetProtocolLock, &locked);
        return locked != 0;
    } catch (const _com_error&) {
        // A server that cannot say keeps the command on offer; the dialog's own read decides.
        return false;
    }
}

// --- commands -------------------------------------------------------------------------------

PortCommandContext CPortCommands::ContextOf(const CPortItem& target) {
    PortCommandContext context;
    context.portId = static_cast<short>(target.portId);
    context.portName = target.portName;
    context.agent = m_host.Agent();
    context.messageOwner = m_host.MessageOwner();
    context.server = [this](const char* failureTrace) { return m_host.Server(failureTrace); };
    return context;
}

template <class Body>
void CPortCommands::Guarded(UINT commandId, const PortCommandContext& context, Body body) {
    HRESULT status = S_OK;
    try {
        body();
        return;
    } catch (const _com_error& failure) {
        status = failure.Error();
    } catch (const std::bad_alloc&) {
        status = E_OUTOFMEMORY;
    } catch (const std::exception&) {
        status = E_UNEXPECTED;
    }
    ShowFailure(context.messageOwner, commandId, context.portName, status);
}

void CPortCommands::Run(UINT commandId) {
    const CPortItem* selected = m_host.SelectedItem();
    const std::optional<PortCommandContext> context =
        selected ? std::optional(ContextOf(*selected)) : std::nullopt;
    Run(commandId, context ? &*context : nullptr);
}

void CPortCommands::Run(UINT commandId, const PortCommandContext* target) {
    if (const auto view = ViewOfCommand(commandId)) {
        m_host.SetViewMode(*view);
        m_host.Redraw();
        return;
    }
    if (!target)
        return;
    if (commandId == ID_PORT_PROPERTIES) {
        // A row that went while the menu was open has nothing to show.
        if (CPortItem* item = m_host.ItemOfPort(target->portId))
            ShowProperties(item);
        return;
    }
    PortCommandContext context = *target;
    using Command = void (CPortCommands::*)(PortCommandContext&);
    struct Entry {
        UINT commandId;
        Command command;
    };
    static constexpr Entry commands[] = {
        {ID_PORT_SHUTDOWN, &CPortCommands::PortShutdown},     {ID_PORT_DIAG_SWITCH, &CPortCommands::SwitchToDiagnostic},
        {ID_PORT_BAUD_RATE, &CPortCommands::BaudRates},       {ID_PORT_PROTOCOL, &CPortCommands::Protocol},
        {ID_PORT_TRACE, &CPortCommands::Trace},               {ID_PORT_SEND_PASSWORD, &CPortCommands::Password},
        {ID_PORT_DIAG_COMMAND, &CPortCommands::DiagCommand},
    };
    for (const Entry& entry : commands)
        if (entry.commandId == commandId)
            return Guarded(commandId, context, [&] { (this->*entry.command)(context); });
    switch (commandId) {
    case ID_PORT_ZELKOR_CONFIGURATION:
        return Guarded(commandId, context, [&] { ConfigureZelkor(context); });
    case ID_PORT_ZELKOR_RESET:
        return Guarded(commandId, context, [&] { SendZelkorReset(context); });
    case ID_PORT_CONTROL_LINES:
    case ID_PORT_CONTROL_LINES_NO_FLOW:
        return Guarded(ID_PORT_CONTROL_LINES, context, [&] {
            ControlLines(context, commandId == ID_PORT_CONTROL_LINES, ActiveWindow());
        });
    default:
        return;
    }
}

void CPortCommands::PortShutdown(PortCommandContext& context) {
    const ComPtr<IOstrelPortOptions> options = PortOptions(context.agent.Get());
    // Neither call's result is examined: the dialog shows what the read gave.
    long action = 0;
    options->GetShutdownAction(context.portId, &action);
    PortShutdownOptionsDlg dialog(action);
    if (dialog.Run(ActiveWindow()) == IDOK)
        options->SetShutdownAction(context.portId, dialog.Action());
}

void CPortCommands::SwitchToDiagnostic(PortCommandContext& context) {
    Com::Call(AgentEx(context.agent.Get()), &IOstrelConfigAgentEx::SetDiagSwitchState, context.portId,
              m_diagSwitchRead != 0 ? 0L : 1L);
}

void CPortCommands::BaudRates(PortCommandContext& context) {
    const ComPtr<IOstrelConfigAgentEx> agentEx = AgentEx(context.agent.Get());
    std::vector<BaudRateEntry> entries;
    for (long index = 0; index < baudRateLimit; ++index) {
        BaudRateEntry entry;
        long tried = 0;
        unsigned long rate = 0;
        unsigned long maskBit = 0;
        // S_FALSE ends the list; a failure ends the command.
        if (Com::Call(agentEx, &IOstrelConfigAgentEx::GetBaudRateEntry, context.portId, index, 0L, &rate, &tried,
                      &maskBit) != S_OK)
            break;
        entry.baudRate = rate;
        entry.maskBit = maskBit;
        entry.tried = tried != 0;
        entries.push_back(entry);
    }
    CBaudRateDlg dialog(std::move(entries));
    if (dialog.Run(ActiveWindow()) == IDOK)
        Com::Call(agentEx, &IOstrelConfigAgentEx::SetBaudRateMask, context.portId,
                  static_cast<unsigned long>(dialog.TriedMask()), 0L);
}

void CPortCommands::Protocol(PortCommandContext& context) {
    const ComPtr<IOstrelConfigAgentEx> agentEx = AgentEx(context.agent.Get());
    long mode = 0;
    Com::Call(agentEx, &IOstrelConfigAgentEx::GetProtocolMode, context.portId, &mode);
    CProtocolDlg dialog(mode);
    if (dialog.Run(ActiveWindow()) == IDOK && dialog.Mode() >= 0)
        Com::Call(agentEx, &IOstrelConfigAgentEx::SetProtocolMode, context.portId, dialog.Mode());
}

void CPortCommands::Trace(PortCommandContext& context) {
    const ComPtr<IOstrelPortOptions> options = PortOptions(context.agent.Get());
    const long level =
        UncheckedValue(0, [&](long* value) { return options->GetTraceLevel(context.portId, value); });
    CPortTraceDlg dialog(context.portName, level);
    // A level the dialog did not know and the user did not choose stays as the server has it.
    if (dialog.Run(ActiveWindow()) == IDOK && dialog.Level() >= 0)
        Com::Call(options, &IOstrelPortOptions::SetTraceLevel, context.portId, dialog.Level());
}

void CPortCommands::Password(PortCommandContext& context) {
    const ComPtr<IOstrelConfigAgentEx> agentEx = AgentEx(context.agent.Get());
    // The current password is read as the server expects, and never shown.
    UncheckedText({}, [&](BSTR* text) { return agentEx->GetSecurityPassword(context.portId, text); });
    CPasswordDlg dialog;
    if (dialog.Run(ActiveWindow()) != IDOK)
        return;
    const Win32::UniqueBstr password(Lang::ToBstr(dialog.Password()));
    Com::Call(agentEx, &IOstrelConfigAgentEx::SetSecurityPassword, context.portId, password.get());
}

void CPortCommands::DiagCommand(PortCommandContext& context) {
    const ComPtr<IOstrelConfigAgentEx> agentEx = AgentEx(context.agent.Get());
    m_diagHistory = CDiagCommandHistory(
        UncheckedText({}, [&](BSTR* text) { return agentEx->GetDiagCommandHistory(context.portId, text); }));
    CDiagCommandDlg dialog(m_diagHistory);
    if (dialog.Run(ActiveWindow()) != IDC_DIAG_SEND)
        return;
    m_diagHistory = dialog.History();
    const Win32::UniqueBstr command(Lang::ToBstr(dialog.Command()));
    Win32::UniqueBstr response;
    Com::Call(agentEx, &IOstrelConfigAgentEx::SendDiagCommand, context.portId, command.get(), response.put());
    const Win32::UniqueBstr history(Lang::ToBstr(m_diagHistory.Joined()));
    Com::Call(agentEx, &IOstrelConfigAgentEx::SetDiagCommandHistory, context.portId, history.get());
}

void CPortCommands::ControlLines(PortCommandContext& context, bool showFlowControl, HWND owner) {
    const ComPtr<IOstrelPortOptions> options = PortOptions(context.agent.Get());
    const long flow = UncheckedValue(-1, [&](long* value) { return options->GetFlowControl(context.portId, value); });
    const long polling =
        UncheckedValue(-1, [&](long* value) { return options->GetPollingMode(context.portId, value); });
    CControlLinesDlg dialog(polling, flow, showFlowControl);
    if (dialog.Run(owner) != IDOK)
        return;
    Com::Call(options, &IOstrelPortOptions::SetFlowControl, context.portId, dialog.FlowControl() == 1 ? 1L : 0L);
    Com::Call(options, &IOstrelPortOptions::SetPollingMode, context.portId, dialog.PollingMode());
}

// --- port properties ------------------------------------------------------------------------

void CPortCommands::ShowProperties() {
    if (CPortItem* item = m_host.SelectedItem())
        ShowProperties(item);
}

void CPortCommands::ShowProperties(CPortItem* item) {
    if (m_properties)
        return;
    const long portId = item->portId;
    PortCommandContext context = ContextOf(*item);
    // The control lines of a serial port take flow control; a USB port's have none to offer.
    std::function<void(HWND)> controlLines;
    if (context.agent && (item->linkType == linkSerial || item->linkType == linkUsb)) {
        const bool flow = item->linkType == linkSerial;
        controlLines = [this, context, flow](HWND owner) mutable {
            Guarded(ID_PORT_CONTROL_LINES, context, [&] { ControlLines(context, flow, owner); });
        };
    }
    CPortProps dialog(item, std::move(controlLines));
    m_properties = &dialog;
    m_propertiesPortId = portId;
    const INT_PTR result = dialog.Run(ActiveWindow());
    m_properties = nullptr;
    // A dialog whose row went while it was open holds no item any more.
    if (result == IDOK && dialog.Item()) {
        Guarded(ID_PORT_PROPERTIES, context, [&] {
            const Win32::UniqueBstr label(Lang::ToBstr(dialog.Item()->label));
            Com::Call(context.agent, &IOstrelConfigAgent::SetPortLabel, context.portId, label.get());
            m_host.RefreshPort(portId);
        });
    }
    m_host.Redraw();
}

void CPortCommands::OnRowsLeaving(long portId) {
    if (m_properties && (portId == allPortsId || portId == m_propertiesPortId))
        m_properties->Abandon();
}
