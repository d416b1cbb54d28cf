// The server combo and the browse button in the test container, heard through a dispatch sink
// advised on their connection points, the combo's names kept in a scratch key.
#include "connection/ComputerPicker.h"
#include "connection/ServerButton.h"
#include "connection/ServerCombo.h"
#include "framework/com/TypeLibrary.h"
#include "tests/connection/ScratchKey.h"
#include "tests/support/EventCounter.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Scoped.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// A script host's sink that also keeps each call's DISPID and string argument.
struct RecordingSink : TestSupport::EventCounter {
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        const bool text = parameters && parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_BSTR;
        calls.push_back(
            std::to_string(id) + " " +
            static_cast<const char*>(text ? _bstr_t(parameters->rgvarg[0].bstrVal) : _bstr_t("?")));
        return S_OK;
    }
    std::vector<std::string> calls;
};

// The control embedded, activated and advised with a sink on the connection point of Events.
template <class Events>
HWND Embed(TestSupport::TestContainer& container, IUnknown* control, RECT rect, RecordingSink& sink) {
    TestSupport::EmbedOptions options;
    options.rect = rect;
    TestSupport::ControlSite& site = container.Embed(control, options);
    EXPECT_EQ(S_OK, site.Activate());
    ComPtr<IConnectionPoint> point;
    ComPtr<IConnectionPointContainer> points;
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, control->QueryInterface(IID_PPV_ARGS(&points)));
    EXPECT_EQ(S_OK, points->FindConnectionPoint(__uuidof(Events), &point));
    EXPECT_EQ(S_OK, point->Advise(&sink, &cookie));
    return ::GetDlgItem(site.Window(), 1);
}

class ServerComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<COstrelServerCombo>::Create(nullptr, IID_PPV_ARGS(&control)));
        combo = Embed<_IOstrelServerComboEvents>(container, control.Get(), {0, 0, 200, 120}, sink);
        COMBOBOXINFO parts = {};
        parts.cbSize = sizeof parts;
        ASSERT_TRUE(::GetComboBoxInfo(combo, &parts));
        edit = parts.hwndItem;
        char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD length = sizeof name;
        ASSERT_TRUE(::GetComputerNameA(name, &length));
        computer = ::CharLowerA(name);
    }
    void TearDown() override {
        TestSupport::FlushMessages();
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (size_t i = 0; i < entries.size(); ++i) {
            char text[300] = {};
            ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries[i] = text;
        }
        return entries;
    }
    int Selection() const { return int(::SendMessageA(combo, CB_GETCURSEL, 0, 0)); }
    std::string Selected() const {
        _bstr_t name;
        EXPECT_EQ(S_OK, control->get_SelectedServer(name.GetAddress()));
        return name.length() ? std::string(name) : std::string();
    }

    const TestSupport::ScratchKey key{{{"Server1", REG_SZ, std::string("lab-rig\0", 8)},
                                       {"Server2", REG_SZ, std::string("Bench-02\0", 9)}}};
    const TestSupport::Scoped<CMRUServerList::Location> mru{CMRUServerList::SetDefaultLocation,
                                                            key.Location()};
    const std::vector<std::string> remembered = {"Server1=lab-rig", "Server2=Bench-02"};
    std::string computer;
    RecordingSink sink; // outlives the container, which lets the control and its sinks go
    TestSupport::TestContainer container;
    ComPtr<IOstrelServerCombo> control;
    HWND combo = nullptr;
    HWND edit = nullptr;
};

TEST_F(ServerComboTest, StartsWithThisComputerSelectedAndTheRememberedNamesAfterIt) {
    EXPECT_EQ((std::vector<std::string>{computer, "lab-rig", "Bench-02"}), Entries());
    EXPECT_EQ(0, Selection());
    EXPECT_EQ(computer, Selected());
}

TEST_F(ServerComboTest, APutSelectsAKnownNameOrAppendsAndRemembersANewOneWithoutFiring) {
    // In turn on one combo: each row's entry and value come after the earlier rows'.
    const struct {
        const char* name;
        int selection;
        const char* value; // written by the put, or none
    } puts[] = {{"Bench-02", 2, nullptr},
                {"far-host", 3, "Server3=far-host"},
                {"bench-02", 4, "Server4=bench-02"},
                {"bench-02", 4, nullptr}};
    std::vector<std::string> entries = Entries(), values = remembered;
    for (const auto& put : puts) {
        EXPECT_EQ(S_OK, control->put_SelectedServer(_bstr_t(put.name))) << put.name;
        if (put.value) {
            entries.push_back(put.name);
            values.push_back(put.value);
        }
        EXPECT_EQ(entries, Entries()) << put.name;
        EXPECT_EQ(put.selection, Selection()) << put.name;
        EXPECT_EQ(values, key.Values()) << put.name;
        EXPECT_EQ(put.name, Selected()) << put.name;
    }
    EXPECT_TRUE(sink.calls.empty());
    // A host may pass the empty name as a null text.
    EXPECT_EQ(S_OK, control->put_SelectedServer(nullptr));
    EXPECT_EQ("", Selected());
}

