#include "ports/ZelkorCommands.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/Text.h"
#include "foundation/Lang/Trace.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "ports/UncheckedRead.h"
#include "ports/ZelkorConfigDlg.h"
#include "resources/resource.h"

#include <wrl/client.h>

#include <algorithm>

using Microsoft::WRL::ComPtr;

namespace {

ComPtr<IOstrelConfigAgentEx> AgentExOf(const PortCommandContext& context) {
    return context.agent ? Com::Query<IOstrelConfigAgentEx>(context.agent.Get()) : nullptr;
}

// A flag or text the server answers; a failed read keeps the value the dialog was given.
void ReadFlag(IOstrelConfigAgentEx& agent,
              HRESULT (STDMETHODCALLTYPE IOstrelConfigAgentEx::*get)(short, long*), short portId,
              bool& flag) {
    flag = UncheckedValue(flag ? 1 : 0, [&](long* value) { return (agent.*get)(portId, value); }) != 0;
}

void ReadText(IOstrelConfigAgentEx& agent,
              HRESULT (STDMETHODCALLTYPE IOstrelConfigAgentEx::*get)(short, BSTR*), short portId,
              std::string& text) {
    text = UncheckedText(text, [&](BSTR* value) { return (agent.*get)(portId, value); });
}

// The server's count may exceed the names its array carries: the slots it leaves are empty
// names, as the dialog shows them.
void ReadSections(IOstrelConfigAgentEx& agent, short portId, ZelkorSettings& settings) {
    long filter = 0, count = 0;
    Win32::UniqueSafeArray names;
    if (FAILED(agent.GetZelkorDumpSections(portId, zelkorSectionRows, &filter, &count, names.put())))
        return;
    settings.sectionFilter = filter != 0;
    std::vector<std::string> slots(zelkorSectionRows);
    const Win32::SafeArrayAccess<BSTR> access(names.get());
    const auto carried = access.First(zelkorSectionRows);
    std::transform(carried.begin(), carried.end(), slots.begin(),
                   [](BSTR name) { return Lang::FromBstr(name); });
    slots.resize(static_cast<size_t>(std::clamp(count, 0L, static_cast<long>(zelkorSectionRows))));
    settings.sections = std::move(slots);
}

void ReadSettings(IOstrelConfigAgentEx& agent, short portId, ZelkorSettings& settings) {
    ReadFlag(agent, &IOstrelConfigAgentEx::GetZelkorOneDownload, portId, settings.oneDownload);
    settings.autoReset = true;
    ReadFlag(agent, &IOstrelConfigAgentEx::GetZelkorAutoReset, portId, settings.autoReset);
    ReadText(agent, &IOstrelConfigAgentEx::GetZelkorXmlFile, portId, settings.xmlFile);
    ReadText(agent, &IOstrelConfigAgentEx::GetZelkorDumpFolder, portId, settings.dumpFolder);
    settings.helloResponse = UncheckedValue(
        settings.helloResponse, [&](long* mode) { return agent.GetZelkorHelloResponse(portId, mode); });
    ReadFlag(agent, &IOstrelConfigAgentEx::GetZelkorTimestampFolders, portId, settings.timestampFolders);
    ReadFlag(agent, &IOstrelConfigAgentEx::GetZelkorContinueBoot, portId, settings.continueBoot);
    ReadSections(agent, portId, settings);
}

Win32::UniqueSafeArray BstrArray(const std::vector<std::string>& texts) {
    Win32::UniqueSafeArray array(::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size())));
    Com::ThrowIfNull(array.get(), E_OUTOFMEMORY);
    for (LONG index = 0; index < static_cast<LONG>(texts.size()); ++index) {
        const Win32::UniqueBstr text(Lang::ToBstr(texts[static_cast<size_t>(index)]));
        // The array keeps a copy of what it is given.
        Com::ThrowIfFailed(::SafeArrayPutElement(array.get(), &index, text.get()));
    }
    return array;
}

void WriteSettings(IOstrelConfigAgentEx* agent, short portId, const CZelkorConfigDlg& dialog) {
    const ZelkorSettings& settings = dialog.settings;
    using Agent = IOstrelConfigAgentEx;
    const Win32::UniqueBstr xmlFile(Lang::ToBstr(settings.xmlFile));
    Com::Call(agent, &Agent::SetZelkorXmlFile, portId, xmlFile.get(), settings.oneDownload ? 1L : 0L);
    const Win32::UniqueBstr dumpFolder(Lang::ToBstr(settings.dumpFolder));
    Com::Call(agent, &Agent::SetZelkorDumpFolder, portId, dumpFolder.get(), dialog.dumpFolderFlag ? 1L : 0L);
    Com::Call(agent, &Agent::SetZelkorAutoReset, portId, settings.autoReset ? 1L : 0L);
    Com::Call(agent, &Agent::SetZelkorHelloResponse, portId, settings.helloResponse);
    Com::Call(agent, &Agent::SetZelkorTimestampFolders, portId, settings.timestampFolders ? 1L : 0L);
    Com::Call(agent, &Agent::SetZelkorContinueBoot, portId, settings.continueBoot ? 1L : 0L);
    // The filter goes off as a list of no names.
    const std::vector<std::string> none;
    const std::vector<std::string>& sections = settings.sectionFilter ? settings.sections : none;
    const Win32::UniqueSafeArray names =
        settings.sectionFilter ? BstrArray(sections) : Win32::UniqueSafeArray();
    Com::Call(agent, &Agent::SetZelkorDumpSections, portId, static_cast<long>(sections.size()), names.get());
}

} // namespace

void ConfigureZelkor(PortCommandContext& context) {
    // The device server is only made sure of here; the settings go through the agent.
    if (context.server)
        context.server(" ZelkorConfiguration: CoCreateInstance failed \n");
    const short portId = context.portId;
    CZelkorConfigDlg dialog;
    const ComPtr<IOstrelConfigAgentEx> agent = AgentExOf(context);
    if (!agent) {
        Lang::Trace("spConfig3 is NULL\n");
        dialog.DoModal(::GetActiveWindow());
        return;
    }
    ReadSettings(*agent.Get(), portId, dialog.settings);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK)
        return;
    WriteSettings(agent.Get(), portId, dialog);
}

void SendZelkorReset(PortCommandContext& context) {
    const ComPtr<IOstrelConfigAgentEx> agent = AgentExOf(context);
    if (!agent)
        return;
    long accepted = 0;
    const HRESULT status = agent->ZelkorReset(context.portId, &accepted);
    const UINT message = FAILED(status)  ? IDS_ZELKOR_RESET_NOT_ZELKOR
                         : accepted == 0 ? IDS_ZELKOR_RESET_WRONG_STATE
                                         : 0;
    if (message)
        ::MessageBoxA(context.messageOwner, Fw::Module::Current().String(message).c_str(), "", MB_OK);
}
