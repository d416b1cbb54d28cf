#include "host/DemoDialog.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Exception.h"
#include "foundation/Lang/Text.h"
#include "foundation/Lang/Trace.h"
#include "framework/com/Module.h"
#include "host/WindowBitmap.h"

#include <algorithm>
#include <cstdio>

namespace DemoHost {

namespace {

constexpr UINT_PTR screenshotTimer = 1;
// Long enough for the controls to have filled themselves from the server's answers.
constexpr UINT screenshotDelayMs = 1500;
constexpr int screenshotFailed = 3;
constexpr UINT_PTR openTimer = 2;
// How often the list is looked at for the row to open on, and for how long.
constexpr UINT openPollMs = 250;
constexpr int openPollLimit = 80;
// Between the controls of a page, in the dialog's units.
constexpr int controlSpacing = 4;

std::string ResourceText(UINT id) {
    return Fw::Module::Current().String(id);
}

} // namespace

DemoDialog::DemoDialog(Microsoft::WRL::ComPtr<IOstrelServer> server, std::string scenario,
                       std::string screenshotPath, OpenTarget open)
    : m_server(std::move(server))
    , m_scenario(std::move(scenario))
    , m_screenshotPath(std::move(screenshotPath))
    , m_open(open) {}

DemoDialog::~DemoDialog() {
    ShutDown();
}

int DemoDialog::Run() {
    const HINSTANCE instance = Fw::Module::Current().Instance();
    const HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(IDD_DEMOHOST), RT_DIALOG);
    const HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!dialogTemplate || !CreateIndirect(nullptr, dialogTemplate))
        return 1;
    Show(SW_SHOWNORMAL);
    Update();

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The UI-active control sees its keys before the dialog manager takes Tab and Enter.
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && m_container) {
            const auto active = m_container->ActiveObject();
            if (active && active->TranslateAccelerator(&message) == S_OK)
                continue;
        }
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return m_exitCode;
}

bool DemoDialog::OnInitDialog(HWND) {
    const Fw::Window tabs = Child(IDC_TABS);
    for (const ControlTab& tab : ControlTabs()) {
        std::string title = ResourceText(tab.titleId);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        TabCtrl_InsertItem(tabs.Handle(), TabCtrl_GetItemCount(tabs.Handle()), &item);
    }
    // The page's area leaves out the row of tabs, which is known once they are in.
    RECT area = tabs.RectInParent();
    TabCtrl_AdjustRect(tabs.Handle(), FALSE, &area);

    m_container = std::make_unique<Fw::ControlContainer>(m_hWnd, "OstrelDemoHost");
    m_pages.reserve(ControlTabs().size());
    for (const ControlTab& tab : ControlTabs())
        AddPage(tab, area);
    // What is opened is opened on the tab in sight, as a user would open it.
    const ControlTab* opening = TabOpening(m_open);
    const auto shown =
        std::find_if(m_pages.begin(), m_pages.end(), [&](const Page& page) { return page.tab == opening; });
    const size_t first = shown == m_pages.end() ? 0 : size_t(shown - m_pages.begin());
    TabCtrl_SetCurSel(tabs.Handle(), int(first));
    ShowPage(first);
    // The scenario by its file name: the folder is the machine's business, not the picture's.
    const std::string scenarioName = m_scenario.substr(m_scenario.find_last_of("\\/") + 1);
    Child(IDC_STATUS).SetText(Lang::Format(ResourceText(IDS_SERVING).c_str(), scenarioName.c_str()).c_str());
    if (!m_screenshotPath.empty())
        ::SetTimer(m_hWnd, screenshotTimer, screenshotDelayMs, nullptr);
    if (m_open != OpenTarget::None)
        ::SetTimer(m_hWnd, openTimer, openPollMs, nullptr);
    return true;
}

void DemoDialog::AddPage(const ControlTab& tab, const RECT& area) {
    Page& page = m_pages.emplace_back(Page{&tab, {}});
    const auto pixels = [&](int units) {
        RECT band{0, 0, 0, units};
        ::MapDialogRect(m_hWnd, &band);
        return int(band.bottom);
    };
    const std::vector<RECT> rects = PlaceControls(tab.controls, area, pixels(controlSpacing), pixels);
    page.controls.reserve(tab.controls.size());
    for (size_t i = 0; i < tab.controls.size(); ++i)
        AddControl(page.controls.emplace_back(Placed{&tab.controls[i], nullptr, false, 0, {}}), rects[i]);
}

