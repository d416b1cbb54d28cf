// Shared pointers, assertions and trace lines of the support library.
#include "foundation/Lang/Assert.h"
#include "foundation/Lang/Trace.h"
#include "foundation/Mem/SharedPointer.h"
#include "ports/ZelkorProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Collects trace lines for the life of a test.
class TraceCapture {
public:
    TraceCapture()
        : m_previous(Lang::SetTraceSink([this](const char* line) { lines.emplace_back(line); })) {}
    ~TraceCapture() { Lang::SetTraceSink(std::move(m_previous)); }
    std::vector<std::string> lines;

private:
    Lang::TraceSink m_previous;
};

TEST(SharedPointer, SharesOneObjectAndEmptyAccessRaisesWithATraceLine) {
    TraceCapture trace;
    Mem::SharedPointer<ZelkorProgress> first(new ZelkorProgress);
    const Mem::SharedPointer<ZelkorProgress> second = first;
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(2, first.useCount());
    first.reset();
    EXPECT_EQ(1, second.useCount());
    EXPECT_TRUE(trace.lines.empty());

    const char* location = "Mem/SharedPointer(114) : Mem::SharedPointer<class ZelkorProgress>::operator ->";
    try {
        first->Window();
        FAIL() << "no exception";
    } catch (const Lang::NullPointerException& exception) {
        EXPECT_STREQ("NULL class ZelkorProgress pointer", exception.what());
        EXPECT_EQ(location, exception.GetContext());
    }
    ASSERT_EQ(1u, trace.lines.size());
    EXPECT_EQ(std::string(location) + ": Throwing Lang::NullPointerException(typeid(_PT))\r\n",
              trace.lines[0]);
    EXPECT_THROW(*first, Lang::NullPointerException) << "operator* checks too";
}

TEST(Assertion, MessageLayout) {
    EXPECT_EQ("Expression:  count > 0\n\nLocation:\t\t\n   File:\t\tports/PortList.cpp\n   Line:\t\t42\n"
              "   Function:\tRefreshPort\n\n(Retry to Debug)",
              Lang::AssertionMessage("count > 0", "ports/PortList.cpp", 42, "RefreshPort"));
}

TEST(Assertion, LoggedInsteadOfShownWhenConfigured) {
    TraceCapture trace;
    const Lang::AssertionReport previous = Lang::SetAssertionReport(Lang::AssertionReport::Log);
    const int zero = 0;
    OSTREL_ASSERT(zero == 1);
    OSTREL_ASSERT(zero == 0);
    Lang::SetAssertionReport(previous);
    ASSERT_EQ(1u, trace.lines.size()) << "a holding assertion reports nothing";
    EXPECT_EQ(0u, trace.lines[0].find("Expression:  zero == 1\n"));
    EXPECT_NE(std::string::npos, trace.lines[0].find("   Function:\tTestBody\n"));
    EXPECT_EQ("\r\n", trace.lines[0].substr(trace.lines[0].size() - 2));
}

// The message box is read and answered from a thread timer started when it activates:
// its children are not all there yet at activation.
struct SeenBox {
    std::string caption, text;
    bool abortRetryIgnore = false, stopIcon = false;
};
SeenBox g_seen;
HHOOK g_hook;
HWND g_box;

BOOL CALLBACK FindStopIcon(HWND child, LPARAM) {
    const HICON icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && icon)
        g_seen.stopIcon = icon == ::LoadIconA(nullptr, IDI_HAND);
    return TRUE;
}

void CALLBACK ReadAndIgnore(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    char text[1024] = {};
    ::GetWindowTextA(g_box, text, sizeof text);
    g_seen.caption = text;
    ::GetDlgItemTextA(g_box, 0xFFFF, text, sizeof text);
    g_seen.text = text;
    g_seen.abortRetryIgnore =
        ::GetDlgItem(g_box, IDABORT) && ::GetDlgItem(g_box, IDRETRY) && ::GetDlgItem(g_box, IDIGNORE);
    ::EnumChildWindows(g_box, FindStopIcon, 0);
    ::PostMessageA(g_box, WM_COMMAND, MAKEWPARAM(IDIGNORE, BN_CLICKED), 0);
}

LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !g_box) {
        char className[32] = {};
        ::GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        if (std::string(className) == "#32770") {
            g_box = reinterpret_cast<HWND>(wParam);
            ::SetTimer(nullptr, 0, 100, ReadAndIgnore);
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST(Assertion, ShownInAbortRetryIgnoreBoxAndIgnoreGoesOn) {
    g_hook = ::SetWindowsHookExA(WH_CBT, WatchForBox, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, g_hook);
    Lang::AssertionFailed("port != nullptr", "ports/PortItem.cpp", 7, "GetID");
    ::UnhookWindowsHookEx(g_hook);

    EXPECT_EQ("Assertion Failed", g_seen.caption);
    EXPECT_EQ(Lang::AssertionMessage("port != nullptr", "ports/PortItem.cpp", 7, "GetID"), g_seen.text);
    EXPECT_TRUE(g_seen.abortRetryIgnore);
    EXPECT_TRUE(g_seen.stopIcon);
}

} // namespace
