// The demo's one window: tabs of the module's controls, each control embedded and connected to
// the device server, or a note saying why it is not.
#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/container/ControlContainer.h"
#include "framework/windows/Window.h"
#include "host/CommandLine.h"
#include "host/ControlTabs.h"
#include "host/resource.h"
#include "server/OstrelServer.h"

#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

namespace DemoHost {

class DemoDialog : public Fw::DialogImpl<DemoDialog> {
public:
    // An empty screenshotPath: the user closes the dialog. An `open` target opens on its tab's
    // controls, the tab shown, once their rows are in.
    DemoDialog(Microsoft::WRL::ComPtr<IOstrelServer> server, std::string scenario, std::string screenshotPath,
               OpenTarget open = OpenTarget::None);
    ~DemoDialog();

    // Creates and shows the dialog, then runs the thread's message loop until it is closed;
    // answers the process's exit code.
    int Run();

    bool OnInitDialog(HWND focus);
    LRESULT OnTabChanged(NMHDR* header);
    void OnClose(UINT code, UINT id, HWND control);
    void OnTimer(UINT_PTR id);
    void OnDestroy();

    static inline const Fw::MessageEntry<DemoDialog> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &DemoDialog::OnInitDialog>(),
        Fw::OnNotify<IDC_TABS, TCN_SELCHANGE, &DemoDialog::OnTabChanged>(),
        Fw::OnCommand<IDCANCEL, &DemoDialog::OnClose>(),
        Fw::OnMessage<WM_TIMER, &DemoDialog::OnTimer>(),
        Fw::OnMessage<WM_DESTROY, &DemoDialog::OnDestroy>(),
    };

private:
    // One control of a page: its site once it is embedded, else a note where it would be.
    struct Placed {
        const ControlPlacement* placement;
        Fw::ControlSite* site = nullptr;
        bool started = false;
        long agentCookie = 0; // of the agent its startup made
        Win32::UniqueWindow note;
    };
    // What one tab shows.
    struct Page {
        const ControlTab* tab;
        std::vector<Placed> controls;
    };

    void AddPage(const ControlTab& tab, const RECT& area);
    void AddControl(Placed& placed, const RECT& rect);
    void ShowPage(size_t index);
    void TakeScreenshot();
    void OpenWhenListed();
    void ShutDown();

    Microsoft::WRL::ComPtr<IOstrelServer> m_server;
    std::string m_scenario;
    std::string m_screenshotPath;
    OpenTarget m_open;
    int m_openPolls = 0;
    std::unique_ptr<Fw::ControlContainer> m_container;
    std::vector<Page> m_pages;
    int m_exitCode = 0;
};

} // namespace DemoHost
