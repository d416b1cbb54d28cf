// The OLE control base as containers drive it: persistence in its three forms, in-place
// activation through a site, drawing without a window, property notifications, and the
// property page base, proved on the probe control.
#include "foundation/Win32/Unique.h"
#include "framework/controls/PropertyPage.h"
#include "tests/support/EventCounter.h"
#include "tests/support/ProbeControl.h"
#include "tests/support/ProbeSite.h"
#include "tests/support/Scoped.h"
#include "tests/support/Streams.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <memory>
#include <utility>

using namespace TestSupport;
using Microsoft::WRL::ComPtr;

namespace {

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control)));
    }
    void TearDown() override {
        if (control) {
            As<IOleObject>()->Close(OLECLOSE_NOSAVE);
            As<IOleObject>()->SetClientSite(nullptr);
        }
        Fw::TypeLibrary::Release();
    }

    // Read and written through the type information, as a script host would.
    Fw::SavedState State() {
        Fw::SavedState state;
        As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &state.extent);
        for (const auto& property : ProbeControl::properties)
            state.values.push_back(Fw::GetProperty(TypeInfo(), control.Get(), property.id));
        return state;
    }
    void Change(DISPID id, LONG value) { Fw::PutProperty(TypeInfo(), control.Get(), id, value); }
    static ITypeInfo* TypeInfo() { return Fw::TypeLibrary::TypeInfoOf(IID_IProbeControl); }
    template <class I>
    ComPtr<I> As() {
        ComPtr<I> result;
        EXPECT_EQ(S_OK, control.As(&result));
        return result;
    }

    // The control may hold its site until TearDown closes it; the site outlives it.
    Site& NewSite(RECT rect) {
        sites.push_back(std::make_unique<Site>(rect));
        return *sites.back();
    }

    std::vector<std::unique_ptr<Site>> sites;
    ComPtr<IProbeControl> control;
};

TEST(SavedStateLayout, BytesAsHostsWroteThem) {
    const std::vector<BYTE> expected = {0x00, 0x0C, 0, 0, 0x27, 0x3C, 0, 0, 0xE7, 0x1E, 0,    0,
                                        3,    0,    1, 0, 0,    0,    3, 0, 0xCD, 0xCD, 0xCD, 0xCD};
    const Fw::SavedState state = {{15399, 7911}, {1, static_cast<LONG>(0xCDCDCDCD)}};
    EXPECT_EQ(expected, Fw::EncodeState(state));
    size_t used = 0;
    EXPECT_EQ(state, Fw::DecodeState(expected, 2, &used));
    EXPECT_EQ(expected.size(), used);
}

TEST_F(ControlTest, StreamAndStorageRoundTripsKeepPropertiesAndExtent) {
    ASSERT_EQ(S_OK, As<IPersistStreamInit>()->InitNew());
    EXPECT_EQ(defaults, State());
    EXPECT_EQ(S_FALSE, As<IPersistStreamInit>()->IsDirty());
    for (const DISPID id : {6, 8, 9})
        Change(id, 0);
    SIZEL extent = saved.extent;
    As<IOleObject>()->SetExtent(DVASPECT_CONTENT, &extent);
    EXPECT_EQ(S_OK, As<IPersistStreamInit>()->IsDirty());

    const ComPtr<IStream> stream = StreamOf({});
    ASSERT_EQ(S_OK, As<IPersistStreamInit>()->Save(stream.Get(), TRUE));
    EXPECT_EQ(S_FALSE, As<IPersistStreamInit>()->IsDirty());
    ULARGE_INTEGER size = {}, written = {};
    As<IPersistStreamInit>()->GetSizeMax(&size);
    stream->Seek({}, STREAM_SEEK_CUR, &written);
    EXPECT_EQ(size.QuadPart, written.QuadPart);
    EXPECT_EQ(Fw::EncodeState(saved), Contents(stream.Get()));

    // A storage keeps the same bytes in its "Contents" stream.
    ComPtr<ILockBytes> bytes;
    ComPtr<IStorage> storage;
    ComPtr<IStream> contents;
    ASSERT_EQ(S_OK, ::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes));
    ASSERT_EQ(S_OK, ::StgCreateDocfileOnILockBytes(
                        bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage));
    ASSERT_EQ(S_OK, As<IPersistStorage>()->Save(storage.Get(), TRUE));
    ASSERT_EQ(S_OK,
              storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents));
    EXPECT_EQ(Fw::EncodeState(saved), Contents(contents.Get()));
    contents.Reset();

    const auto fresh = [&] {
        Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(control.ReleaseAndGetAddressOf()));
    };
    fresh();
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(S_OK, As<IPersistStreamInit>()->Load(stream.Get()));
    EXPECT_EQ(saved, State());
    EXPECT_EQ(S_FALSE, As<IPersistStreamInit>()->IsDirty()) << "a loaded control is clean";
    fresh();
    ASSERT_EQ(S_OK, As<IPersistStorage>()->Load(storage.Get()));
    EXPECT_EQ(saved, State());
}

