// What a dialog's handlers answer reaches whoever sent the message: most through
// DWLP_MSGRESULT, a few as the procedure's own return.
#include "framework/windows/Window.h"

#include <gtest/gtest.h>

namespace {

class Answering : public Fw::DialogImpl<Answering> {
public:
    HBRUSH OnColor(HDC, HWND) { return static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)); }
    int OnCompare(UINT, const COMPAREITEMSTRUCT*) { return -1; }
    int OnKeyToItem(UINT, UINT, HWND) { return -2; }
    int OnCharToItem(UINT, UINT, HWND) { return 3; }
    HICON OnQueryDragIcon() { return ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); }
    LRESULT OnNotify(NMHDR*) { return 5; }
    static inline const Fw::MessageEntry<Answering> messages[] = {
        Fw::OnMessage<WM_CTLCOLORSTATIC, &Answering::OnColor>(),
        Fw::OnMessage<WM_CTLCOLORDLG, &Answering::OnColor>(),
        Fw::OnMessage<WM_COMPAREITEM, &Answering::OnCompare>(),
        Fw::OnMessage<WM_VKEYTOITEM, &Answering::OnKeyToItem>(),
        Fw::OnMessage<WM_CHARTOITEM, &Answering::OnCharToItem>(),
        Fw::OnMessage<WM_QUERYDRAGICON, &Answering::OnQueryDragIcon>(),
        Fw::OnMessage<WM_NOTIFY, &Answering::OnNotify>(),
    };
};

TEST(DialogResult, EachHandlersAnswerReachesTheSender) {
    struct alignas(4) {
        DLGTEMPLATE header = {WS_POPUP, 0, 0, 0, 0, 100, 50};
        WORD menu = 0, windowClass = 0, title = 0;
    } empty;
    Answering dialog;
    ASSERT_NE(nullptr, dialog.CreateIndirect(nullptr, &empty.header));
    COMPAREITEMSTRUCT compare = {};
    NMHDR notice = {nullptr, 7, NM_CLICK};
    const struct {
        const char* name;
        UINT message;
        LPARAM lParam;
        LRESULT answer;
    } cases[] = {
        {"static colour", WM_CTLCOLORSTATIC, 0, reinterpret_cast<LRESULT>(::GetStockObject(GRAY_BRUSH))},
        {"dialog colour", WM_CTLCOLORDLG, 0, reinterpret_cast<LRESULT>(::GetStockObject(GRAY_BRUSH))},
        {"compare", WM_COMPAREITEM, reinterpret_cast<LPARAM>(&compare), -1},
        {"key to item", WM_VKEYTOITEM, 0, -2},
        {"char to item", WM_CHARTOITEM, 0, 3},
        {"drag icon", WM_QUERYDRAGICON, 0, reinterpret_cast<LRESULT>(::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)))},
        {"notification, through DWLP_MSGRESULT", WM_NOTIFY, reinterpret_cast<LPARAM>(&notice), 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.answer, dialog.Send(c.message, 0, c.lParam)) << c.name;
    dialog.Destroy();
}

} // namespace
