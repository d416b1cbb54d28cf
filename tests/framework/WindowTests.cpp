// Message maps route each message to its typed handler; the list view wrappers reach the
// real control.
#include "foundation/Lang/Text.h"
#include "framework/windows/ListView.h"
#include "framework/windows/Window.h"

#include <gtest/gtest.h>

namespace {

// List view comparisons are stdcall callbacks on 32-bit Windows, which a lambda is not.
int CALLBACK DescendingByData(LPARAM first, LPARAM second, LPARAM) {
    return static_cast<int>(second - first);
}

constexpr UINT WM_PROBE_PRIVATE = WM_APP + 7;

class Recorder : public Fw::WindowImpl<Recorder> {
public:
    std::string log;

    void OnSize(UINT type, SIZE size) { log += Lang::Format("size %u %ldx%ld;", type, size.cx, size.cy); }
    void OnKeyDown(UINT key) {
        log += Lang::Format("key %u;", key);
        if (key != VK_F5)
            PassOn();
    }
    void OnContextMenu(HWND, POINT at) { log += Lang::Format("menu %ld,%ld;", at.x, at.y); }
    void OnSeven(UINT code, UINT id, HWND) { log += Lang::Format("command %u/%u;", id, code); }
    void OnEightDoubleClicked(UINT, UINT, HWND) { log += "eight double;"; }
    LRESULT OnItemChanged(NMHDR* header) {
        log += Lang::Format("changed from %u;", static_cast<unsigned>(header->idFrom));
        return 5;
    }
    void OnTimer(UINT_PTR id) { log += Lang::Format("timer %u;", static_cast<unsigned>(id)); }
    void OnDeviceChange(UINT event, DWORD_PTR) { log += Lang::Format("device %u;", event); }
    LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
        log += Lang::Format("private %u %ld;", static_cast<unsigned>(wParam), static_cast<long>(lParam));
        return 42;
    }
    void OnDestroy() { log += "destroy;"; }
    void OnEnable(bool enabled) { log += enabled ? "enabled;" : "disabled;"; }
    void OnSysColorChange() { log += "colors;"; }
    UINT OnGetDlgCode(UINT key, const MSG* message) {
        log += Lang::Format("dialog code %u for %u;", key, message ? message->message : 0u);
        return DLGC_WANTARROWS;
    }
    void OnLeftDoubleClick(UINT keys, POINT at) {
        log += Lang::Format("double %u %ld,%ld;", keys, at.x, at.y);
    }

    static inline const Fw::MessageEntry<Recorder> messages[] = {
        Fw::OnMessage<WM_SIZE, &Recorder::OnSize>(),
        Fw::OnMessage<WM_KEYDOWN, &Recorder::OnKeyDown>(),
        Fw::OnMessage<WM_CONTEXTMENU, &Recorder::OnContextMenu>(),
        Fw::OnCommand<7, &Recorder::OnSeven>(),
        Fw::OnCommand<8, BN_DOUBLECLICKED, &Recorder::OnEightDoubleClicked>(),
        Fw::OnNotify<LVN_ITEMCHANGED, &Recorder::OnItemChanged>(),
        Fw::OnMessage<WM_TIMER, &Recorder::OnTimer>(),
        Fw::OnMessage<WM_DEVICECHANGE, &Recorder::OnDeviceChange>(),
        Fw::OnMessage<WM_PROBE_PRIVATE, &Recorder::OnPrivate>(),
        Fw::OnMessage<WM_DESTROY, &Recorder::OnDestroy>(),
        Fw::OnMessage<WM_ENABLE, &Recorder::OnEnable>(),
        Fw::OnMessage<WM_SYSCOLORCHANGE, &Recorder::OnSysColorChange>(),
        Fw::OnMessage<WM_GETDLGCODE, &Recorder::OnGetDlgCode>(),
        Fw::OnMessage<WM_LBUTTONDBLCLK, &Recorder::OnLeftDoubleClick>(),
    };
};

// A handler must take exactly what its message's cracker gives; a system message is never
// taken raw.
struct Mistyped {
    void OnSize(UINT, POINT) {}
    LRESULT OnEnable(WPARAM, LPARAM) { return 0; }
};
static_assert(!Fw::HandlerOf<WM_SIZE, &Mistyped::OnSize>);
static_assert(!Fw::HandlerOf<WM_ENABLE, &Mistyped::OnEnable>);
static_assert(Fw::HandlerOf<WM_PROBE_PRIVATE, &Recorder::OnPrivate>);

struct RouteCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* heard;
    LRESULT result;
};