TEST_F(ControlTest, RefusedStreamsChangeNothing) {
    const std::vector<BYTE> whole = Fw::EncodeState(saved);
    std::vector<BYTE> mistyped = whole;
    mistyped[12 + 6 * 2] = VT_BSTR;
    Fw::SavedState refusedValue = saved;
    refusedValue.values.back() = ProbeControl::refused;
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"newer version", Fw::EncodeState(saved, 0x0C01)},
        {"last value short by a byte", {whole.begin(), whole.end() - 1}},
        {"header only", {whole.begin(), whole.begin() + 12}},
        {"wrong variant type", mistyped},
        {"a value the last setter refuses", Fw::EncodeState(refusedValue)},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(E_FAIL, As<IPersistStreamInit>()->Load(StreamOf(c.bytes).Get())) << c.name;
        EXPECT_EQ(defaults, State()) << c.name;
        EXPECT_EQ(S_FALSE, As<IPersistStreamInit>()->IsDirty()) << c.name << ": nothing to save";
    }
}

TEST_F(ControlTest, PropertyBagRoundTripAndARefusedValue) {
    Bag bag;
    Change(7, 0);
    ASSERT_EQ(S_OK, As<IPersistPropertyBag>()->Save(&bag, TRUE, TRUE));
    EXPECT_TRUE(_variant_t(2000ul) == bag.values[L"_cx"]) << "extents as VT_UI4";
    EXPECT_TRUE(_variant_t(0l) == bag.values[L"Flag7"]) << "properties as VT_I4";
    Change(7, 1);

    // A value the class's own setter refuses puts the earlier values back; missing, mistyped
    // and empty bag values are BagValueTests' cases.
    bag.values[L"Flag9"] = _variant_t(ProbeControl::refused);
    ErrorLog log;
    EXPECT_EQ(E_FAIL, As<IPersistPropertyBag>()->Load(&bag, &log));
    EXPECT_EQ(1, State().values[2]);
    EXPECT_EQ("", log.heard);
}

TEST_F(ControlTest, AnswersItsInterfaceTableAndDescribesItsClass) {
    ComPtr<IUnknown> marshal;
    EXPECT_EQ(E_NOINTERFACE, control->QueryInterface(IID_IMarshal, &marshal)) << "a class opts into IMarshal";

    GUID source = {};
    EXPECT_EQ(S_OK, As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
    EXPECT_EQ(DIID__IProbeControlEvents, source);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, As<IProvideClassInfo>()->GetClassInfo(&coclass));
    TYPEATTR* attributes = nullptr;
    coclass->GetTypeAttr(&attributes);
    EXPECT_EQ(CLSID_Probe, attributes->guid);
    coclass->ReleaseTypeAttr(attributes);
    DWORD status = 0;
    As<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &status);
    EXPECT_EQ(131473u, status);
}

