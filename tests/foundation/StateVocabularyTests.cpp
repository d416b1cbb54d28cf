// Port states and phone modes as the rows and filters show them.
#include "foundation/StateVocabulary.h"
#include "framework/Module.h"

#include <gtest/gtest.h>

namespace {

std::string StateText(long code) {
    return Fw::Module::Current().String(PortStateTextId(code));
}

TEST(PortStateVocabulary, TextOfEveryCode) {
    struct Case {
        long code;
        const char* text;
    };
    const Case cases[] = {
        {1, "Not Available"}, {2, "Enabled"}, {4, "Pending"},  {8, "Disabled"}, {16, "Waiting"},
        {0, "Unknown"},       {3, "Unknown"}, {32, "Unknown"}, {-1, "Unknown"}, {0x10002, "Unknown"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, StateText(c.code)) << "state " << c.code;
}

TEST(PortStateVocabulary, DisplayMaskShowsStatesSharingABit) {
    struct Case {
        long state;
        unsigned long mask;
        bool shown;
    };
    const Case cases[] = {
        {0, defaultDisplayMask, false},
        {0, 0xFFFF, false},
        {2, 0, false},
        {16, 0, false},
        {2, 2, true},
        {8, 2, false},
        {2, 10, true},
        {8, 10, true},
        {4, 10, false},
        {3, 1, true},
        {3, 2, true},
        {3, 4, false},
        {16, defaultDisplayMask, true},
        {-1, defaultDisplayMask, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, IsShownByDisplayMask(c.state, c.mask))
            << "state " << c.state << " mask " << c.mask;
}

TEST(PhoneModeVocabulary, DownloadModes) {
    for (long mode = -1; mode <= 20; ++mode)
        EXPECT_EQ(mode == 2 || mode == 6 || mode == 12, IsDownloadMode(mode)) << "mode " << mode;
}

TEST(PortViewVocabulary, CaptionOfEveryState) {
    const char* const captions[] = {"No Ports Active", "No Phone Connected", "Phone in Download Mode",
                                    nullptr, "Port not available"};
    for (long state = 0; state <= 4; ++state) {
        if (captions[state])
            EXPECT_EQ(captions[state], Fw::Module::Current().String(PortViewCaptionId(state))) << state;
        else
            EXPECT_EQ(0u, PortViewCaptionId(state)) << "a connected phone names itself";
    }
    EXPECT_EQ(0u, PortViewCaptionId(5));
    EXPECT_EQ("", Fw::Module::Current().String(0));
}

} // namespace
