// Composite controls: the face's template split into what the dialog manager makes and the
// module's controls the face embeds itself, their initial data, and a face hosted in a
// container with its embedded probe control, made from a test class table.
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/ClassTable.h"
#include "framework/controls/ChildEvents.h"
#include "framework/controls/CompositeControl.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ProbeControl.h"
#include "tests/support/Scoped.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

using TestSupport::ProbeControl;
using Microsoft::WRL::ComPtr;

namespace {

// The probes' face class around a test template.
template <UINT Face>
class FaceProbe : public Fw::CompositeControl<FaceProbe<Face>, IFaceProbe, &CLSID_Face> {
public:
    static constexpr UINT faceTemplate = Face;
    static inline const auto interfaces = Fw::ControlInterfaces<FaceProbe>();
};

constexpr int listId = 225, labelId = 1001, buttonId = 1002;
const RECT listUnits = {7, 18, 157, 98};

const Fw::ClassEntry probeClasses[] = {{&CLSID_Probe, 0, Fw::CreatorOf<ProbeControl>}};

// The module's classes for the life of a test, and the trace lines written meanwhile.
class ModuleClasses {
public:
    explicit ModuleClasses(std::span<const Fw::ClassEntry> entries)
        : m_table(entries) {}
    TestSupport::TraceCapture trace;

private:
    Fw::ClassTable m_table;
    TestSupport::Scoped<Fw::ClassTable*> m_classes{
        [](Fw::ClassTable* table) { return Fw::Module::Current().SetClasses(table); }, &m_table};
};

// A composite embedded in a shown container and UI-activated, as a form host does.
struct Hosted {
    explicit Hosted(Fw::ClassFactory::Creator create) {
        EXPECT_EQ(S_OK, create(nullptr, IID_PPV_ARGS(&control)));
        TestSupport::EmbedOptions options;
        options.backColor = RGB(0x12, 0x34, 0x56);
        options.rect = {0, 0, 400, 260};
        site = &container.Embed(control.Get(), options);
        EXPECT_EQ(S_OK, site->DoVerb(OLEIVERB_UIACTIVATE));
        face = site->Window();
    }
    TestSupport::TestContainer container{true};
    ComPtr<IOleObject> control;
    TestSupport::ControlSite* site = nullptr;
    HWND face = nullptr;
};

FaceProbe<400>& Composite(const Hosted& hosted) {
    return *static_cast<FaceProbe<400>*>(hosted.control.Get());
}

class CompositeControlTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(0, ProbeControl::instances) << "a child outlived its face";
        Fw::TypeLibrary::Release();
    }

    ModuleClasses classes{probeClasses};
};

std::string ClassesAndIds(HWND parent) {
    std::string found;
    char name[32];
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::GetClassNameA(child, name, sizeof name);
        found += std::string(name) + ":" + std::to_string(::GetDlgCtrlID(child)) + " ";
    }
    return found;
}

COLORREF BrushColor(LRESULT brush) {
    LOGBRUSH logical = {};
    ::GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof logical, &logical);
    return logical.lbColor;
}

TEST(DialogTemplate, SplitsTheEmbeddedControlsOutOfBothForms) {
    for (const UINT id : {400u, 401u}) {
        const auto parsed = Fw::DialogTemplate::Parse(Fw::ModuleResource(id, 5));
        ASSERT_TRUE(parsed) << id;
        EXPECT_EQ(id == 400, parsed->Extended()) << id;
        ASSERT_EQ(1u, parsed->EmbeddedItems().size()) << id;
        const Fw::EmbeddedItem& list = parsed->EmbeddedItems()[0];
        EXPECT_EQ(listId, list.id) << id;
        EXPECT_TRUE(::EqualRect(&listUnits, &list.units)) << id;
        EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP), list.style) << id;
        EXPECT_EQ(CLSID_Probe, list.clsid) << id;
        EXPECT_EQ(1u, list.position) << id;
    }
}