TEST(MessageMap, EachMessageReachesItsCrackedHandler) {
    Recorder window;
    ASSERT_NE(nullptr, window.Create(nullptr, {0, 0, 200, 100}, WS_OVERLAPPEDWINDOW));
    NMHDR changed = {nullptr, 31, LVN_ITEMCHANGED};
    NMHDR other = {nullptr, 31, LVN_COLUMNCLICK};
    MSG enter = {};
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    const RouteCase cases[] = {
        {"size", WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 45), "size 0 120x45;", 0},
        {"keyboard menu", WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1), "menu -1,-1;", 0},
        {"command by id", WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0, "command 7/0;", 0},
        {"command by id and code", WM_COMMAND, MAKEWPARAM(8, BN_DOUBLECLICKED), 0, "eight double;", 0},
        {"other code of 8 is not mapped", WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0, "", 0},
        {"notification by code", WM_NOTIFY, 31, reinterpret_cast<LPARAM>(&changed), "changed from 31;", 5},
        {"other notification code", WM_NOTIFY, 31, reinterpret_cast<LPARAM>(&other), "", 0},
        {"timer", WM_TIMER, 3, 0, "timer 3;", 0},
        {"device change answers TRUE", WM_DEVICECHANGE, 7, 0, "device 7;", TRUE},
        {"private message raw", WM_PROBE_PRIVATE, 9, -2, "private 9 -2;", 42},
        {"F5 handled", WM_KEYDOWN, VK_F5, 0, "key 116;", 0},
        {"enable", WM_ENABLE, TRUE, 0, "enabled;", 0},
        {"colours", WM_SYSCOLORCHANGE, 0, 0, "colors;", 0},
        {"dialog code answered", WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter),
         "dialog code 13 for 256;", DLGC_WANTARROWS},
        {"double click left of the window", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(-3, 40),
         "double 1 -3,40;", 0},
    };
    for (const RouteCase& c : cases) {
        window.log.clear();
        EXPECT_EQ(c.result, window.Send(c.message, c.wParam, c.lParam)) << c.name;
        EXPECT_EQ(c.heard, window.log) << c.name;
    }
    window.log.clear();
    window.Destroy();
    EXPECT_EQ("destroy;", window.log);
}

TEST(MessageMap, UnhandledAndPassedOnMessagesGetTheDefaultTreatment) {
    Recorder window;
    ASSERT_NE(nullptr, window.Create(nullptr, {0, 0, 200, 100}, WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(window.SetText("default procedure"));
    EXPECT_EQ("default procedure", window.Text());

    // A subclassed edit keeps its own behaviour for what the map passes on.
    Recorder edit;
    const HWND raw =
        ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, window.Handle(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit.Subclass(raw));
    EXPECT_FALSE(Recorder().Subclass(raw)) << "a window routes to one object";
    ::SendMessageA(raw, WM_CHAR, 'x', 0);
    edit.Send(WM_KEYDOWN, 'A');
    EXPECT_EQ("key 65;", edit.log);
    EXPECT_EQ("x", Fw::Window(raw).Text());
    EXPECT_EQ(raw, edit.Unsubclass());
    ::SendMessageA(raw, WM_KEYDOWN, 'B', 0);
    EXPECT_EQ("key 65;", edit.log) << "no message reaches the map after unsubclassing";
}

TEST(ListViewWrapper, RowsAreFoundByTheirValueAndLongTextsComeBackWhole) {
    Recorder parent;
    ASSERT_NE(nullptr, parent.Create(nullptr, {0, 0, 300, 200}, WS_OVERLAPPEDWINDOW));
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    const Fw::ListView list(::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 300, 200,
                                              parent.Handle(), reinterpret_cast<HMENU>(31), nullptr,
                                              nullptr));
    ASSERT_TRUE(list);
    EXPECT_EQ(0, list.InsertColumn(0, "Port", 70));
    EXPECT_EQ(1, list.InsertColumn(1, "State", 90));
    const std::string longText(300, 'w');
    for (int row = 0; row < 3; ++row)
        list.InsertItem(row, Lang::Format("COM%d", row + 1).c_str(), 100 + row);
    EXPECT_TRUE(list.SetItemText(2, 1, longText.c_str()));
    EXPECT_EQ(1, list.FindItem(101));
    EXPECT_EQ(-1, list.FindItem(7));
    EXPECT_EQ(longText, list.GetItemText(2, 1)) << "long texts are not cut";

    parent.log.clear();
    EXPECT_TRUE(list.SelectItem(1));
    EXPECT_EQ(1, list.SelectedItem());
    EXPECT_NE(std::string::npos, parent.log.find("changed from 31;")) << parent.log;

    list.SortItems(DescendingByData, 0);
    EXPECT_EQ("COM3", list.GetItemText(0, 0));
    EXPECT_EQ(0, list.FindItem(102));
}

} // namespace
