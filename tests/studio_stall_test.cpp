// The studio's turn stalled in the host's interpreter past the tick's bound,
// with the module's own scripts and scheduler: one script thread at a time,
// no call blocking the host past the bound, and teardowns that stay within
// it, on both host versions.
#include <gtest/gtest.h>

#include "tests/studio_session.h"
#include "tests/studio_stalls.h"

using namespace hostsim;

namespace {

const int kVersions[] = { 1, 2 };

std::string Stall(int64_t ms)
{
    return StallOnTheStudiosTurn(std::to_string(ms));
}

// Each case a test of its own: in the sanitizer builds the bound, and so
// every late turn, is ten times as long.

TEST(StudioStall, NoOtherScriptRunsUntilTheLateStudioTurnWaitsThenBothTakeTurns)
{
    for (int version : kVersions)
        EXPECT_EQ(LateStudioTurnFailures(RunSession(StudioScenario(version, Stall(kLateByAFewMs), 31000)).trace, 1), "")
            << "version " << version;
}

TEST(StudioStall, TwoLateCommandsInARowNeverBlockTheHostPastTheBound)
{
    for (int version : kVersions) {
        const RunResult run = RunSession(StudioScenario(version, Stall(kLateByAFewMs) + Stall(kLateAgainMs), 32000));
        EXPECT_EQ(LateStudioTurnFailures(run.trace, 2), "") << "version " << version;
    }
}

TEST(StudioStall, ALateTurnGoesOnOnlyInsideATickOfItsScript)
{
    for (int version : kVersions) {
        const RunResult run =
            RunSession(StudioScenario(version, Stall(kLateByAFewMs) + HostBusyAsTheStallEnds(), 31000));
        EXPECT_EQ(LateStudioTurnFailures(run.trace, 1), "") << "version " << version;
    }
}

std::string TeardownFailures(const std::string& teardown, int64_t stallMs)
{
    std::string failures;
    for (int version : kVersions) {
        const RunResult run = RunSession(TeardownDuringAStall(version, std::to_string(stallMs), teardown));
        const std::string found =
            teardown == "reinit" ? BootAfterReinitFailures(run.trace) : NothingAfterShutdownFailures(run.trace);
        if (!found.empty())
            failures += "version " + std::to_string(version) + ":\n" + found;
    }
    return failures;
}

TEST(StudioStall, AReinitialisationDuringAStallThatComesBackWithinTheTeardownBootsAgain)
{
    EXPECT_EQ(TeardownFailures("reinit", kBackWithinTheTeardownMs), "");
}

TEST(StudioStall, AReinitialisationDuringAStallThatOutlastsTheTeardownBootsAgain)
{
    EXPECT_EQ(TeardownFailures("reinit", kBackAfterTheTeardownMs), "");
}

TEST(StudioStall, AShutdownDuringAStallThatComesBackWithinTheTeardownSendsNothingMore)
{
    EXPECT_EQ(TeardownFailures("shutdown", kBackWithinTheTeardownMs), "");
}

TEST(StudioStall, AShutdownDuringAStallThatOutlastsTheTeardownSendsNothingMore)
{
    EXPECT_EQ(TeardownFailures("shutdown", kBackAfterTheTeardownMs), "");
}

// Each step of the late thread's script waits for it within the bound, and
// the re-initialisation leaves it where it is.
TEST(StudioStall, AStallThatNeverEndsKeepsTicksWithinTheBoundAndAReinitialisationStillBoots)
{
    const std::string events = StallOnTheStudiosTurn("forever") + "at " + std::to_string(kTeardownAt) + " reinit\n";
    EXPECT_EQ(BootAfterReinitFailures(RunSession(StudioScenario(1, events, 30000)).trace), "");
}

}  // namespace
