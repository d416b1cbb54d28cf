// A windowless control tells the view sink its container advised of each change of its face,
// as the advise flags ask.
#include "tests/support/ProbeControl.h"
#include "tests/support/ProbeSite.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

using namespace TestSupport;
using Microsoft::WRL::ComPtr;

namespace {

TEST(ViewAdvise, FlagsPrimeTheSinkOrLetItGoAfterOneNotice) {
    const struct {
        const char* name;
        DWORD flags;
        int atOnce;
        int afterTwoChanges;
        bool keptAfter;
    } cases[] = {
        {"no flags", 0, 0, 2, true},
        {"prime first", ADVF_PRIMEFIRST, 1, 3, true},
        {"only once", ADVF_ONLYONCE, 0, 1, false},
        {"prime first, only once", ADVF_PRIMEFIRST | ADVF_ONLYONCE, 1, 1, false},
    };
    for (const auto& c : cases) {
        ComPtr<IProbeControl> control;
        ASSERT_EQ(S_OK, Fw::Object<ProbeControl>::Create(nullptr, IID_PPV_ARGS(&control)));
        ComPtr<IViewObject> view;
        ASSERT_EQ(S_OK, control.As(&view));
        Site site({0, 0, 10, 10});
        EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, c.flags, &site)) << c.name;
        EXPECT_EQ(c.atOnce, site.viewChanges) << c.name;
        control->put_Flag5(0);
        control->put_Flag5(1);
        EXPECT_EQ(c.afterTwoChanges, site.viewChanges) << c.name;
        ComPtr<IAdviseSink> sink;
        view->GetAdvise(nullptr, nullptr, &sink);
        EXPECT_EQ(c.keptAfter, sink != nullptr) << c.name;
    }
    Fw::TypeLibrary::Release();
}

} // namespace
