// The studio's turn stalled in the host's interpreter past the tick's bound,
// with the module's own scripts and scheduler: one script thread at a time,
// no call blocking the host past the bound, and teardowns that stay within
// it, on both host versions.
#include <gtest/gtest.h>

#include "tests/studio_session.h"
#include "tests/studio_stalls.h"

namespace {

const int kVersions[] = { 1, 2 };

std::string Stall(int64_t ms)
{
    return StallOnTheStudiosTurn(std::to_string(ms));
}

TEST(StudioStall, NoOtherScriptRunsUntilTheLateStudioTurnWaitsThenBothTakeTurns)
{
    for (int version : kVersions) {
        const RunResult one = RunSession(StudioScenario(version, Stall(kLateByAFewMs), 31000));
        EXPECT_EQ(LateStudioTurnFailures(one.trace, 1), "") << "version " << version;
        const RunResult two = RunSession(StudioScenario(version, Stall(kLateByAFewMs) + Stall(kLateAgainMs), 32000));
        EXPECT_EQ(LateStudioTurnFailures(two.trace, 2), "") << "version " << version << ", two stalls in a row";
    }
}

TEST(StudioStall, AReinitialisationOrShutdownDuringAStallStaysWithinTheBound)
{
    for (int version : kVersions)
        for (int64_t ms : { kBackWithinTheTeardownMs, kBackAfterTheTeardownMs }) {
            const std::string stall = std::to_string(ms);
            EXPECT_EQ(BootAfterReinitFailures(RunSession(TeardownDuringAStall(version, stall, "reinit")).trace), "")
                << "version " << version << ", stall " << ms;
            EXPECT_EQ(NothingAfterShutdownFailures(RunSession(TeardownDuringAStall(version, stall, "shutdown")).trace), "")
                << "version " << version << ", stall " << ms;
        }
}

// Each step of the late thread's script waits for it within the bound, and
// the re-initialisation leaves it where it is.
TEST(StudioStall, AStallThatNeverEndsKeepsTicksWithinTheBoundAndAReinitialisationStillBoots)
{
    const RunResult result = RunSession(StudioScenario(1, StallOnTheStudiosTurn("forever") + "at 28500 reinit\n", 30000));
    EXPECT_EQ(BootAfterReinitFailures(result.trace), "");
}

}  // namespace
