// The phone server control in the test container, its face made of the module's real phone list,
// server combo and browse button; the machine it connects to is the in-process simulator's bench,
// reached through replaced connection hooks that note each name and never sleep, the computer
// picker replaced and the combo's names kept in a scratch key.
#include "connection/ComputerPicker.h"
#include "connection/PhoneServerCtrl.h"
#include "connection/ServerButton.h"
#include "connection/ServerCombo.h"
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/Text.h"
#include "framework/com/ClassTable.h"
#include "framework/com/TypeLibrary.h"
#include "phones/PhoneList.h"
#include "server/MachineConnection.h"
#include "tests/connection/ScratchKey.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Scoped.h"
#include "tests/support/Streams.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Names = std::vector<std::string>;
using Ctrl = COstrelPhoneServerCtrl;

// The bench scenario's phones on enabled ports.
constexpr int benchRows = 4;
const HRESULT unreachable = HRESULT(0x800706BA);

const Fw::ClassEntry childClasses[] = {
    {&CLSID_OstrelPhoneList, 0, Fw::CreatorOf<COstrelPhoneList>},
    {&CLSID_OstrelServerCombo, 0, Fw::CreatorOf<COstrelServerCombo>},
    {&CLSID_OstrelServerButton, 0, Fw::CreatorOf<COstrelServerButton>},
};

struct FakePicker : ComputerPicker {
    std::optional<std::string> answer;
    std::optional<std::string> Pick(HWND, const char*) override { return answer; }
};

