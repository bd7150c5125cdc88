// The studio's turn stalled in the host's interpreter past the tick's bound,
// with the module's own scripts and scheduler: one script thread at a time,
// no call blocking the host past the bound, and teardowns that stay within
// it, on both host versions.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "tests/late_turn_search.h"
#include "tests/module_level.h"
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
// every late turn, is ten times as long. A stall covers about its ms of the
// run, so each run ends as long after its stalls.
const int64_t kOneStallEndsAt = kStudioTurnAt + kLateByAFewMs + 1290;
const int64_t kTwoStallsEndAt = kStudioTurnAt + kLateByAFewMs + kLateAgainMs + 1090;

TEST(StudioStall, NoOtherScriptRunsUntilTheLateStudioTurnWaitsThenBothTakeTurns)
{
    for (int version : kVersions)
        EXPECT_EQ(
            LateStudioTurnFailures(RunSession(StudioScenario(version, Stall(kLateByAFewMs), kOneStallEndsAt)).trace, 1),
            "")
            << "version " << version;
}

TEST(StudioStall, TwoLateCommandsInARowNeverBlockTheHostPastTheBound)
{
    for (int version : kVersions) {
        const RunResult run =
            RunSession(StudioScenario(version, Stall(kLateByAFewMs) + Stall(kLateAgainMs), kTwoStallsEndAt));
        EXPECT_EQ(LateStudioTurnFailures(run.trace, 2), "") << "version " << version;
    }
}

TEST(StudioStall, ALateTurnGoesOnOnlyInsideATickOfItsScript)
{
    for (int version : kVersions) {
        const RunResult run =
            RunSession(StudioScenario(version, Stall(kLateByAFewMs) + HostBusyAsTheStallEnds(), kOneStallEndsAt));
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

// --- Quitting to the menu and loading a game while a command is slow --------
// Natively the host version changes nothing, and no thread is ever killed:
// these show the waits, the counts and the host's checks.

std::string RunFailures(const std::string& scenario)
{
    return LateTurnSearchFailures(RunSession(scenario).trace);
}

TEST(StudioStall, AReinitialisationAfterAShutdownLeavesTheStalledCommandToComeBack)
{
    EXPECT_EQ(RunFailures(ReinitAfterAShutdownInAStall(1)), "");
    EXPECT_EQ(RunFailures(TeardownsInQuickSuccessionInAHostLockStall(1)), "") << "in quick succession";
}

// The module's own binding, counting its heap, with each re-initialisation
// call timed.
EngineBinding counted;
int64_t longestReinitMs = 0;

void TimedReinit()
{
    const auto start = std::chrono::steady_clock::now();
    counted.reinit();
    const int64_t ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    longestReinitMs = std::max(longestReinitMs, ms);
}

RunResult RunCounted(const std::string& text)
{
    Scenario scenario;
    std::string problem;
    EXPECT_TRUE(ParseScenario(text, &scenario, &problem)) << problem;
    EngineBinding timed = counted;
    timed.reinit = TimedReinit;
    longestReinitMs = 0;
    ReinitScripts();
    return RunHost(scenario, timed);
}

class StudioStallLevel : public testing::Test {
protected:
    void SetUp() override
    {
        AttachDirectHost();
        counted = CountingDirectBinding();
        oneBoot = LevelAfterOneMoreBoot(counted);
    }
    // Once the run's threads have ended, one more boot is back at one boot's level.
    std::string LevelFailures()
    {
        const ModuleLevel after = LevelAfterOneMoreBoot(counted, &oneBoot);
        return after == oneBoot ? "" : "after one more boot: " + Describe(after) + ", not " + Describe(oneBoot);
    }
    ModuleLevel oneBoot;
};

TEST_F(StudioStallLevel, AReinitialisationDoesNotWaitOnAParkedLateThread)
{
    const RunResult run = RunCounted(ReinitOnAParkedLateThread(1));
    EXPECT_EQ(LateTurnSearchFailures(run.trace), "");
    EXPECT_LT(longestReinitMs, kReinitWithoutWaitingMs);
    EXPECT_EQ(LevelFailures(), "");
}

TEST_F(StudioStallLevel, AThreadLeftBehindIsReleasedOnceItHasEnded)
{
    for (const char* teardown : { "reinit", "shutdown" }) {
        const RunResult run = RunCounted(TeardownDuringAStall(1, std::to_string(kBackAfterTheTeardownMs), teardown));
        EXPECT_EQ(LateTurnSearchFailures(run.trace), "") << teardown;
        EXPECT_EQ(LevelFailures(), "") << teardown;
    }
}

// Once the tick has waited the bound, the game goes on at its pace; the host
// reports calls that block it past the bound within any 5 s.
TEST(StudioStall, ACommandThatNeverComesBackCostsTheGameOneBound)
{
    for (bool teardowns : { false, true }) {
        const auto start = std::chrono::steady_clock::now();
        const RunResult run = RunSession(CommandNeverBack(1, teardowns));
        const int64_t ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(LateTurnSearchFailures(run.trace), "") << (teardowns ? "with teardowns" : "alone");
        // The game's clock keeps pace with real time from the stall on.
        EXPECT_LT(ms, kAfterNeverBackMs + 2 * kTickBoundMs) << (teardowns ? "with teardowns" : "alone");
    }
}

TEST(StudioStall, AFifthBootWhileFourThreadsAreAwaySharesNoBridgeWithThem)
{
    EXPECT_EQ(RunFailures(FifthBootWithFourThreadsAway(1)), "");
}

TEST(StudioStall, AReinitialisationFromASecondHostThreadInsideALateTickBootsAgain)
{
    for (int64_t ms : { kLateByAFewMs, kBackAfterTheTeardownMs })
        EXPECT_EQ(RunFailures(ReinitFromASecondThreadInALateTick(1, std::to_string(ms))), "") << "stall " << ms;
}

}  // namespace
