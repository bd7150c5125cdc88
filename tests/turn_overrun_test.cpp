// A turn that runs past the tick's bound: the host goes on after 1000 ms, but
// the thread is not resumed again before its late yield has come, so no
// command is ever sent outside its own script's tick and both scripts go on
// taking turns. Not a Scheduler test: while the late turn runs, the host
// runs too, on purpose, which ThreadSanitizer would rightly report.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "hostsim/direct/direct_binding.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"

namespace {

const CommandDescriptor kTurnMark = { 0x03A4, "s" };
const int kTurnThatOverruns = 20;

// A turn that takes a little while before it sends anything, well within the
// bound: a thread that ran while it should not would send its mark while the
// host is elsewhere.
void TakeATurn(const char* mark)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    CallCommand(kTurnMark, mark);
}

void ChildTakesTurns(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;) {
        TakeATurn("CHILD");
        WaitMs(self, 0);
    }
}

// Holds one turn for 1200 ms: a debugger, a slow thread start or a scanner
// pausing the process.
void OverrunsOnce(ScriptThread* self)
{
    WaitForFirstTurn(self);
    SpawnScriptThread(ChildTakesTurns);
    for (int turn = 1;; ++turn) {
        TakeATurn("BOOT");
        if (turn == kTurnThatOverruns)
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        WaitMs(self, 0);
    }
}

TEST(TurnOverrun, TheLateThreadIsResumedOnlyAfterItsYieldAndNothingRunsOutsideItsTick)
{
    const RunResult result = RunRoutine(OverrunsOnce, "frame 20\nend 2000\n");
    // The engine reports any command outside a tick of its own script, and
    // any call that blocks the host for over 1500 ms.
    ASSERT_EQ(Errors(result.trace), "");

    // Each script sends its mark and its wait in every one of its turns, one
    // turn a frame, the late one too: nothing is lost or sent twice.
    std::vector<int64_t> bootTurns, childTurns;
    for (const TraceRecord& command : CommandsWithId(result.trace, 0x03A4))
        (command.script == 0 ? bootTurns : childTurns).push_back(command.t);
    ASSERT_EQ(bootTurns.size(), 100u);  // frames 20 to 2000
    ASSERT_EQ(childTurns.size(), 99u);  // from the frame after its start
    for (size_t n = 0; n < bootTurns.size(); ++n)
        EXPECT_EQ(bootTurns[n], static_cast<int64_t>(20 * (n + 1))) << "boot turn " << n;
    for (size_t n = 0; n < childTurns.size(); ++n)
        EXPECT_EQ(childTurns[n], static_cast<int64_t>(20 * (n + 2))) << "child turn " << n;
    EXPECT_EQ(CommandsWithId(result.trace, 0x0001).size(), bootTurns.size() + childTurns.size());
    EXPECT_EQ(scheduler.scriptThreadList.owesYield, 0);
}

// A routine that spawns its child from a heap block that just held garbage.
void SpawnsFromAReusedBlock(ScriptThread* self)
{
    WaitForFirstTurn(self);
    void* junk = ::operator new(sizeof(ScriptThread));
    memset(junk, 0xFF, sizeof(ScriptThread));
    ::operator delete(junk);
    SpawnScriptThread(ChildTakesTurns);
    for (;;)
        WaitMs(self, 0);
}

TEST(TurnOverrun, ANewThreadOwesNothingWhateverItsMemoryHeldBefore)
{
    const RunResult result = RunRoutine(SpawnsFromAReusedBlock, "frame 20\nend 100\n");
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<TraceRecord> child = CommandsWithId(result.trace, 0x03A4);
    ASSERT_FALSE(child.empty());
    // Resumed on the first step of its host script, not held back for a
    // yield it never owed.
    EXPECT_EQ(child[0].t, 40);
    EXPECT_EQ(child.size(), 4u);
}

}  // namespace
