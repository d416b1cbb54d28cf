// What a control tells its container of its keyboard: a container gives Enter and Esc to its
// default and cancel buttons unless the control says it takes them.
#include "tests/support/ProbeControl.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;
using TestSupport::ProbeControl;

namespace {

TEST(ControlInfo, EnterAndEscapeAreFlaggedWhenTheControlTakesThem) {
    const struct {
        UINT key;
        DWORD flags;
    } cases[] = {{0, 0}, {VK_RETURN, CTRLINFO_EATS_RETURN}, {VK_ESCAPE, CTRLINFO_EATS_ESCAPE}};
    for (const auto& c : cases) {
        ComPtr<IOleControl> control;
        ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control)));
        static_cast<ProbeControl*>(static_cast<Fw::OleControl*>(control.Get()))->ownKey = c.key;
        CONTROLINFO info = {};
        info.cb = sizeof(info);
        ASSERT_EQ(S_OK, control->GetControlInfo(&info)) << c.key;
        EXPECT_EQ(c.flags, info.dwFlags) << c.key;
    }
    Fw::TypeLibrary::Release();
}

} // namespace