TEST_F(ControlTest, QuickActivationAnswersTheMiscStatusAndAdvisesThePropertySink) {
    Site& site = NewSite({0, 0, 50, 50});
    QACONTAINER container = {};
    container.cbSize = sizeof(container);
    container.pClientSite = &site;
    container.pPropertyNotifySink = &site;
    QACONTROL answer = {};
    answer.cbSize = sizeof(answer);
    ASSERT_EQ(S_OK, As<IQuickActivate>()->QuickActivate(&container, &answer));
    EXPECT_EQ(131473u, answer.dwMiscStatus);

    Change(6, 0);
    Change(6, 0);
    EXPECT_EQ(std::vector<DISPID>{6}, site.changed) << "an unchanged value is no change";
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, As<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink, &point));
    EXPECT_EQ(S_OK, point->Unadvise(answer.dwPropNotifyCookie));
}

TEST_F(ControlTest, ActivatesInPlaceAtTheSitesRectangle) {
    Site& site = NewSite({10, 20, 110, 80});
    HWND window = nullptr;
    EXPECT_EQ(E_UNEXPECTED,
              As<IOleObject>()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr))
        << "no site to activate in";
    EXPECT_EQ(E_FAIL, As<IOleWindow>()->GetWindow(&window));

    ASSERT_EQ(S_OK, As<IOleObject>()->SetClientSite(&site));
    ASSERT_EQ(S_OK,
              As<IOleObject>()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window, nullptr));
    EXPECT_EQ("CanInPlaceActivate;OnInPlaceActivate;GetWindowContext;", site.log);
    ASSERT_EQ(S_OK, As<IOleWindow>()->GetWindow(&window));
    const Fw::Window placed(window);
    EXPECT_EQ(site.window, placed.Parent().Handle());
    RECT at = placed.RectInParent();
    EXPECT_TRUE(::EqualRect(&site.position, &at));
    const Fw::ListView list(::GetWindow(window, GW_CHILD));
    EXPECT_EQ(100, list.ClientRect().right) << "the control's own window sized its child";

    const RECT moved = {5, 5, 205, 105};
    ASSERT_EQ(S_OK, As<IOleInPlaceObject>()->SetObjectRects(&moved, &moved));
    at = placed.RectInParent();
    EXPECT_TRUE(::EqualRect(&moved, &at));
    RECT shown = {};
    EXPECT_EQ(ERROR, ::GetWindowRgnBox(window, &shown)) << "nothing to cut away";
    // Scrolled half out of the container's view: the window keeps its place and shows the rest.
    const RECT view = {0, 55, 300, 300};
    ASSERT_EQ(S_OK, As<IOleInPlaceObject>()->SetObjectRects(&moved, &view));
    at = placed.RectInParent();
    EXPECT_TRUE(::EqualRect(&moved, &at));
    EXPECT_EQ(SIMPLEREGION, ::GetWindowRgnBox(window, &shown));
    const RECT lowerHalf = {0, 50, 200, 100};
    EXPECT_TRUE(::EqualRect(&lowerHalf, &shown));
    ASSERT_EQ(S_OK, As<IOleInPlaceObject>()->SetObjectRects(&moved, &moved));
    EXPECT_EQ(ERROR, ::GetWindowRgnBox(window, &shown));
    EXPECT_EQ(E_INVALIDARG, As<IOleInPlaceObject>()->SetObjectRects(nullptr, &moved));

    MSG arrow = {list.Handle(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    MSG letter = {list.Handle(), WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(S_OK, As<IOleInPlaceActiveObject>()->TranslateAccelerator(&arrow))
        << "arrows belong to the list";
    EXPECT_EQ(S_FALSE, As<IOleInPlaceActiveObject>()->TranslateAccelerator(&letter));

    site.log.clear();
    ASSERT_EQ(S_OK, As<IOleObject>()->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, site.window, nullptr));
    EXPECT_EQ("GetWindowContext;OnUIActivate;", site.log)
        << "already in place: the site's place is read again, then only the UI part runs";
    site.log.clear();
    ASSERT_EQ(S_OK, As<IOleInPlaceObject>()->InPlaceDeactivate());
    EXPECT_EQ("OnUIDeactivate;OnInPlaceDeactivate;", site.log);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ControlTest, VerbsAnswerAsContainersExpect) {
    Site& site = NewSite({10, 20, 110, 80});
    ASSERT_EQ(S_OK, As<IOleObject>()->SetClientSite(&site));
    const auto verb = [&](LONG number) {
        return As<IOleObject>()->DoVerb(number, nullptr, &site, 0, site.window, nullptr);
    };
    HWND window = nullptr;
    EXPECT_EQ(S_OK, verb(OLEIVERB_HIDE));
    EXPECT_EQ("", site.log) << "hiding an inactive control activates nothing";
    EXPECT_EQ(E_NOTIMPL, verb(-42));

    site.refuseUIActivation = true;
    EXPECT_EQ(E_FAIL, verb(OLEIVERB_UIACTIVATE));
    ASSERT_EQ(S_OK, As<IOleWindow>()->GetWindow(&window));
    EXPECT_NE(window, ::GetFocus()) << "a refused UI activation takes no focus";
    site.refuseUIActivation = false;
    site.log.clear();
    EXPECT_EQ(OLEOBJ_S_INVALIDVERB, verb(7));
    EXPECT_EQ("GetWindowContext;OnUIActivate;", site.log) << "an unknown verb is taken for the primary one";

    EXPECT_EQ(S_OK, verb(OLEIVERB_HIDE));
    EXPECT_FALSE(::IsWindowVisible(window));

    // The container moved the site to another window and place: the next verb follows it.
    const Win32::UniqueWindow other(::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                                      nullptr, nullptr, nullptr, nullptr));
    const Scoped<HWND> moved([&](HWND window) { return std::exchange(site.window, window); }, other.get());
    site.position = {30, 40, 130, 100};
    EXPECT_EQ(S_OK, verb(OLEIVERB_SHOW));
    EXPECT_EQ(site.window, ::GetParent(window));
    const RECT at = Fw::Window(window).RectInParent();
    EXPECT_TRUE(::EqualRect(&site.position, &at));
    EXPECT_EQ(S_OK, As<IOleInPlaceObject>()->InPlaceDeactivate());
}