TEST_F(ServerComboTest, EnterOrTabFiresTheTypedNameOnceAndLeavesTheListAlone) {
    const std::vector<std::string> entries = Entries();
    for (const UINT keyCode : {VK_RETURN, VK_TAB}) {
        sink.calls.clear();
        ::SetWindowTextA(edit, "typed-host");
        MSG keyDown = {};
        keyDown.message = WM_KEYDOWN;
        keyDown.wParam = keyCode;
        EXPECT_TRUE(::SendMessageA(edit, WM_GETDLGCODE, keyCode, reinterpret_cast<LPARAM>(&keyDown)) &
                    DLGC_WANTMESSAGE)
            << keyCode << ": a dialog host would take the key";
        ::SendMessageA(edit, WM_KEYDOWN, keyCode, 0);
        ::SendMessageA(edit, WM_CHAR, keyCode == VK_RETURN ? '\r' : '\t', 0);
        EXPECT_EQ((std::vector<std::string>{"1 typed-host"}), sink.calls) << keyCode;
        EXPECT_EQ(entries, Entries()) << keyCode;
        EXPECT_EQ("typed-host", Selected()) << keyCode;
        EXPECT_EQ(remembered, key.Values()) << keyCode;
    }
}

TEST_F(ServerComboTest, PickingAnEntryFiresItsText) {
    // The arrow in the edit field moves the selection, as the drop-down list does.
    ::SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(1, Selection());
    EXPECT_EQ((std::vector<std::string>{"1 lab-rig"}), sink.calls);
    EXPECT_EQ("lab-rig", Selected());
}

TEST_F(ServerComboTest, KeepsTheWidthOfTheControlAndTheHeightOfItsField) {
    RECT before = {}, after = {};
    ::GetWindowRect(combo, &before);
    ::MoveWindow(::GetParent(combo), 0, 0, 310, 160, TRUE);
    ::GetWindowRect(combo, &after);
    EXPECT_EQ(310, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    LONG height = 0;
    EXPECT_EQ(S_OK, control->get_drawSizeHeight(&height));
    EXPECT_EQ(after.bottom - after.top +
                  2 * (::GetSystemMetrics(SM_CYEDGE) + ::GetSystemMetrics(SM_CYBORDER)),
              height);
}

// A picker that answers what the test says and keeps the titles it was shown with.
struct FakePicker : ComputerPicker {
    std::optional<std::string> answer;
    std::vector<std::string> titles;
    std::optional<std::string> Pick(HWND, const char* title) override {
        titles.push_back(title);
        return answer;
    }
};

TEST(ServerButton, APickFiresItsNameAndACancelFiresNothing) {
    FakePicker picker;
    const TestSupport::Scoped<ComputerPicker*> scopedPicker(SetComputerPicker, &picker);
    RecordingSink sink;
    TestSupport::TestContainer container;
    ComPtr<IOstrelServerButton> control;
    ASSERT_EQ(S_OK, Fw::Object<COstrelServerButton>::Create(nullptr, IID_PPV_ARGS(&control)));
    const HWND button = Embed<_IOstrelServerButtonEvents>(container, control.Get(), {0, 0, 90, 24}, sink);
    EXPECT_EQ("Browse...", Fw::Window(button).Text());
    const struct {
        std::optional<std::string> answer;
        int x; // where the button is released; 200 is off it, where no picker opens
        std::vector<std::string> calls;
        std::string lastChosen;
    } clicks[] = {
        {"far-host", 5, {"1 far-host"}, "far-host"}, {std::nullopt, 5, {}, ""}, {"elsewhere", 200, {}, ""}};
    for (const auto& click : clicks) {
        sink.calls.clear();
        picker.titles.clear();
        picker.answer = click.answer;
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.x, 5));
        ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(click.x, 5));
        const std::string row = click.answer.value_or("cancel");
        EXPECT_EQ(std::vector<std::string>(click.x < 90, "Select an OSTREL Server"), picker.titles) << row;
        EXPECT_EQ(click.calls, sink.calls) << row;
        EXPECT_EQ(click.lastChosen, static_cast<COstrelServerButton*>(control.Get())->LastChosen()) << row;
    }
    TestSupport::FlushMessages();
}

} // namespace