TEST(DialogTemplate, RefusesATemplateThatEndsBeforeItsItems) {
    const struct {
        const char* name;
        UINT id;
        size_t kept;    // bytes kept from the start, 0 for all
        size_t dropped; // bytes dropped from the end
        bool oneItemMore;
    } cases[] = {
        {"cut inside the header's font name", 400, 60, 0, false},
        {"cut inside the embedded item's class", 400, 150, 0, false},
        {"cut at the last item's last byte", 400, 0, 1, false},
        {"an item count one beyond its items", 400, 0, 0, true},
        {"the same, plain and not ending on a DWORD", 401, 0, 0, true},
    };
    for (const auto& c : cases) {
        const auto whole = Fw::ModuleResource(c.id, 5);
        std::vector<BYTE> bytes(whole.begin(), whole.begin() + (c.kept ? c.kept : whole.size() - c.dropped));
        if (c.oneItemMore)
            ++bytes[c.id == 400 ? 16 : 8];
        EXPECT_FALSE(Fw::DialogTemplate::Parse(bytes)) << c.name;
    }
}

TEST(DialogInit, KeepsControlDataByIdAndRefusesWhatRunsPastTheEnd) {
    using Data = std::map<int, std::vector<BYTE>>;
    const struct {
        const char* name;
        std::vector<WORD> words;
        std::optional<Data> expected;
    } cases[] = {
        {"two controls, a combo box's strings skipped",
         {225, 0x0376, 4, 0, 0x0201, 0x0403, 1002, 0x0403, 2, 0, 0x0041, 226, 0x0376, 2, 0, 0x0605, 0},
         Data{{225, {1, 2, 3, 4}}, {226, {5, 6}}}},
        {"no records", {0}, Data{}},
        {"padding after the end marker", {0, 0}, Data{}},
        {"a length past the end", {225, 0x0376, 40, 0, 1, 2, 0}, std::nullopt},
        {"a length beyond any buffer", {225, 0x0376, 0xFFFF, 0xFFFF, 0}, std::nullopt},
        {"no end marker", {225, 0x0376, 2, 0, 0x0605}, std::nullopt},
        {"a record header cut short", {225, 0x0376, 2}, std::nullopt},
        {"nothing at all", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> bytes(c.words.size() * sizeof(WORD));
        std::memcpy(bytes.data(), c.words.data(), bytes.size());
        EXPECT_EQ(c.expected, Fw::ReadDialogInit(bytes)) << c.name;
    }
}

TEST_F(CompositeControlTest, ComesUpWithTheTemplatesControlsAndItsEmbeddedChildInPlace) {
    Hosted hosted(Fw::CreatorOf<FaceProbe<400>>);
    ASSERT_TRUE(hosted.face);
    EXPECT_EQ(hosted.container.Window(), ::GetParent(hosted.face));
    EXPECT_EQ("Static:1001 OstrelProbeControl:225 Button:1002 ", ClassesAndIds(hosted.face))
        << "the embedded child sits in the tab order where the template puts it";

    Fw::ControlSite* child = Composite(hosted).ChildSite(listId);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->Window(), ::GetDlgItem(hosted.face, listId));
    RECT expected = listUnits;
    ::MapDialogRect(hosted.face, &expected);
    const RECT placed = Fw::Window(child->Window()).RectInParent();
    EXPECT_TRUE(::EqualRect(&expected, &placed));

    const ComPtr<IProbeControl> list = Composite(hosted).Child<IProbeControl>(listId);
    ASSERT_TRUE(list);
    std::vector<LONG> values;
    for (const auto& property : ProbeControl::properties)
        values.push_back(
            Fw::GetProperty(Fw::TypeLibrary::TypeInfoOf(IID_IProbeControl), list.Get(), property.id));
    EXPECT_EQ((std::vector<LONG>{0, 2, 3, 4, 5}), values) << "the template's initial data";
    EXPECT_TRUE(classes.trace.lines.empty());
}

