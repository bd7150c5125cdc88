// Turns that run past the tick's bound, as on a loaded machine, under a
// debugger or a scanner. What must hold whatever the turns do: at most one
// script thread runs at a time, every command lands on its own thread's
// script, no call into the module blocks the host past the bound (the
// engine reports any that does, and any command outside its script's tick),
// and a teardown never cuts a turn off inside the host: the thread ends at
// its next command, and sends nothing after the teardown. Not Scheduler
// tests: while a late turn runs, the host runs too, on purpose.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <new>
#include <string>
#include <thread>

#include "game/radar_marker.h"
#include "host/hook_work.h"
#include "hostsim/direct/direct_binding.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

namespace {

const CommandDescriptor kTurnMark = kSetScriptName;
const int kLateTurn = 20;  // of the boot thread, at t=400

// Script threads inside a turn right now, and the most there ever were.
std::atomic<int> runnersNow { 0 };
std::atomic<int> mostRunners { 0 };

void BeginTurn()
{
    const int runners = ++runnersNow;
    int most = mostRunners;
    while (runners > most && !mostRunners.compare_exchange_weak(most, runners)) { }
}

void EndTurnAndWait(ScriptThread* self)
{
    --runnersNow;
    WaitMs(self, 0);
    BeginTurn();
}

void SleepMs(int64_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A turn takes a little while before it sends its mark, well within the
// bound: a thread that ran while it should not would be caught at it.
void Mark(const char* mark)
{
    SleepMs(2);
    CallCommand(kTurnMark, mark);
}

void ChildTakesTurns(ScriptThread* self)
{
    WaitForFirstTurn(self);
    BeginTurn();
    for (;;) {
        Mark("CHILD");
        EndTurnAndWait(self);
    }
}

// How long the first boot's late turns keep it, in turns from kLateTurn on,
// after their first mark; each then sends more marks before it waits.
std::vector<int64_t> lateTurnMs;
const int kMarksAfterTheDelay = 10;
// Each boot of the routine numbers its marks: "BOOT1", "BOOT2", ...
std::atomic<int> boots { 0 };
std::atomic<bool> lateTurnAway { false };
std::atomic<bool> lateTurnCameBack { false };
std::atomic<bool> markSentAfterComingBack { false };

void BootThreadRunsLate(ScriptThread* self)
{
    WaitForFirstTurn(self);
    BeginTurn();
    const int boot = ++boots;
    const std::string mark = "BOOT" + std::to_string(boot);
    SpawnScriptThread(ChildTakesTurns);
    for (int turn = 1;; ++turn) {
        Mark(mark.c_str());
        const size_t late = static_cast<size_t>(turn - kLateTurn);
        if (boot == 1 && turn >= kLateTurn && late < lateTurnMs.size()) {
            lateTurnAway = true;
            SleepMs(lateTurnMs[late]);
            lateTurnCameBack = true;
            for (int n = 0; n < kMarksAfterTheDelay; ++n)
                Mark(mark.c_str());
            markSentAfterComingBack = true;
            lateTurnAway = false;
        }
        EndTurnAndWait(self);
    }
}

// Once the tick has given up on a late turn, later ticks return at once
// until it is back at a command, and the substitute host's frames would race
// to the run's end; until the late turn is over they come in real time, as a
// game's do (scaled as the bound is, in the sanitizer builds).
bool FramesInRealTimeWhileALateTurnIsAway(int64_t)
{
    if (lateTurnAway)
        WaitOutsideTheEngine(std::chrono::milliseconds(20 * kTickBoundMs / 1000));
    return true;
}

RunResult RunLate(std::vector<int64_t> delaysMs, const std::string& scenario)
{
    lateTurnMs = delaysMs;
    runnersNow = 0;
    mostRunners = 0;
    boots = 0;
    lateTurnAway = false;
    lateTurnCameBack = false;
    markSentAfterComingBack = false;
    return RunRoutine(BootThreadRunsLate, scenario, FramesInRealTimeWhileALateTurnIsAway);
}

std::string Label(const TraceRecord& command)
{
    return command.args[0].s;
}

// Every mark on its own thread's script: the boot thread's on script 0, the
// child's on script 1.
void ExpectEveryMarkOnItsOwnScript(const std::vector<TraceRecord>& trace)
{
    for (const TraceRecord& command : CommandsWithId(trace, kSetScriptName.id))
        EXPECT_EQ(command.script, Label(command) == "CHILD" ? 1 : 0)
            << Label(command) << " at t=" << command.t << " on script " << command.script;
}

// From the first mark of the boot thread's late turn to that turn's wait,
// the trace holds only that turn's commands.
void ExpectTheLateTurnAlone(const std::vector<TraceRecord>& trace)
{
    const std::vector<TraceRecord> commands = Commands(trace);
    size_t first = 0;
    for (int marks = 0; first < commands.size(); ++first)
        if (commands[first].id == kSetScriptName.id && commands[first].script == 0 && ++marks == kLateTurn)
            break;
    ASSERT_LT(first, commands.size()) << "the late turn never came";
    size_t n = first;
    for (; n < commands.size() && !(commands[n].id == kWait.id && commands[n].script == 0); ++n)
        EXPECT_EQ(commands[n].script, 0) << "a command of script " << commands[n].script << " at t=" << commands[n].t
                                         << " inside the late turn";
    EXPECT_EQ(n - first, static_cast<size_t>(1 + kMarksAfterTheDelay)) << "the late turn's marks";
}

size_t MarksAfter(const std::vector<TraceRecord>& trace, int64_t t, const std::string& label)
{
    size_t count = 0;
    for (const TraceRecord& command : CommandsWithId(trace, kSetScriptName.id))
        count += command.t > t && Label(command) == label;
    return count;
}

TEST(TurnOverrun, NoOtherThreadRunsUntilTheLateTurnIsBackThenBothTakeTurns)
{
    const RunResult result = RunLate({ kTickBoundMs + 300 }, "frame 20\nend 2400\n");
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(mostRunners, 1);
    ExpectEveryMarkOnItsOwnScript(result.trace);
    ExpectTheLateTurnAlone(result.trace);
    // Afterwards each thread is resumed once a step of its script again.
    EXPECT_GE(MarksAfter(result.trace, 500, "BOOT1"), 70u);
    EXPECT_GE(MarksAfter(result.trace, 500, "CHILD"), 70u);
}

TEST(TurnOverrun, TwoLateTurnsInARowNeverBlockTheHostPastTheBound)
{
    const RunResult result = RunLate({ kTickBoundMs + 300, kTickBoundMs + 200 }, "frame 20\nend 3400\n");
    // The engine reports every tick that blocks the host past the bound and
    // a small margin.
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(mostRunners, 1);
    ExpectEveryMarkOnItsOwnScript(result.trace);
    EXPECT_GE(MarksAfter(result.trace, 800, "BOOT1"), 60u);
    EXPECT_GE(MarksAfter(result.trace, 800, "CHILD"), 60u);
}

int64_t TimeOfFirst(const std::vector<TraceRecord>& trace, RecordKind kind)
{
    for (const TraceRecord& record : trace)
        if (record.kind == kind)
            return record.t;
    return -1;
}

// The late turn comes back after the teardown: it ends at its next command
// and sends nothing more, from the re-initialisation's own time on (from the
// next frame on, when the call came from a second host thread, inside a
// frame); the next boot takes turns.
void ExpectTheLateTurnEndedAtItsNextCommand(const RunResult& result, bool fromSecondThread)
{
    ASSERT_EQ(Errors(result.trace), "");
    for (int ms = 0; ms < 4 * static_cast<int>(kTickBoundMs) && !lateTurnCameBack; ms += 10)
        SleepMs(10);
    ASSERT_TRUE(lateTurnCameBack);
    SleepMs(100);
    EXPECT_FALSE(markSentAfterComingBack);
    const int64_t reinit = TimeOfFirst(result.trace, kReinitRecord);
    EXPECT_EQ(MarksAfter(result.trace, fromSecondThread ? reinit : reinit - 1, "BOOT1"), 0u);
    EXPECT_GE(MarksAfter(result.trace, reinit, "BOOT2"), 20u);
}

TEST(TurnOverrun, AReinitialisationDuringALateTurnEndsItAtItsNextCommand)
{
    const RunResult result = RunLate({ kTickBoundMs + 300 }, "frame 20\nat 420 reinit\nend 1000\n");
    EXPECT_EQ(TimeOfFirst(result.trace, kReinitRecord), 420);
    ExpectTheLateTurnEndedAtItsNextCommand(result, false);
}

// One that does not come back for long is left alone: the teardown gives up
// on it in time, the next boot runs, and when the thread does come back it
// ends at once, sending nothing.
TEST(TurnOverrun, ATurnThatOutlastsTheTeardownIsLeftAloneAndEndsWhenItComesBack)
{
    const RunResult result = RunLate({ 3 * kTickBoundMs }, "frame 20\nat 420 shutdown\nend 1000\n");
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(MarksAfter(result.trace, 419, "BOOT1"), 0u);
    EXPECT_EQ(MarksAfter(result.trace, 419, "CHILD"), 0u);

    for (int ms = 0; ms < 4 * static_cast<int>(kTickBoundMs) && !lateTurnCameBack; ms += 10)
        SleepMs(10);
    ASSERT_TRUE(lateTurnCameBack);
    SleepMs(100);
    EXPECT_FALSE(markSentAfterComingBack);
}

TEST(TurnOverrun, ANextBootRunsWhileALateTurnOfTheLastIsStillAway)
{
    const RunResult result = RunLate({ 3 * kTickBoundMs }, "frame 20\nat 420 reinit\nend 1000\n");
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(MarksAfter(result.trace, 419, "BOOT1"), 0u);
    EXPECT_GE(MarksAfter(result.trace, 420, "BOOT2"), 20u);
    EXPECT_GE(MarksAfter(result.trace, 460, "CHILD"), 20u);
    ExpectEveryMarkOnItsOwnScript(result.trace);
    for (int ms = 0; ms < 4 * static_cast<int>(kTickBoundMs) && !lateTurnCameBack; ms += 10)
        SleepMs(10);
    ASSERT_TRUE(lateTurnCameBack);
    SleepMs(100);
    EXPECT_FALSE(markSentAfterComingBack);
}

// Boots whose thread is still in its own code, never at a wait, when the
// next re-initialisation comes: each is left behind with its boot's bridge.
// With every bridge held the next boot waits, and it comes as soon as one of
// those threads has ended.
std::atomic<int> bootsStarted { 0 };
std::atomic<bool> leftThreadMayGoOn[kBridges + 1];
std::atomic<ScriptThread*> bootRecords[kBridges + 1];

void StaysAwayUntilLetGo(ScriptThread* self)
{
    const int boot = ++bootsStarted;
    if (boot <= kBridges)
        bootRecords[boot] = self;
    while (boot <= kBridges && !leftThreadMayGoOn[boot])
        SleepMs(1);
    WaitForFirstTurn(self);  // one left behind was dismissed meanwhile: it ends here
    for (;;) {
        CallCommand(kTurnMark, "FIFTH");
        WaitMs(self, 0);
    }
}

const int64_t kFirstLetGoAt = 400;

bool LetTheFirstGoAt(int64_t frameTime)
{
    if (frameTime == kFirstLetGoAt) {
        leftThreadMayGoOn[1] = true;
        // Its record and handle stay until a boot releases them.
        WaitForPlatformThreadEnd(bootRecords[1].load()->threadHandle, kWaitForever);
    }
    return true;
}

TEST(TurnOverrun, ABootWaitsWhileEveryBridgeIsHeldByAThreadLeftBehind)
{
    bootsStarted = 0;
    for (std::atomic<bool>& letGo : leftThreadMayGoOn)
        letGo = false;
    Scenario scenario;
    std::string problem;
    ASSERT_TRUE(ParseScenario("frame 20\nat 20 reinit\nat 40 reinit\nat 60 reinit\nat 80 reinit\nend 600\n", &scenario,
                              &problem))
        << problem;
    AttachDirectHost();
    BootRoutineInstead(StaysAwayUntilLetGo);
    const RunResult result = RunHost(scenario, DirectBinding(), nullptr, LetTheFirstGoAt);
    AttachDirectHost();
    // The others end too; the fifth boot released the first one's record.
    for (int boot = 2; boot <= kBridges; ++boot) {
        leftThreadMayGoOn[boot] = true;
        WaitForPlatformThreadEnd(bootRecords[boot].load()->threadHandle, kWaitForever);
    }

    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<TraceRecord> marks = CommandsWithId(result.trace, kSetScriptName.id);
    ASSERT_FALSE(marks.empty()) << "no fifth boot";
    EXPECT_GT(marks[0].t, kFirstLetGoAt);
    EXPECT_LE(marks[0].t, kFirstLetGoAt + 40);
    EXPECT_EQ(bootsStarted, kBridges + 1);
}

// A teardown from a second host thread while the host's thread waits in the
// late turn's tick: the same as from the host's own thread.
TEST(TurnOverrun, AReinitialisationFromASecondHostThreadDuringALateTurnEndsItAtItsNextCommand)
{
    ExpectTheLateTurnEndedAtItsNextCommand(
        RunLate({ kTickBoundMs + 300 }, "frame 20\nat 400 reinit second-thread 300\nend 2400\n"), true);
}

// Places a marker in one turn and drops it in the next, so that every other
// turn begins with the command of the marker's destructor.
void DropsAMarkerEveryOtherTurn(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;) {
        RadarMarker* marker = new RadarMarker;
        marker->PlaceAtPoint(1.0f, 2.0f, 3.0f, 1);
        WaitMs(self, 0);
        delete marker;
        WaitMs(self, 0);
    }
}

// A teardown that lands while a destructor's command is in the host: the
// thread ends there without unwinding through the destructor (which cannot
// throw), and the process goes on.
RunResult RunFreshRoutine(ScriptRoutine routine, const std::string& scenario)
{
    ReinitScripts();
    return RunRoutine(routine, scenario);
}

TEST(TurnOverrun, ATeardownDuringADestructorsCommandEndsTheThreadAlone)
{
    const RunResult probe = RunFreshRoutine(DropsAMarkerEveryOtherTurn, "frame 20\nend 600\n");
    int64_t dropAt = -1;
    for (const TraceRecord& command : CommandsWithId(probe.trace, kRemoveMarker.id))
        if (dropAt < 0 && command.t >= 400)
            dropAt = command.t;
    ASSERT_GE(dropAt, 0);
    for (const char* teardown : { "reinit", "shutdown" }) {
        const std::string scenario = "frame 20\nat " + std::to_string(dropAt) + " stall " +
                                     std::to_string(kTickBoundMs + 300) + "\nat " + std::to_string(dropAt + 20) + " " +
                                     teardown + "\nend " + std::to_string(dropAt + 2 * kTickBoundMs) + "\n";
        const RunResult result = RunFreshRoutine(DropsAMarkerEveryOtherTurn, scenario);
        EXPECT_EQ(Errors(result.trace), "") << teardown;
        const std::vector<TraceRecord> drops = CommandsWithId(result.trace, kRemoveMarker.id);
        EXPECT_TRUE(!drops.empty() && drops.back().t > dropAt) << teardown << ": the stalled drop never came back";
    }
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
    const std::vector<TraceRecord> child = CommandsWithId(result.trace, kSetScriptName.id);
    ASSERT_FALSE(child.empty());
    // Resumed on the first step of its host script, not held back for a
    // yield it never owed.
    EXPECT_EQ(child[0].t, 40);
    EXPECT_EQ(child.size(), 4u);
}

}  // namespace