TEST_F(ControlTest, LetsGoOfTheContainersSinksWhenItLeaves) {
    Site& site = NewSite({10, 20, 110, 80});
    DWORD connection = 0;
    ASSERT_EQ(S_OK, As<IOleObject>()->SetClientSite(&site));
    const ULONG sited = site.references;
    ASSERT_EQ(S_OK, As<IViewObject>()->SetAdvise(DVASPECT_CONTENT, 0, &site));
    ASSERT_EQ(S_OK, As<IOleObject>()->Advise(&site, &connection));
    EXPECT_LT(sited + 1, site.references) << "the view and the advise holder each hold it";
    ASSERT_EQ(S_OK, control->put_Flag6(0));
    EXPECT_EQ(1, site.viewChanges);

    // The container leaves without taking its sinks back.
    ASSERT_EQ(S_OK, As<IOleObject>()->SetClientSite(nullptr));
    EXPECT_EQ(1u, site.references);
    ASSERT_EQ(S_OK, control->put_Flag6(1));
    EXPECT_EQ(1, site.viewChanges) << "a later change reaches nobody";
}

TEST_F(ControlTest, FrozenEventsAreDropped) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, As<IConnectionPointContainer>()->FindConnectionPoint(DIID__IProbeControlEvents, &point));
    TestSupport::EventCounter sink;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
    const auto fired = [&] {
        static_cast<ProbeControl*>(control.Get())->Fire<_IProbeControlEvents>([](IDispatch* events) {
            DISPPARAMS none = {};
            events->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
        });
        return sink.calls;
    };

    EXPECT_EQ(1, fired());
    As<IOleControl>()->FreezeEvents(TRUE);
    As<IOleControl>()->FreezeEvents(TRUE);
    As<IOleControl>()->FreezeEvents(FALSE);
    EXPECT_EQ(1, fired()) << "still frozen once";
    As<IOleControl>()->FreezeEvents(FALSE);
    EXPECT_EQ(2, fired());
    point->Unadvise(cookie);
}

