// The framework's control container as hosts use it, proved on the probe control: the order
// in which it sites a control and gives it its data, in-place activation in its frame, the
// ambient properties it answers and letting controls go; then the modal driver's own failures,
// and the menu driver answering a popup menu.
#include "foundation/Win32/Unique.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ProbeControl.h"
#include "tests/support/Streams.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace TestSupport;
using Microsoft::WRL::ComPtr;

namespace {

bool placedAt(HWND window, const RECT& rect) {
    const RECT at = Fw::Window(window).RectInParent();
    return ::EqualRect(&at, &rect);
}

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control)));
        probe = static_cast<ProbeControl*>(control.Get());
    }
    void TearDown() override { Fw::TypeLibrary::Release(); }

    ComPtr<IProbeControl> control;
    ProbeControl* probe = nullptr;
};

TEST(TestContainer, EmbedsActivatesAndLetsGoWhicheverWayTheHostSitesIt) {
    const struct {
        const char* name;
        bool siteBeforeLoad;
        bool quickActivate;
        bool data;
        const char* calls;
    } cases[] = {
        {"site, then a new control", true, false, false, "SetClientSite InitNew "},
        {"site, then data", true, false, true, "SetClientSite Load "},
        {"data, then site", false, false, true, "Load SetClientSite "},
        {"quick activation", true, true, true, "SetClientSite Load "},
    };
    for (const auto& c : cases) {
        ComPtr<IProbeControl> control;
        ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control)));
        auto* probe = static_cast<ProbeControl*>(control.Get());
        TestContainer container;
        EmbedOptions options;
        options.siteBeforeLoad = c.siteBeforeLoad;
        options.quickActivate = c.quickActivate;
        if (c.data)
            options.data = StreamOf(Fw::EncodeState(saved));
        ControlSite& site = container.Embed(control.Get(), options);
        EXPECT_EQ(c.calls, probe->calls) << c.name;
        EXPECT_EQ(c.quickActivate, site.QuickActivated()) << c.name;
        EXPECT_EQ(1u, probe->PropertySinks()) << c.name << ": the site listens for property changes";
        LONG shown = -1;
        control->get_Flag6(&shown);
        EXPECT_EQ(c.data ? 0 : 1, shown) << c.name;

        ASSERT_EQ(S_OK, site.DoVerb(OLEIVERB_UIACTIVATE)) << c.name;
        const HWND window = site.Window();
        EXPECT_EQ(container.Window(), ::GetParent(window)) << c.name;
        EXPECT_TRUE(placedAt(window, options.rect)) << c.name;
        EXPECT_TRUE(site.InPlaceActive() && site.UIActive()) << c.name;
        EXPECT_TRUE(container.ActiveObject()) << c.name << ": the frame routes accelerators to it";
        const RECT moved{5, 5, 105, 45};
        EXPECT_EQ(S_OK, site.SetRect(moved)) << c.name;
        EXPECT_TRUE(placedAt(window, moved)) << c.name;

        EXPECT_TRUE(probe->UserMode()) << c.name;
        site.SetUserMode(false);
        EXPECT_FALSE(probe->UserMode()) << c.name << ": ambients are read again when they change";
        EXPECT_EQ(S_OK, control->put_Flag6(7)) << c.name;
        EXPECT_EQ(std::vector<DISPID>{6}, site.ChangedProperties()) << c.name;

        EXPECT_EQ(S_OK, site.Deactivate()) << c.name;
        EXPECT_FALSE(::IsWindow(window)) << c.name;
        EXPECT_FALSE(site.InPlaceActive()) << c.name;
        EXPECT_FALSE(container.ActiveObject()) << c.name;
        EXPECT_EQ(S_OK, site.Close()) << c.name;
        EXPECT_EQ(std::string(c.calls) + "SetClientSite(null) ", probe->calls) << c.name;
        EXPECT_EQ(0u, probe->PropertySinks()) << c.name;
        EXPECT_FALSE(site.Control<IOleObject>()) << c.name;
    }
    Fw::TypeLibrary::Release();
}

TEST_F(ContainerTest, AnswersTheAmbientPropertiesAFormGives) {
    TestContainer container;
    EmbedOptions options;
    options.displayName = "Probe1";
    options.userMode = false;
    ControlSite& site = container.Embed(control.Get(), options);
    ComPtr<IDispatch> ambients;
    ASSERT_EQ(S_OK, site.ClientSite()->QueryInterface(IID_PPV_ARGS(&ambients)));
    const auto ambient = [&](DISPID id, _variant_t& value) {
        DISPPARAMS none{};
        return ambients->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    };

    const struct {
        const char* name;
        DISPID id;
        _variant_t expected;
    } cases[] = {
        {"display name", DISPID_AMBIENT_DISPLAYNAME, L"Probe1"},
        {"user mode", DISPID_AMBIENT_USERMODE, false},
        {"locale", DISPID_AMBIENT_LOCALEID, LONG(0x0409)},
        {"back colour", DISPID_AMBIENT_BACKCOLOR, LONG(0x80000000 | COLOR_WINDOW)},
    };
    for (const auto& c : cases) {
        _variant_t value;
        EXPECT_EQ(S_OK, ambient(c.id, value)) << c.name;
        EXPECT_TRUE(c.expected == value) << c.name;
    }
    _variant_t hatching;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, ambient(DISPID_AMBIENT_SHOWHATCHING, hatching));

    _variant_t font;
    ASSERT_EQ(S_OK, ambient(DISPID_AMBIENT_FONT, font));
    ComPtr<IFont> fontObject;
    ASSERT_EQ(S_OK, font.pdispVal->QueryInterface(IID_PPV_ARGS(&fontObject)));
    // Wine answers the face and size it realised (Liberation Sans, 11 pixels), not the
    // ones asked for: 8 points within a pixel.
    CY size{};
    EXPECT_EQ(S_OK, fontObject->get_Size(&size));
    EXPECT_NEAR(80000, double(size.int64), 7500);
}

