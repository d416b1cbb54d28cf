// The server combo and the browse button in the test container, heard through a dispatch sink
// advised on their connection points, the combo's names kept in a scratch key.
#include "connection/ComputerPicker.h"
#include "connection/ServerButton.h"
#include "connection/ServerCombo.h"
#include "framework/com/TypeLibrary.h"
#include "tests/connection/ScratchKey.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Scoped.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// What a script host's sink hears: each call's DISPID and its one string argument.
class RecordingSink : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch)
            return *ppv = nullptr, E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        std::string call = std::to_string(id);
        for (UINT i = 0; parameters && i < parameters->cArgs; ++i)
            call += parameters->rgvarg[i].vt == VT_BSTR
                        ? " " + std::string(_bstr_t(parameters->rgvarg[i].bstrVal))
                        : " (vt " + std::to_string(parameters->rgvarg[i].vt) + ")";
        calls.push_back(call);
        return S_OK;
    }

    std::vector<std::string> calls;
};

// Advises the sink on the control's connection point for Events.
template <class Events>
void Advise(IUnknown* control, RecordingSink& sink) {
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_PPV_ARGS(&points)));
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, points->FindConnectionPoint(__uuidof(Events), &point));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
}

std::string LowerComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof name;
    ::GetComputerNameA(name, &length);
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

class ServerComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<COstrelServerCombo>::Create(nullptr, IID_PPV_ARGS(&control)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 200, 120};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        combo = ::GetDlgItem(site->Window(), COstrelServerCombo::comboId);
        ASSERT_TRUE(combo);
        COMBOBOXINFO parts = {};
        parts.cbSize = sizeof parts;
        ASSERT_TRUE(::GetComboBoxInfo(combo, &parts));
        edit = parts.hwndItem;
        Advise<_IOstrelServerComboEvents>(control.Get(), sink);
    }
    void TearDown() override {
        TestSupport::FlushMessages();
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (LRESULT i = 0, count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0); i < count; ++i) {
            char text[300] = {};
            ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
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
    const std::string computer = LowerComputerName();
    TestSupport::TestContainer container;
    TestSupport::ControlSite* site = nullptr;
    ComPtr<IOstrelServerCombo> control;
    HWND combo = nullptr;
    HWND edit = nullptr;
    RecordingSink sink;
};

TEST_F(ServerComboTest, StartsWithThisComputerSelectedAndTheRememberedNamesAfterIt) {
    ASSERT_FALSE(computer.empty());
    EXPECT_EQ((std::vector<std::string>{computer, "lab-rig", "Bench-02"}), Entries());
    EXPECT_EQ(0, Selection());
    EXPECT_EQ(computer, Selected());
    EXPECT_TRUE(sink.calls.empty());
}

struct PutCase {
    const char* name;
    int selection;
    std::vector<std::string> added; // after the three entries of the start
    std::vector<std::string> values;
};

const PutCase putCases[] = {
    {"Bench-02", 2, {}, {"Server1=lab-rig", "Server2=Bench-02"}},
    {"bench-02", 3, {"bench-02"}, {"Server1=lab-rig", "Server2=Bench-02", "Server3=bench-02"}},
    {"far-host", 3, {"far-host"}, {"Server1=lab-rig", "Server2=Bench-02", "Server3=far-host"}},
};

