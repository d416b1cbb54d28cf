// OstrelDemoHost.exe: a dialog tool that embeds the module's controls against the device
// server simulator, as the suite's tools embed them against the real server.
//   OstrelDemoHost.exe [/scenario <path>]
//       [/screenshot <file.bmp> | /open menu|properties|zelkor|phone-list|phone-properties]
// It starts OstrelDeviceSim.exe beside it on the scenario (default scenarios\bench.json beside
// it), waits until the server answers, and shows the dialog; the simulator ends after it.
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Exception.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Module.h"
#include "host/CommandLine.h"
#include "host/DemoDialog.h"
#include "host/Simulator.h"
#include "host/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>

using namespace DemoHost;

namespace {

enum ExitCode : int {
    ExitDone = 0,
    ExitBadCommandLine = 1,
    ExitNoServer = 2, // the simulator could not be started or reached
    // 3: the screenshot could not be written (DemoDialog)
    ExitNoOle = 4,
};

std::string ResourceText(UINT id) {
    return Fw::Module::Current().String(id);
}

// A run that takes a screenshot has nobody to read a message box; either way the line goes to
// standard error for whoever started the host.
void Complain(const std::string& text, bool unattended) {
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!unattended)
        ::MessageBoxA(nullptr, text.c_str(), ResourceText(IDS_TITLE).c_str(), MB_ICONSTOP | MB_OK);
}

class OleSession {
public:
    OleSession()
        : m_status(::OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(m_status))
            ::OleUninitialize();
    }
    HRESULT Status() const { return m_status; }

private:
    HRESULT m_status;
};

} // namespace

int main(int argc, char** argv) {
    CommandLine commandLine;
    try {
        commandLine = ParseCommandLine({argv + 1, argv + argc});
    } catch (const Lang::Exception& failure) {
        Complain(Lang::Format(ResourceText(IDS_BAD_COMMAND_LINE).c_str(), failure.what(),
                              ResourceText(IDS_USAGE).c_str()),
                 false);
        return ExitBadCommandLine;
    }
    const bool unattended = !commandLine.screenshotPath.empty();

    const OleSession ole;
    if (FAILED(ole.Status())) {
        Complain(Lang::Format(ResourceText(IDS_NO_OLE).c_str(), Lang::ErrorText(ole.Status()).c_str()),
                 unattended);
        return ExitNoOle;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::string folder = Fw::Module::Current().Folder();
    const std::string scenario =
        commandLine.scenarioPath.empty() ? folder + "\\scenarios\\bench.json" : commandLine.scenarioPath;
    Microsoft::WRL::ComPtr<IOstrelServer> server;
    try {
        Simulator simulator(folder + "\\OstrelDeviceSim.exe", scenario);
        server = simulator.Connect();
    } catch (const Lang::Exception& failure) {
        Complain(failure.what(), unattended);
        return ExitNoServer;
    }

    // The dialog and its controls let go of the server before OLE goes.
    return DemoDialog(std::move(server), scenario, commandLine.screenshotPath, commandLine.open).Run();
}