TEST_F(ContainerTest, AFailedEmbedGivesTheControlItsSiteBackAndKeepsNothing) {
    TestContainer container;
    EmbedOptions options;
    options.quickActivate = true; // the control advises the site's sink before its data fails
    Fw::SavedState refusedValue = saved;
    refusedValue.values.back() = ProbeControl::refused;
    options.data = StreamOf(Fw::EncodeState(refusedValue));
    try {
        container.Embed(control.Get(), options);
        ADD_FAILURE() << "embedding a control that refuses its data succeeded";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ("Embed: IPersistStreamInit::Load answered 0x80004005", failure.what());
    }
    EXPECT_EQ("SetClientSite Load SetClientSite(null) ", probe->calls);
    EXPECT_EQ(0u, probe->PropertySinks());
    EXPECT_FALSE(probe->ClientSite());
}

// Hosts put controls on a page inside their dialog: the page is the controls' parent, while
// the frame they report to is the dialog.
TEST_F(ContainerTest, ParentsControlsInItsHostWindowAndFramesThemInTheTopLevel) {
    TestContainer frame;
    const Win32::UniqueWindow pageWindow(::CreateWindowExA(
        0, "STATIC", "", WS_CHILD | WS_VISIBLE, 40, 40, 300, 200, frame.Window(), nullptr, nullptr, nullptr));
    const HWND page = pageWindow.get();
    ASSERT_TRUE(page);
    {
        Fw::ControlContainer container(page, "OstrelDemoHost");
        Fw::ControlSite& site = container.Embed(control.Get());
        EXPECT_EQ(0u, probe->PropertySinks()) << "nobody asked to hear property changes";
        const RECT at{0, 0, 120, 60};
        ASSERT_EQ(S_OK, site.Activate(at));
        EXPECT_EQ(page, ::GetParent(site.Window()));
        EXPECT_TRUE(placedAt(site.Window(), at));

        ComPtr<IOleInPlaceSite> inPlace;
        ASSERT_EQ(S_OK, site.ClientSite()->QueryInterface(IID_PPV_ARGS(&inPlace)));
        ComPtr<IOleInPlaceFrame> frameObject;
        ComPtr<IOleInPlaceUIWindow> document;
        RECT position, clip;
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        ASSERT_EQ(S_OK, inPlace->GetWindowContext(&frameObject, &document, &position, &clip, &frameInfo));
        EXPECT_EQ(frame.Window(), frameInfo.hwndFrame);
        EXPECT_FALSE(document) << "a form is its own document";
    }
    EXPECT_FALSE(probe->InPlaceActive()) << "the container closes its controls when it goes";
    EXPECT_FALSE(probe->ClientSite());
}

// The pump and the driver's reading of a box serve every test that shows a window or a box, and
// those fail when either goes wrong; what would let such a test pass unseen is proved here.
TEST(ModalDriver, FailsTheTestForDialogsItDidNotExpectAndScriptsLeftOver) {
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDriver driver;
            EXPECT_EQ(IDCANCEL, ::MessageBoxA(nullptr, "Surprise", "Ports", MB_OKCANCEL));
        },
        "a dialog no script expected: \"Ports\" Surprise");
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDriver driver;
            driver.Expect([](ModalDialog& box) { box.Click(IDOK); });
        },
        "1 expected dialog(s) never came");
}

// A popup menu as the port list builds one: a submenu, a separator, a greyed and a checked item.
UINT trackProbeMenu(HWND owner) {
    HMENU view = ::CreatePopupMenu();
    ::AppendMenuA(view, MF_STRING, 11, "&Large");
    ::AppendMenuA(view, MF_STRING, 12, "&Small");
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, 21, "&Properties...");
    ::AppendMenuA(menu, MF_STRING | MF_CHECKED, 22, "Switch");
    ::AppendMenuA(menu, MF_STRING, 23, "Trace...");
    const UINT chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 20, 20, 0, owner, nullptr);
    ::DestroyMenu(menu);
    return chosen;
}

// The port command tests read their menus, walk into submenus and dismiss; what they never meet is
// a command past a greyed item, or a greyed one chosen.
TEST(MenuDriver, ChoosesPastAGreyedItemAndRefusesAGreyedCommand) {
    TestContainer container;
    {
        MenuDriver driver;
        driver.Choose(22);
        EXPECT_EQ(22u, trackProbeMenu(container.Window()));
    }
    EXPECT_NONFATAL_FAILURE(
        {
            MenuDriver greyed;
            greyed.Choose(21);
            EXPECT_EQ(0u, trackProbeMenu(container.Window()));
        },
        "command 21 is greyed");
}

} // namespace