TEST_F(CompositeControlTest, TabMovesThroughTheFaceAndLeavesItAtEitherEnd) {
    Hosted hosted(Fw::CreatorOf<FaceProbe<400>>);
    const ComPtr<IOleInPlaceActiveObject> active = hosted.container.ActiveObject();
    ASSERT_TRUE(active) << "the UI-active composite is where the host sends its keys";
    const HWND list = ::GetDlgItem(hosted.face, listId), button = ::GetDlgItem(hosted.face, buttonId);
    ASSERT_EQ(list, ::GetFocus()) << "activation focuses the face's first tab stop";

    const struct {
        const char* name;
        bool shift;
        HWND from;
        HRESULT status;
        HWND focus;
    } steps[] = {
        {"Tab from the embedded list", false, list, S_OK, button},
        {"Tab from the last tab stop", false, button, S_FALSE, button},
        {"Shift+Tab from the button", true, button, S_OK, list},
        {"Shift+Tab from the first tab stop", true, list, S_FALSE, list},
    };
    for (const auto& step : steps) {
        ::SetFocus(step.from);
        const TestSupport::ScopedKey shift(VK_SHIFT, step.shift);
        MSG tab = {step.from, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_EQ(step.status, active->TranslateAccelerator(&tab)) << step.name;
        EXPECT_EQ(step.focus, ::GetFocus()) << step.name;
    }
}

TEST_F(CompositeControlTest, ItsSiteHearsOfTheFocusEnteringOrLeavingTheWholeFace) {
    Hosted hosted(Fw::CreatorOf<FaceProbe<400>>);
    const Win32::UniqueWindow outsider(::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 0, 270, 80, 20,
                                                         hosted.container.Window(), nullptr, nullptr, nullptr));
    const HWND outside = outsider.get();
    const auto focusedAfterMovingTo = [&](HWND window) {
        ::SetFocus(window);
        TestSupport::FlushMessages();
        return hosted.site->Focused();
    };
    const HWND list = ::GetDlgItem(hosted.face, listId), button = ::GetDlgItem(hosted.face, buttonId);
    EXPECT_FALSE(focusedAfterMovingTo(outside));
    EXPECT_TRUE(focusedAfterMovingTo(list)) << "into the embedded control";
    EXPECT_TRUE(focusedAfterMovingTo(button));
    EXPECT_TRUE(focusedAfterMovingTo(list));
    EXPECT_FALSE(focusedAfterMovingTo(outside)) << "out of the embedded control";
}

TEST_F(CompositeControlTest, PaintsTheFaceInTheAmbientBackColourAndPassesItOn) {
    Hosted hosted(Fw::CreatorOf<FaceProbe<400>>);
    const HDC dc = ::GetDC(hosted.face);
    for (const UINT message : {WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
        const LRESULT brush = ::SendMessageA(hosted.face, message, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(::GetDlgItem(hosted.face, labelId)));
        EXPECT_EQ(RGB(0x12, 0x34, 0x56), BrushColor(brush)) << "message " << message;
    }
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), ::GetBkColor(dc)) << "the label's text sits on the same colour";

    hosted.site->SetBackColor(RGB(0x65, 0x43, 0x21));
    EXPECT_EQ(RGB(0x65, 0x43, 0x21),
              BrushColor(::SendMessageA(hosted.face, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0)));
    const auto* list = static_cast<ProbeControl*>(Composite(hosted).Child<IProbeControl>(listId).Get());
    EXPECT_EQ(RGB(0x65, 0x43, 0x21), list->BackColor()) << "the embedded child hears the change";
    ::ReleaseDC(hosted.face, dc);
}