// Public: the connection routes below drive it from their table.
class PhoneServerCtrlTest : public ::testing::Test {
public:
    void SetUp() override {
        hooks.createServer = [this](const std::wstring& name, IOstrelServer** ppServer) {
            created.push_back(Lang::FromWide(name));
            *ppServer = nullptr;
            return FAILED(createStatus) ? createStatus : server.CopyTo(ppServer);
        };
        hooks.wait = [this](DWORD milliseconds) { waits.push_back(milliseconds); };
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        ASSERT_EQ(S_OK, Fw::Object<Ctrl>::Create(nullptr, IID_PPV_ARGS(&control)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 640, 400};
        site = &container.Embed(control.Get(), options);
        char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD length = sizeof name;
        ASSERT_TRUE(::GetComputerNameA(name, &length));
        computer = ::CharLowerA(name);
    }
    void TearDown() override {
        control->Shutdown();
        TestSupport::FlushMessages();
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    void Activate() {
        ASSERT_EQ(S_OK, site->Activate());
        face = site->Window();
        ASSERT_TRUE(Object().ChildSite(Ctrl::listId) && Object().ChildSite(Ctrl::comboId) &&
                    Object().ChildSite(Ctrl::buttonId));
    }
    Ctrl& Object() const { return *static_cast<Ctrl*>(control.Get()); }
    // The combo box inside the combo control, the push button inside the button control.
    HWND Inner(int id) const { return ::GetDlgItem(Object().ChildSite(id)->Window(), 1); }
    ComPtr<IOstrelPhoneList> List() const { return Object().Child<IOstrelPhoneList>(Ctrl::listId); }

    Names Entries() const {
        const HWND combo = Inner(Ctrl::comboId);
        Names entries(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (size_t i = 0; i < entries.size(); ++i) {
            char text[300] = {};
            ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries[i] = text;
        }
        return entries;
    }
    int Rows() const {
        int count = -1;
        EXPECT_EQ(S_OK, List()->GetItemCount(&count));
        return count;
    }
    void Type(const char* name) {
        COMBOBOXINFO parts = {};
        parts.cbSize = sizeof parts;
        ASSERT_TRUE(::GetComboBoxInfo(Inner(Ctrl::comboId), &parts));
        ::SetWindowTextA(parts.hwndItem, name);
        ::SendMessageA(parts.hwndItem, WM_KEYDOWN, VK_RETURN, 0);
    }
    void Browse(const char* name) {
        picker.answer = name;
        const HWND button = Inner(Ctrl::buttonId);
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }

    const TestSupport::ScratchKey key{{}};
    const TestSupport::Scoped<CMRUServerList::Location> mru{CMRUServerList::SetDefaultLocation,
                                                            key.Location()};
    Fw::ClassTable classTable{childClasses};
    const TestSupport::Scoped<Fw::ClassTable*> classes{
        [](Fw::ClassTable* table) { return Fw::Module::Current().SetClasses(table); }, &classTable};
    MachineConnectionHooks hooks;
    const TestSupport::Scoped<const MachineConnectionHooks*> hooked{SetMachineConnectionHooks, &hooks};
    FakePicker picker;
    const TestSupport::Scoped<ComputerPicker*> picked{SetComputerPicker, &picker};
    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    HRESULT createStatus = S_OK;
    Names created;
    std::vector<DWORD> waits;
    std::string computer;
    TestSupport::TestContainer container;
    TestSupport::ControlSite* site = nullptr;
    ComPtr<IOstrelPhoneServerCtrl> control;
    HWND face = nullptr;
};

// One way a user or host names a machine on an activated control. "this" stands for this
// computer: the combo's first entry, which Startup connects to before the machine is chosen.
struct Route {
    const char* name;
    enum How { startup, defaultServer, typed, typedTwice, browsed, put } how;
    const char* machine;
    HRESULT createStatus; // of the chosen machine's server
    long startingPolls;   // "starting" answers of the chosen machine's server
    HRESULT answer;       // put_SelectedServer's
    Names created;        // the servers asked for, "\\" left off
    Names entries;        // the combo's drop-down list
    Names values;         // the scratch key's
    int rows;             // in the phone list
    int waits;            // of 1000 ms each
};

class ConnectionRoute : public PhoneServerCtrlTest, public ::testing::WithParamInterface<Route> {};

TEST_P(ConnectionRoute, ConnectsToTheNamedMachineAndRemembersItOnlyOnceConnected) {
    const Route& route = GetParam();
    const auto expand = [&](Names names, const char* prefix) {
        for (auto& name : names)
            name = prefix + (name == "this" ? computer : name);
        return names;
    };
    Activate();
    if (route.how == Route::defaultServer) {
        EXPECT_EQ(S_OK, control->DefaultServer(_bstr_t(route.machine)));
        EXPECT_EQ(Names{}, created) << "DefaultServer only names the machine";
    }
    EXPECT_EQ(S_OK, control->Startup());
    createStatus = route.createStatus;
    EXPECT_EQ(S_OK, sim->SetStartingPolls(route.startingPolls));
    HRESULT answer = S_OK;
    switch (route.how) {
    case Route::typedTwice:
        Type(route.machine);
        [[fallthrough]];
    case Route::typed:
        Type(route.machine);
        break;
    case Route::browsed:
        Browse(route.machine);
        break;
    case Route::put:
        answer = control->put_SelectedServer(_bstr_t(route.machine));
        break;
    default:
        break;
    }
    EXPECT_EQ(route.answer, answer);
    EXPECT_EQ(expand(route.created, "\\\\"), created);
    EXPECT_EQ(expand(route.entries, ""), Entries());
    EXPECT_EQ(route.values, key.Values());
    EXPECT_EQ(route.rows, Rows());
    EXPECT_EQ(expand({route.machine}, "")[0], Fw::Window(Inner(Ctrl::comboId)).Text()) << "the edit field";
    EXPECT_EQ(std::vector<DWORD>(route.waits, 1000), waits);
    const bool typed = route.how == Route::typed || route.how == Route::typedTwice;
    EXPECT_EQ(typed, ::GetWindow(face, GW_CHILD) == Object().ChildSite(Ctrl::listId)->Window())
        << "a name from the combo raises the phone list above its siblings";
}

// clang-format off
const Route routes[] = {
    {"StartupConnectsToThisComputer", Route::startup, "this", S_OK, 0, S_OK,
     {"this"}, {"this"}, {}, benchRows, 0},
    {"DefaultServerThenStartup", Route::defaultServer, "bench-a", S_OK, 0, S_OK,
     {"bench-a"}, {"this", "bench-a"}, {"Server1=bench-a"}, benchRows, 0},
    {"TheSameTypedMachineTwice", Route::typedTwice, "rig-7", S_OK, 0, S_OK,
     {"this", "rig-7", "rig-7"}, {"this", "rig-7"}, {"Server1=rig-7"}, benchRows, 0},
    {"AnUnreachableTypedMachine", Route::typed, "gone-host", unreachable, 0, S_OK,
     {"this", "gone-host"}, {"this"}, {}, 0, 0},
    {"ABrowsedMachine", Route::browsed, "far-host", S_OK, 0, S_OK,
     {"this", "far-host"}, {"this", "far-host"}, {"Server1=far-host"}, benchRows, 0},
    {"AnUnreachableBrowsedMachine", Route::browsed, "far-host", unreachable, 0, S_OK,
     {"this", "far-host"}, {"this"}, {}, 0, 0},
    // A put names the machine in the combo before it connects, as DefaultServer does.
    {"AnUnreachablePut", Route::put, "gone-host", unreachable, 0, unreachable,
     {"this", "gone-host"}, {"this", "gone-host"}, {"Server1=gone-host"}, 0, 0},
    {"APutWhileTheServerKeepsStarting", Route::put, "slow-rig", S_OK, 100, E_FAIL,
     {"this", "slow-rig"}, {"this", "slow-rig"}, {"Server1=slow-rig"}, 0, 100},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PhoneServerCtrl, ConnectionRoute, ::testing::ValuesIn(routes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhoneServerCtrlTest, WithoutAFaceConnectsNowhereAndAnswersWhatItCan) {
    _bstr_t name;
    EXPECT_EQ(E_FAIL, control->DefaultServer(_bstr_t("bench-a")));
    EXPECT_EQ(E_FAIL, control->get_SelectedServer(name.GetAddress()));
    EXPECT_EQ(E_FAIL, control->put_SelectedServer(_bstr_t("bench-a")));
    LONG esn = -1, portId = -1;
    EXPECT_EQ(S_OK, control->GetSelectedPhone(&esn, &portId));
    EXPECT_EQ(0, esn);
    EXPECT_EQ(0, portId);
    EXPECT_EQ(S_OK, control->Startup());
    EXPECT_EQ(S_OK, control->Shutdown());
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(Names{}, key.Values());
}

// Each flag as the control and its phone list have it.
const struct ShownFlag {
    const char* name;
    HRESULT (STDMETHODCALLTYPE IOstrelPhoneServerCtrl::*get)(LONG*);
    HRESULT (STDMETHODCALLTYPE IOstrelPhoneServerCtrl::*put)(LONG);
    HRESULT (STDMETHODCALLTYPE IOstrelPhoneList::*listGet)(LONG*);
} shownFlags[] = {
    {"PhoneType", &IOstrelPhoneServerCtrl::get_ShowPhoneTypeLabel,
     &IOstrelPhoneServerCtrl::put_ShowPhoneTypeLabel, &IOstrelPhoneList::get_ShowPhoneTypeLabel},
    {"ESN", &IOstrelPhoneServerCtrl::get_ShowESNLabel, &IOstrelPhoneServerCtrl::put_ShowESNLabel,
     &IOstrelPhoneList::get_ShowESNLabel},
    {"Number", &IOstrelPhoneServerCtrl::get_ShowNumberLabel, &IOstrelPhoneServerCtrl::put_ShowNumberLabel,
     &IOstrelPhoneList::get_ShowNumberLabel},
    {"Banner", &IOstrelPhoneServerCtrl::get_ShowBannerLabel, &IOstrelPhoneServerCtrl::put_ShowBannerLabel,
     &IOstrelPhoneList::get_ShowBannerLabel},
    {"Port", &IOstrelPhoneServerCtrl::get_ShowPortLabel, &IOstrelPhoneServerCtrl::put_ShowPortLabel,
     &IOstrelPhoneList::get_ShowPortLabel},
    {"Server", &IOstrelPhoneServerCtrl::get_ShowServerLabel, &IOstrelPhoneServerCtrl::put_ShowServerLabel,
     &IOstrelPhoneList::get_ShowServerLabel},
};

TEST_F(PhoneServerCtrlTest, HandsEachShowFlagToItsPhoneListAtSetUpAndOnEveryPut) {
    // Before the face: kept here only, then handed on when the list comes. Every other flag is off.
    for (size_t i = 0; i < std::size(shownFlags); ++i)
        EXPECT_EQ(S_OK, (control.Get()->*shownFlags[i].put)(LONG(i % 2))) << shownFlags[i].name;
    Activate();
    const ComPtr<IOstrelPhoneList> list = List();
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, control.As(&persist));
    for (size_t i = 0; i < std::size(shownFlags); ++i) {
        const ShownFlag& flag = shownFlags[i];
        LONG shown = -1;
        EXPECT_EQ(S_OK, (list.Get()->*flag.listGet)(&shown)) << flag.name;
        EXPECT_EQ(LONG(i % 2), shown) << flag.name << " at set-up";
        const LONG flipped = LONG(1 - i % 2);
        ASSERT_EQ(S_OK, persist->Save(TestSupport::StreamOf({}).Get(), TRUE)) << flag.name;
        EXPECT_EQ(S_OK, (control.Get()->*flag.put)(flipped)) << flag.name;
        EXPECT_EQ(S_OK, persist->IsDirty()) << flag.name << ": a put is a change to save";
        EXPECT_EQ(S_OK, (list.Get()->*flag.listGet)(&shown)) << flag.name;
        EXPECT_EQ(flipped, shown) << flag.name << " after a put";
        EXPECT_EQ(S_OK, (control.Get()->*flag.get)(&shown)) << flag.name;
        EXPECT_EQ(flipped, shown) << flag.name;
    }
}

TEST_F(PhoneServerCtrlTest, SavesFiveShowFlagsWithItsExtentButNotTheBanner) {
    // Values told apart by number, so that a slip of order shows.
    const LONG values[] = {2, 0, 6, 0, 4, 5}; // in shownFlags' order: the ESN and banner off
    for (size_t i = 0; i < std::size(shownFlags); ++i)
        EXPECT_EQ(S_OK, (control.Get()->*shownFlags[i].put)(values[i])) << shownFlags[i].name;
    ComPtr<IOleObject> object;
    ASSERT_EQ(S_OK, control.As(&object));
    SIZEL extent = {};
    ASSERT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, control.As(&persist));
    const ComPtr<IStream> stream = TestSupport::StreamOf({});
    ASSERT_EQ(S_OK, persist->Save(stream.Get(), TRUE));

    std::vector<BYTE> expected;
    const auto append = [&](DWORD value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            expected.push_back(BYTE(value >> 8 * i));
    };
    append(0x0C00, 4);
    append(extent.cx, 4);
    append(extent.cy, 4);
    // Phone type, ESN, port, server, number.
    for (const LONG value : {2, 0, 4, 5, 6}) {
        append(VT_I4, 2);
        append(value, 4);
    }
    EXPECT_EQ(expected, TestSupport::Contents(stream.Get()));
}

RECT RectInFace(HWND face, HWND child) {
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, face, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(PhoneServerCtrlTest, KeepsTheComboOneFieldHighAndLaysOutItsChildrenOnResize) {
    Activate();
    const auto window = [&](int id) {
        return id == Ctrl::labelId ? ::GetDlgItem(face, id) : Object().ChildSite(id)->Window();
    };
    LONG field = 0;
    ASSERT_EQ(S_OK, Object().Child<IOstrelServerCombo>(Ctrl::comboId)->get_drawSizeHeight(&field));
    const RECT label = RectInFace(face, window(Ctrl::labelId)),
               combo = RectInFace(face, window(Ctrl::comboId)),
               button = RectInFace(face, window(Ctrl::buttonId));
    EXPECT_EQ(field, combo.bottom - combo.top);

    ASSERT_EQ(S_OK, site->SetRect({0, 0, 700, 520}));
    RECT client = {};
    ::GetClientRect(face, &client);
    ASSERT_EQ(700, client.right);
    const int mx = 4 * ::GetSystemMetrics(SM_CXBORDER), my = 4 * ::GetSystemMetrics(SM_CYBORDER);
    const int labelHeight = label.bottom - label.top, comboWidth = combo.right - combo.left,
              buttonHeight = button.bottom - button.top;
    const struct {
        int id;
        RECT expected;
    } places[] = {
        {Ctrl::labelId, {mx, my, mx + label.right - label.left, my + labelHeight}},
        {Ctrl::comboId, {mx, my + labelHeight, mx + comboWidth, my + labelHeight + field}},
        {Ctrl::buttonId,
         {comboWidth + 2 * mx, my + labelHeight, comboWidth + 2 * mx + button.right - button.left,
          my + labelHeight + buttonHeight}},
        {Ctrl::listId, {mx, my + labelHeight + buttonHeight + 2 * my, client.right - mx, client.bottom}},
    };
    for (const auto& place : places)
        EXPECT_EQ(Text(place.expected), Text(RectInFace(face, window(place.id)))) << place.id;
}

} // namespace