TEST_F(ControlTest, DrawsItsDesignerFaceWithoutAWindow) {
    As<IOleObject>()->SetClientSite(&NewSite({0, 0, 10, 10}));

    const Win32::UniqueDc dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), 120, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD* pixels = nullptr;
    const Win32::UniqueBitmap bitmap(
        ::CreateDIBSection(dc.get(), &format, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0));
    ASSERT_TRUE(bitmap);
    ::SelectObject(dc.get(), bitmap.get());
    std::fill(pixels, pixels + 120 * 40, 0x00123456);

    SIZEL content = {}, opaque = {};
    ASSERT_EQ(S_OK, As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &content));
    EXPECT_EQ(S_OK, As<IOleObject>()->GetExtent(DVASPECT_OPAQUE, &opaque)) << "the content's size";
    EXPECT_EQ(content.cx, opaque.cx);
    EXPECT_EQ(DV_E_DVASPECT, As<IOleObject>()->GetExtent(DVASPECT_ICON, &opaque));

    const RECTL bounds = {0, 0, 120, 40};
    EXPECT_EQ(DV_E_DVASPECT, As<IViewObject>()->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc.get(),
                                                     &bounds, nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, As<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.get(),
                                            &bounds, nullptr, nullptr, 0));
    ::GdiFlush();
    EXPECT_EQ(0u, pixels[0] & 0xFFFFFF) << "a black frame";
    const DWORD inside = pixels[120 * 20 + 2];
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), RGB(inside >> 16 & 0xFF, inside >> 8 & 0xFF, inside & 0xFF))
        << "filled inside";
    EXPECT_EQ(0, std::count(pixels, pixels + 120 * 40, 0x00123456u));
    HWND window = nullptr;
    EXPECT_EQ(E_FAIL, As<IOleWindow>()->GetWindow(&window)) << "it drew without one";
}

class ProbePage : public Fw::PropertyPage<ProbePage> {
public:
    static constexpr UINT dialogId = 300;
    static inline std::string applied;

    void OnPortClicked(UINT, UINT, HWND) { SetDirty(true); }
    static inline const Fw::MessageEntry<ProbePage> messages[] = {
        Fw::OnCommand<1001, BN_CLICKED, &ProbePage::OnPortClicked>(),
    };
    HRESULT ApplyTo(IUnknown* object) override {
        ComPtr<IProbeControl> list;
        if (FAILED(object->QueryInterface(IID_PPV_ARGS(&list))))
            return E_NOINTERFACE;
        applied += "list;";
        return list->put_Flag5(::IsDlgButtonChecked(m_hWnd, 1001) == BST_CHECKED);
    }
};

TEST_F(ControlTest, PropertyPageShowsItsTemplateAndAppliesToItsObjects) {
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, Fw::Object<ProbePage>::Create(nullptr, IID_PPV_ARGS(&page)));
    Site& frame = NewSite({0, 0, 10, 10});
    page->SetPageSite(&frame);

    PROPPAGEINFO info = {};
    info.cb = sizeof(info);
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"Probe Columns", info.pszTitle);
    ::CoTaskMemFree(info.pszTitle);
    EXPECT_GT(info.size.cx, 200) << "dialog units are wider than pixels";
    EXPECT_GT(info.size.cy, 100);

    Change(5, 0);
    IUnknown* objects[] = {control.Get(), static_cast<IOleClientSite*>(&frame)};
    ASSERT_EQ(S_OK, page->SetObjects(2, objects));
    const RECT at = {4, 4, 300, 200};
    ASSERT_EQ(S_OK, page->Activate(frame.window, &at, FALSE));
    const HWND dialog = ::GetWindow(frame.window, GW_CHILD);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(::GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(S_FALSE, page->IsPageDirty());

    for (int click = 0; click < 3; ++click)
        ::SendMessageA(::GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY}, frame.statuses) << "the frame hears the first change";
    EXPECT_EQ(S_OK, page->IsPageDirty());

    ProbePage::applied.clear();
    EXPECT_EQ(E_NOINTERFACE, page->Apply()) << "an object it cannot serve";
    EXPECT_EQ("list;", ProbePage::applied);
    EXPECT_EQ(1, State().values[0]) << "the check box reached the control";
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "still dirty after a failed apply";
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ(S_OK, page->Deactivate());
    EXPECT_FALSE(::IsWindow(dialog));
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
}

} // namespace