// Closing the face lets its children go too: every test's TearDown sees to that.
TEST_F(CompositeControlTest, DestroyingTheFaceLetsTheChildrenGo) {
    Hosted hosted(Fw::CreatorOf<FaceProbe<400>>);
    ASSERT_EQ(1, ProbeControl::instances);
    ::DestroyWindow(hosted.face);
    EXPECT_EQ(0, ProbeControl::instances);
    EXPECT_FALSE(Composite(hosted).ChildSite(listId));
}

HRESULT OutOfMemory(IUnknown*, REFIID, void** ppv) {
    *ppv = nullptr;
    return E_OUTOFMEMORY;
}

// Both template forms, the plain one drawn as a captioned popup, come up as a child face.
TEST_F(CompositeControlTest, AChildThatCannotBeMadeIsLeftOutAndTheRestOfTheFaceComesUp) {
    const Fw::ClassEntry failing[] = {{&CLSID_Probe, 0, OutOfMemory}};
    const struct {
        const char* name;
        std::span<const Fw::ClassEntry> classes;
        UINT face;
        const char* traced;
    } cases[] = {
        {"its creator fails", failing, 400, "creating it answered 0x8007000E"},
        {"it refuses its initial data", probeClasses, 401, "IPersistStreamInit::Load answered 0x80004005"},
    };
    for (const auto& c : cases) {
        ModuleClasses replaced(c.classes);
        Hosted hosted(c.face == 400 ? Fw::CreatorOf<FaceProbe<400>> : Fw::CreatorOf<FaceProbe<401>>);
        ASSERT_TRUE(hosted.face) << c.name;
        EXPECT_EQ("Static:1001 Button:1002 ", ClassesAndIds(hosted.face)) << c.name;
        EXPECT_EQ(WS_CHILD | WS_VISIBLE,
                  ::GetWindowLongA(hosted.face, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP | WS_CAPTION))
            << c.name;
        EXPECT_EQ(0, ProbeControl::instances) << c.name;
        EXPECT_EQ(
            std::vector<std::string>{Lang::Format("composite face %u: control 225 {9F128E0F-A4D7-4A26-A36B-F561C360DAA0} left out: "
                         "%s\r\n",
                         c.face, c.traced)},
            replaced.trace.lines)
            << c.name;
    }
}

// The sink a composite advises on a child: the child's id and the event reach the relay with the
// arguments as fired, until the relay is gone; a text argument is read whatever its variant type.
TEST(ChildEventSink, RelaysEventsUntilItsCompositeLetsGo) {
    std::vector<std::string> heard;
    auto relay = std::make_shared<const Fw::ChildEventRelay>(
        [&](int childId, DISPID member, const DISPPARAMS& arguments) {
            heard.push_back(std::to_string(childId) + "/" + std::to_string(member) + " " +
                            Fw::TextArgument(arguments, 0));
            return S_OK;
        });
    const auto sink = Fw::ChildEventSink::Create(212, relay);
    ASSERT_TRUE(sink);
    _variant_t name(L"bench-7"), number(42L), null;
    null.vt = VT_NULL;
    DISPPARAMS text = {&name, nullptr, 1, 0}, numeric = {&number, nullptr, 1, 0}, none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &text, nullptr, nullptr, nullptr));
    EXPECT_EQ(S_OK, sink->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &numeric, nullptr, nullptr, nullptr));
    EXPECT_EQ((std::vector<std::string>{"212/1 bench-7", "212/3 42"}), heard);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    DISPID namedId = 0;
    DISPPARAMS named = {&name, &namedId, 1, 1}, unconvertible = {&null, nullptr, 1, 0};
    EXPECT_EQ(DISP_E_NONAMEDARGS, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &named, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_TYPEMISMATCH,
              sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &unconvertible, nullptr, nullptr, nullptr));
    EXPECT_EQ(2u, heard.size());

    relay.reset();
    EXPECT_EQ(S_OK, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &text, nullptr, nullptr, nullptr));
    EXPECT_EQ(2u, heard.size()) << "an event after the composite let go";
}

} // namespace
