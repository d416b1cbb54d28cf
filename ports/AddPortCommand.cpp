#include "ports/AddPortCommand.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "ports/AddPortDialog.h"
#include "ports/IpPortNumber.h"

#include <string>

namespace {

// Every port is added at this rate; the dialog tells the user so.
constexpr long addedPortBaudRate = 38400;

// Servers report a socket failure as the winsock error under the status's top bit.
constexpr unsigned long firstWinsockError = 10000, lastWinsockError = 11000;

void ShowMessage(HWND owner, const std::string& text, UINT captionId, UINT type) {
    ::MessageBoxA(owner, text.c_str(), Fw::Module::Current().String(captionId).c_str(), type);
}

Win32::UniqueBstr Bstr(const std::wstring& text) {
    return Win32::UniqueBstr(
        Com::ThrowIfNull(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())), E_OUTOFMEMORY));
}

HRESULT StartOutgoingConnection(IOstrelServer* server, const std::wstring& machine,
                                const std::wstring& ipPort, HWND messageOwner) {
    Microsoft::WRL::ComPtr<IOstrelOutgoingConnections> connections;
    if (!server || FAILED(server->QueryInterface(IID_PPV_ARGS(&connections))) || !connections ||
        machine.empty())
        return S_OK;
    const HRESULT status = connections->StartOutgoingConnection(Bstr(machine).get(), IpPortNumber(ipPort));
    if (FAILED(status)) {
        const Fw::Module& module = Fw::Module::Current();
        std::string text =
            Lang::Format(module.String(IDS_OUTGOING_FAILED).c_str(), static_cast<unsigned>(status));
        const unsigned long code = static_cast<unsigned long>(status) & 0x7FFFFFFFUL;
        if (code >= firstWinsockError && code <= lastWinsockError)
            text += Lang::Format(module.String(IDS_OUTGOING_WINSOCK_ERROR).c_str(), static_cast<int>(code),
                                 Lang::ErrorText(static_cast<HRESULT>(code)).c_str());
        ShowMessage(messageOwner, text + "\n", IDS_OUTGOING_FAILED_CAPTION, MB_OK);
    }
    return status;
}

HRESULT AddLocalPort(const AddPortDialog& dialog, IUnknown* configAgent, HWND messageOwner) {
    const std::wstring& portName = dialog.PortText();
    const std::wstring& label = dialog.LabelText();
    if (!configAgent || portName.empty() || label.empty())
        return S_OK;
    // An agent that cannot answer for the extension (an older server, or one that has gone) is
    // treated as lacking it.
    Microsoft::WRL::ComPtr<IOstrelConfigAgentEx> agentEx;
    configAgent->QueryInterface(IID_PPV_ARGS(&agentEx));
    if (dialog.RemoteEfsPorts().contains(portName)) {
        if (!agentEx) {
            ShowMessage(messageOwner, Fw::Module::Current().String(IDS_REMOTE_EFS_UNSUPPORTED),
                        IDS_REMOTE_EFS_UNSUPPORTED_CAPTION, MB_OK | MB_ICONERROR);
            return E_FAIL;
        }
        const HRESULT status =
            agentEx->AddRemoteEfsPort(Bstr(portName).get(), Bstr(label).get(), addedPortBaudRate);
        if (FAILED(status))
            ShowMessage(messageOwner, Fw::Module::Current().String(IDS_REMOTE_EFS_ENABLE_FAILED),
                        IDS_ENABLE_PORT_FAILED_CAPTION, MB_OK | MB_ICONERROR);
        return status;
    }
    Microsoft::WRL::ComPtr<IOstrelConfigAgent> agent;
    if (const HRESULT status = configAgent->QueryInterface(IID_PPV_ARGS(&agent)); FAILED(status))
        return status;
    const HRESULT status = agent->AddPort(Bstr(portName).get(), Bstr(label).get(), addedPortBaudRate);
    const DWORD lastError = ::GetLastError();
    if (status != S_OK)
        ShowMessage(messageOwner,
                    Lang::Format(Fw::Module::Current().String(IDS_ENABLE_PORT_FAILED).c_str(),
                                 Lang::FromWide(portName).c_str(), static_cast<int>(status),
                                 static_cast<unsigned>(status), static_cast<int>(lastError)),
                    IDS_ENABLE_PORT_FAILED_CAPTION, MB_OK | MB_ICONERROR);
    return status;
}

} // namespace

HRESULT AddPortThroughDialog(IOstrelServer* server, IUnknown* configAgent, HWND messageOwner,
                             const LocalPortSources& sources) {
    AddPortDialog dialog(server, sources);
    // A server that stops answering part way leaves the ports read so far known.
    dialog.KnownPorts().Load(configAgent);
    if (dialog.Run(::GetActiveWindow()) != IDOK)
        return S_OK;
    if (dialog.TabIndex() == AddPortDialog::outgoingPage)
        return StartOutgoingConnection(server, dialog.PortText(), dialog.LabelText(), messageOwner);
    return AddLocalPort(dialog, configAgent, messageOwner);
}