void DemoDialog::AddControl(Placed& placed, const RECT& rect) {
    const ControlPlacement& placement = *placed.placement;
    std::string note;
    try {
        Fw::EmbedOptions options;
        options.displayName = placement.displayName;
        options.rect = rect;
        Fw::ControlSite& site = m_container->Embed(*placement.clsid, options);
        placed.site = &site;
        const HRESULT activated = site.Activate();
        if (FAILED(activated))
            throw Fw::EmbedError(activated, "IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)");
        try {
            placed.agentCookie =
                placement.startup ? placement.startup(site.Unknown().Get(), m_server.Get()) : 0;
            placed.started = true;
        } catch (const _com_error& failure) {
            note = Lang::Format(ResourceText(IDS_NOT_STARTED).c_str(), placement.progId,
                                Lang::ErrorText(failure.Error()).c_str());
        }
    } catch (const Fw::EmbedError& failure) {
        note = failure.Error() == CLASS_E_CLASSNOTAVAILABLE
                   ? Lang::Format(ResourceText(IDS_NOT_AVAILABLE).c_str(), placement.progId)
                   : Lang::Format(ResourceText(IDS_NOT_EMBEDDED).c_str(), placement.progId, failure.Step(),
                                  Lang::ErrorText(failure.Error()).c_str());
    }
    if (note.empty())
        return;
    if (placed.site) {
        placed.site->Close();
        placed.site = nullptr;
    }
    Lang::Trace("OstrelDemoHost: %s\n", note.c_str());
    // A few lines at the top of the control's band, where the control would have been.
    const int inset = 12, height = 48;
    placed.note.reset(
        ::CreateWindowExA(0, "STATIC", note.c_str(), WS_CHILD | SS_CENTER | SS_NOPREFIX, rect.left + inset,
                          rect.top + inset, rect.right - rect.left - 2 * inset,
                          std::min<int>(height, std::max<int>(0, rect.bottom - rect.top - inset)), m_hWnd,
                          nullptr, Fw::Module::Current().Instance(), nullptr));
    Fw::Window(placed.note.get()).SetFont(Font(), false);
}

// Pages are siblings of the tab control: they go above it, and only the chosen one is shown.
void DemoDialog::ShowPage(size_t index) {
    for (size_t i = 0; i < m_pages.size(); ++i)
        for (const Placed& placed : m_pages[i].controls) {
            const HWND window = placed.site ? placed.site->Window() : placed.note.get();
            if (!window)
                continue;
            ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | (i == index ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        }
}

LRESULT DemoDialog::OnTabChanged(NMHDR*) {
    const int chosen = TabCtrl_GetCurSel(Child(IDC_TABS).Handle());
    if (chosen >= 0)
        ShowPage(size_t(chosen));
    return 0;
}

void DemoDialog::OnTimer(UINT_PTR id) {
    if (id == openTimer)
        return OpenWhenListed();
    if (id != screenshotTimer)
        return PassOn();
    ::KillTimer(m_hWnd, screenshotTimer);
    TakeScreenshot();
    OnClose(0, IDCANCEL, nullptr);
}

// A list fills itself from the server's answers: the target opens once the row it is shown on
// is in, and the timer stops before a menu or dialog runs its own message loop.
void DemoDialog::OpenWhenListed() {
    const ControlTab* opening = TabOpening(m_open);
    const bool opened = std::any_of(m_pages.begin(), m_pages.end(), [&](const Page& page) {
        if (page.tab != opening || !opening->open)
            return false;
        std::vector<PlacedControl> controls;
        for (const Placed& placed : page.controls)
            controls.push_back(placed.started
                                   ? PlacedControl{placed.site->Unknown().Get(), placed.site->Window()}
                                   : PlacedControl{nullptr, nullptr});
        return opening->open(controls, m_server.Get(), m_open);
    });
    if (!opened && ++m_openPolls < openPollLimit)
        return;
    ::KillTimer(m_hWnd, openTimer);
    if (!opened)
        std::fprintf(
            stderr, "%s\n",
            Lang::Format(ResourceText(IDS_NOT_OPENED).c_str(), openPollLimit * openPollMs / 1000).c_str());
}

void DemoDialog::TakeScreenshot() {
    // What the user sees now, not what is still queued to be painted.
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    try {
        SaveWindowBitmap(m_hWnd, m_screenshotPath);
    } catch (const Lang::Exception& failure) {
        std::fprintf(stderr, "%s\n",
                     Lang::Format(ResourceText(IDS_SCREENSHOT_FAILED).c_str(), m_screenshotPath.c_str(),
                                  failure.what())
                         .c_str());
        m_exitCode = screenshotFailed;
    }
}

void DemoDialog::OnClose(UINT, UINT, HWND) {
    ShutDown();
    Destroy();
}

void DemoDialog::OnDestroy() {
    ::PostQuitMessage(m_exitCode);
}

// The controls let go of the server before their sites close, as a host's close does.
void DemoDialog::ShutDown() {
    for (Page& page : m_pages)
        for (Placed& placed : page.controls) {
            if (!placed.started)
                continue;
            placed.started = false;
            if (!placed.placement->shutdown)
                continue;
            try {
                placed.placement->shutdown(placed.site->Unknown().Get(), m_server.Get(), placed.agentCookie);
            } catch (const _com_error& failure) {
                Lang::Trace("OstrelDemoHost: %s shutdown: %s\n", placed.placement->progId,
                            Lang::ErrorText(failure.Error()).c_str());
            }
        }
    m_container.reset();
    m_pages.clear();
}

} // namespace DemoHost
