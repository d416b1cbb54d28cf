// The bench's steps across the universal marshaler: OstrelDeviceSim.exe must answer and announce
// every call as the server in this process does (SimModelTests), its events arriving on this
// thread.
#include "tests/devicesim/SimBench.h"
#include "tests/devicesim/SimulatorSession.h"
#include "tests/support/DeviceSimulator.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The server runs in a process of this build's bitness or of the other one: a 32-bit host's views
// talk to whatever server the machine runs, and the records carry the same fields either way. Each
// test meets a fresh instance.
class Marshaling : public TestSupport::EitherBitnessTest {
protected:
    void SetUp() override {
        EitherBitnessTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            session = std::make_unique<TestSupport::SimulatorSession>();
    }
    void TearDown() override {
        session.reset();
        if (handStarted) {
            EXPECT_TRUE(handStarted->Ended()) << "Exit reached another simulator than the one started by hand";
        }
    }

    std::unique_ptr<TestSupport::SimulatorSession> session;
};

TEST_P(Marshaling, BenchReadsAsInProcess) {
    SimBench::ExpectWalk(session->server, SimBench::Reads());
}

TEST_P(Marshaling, ChangesAnswerAndAnnounceAsInProcess) {
    SimBench::ExpectWalk(session->server, SimBench::Changes());
}

INSTANTIATE_TEST_SUITE_P(, Marshaling, TestSupport::kEitherBitness, TestSupport::serverBitness);

} // namespace
