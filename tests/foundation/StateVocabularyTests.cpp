// Port view captions as the views show them. Port state texts, the display mask and the
// download modes are pinned where the port rows use them (PortRowRulesTests).
#include "foundation/StateVocabulary.h"
#include "framework/com/Module.h"

#include <gtest/gtest.h>

namespace {

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