TEST_F(ServerComboTest, APutSelectsAKnownNameOrAppendsAndRemembersANewOneWithoutFiring) {
    const std::vector<std::string> start = Entries();
    for (const PutCase& c : putCases) {
        // A fresh list for each row: the earlier rows' names must not be found.
        const TestSupport::ScratchKey rowKey{{{"Server1", REG_SZ, std::string("lab-rig\0", 8)},
                                              {"Server2", REG_SZ, std::string("Bench-02\0", 9)}}};
        const TestSupport::Scoped<CMRUServerList::Location> rowMru{CMRUServerList::SetDefaultLocation,
                                                                   rowKey.Location()};
        ComPtr<IOstrelServerCombo> fresh;
        ASSERT_EQ(S_OK, Fw::Object<COstrelServerCombo>::Create(nullptr, IID_PPV_ARGS(&fresh)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 200, 120};
        TestSupport::ControlSite& freshSite = container.Embed(fresh.Get(), options);
        ASSERT_EQ(S_OK, freshSite.Activate());
        RecordingSink freshSink;
        Advise<_IOstrelServerComboEvents>(fresh.Get(), freshSink);
        combo = ::GetDlgItem(freshSite.Window(), COstrelServerCombo::comboId);

        EXPECT_EQ(S_OK, fresh->put_SelectedServer(_bstr_t(c.name))) << c.name;
        std::vector<std::string> entries = start;
        entries.insert(entries.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(entries, Entries()) << c.name;
        EXPECT_EQ(c.selection, Selection()) << c.name;
        EXPECT_EQ(c.values, rowKey.Values()) << c.name;
        _bstr_t selected;
        EXPECT_EQ(S_OK, fresh->get_SelectedServer(selected.GetAddress()));
        EXPECT_EQ(std::string(c.name), std::string(selected)) << c.name;
        EXPECT_TRUE(freshSink.calls.empty()) << c.name;
        freshSite.Close();
    }
}

TEST_F(ServerComboTest, EnterOrTabFiresTheTypedNameOnceAndLeavesTheListAlone) {
    for (const UINT keyCode : {VK_RETURN, VK_TAB}) {
        sink.calls.clear();
        ::SetWindowTextA(edit, "typed-host");
        MSG keyDown = {};
        keyDown.hwnd = edit;
        keyDown.message = WM_KEYDOWN;
        keyDown.wParam = keyCode;
        EXPECT_TRUE(::SendMessageA(edit, WM_GETDLGCODE, keyCode, reinterpret_cast<LPARAM>(&keyDown)) &
                    DLGC_WANTMESSAGE)
            << keyCode << ": a dialog host would take the key";
        ::SendMessageA(edit, WM_KEYDOWN, keyCode, 0);
        ::SendMessageA(edit, WM_CHAR, keyCode == VK_RETURN ? '\r' : '\t', 0);
        EXPECT_EQ((std::vector<std::string>{"1 typed-host"}), sink.calls) << keyCode;
        EXPECT_EQ((std::vector<std::string>{computer, "lab-rig", "Bench-02"}), Entries()) << keyCode;
        EXPECT_EQ("typed-host", Selected()) << keyCode;
        EXPECT_EQ((std::vector<std::string>{"Server1=lab-rig", "Server2=Bench-02"}), key.Values()) << keyCode;
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
    RECT before = {};
    ::GetWindowRect(combo, &before);
    const LONG field = before.bottom - before.top;
    ASSERT_EQ(S_OK, site->SetRect({0, 0, 310, 160}));
    RECT after = {};
    ::GetWindowRect(combo, &after);
    EXPECT_EQ(310, after.right - after.left);
    EXPECT_EQ(field, after.bottom - after.top);
    LONG height = 0;
    EXPECT_EQ(S_OK, control->get_drawSizeHeight(&height));
    EXPECT_EQ(field + 2 * (::GetSystemMetrics(SM_CYEDGE) + ::GetSystemMetrics(SM_CYBORDER)), height);
}

// A picker that answers what the test says and remembers how it was asked.
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
    TestSupport::TestContainer container;
    ComPtr<IOstrelServerButton> control;
    ASSERT_EQ(S_OK, Fw::Object<COstrelServerButton>::Create(nullptr, IID_PPV_ARGS(&control)));
    TestSupport::EmbedOptions options;
    options.rect = {0, 0, 90, 24};
    TestSupport::ControlSite& site = container.Embed(control.Get(), options);
    ASSERT_EQ(S_OK, site.Activate());
    const HWND button = ::GetDlgItem(site.Window(), COstrelServerButton::buttonId);
    ASSERT_TRUE(button);
    EXPECT_EQ("Browse...", Fw::Window(button).Text());
    RecordingSink sink;
    Advise<_IOstrelServerButtonEvents>(control.Get(), sink);
    const auto& object = *static_cast<COstrelServerButton*>(control.Get());

    struct Click {
        std::optional<std::string> answer;
        POINT at;
        std::vector<std::string> calls;
        std::string lastChosen;
    };
    const Click clicks[] = {
        {"far-host", {5, 5}, {"1 far-host"}, "far-host"},
        {std::nullopt, {5, 5}, {}, ""},
        {"elsewhere", {200, 5}, {}, ""}, // released off the button: no picker
    };
    for (const Click& click : clicks) {
        sink.calls.clear();
        picker.titles.clear();
        picker.answer = click.answer;
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.at.x, click.at.y));
        ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(click.at.x, click.at.y));
        const bool onButton = click.at.x < 90;
        EXPECT_EQ(onButton ? std::vector<std::string>{"Select an OSTREL Server"} : std::vector<std::string>{},
                  picker.titles)
            << click.answer.value_or("cancel");
        EXPECT_EQ(click.calls, sink.calls) << click.answer.value_or("cancel");
        EXPECT_EQ(click.lastChosen, object.LastChosen()) << click.answer.value_or("cancel");
    }
    site.Close();
    TestSupport::FlushMessages();
    control.Reset();
    Fw::TypeLibrary::Release();
}

} // namespace
