// The turn: a host step of a script that only waits 0 ms, against the bare
// ping-pong that the turn is built on.
#include "bench/bench_runs.h"
#include "bench/benches.h"
#include "host/host_addresses.h"
#include "host/hook_work.h"
#include "hostsim/direct/direct_binding.h"
#include "platform/platform.h"
#include "script/scheduler.h"

using namespace hostsim;

static const int kRoutineSteps = 20000;
static const int kStudioSteps = 20000;
static const int kWarmUpSteps = 100;
// Before every timed frame, one ping-pong round: its thread has slept as
// long as the script thread, so both wake the same way on a machine whose
// idle cores go to sleep (and whose load, shared, drifts). Steps and rounds
// are compared in blocks of this many.
static const int kBlock = 50;

// The thread side of the ping-pong: what WaitMs does, less the command.
static void Answer(ScriptThread* pair)
{
    for (;;) {
        WaitPlatformEvent(pair->resumeEvent, kWaitForever);
        RaisePlatformEvent(pair->yieldEvent);
    }
}

// Two auto-reset events and a thread that answers one with the other. The
// host side is what ScriptTick does, less finding the thread: raise, then
// wait with the tick's bound.
struct PingPong {
    ScriptThread pair;
    PlatformThread* thread;
};

static PingPong pingPong;

static void StartPingPong()
{
    pingPong.pair = ScriptThread();
    pingPong.pair.resumeEvent = CreatePlatformEvent();
    pingPong.pair.yieldEvent = CreatePlatformEvent();
    pingPong.thread = CreatePlatformThread(Answer, &pingPong.pair);
}

static int64_t PingPongNs(int rounds)
{
    const int64_t start = NowNs();
    for (int n = 0; n < rounds; ++n) {
        RaisePlatformEvent(pingPong.pair.resumeEvent);
        WaitPlatformEvent(pingPong.pair.yieldEvent, kTickBoundMs);
    }
    return NowNs() - start;
}

static void StopPingPong()
{
    TerminatePlatformThread(pingPong.thread);
    ClosePlatformThread(pingPong.thread);
    ClosePlatformEvent(pingPong.pair.resumeEvent);
    ClosePlatformEvent(pingPong.pair.yieldEvent);
}

// The blocks of one run: each block's mean step and mean round.
struct Blocks {
    std::vector<double> stepUs, pingPongUs, ratios;
    int64_t stepsBefore = 0, nsBefore = 0;
    int64_t rounds = 0, roundNs = 0;
    bool oneCore = false;
    bool placed = false;
};

static Blocks blocks;

// Called before each timed frame, on the host's thread. The threads are
// placed at the first: the script's and the ping-pong's all exist by then.
static void PairedRound()
{
    if (!blocks.placed) {
        PlaceThreads(blocks.oneCore);
        blocks.placed = true;
    }
    blocks.roundNs += PingPongNs(1);
    ++blocks.rounds;
    const int64_t steps = watch.timedSteps - blocks.stepsBefore;
    if (steps < kBlock)
        return;
    const double stepUs = (watch.timedNs - blocks.nsBefore) / 1000.0 / steps;
    const double roundUs = blocks.roundNs / 1000.0 / blocks.rounds;
    blocks.stepUs.push_back(stepUs);
    blocks.pingPongUs.push_back(roundUs);
    blocks.ratios.push_back(stepUs / roundUs);
    blocks.stepsBefore = watch.timedSteps;
    blocks.nsBefore = watch.timedNs;
    blocks.rounds = 0;
    blocks.roundNs = 0;
}

static TurnRow RowOfBlocks(bool oneCore, const char* what)
{
    return { oneCore,
             what,
             Median(blocks.stepUs),
             Median(blocks.pingPongUs),
             Median(blocks.ratios),
             Percentile(blocks.ratios, 0.25),
             Percentile(blocks.ratios, 0.75),
             static_cast<int>(blocks.ratios.size()),
             0 };
}

static void WaitZeroForever(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;)
        WaitMs(self, 0);
}

static bool TimeRoutine(int64_t frameTime)
{
    watch.timedScript = 0;
    watch.timing = frameTime >= kWarmUpSteps;
    if (watch.timing)
        PairedRound();
    return true;
}

static void HOST_CALLBACK InterpretNothing(HostScript*)
{
}

// Against an interpreter that does nothing, the step is the scheduler's and
// the bridge's alone: the host steps the script every frame all the same.
static TurnRow RoutineRow(bool oneCore, const char* what, bool interpretNothing)
{
    ReinitScripts();
    const EngineBinding binding = LinkedBinding();
    BootRoutineInstead(WaitZeroForever);
    if (interpretNothing)
        hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&InterpretNothing);
    blocks = Blocks();
    blocks.oneCore = oneCore;
    RunWatched("frame 1\nend " + std::to_string(kWarmUpSteps + kRoutineSteps) + "\n", binding, TimeRoutine);
    AttachLinkedModule();
    return RowOfBlocks(oneCore, what);
}

// Group 1 is made (so that Left Shift selects its ped), then Left Shift is
// held alone: the modifier chain polls its keys and waits 0 ms, one pass a
// host step.
static const int64_t kShiftHeldAt = 32000;
static const int64_t kStudioTimedFrom = kShiftHeldAt + 1000;

static bool TimeStudioLoop(int64_t frameTime)
{
    watch.timedScript = watch.studioScript;
    watch.timing = frameTime >= kStudioTimedFrom;
    if (watch.timing)
        PairedRound();
    return true;
}

static TurnRow StudioRow(bool oneCore)
{
    const int frameMs = 20;
    const std::string scenario = "frame 20\n" + SessionToStudio(0) + At(28000, "keydown INSERT 1") +
                                 At(28700, "keyup INSERT 1") + At(29500, "keydown BACK") + At(29600, "keyup BACK") +
                                 At(kShiftHeldAt, "keydown LSHIFT") + "end " +
                                 std::to_string(kStudioTimedFrom + int64_t(kStudioSteps) * frameMs) + "\n";
    blocks = Blocks();
    blocks.oneCore = oneCore;
    RunWatched(scenario, ModuleBinding(), TimeStudioLoop);
    TurnRow row = RowOfBlocks(oneCore, "studio modifier loop, Left Shift held");
    row.commandsPerStep = watch.timedSteps ? double(watch.commandsWhileTiming) / watch.timedSteps : 0;
    return row;
}

// Each row with every thread on one core, where every hand-over is a switch
// between two threads, then with the host's thread on one core and the
// others on the second, where every hand-over wakes the other core. Left
// to the system, the threads' places (and with them the figures) change
// from run to run.
std::vector<TurnRow> MeasureTurn()
{
    std::vector<TurnRow> rows;
    for (bool oneCore : { true, false }) {
        StartPingPong();
        PingPongNs(kWarmUpSteps);
        rows.push_back(RoutineRow(oneCore, "script that only waits 0 ms (module code, linked)", false));
        rows.push_back(RoutineRow(oneCore, "the same, against an interpreter that does nothing", true));
        rows.push_back(StudioRow(oneCore));
        StopPingPong();
        UnplaceThreads();
    }
    return rows;
}
