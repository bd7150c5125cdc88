// Turn-taking between the host's tick and the script threads, on the real
// scheduler against the substitute host.
#include <gtest/gtest.h>

#include "game/command_catalogue.h"
#include "hostsim/direct/direct_binding.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

namespace {

// Plain state shared by the script threads and the host's thread: the turn
// is its only protection, so ThreadSanitizer sees any overlap.
int insideScriptCode = 0;
int overlaps = 0;
int turnsTaken = 0;

void EnterScriptCode()
{
    if (++insideScriptCode != 1)
        ++overlaps;
    ++turnsTaken;
}

void LeaveScriptCode()
{
    --insideScriptCode;
}

void WaitZeroForever(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;) {
        EnterScriptCode();
        LeaveScriptCode();
        WaitMs(self, 0);
    }
}

TEST(Scheduler, WaitZeroReturnsOnTheNextStepOfTheScript)
{
    RunResult result = RunRoutine(WaitZeroForever, "frame 20\nend 200\n");
    ASSERT_EQ(Errors(result.trace), "");
    std::vector<TraceRecord> waits = CommandsWithId(result.trace, kWait.id);
    // The first tick boots and resumes nothing; every later frame is one turn.
    ASSERT_EQ(waits.size(), 10u);
    for (size_t n = 0; n < waits.size(); ++n) {
        EXPECT_EQ(waits[n].t, static_cast<int64_t>(20 * (n + 1)));
        EXPECT_EQ(waits[n].script, 0);
    }
}

void WaitLongThenShort(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;) {
        WaitMs(self, 100);
        WaitMs(self, 30);
    }
}

TEST(Scheduler, AWaitIsSteppedAgainNoSoonerThanItsTime)
{
    RunResult result = RunRoutine(WaitLongThenShort, "frame 20\nend 400\n");
    std::vector<TraceRecord> waits = CommandsWithId(result.trace, kWait.id);
    ASSERT_GE(waits.size(), 4u);
    EXPECT_EQ(waits[0].t, 20);
    EXPECT_EQ(waits[1].t, 120);  // 100 ms later, on a frame
    EXPECT_EQ(waits[2].t, 160);  // 30 ms later rounds up to the next frame
    EXPECT_EQ(waits[3].t, 260);
}

void ChildSendsAtOnce(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;) {
        EnterScriptCode();
        const CommandDescriptor name = kSetScriptName;
        CallCommand(name, "CHILD");
        LeaveScriptCode();
        WaitMs(self, 0);
    }
}

void SpawnsOneChild(ScriptThread* self)
{
    WaitForFirstTurn(self);
    SpawnScriptThread(ChildSendsAtOnce);
    for (;;) {
        EnterScriptCode();
        LeaveScriptCode();
        WaitMs(self, 0);
    }
}

TEST(Scheduler, TheBootRecordIsOneAndTheFirstSpawnTwo)
{
    RunResult result = RunRoutine(SpawnsOneChild, "end 100\n");
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(scheduler.scriptThreadList.id, 1u);
    std::vector<TraceRecord> starts = CommandsWithId(result.trace, kStartScript.id);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].args[0].i, 2);
    EXPECT_EQ(starts[0].args[1].kind, 'z');
}

TEST(Scheduler, ASpawnedThreadSendsNothingBeforeItsOwnFirstTick)
{
    RunResult result = RunRoutine(SpawnsOneChild, "frame 20\nend 100\n");
    std::vector<TraceRecord> start = CommandsWithId(result.trace, kStartScript.id);
    std::vector<TraceRecord> child = CommandsWithId(result.trace, kSetScriptName.id);
    ASSERT_EQ(start.size(), 1u);
    ASSERT_FALSE(child.empty());
    // Started at t=20 by script 0; its host script (number 1) is first stepped
    // on the next frame.
    EXPECT_EQ(start[0].t, 20);
    EXPECT_EQ(child[0].t, 40);
    EXPECT_EQ(child[0].script, 1);
}

TEST(Scheduler, OnlyOneThreadRunsScriptCodeAtATime)
{
    RunResult result = RunRoutine(SpawnsOneChild, "frame 1\nend 2000\n");
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(overlaps, 0);
    EXPECT_GT(turnsTaken, 3000);  // both threads, about every frame
}

TEST(Scheduler, TicksAfterShutdownResumeNothing)
{
    RunResult result = RunRoutine(SpawnsOneChild, "frame 20\nat 200 shutdown\nend 600\n");
    ASSERT_EQ(Errors(result.trace), "");
    int64_t shutdownAt = -1;
    for (const TraceRecord& record : result.trace) {
        if (record.kind == kShutdownRecord)
            shutdownAt = record.t;
        if (record.kind == kCommandRecord && shutdownAt >= 0)
            ADD_FAILURE() << "command " << record.id << " at " << record.t << " after the shutdown";
    }
    EXPECT_EQ(shutdownAt, 200);
    EXPECT_EQ(scheduler.scriptsStarted, 1);
    EXPECT_EQ(scheduler.scriptsStopping, 1);
}

TEST(Scheduler, AfterReinitTheNextTickBootsAgainWithTheLastIdGivenOut)
{
    RunResult result = RunRoutine(SpawnsOneChild, "frame 20\nat 200 reinit\nend 400\n");
    ASSERT_EQ(Errors(result.trace), "");
    std::vector<TraceRecord> starts = CommandsWithId(result.trace, kStartScript.id);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].args[0].i, 2);
    EXPECT_EQ(starts[1].args[0].i, 3);
    // The second boot's record carries the last id given out before it.
    EXPECT_EQ(scheduler.scriptThreadList.id, 2u);
    EXPECT_EQ(scheduler.scriptThreadList.next->id, 3u);
    EXPECT_EQ(scheduler.scriptThreadList.next->next, &scheduler.scriptThreadList);
    // Both boot records' threads ran after their boot: the first host script
    // of each boot is script 0.
    EXPECT_EQ(starts[1].script, 0);
    EXPECT_GT(starts[1].t, 200);
}

TEST(Scheduler, ReinitBeforeTheFirstTickChangesNothing)
{
    RunResult result = RunRoutine(WaitZeroForever, "frame 20\nat 0 reinit\nend 100\n");
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(scheduler.scriptsStarted, 1);
    EXPECT_EQ(scheduler.scriptThreadList.id, 1u);
    EXPECT_EQ(CommandsWithId(result.trace, kWait.id).size(), 5u);
}

TEST(Scheduler, ATickForAnUnknownIdChangesNothing)
{
    RunResult result = RunRoutine(WaitZeroForever, "end 40\n");
    ASSERT_EQ(Errors(result.trace), "");
    HostScript stranger = {};
    WriteInstructionPointer(&stranger, 777);
    EXPECT_EQ(ScriptTick(&stranger), 1u);
    EXPECT_EQ(ReadInstructionPointer(&stranger), 777u);
    EXPECT_EQ(scheduler.currentHostScript, &stranger);
}

}  // namespace
