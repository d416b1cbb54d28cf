// Shared pointers, assertions, trace lines and array access of the support library.
#include "foundation/Lang/Assert.h"
#include "foundation/Lang/Trace.h"
#include "foundation/Mem/SharedPointer.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "ports/ZelkorProgress.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SharedPointer, SharesOneObjectAndEmptyAccessRaisesWithATraceLine) {
    TestSupport::TraceCapture trace;
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

TEST(Assertion, LoggedInsteadOfShownWhenConfigured) {
    TestSupport::TraceCapture trace;
    {
        const TestSupport::Scoped report(Lang::SetAssertionReport, Lang::AssertionReport::Log);
        const int zero = 0;
        OSTREL_ASSERT(zero == 1);
        OSTREL_ASSERT(zero == 0);
    }
    ASSERT_EQ(1u, trace.lines.size()) << "a holding assertion reports nothing";
    EXPECT_EQ(0u, trace.lines[0].find("Expression:  zero == 1\n"));
    EXPECT_NE(std::string::npos, trace.lines[0].find("   Function:\tTestBody\n"));
    EXPECT_EQ("\r\n", trace.lines[0].substr(trace.lines[0].size() - 2));
}

TEST(Assertion, ShownInAbortRetryIgnoreBoxAndIgnoreGoesOn) {
    TestSupport::ModalDriver driver;
    driver.Expect([](TestSupport::ModalDialog& box) { box.Click(IDIGNORE); });
    Lang::AssertionFailed("port != nullptr", "ports/PortItem.cpp", 7, "GetID");

    ASSERT_EQ(1u, driver.Seen().size());
    const TestSupport::DialogRecord& box = driver.Seen()[0];
    EXPECT_EQ("Assertion Failed", box.caption);
    EXPECT_EQ("Expression:  port != nullptr\n\nLocation:\t\t\n   File:\t\tports/PortItem.cpp\n   Line:\t\t7\n"
              "   Function:\tGetID\n\n(Retry to Debug)",
              box.message);
    EXPECT_EQ((std::vector<int>{IDABORT, IDRETRY, IDIGNORE}), box.buttons);
    EXPECT_EQ(TestSupport::DialogIcon::Stop, box.icon);
}

} // namespace

// A server's id array comes with a count of its own; only as many as both vouch for are read.
TEST(SafeArrayAccess, FirstReadsNoFurtherThanTheCountOrTheArray) {
    const Win32::UniqueSafeArray ids(::SafeArrayCreateVector(VT_I2, 0, 3));
    const Win32::SafeArrayAccess<short> access(ids.get());
    const struct {
        long count;
        size_t read;
    } cases[] = {{2, 2}, {3, 3}, {7, 3}, {0, 0}, {-1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.read, access.First(c.count).size()) << "count " << c.count;
    EXPECT_TRUE(Win32::SafeArrayAccess<short>(nullptr).First(4).empty()) << "a null array reads as empty";
}
