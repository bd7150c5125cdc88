// The substitute host's run loop: frame by frame, the scenario's events, the
// player's walk, the traffic and one step of every script due, with the
// host's checks of how long each call into the module blocked it.
#include <algorithm>
#include <thread>

#include "hostsim/engine/driving.h"
#include "hostsim/engine/engine_run.h"
#include "hostsim/engine/heading.h"
#include "script/scheduler.h"

namespace hostsim {

// The module's tick hands the turn back after at most its bound (1000 ms, but
// in the sanitizer builds) however its script behaves; a call into the module
// that blocks the host's thread much longer than that, in real time, would
// hang the game.
static const int64_t kHostCallBoundMs = kTickBoundMs;
static const int64_t kHostCallMarginMs = 500;

// The host's own thread's calls may block it for no more than that within
// any five bounds of real time: a command that never comes back costs the
// game one bound, not one a frame. Of each call only what passes a frame's
// worth counts: a call that returns within a frame holds up no frame, however
// busy the machine keeps the host (scaled as the bound is, in the sanitizer
// builds).
static const int64_t kHostCallWindowMs = 5 * kHostCallBoundMs;
static const int64_t kHostCallFrameMs = 20 * kHostCallBoundMs / 1000;

typedef std::chrono::steady_clock Clock;

static int64_t MsBetween(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
}

static void CheckHostCallsWithinWindow(Clock::time_point start, Clock::time_point end)
{
    start += std::chrono::milliseconds(kHostCallFrameMs);
    if (end <= start)
        return;
    std::deque<std::pair<Clock::time_point, Clock::time_point>>& calls = engineRun->recentCalls;
    calls.emplace_back(start, end);
    const Clock::time_point windowStart = end - std::chrono::milliseconds(kHostCallWindowMs);
    while (calls.front().second <= windowStart)
        calls.pop_front();
    Clock::duration blocked = Clock::duration::zero();
    for (const std::pair<Clock::time_point, Clock::time_point>& call : calls)
        blocked += call.second - std::max(call.first, windowStart);
    const int64_t blockedMs = std::chrono::duration_cast<std::chrono::milliseconds>(blocked).count();
    if (blockedMs <= kHostCallBoundMs + kHostCallMarginMs || end < engineRun->nextWindowReport)
        return;
    engineRun->nextWindowReport = end + std::chrono::milliseconds(kHostCallWindowMs);
    ReportHostError("calls into the module blocked the host for " + std::to_string(blockedMs) + " ms within " +
                    std::to_string(kHostCallWindowMs / 1000) + " s, over the " + std::to_string(kHostCallBoundMs) +
                    " ms bound");
}

static thread_local Clock::duration hostOwnWait;

void HostWaitedInItsOwnCode(Clock::duration wait)
{
    hostOwnWait += wait;
}

// How long the game's heap was held by stalled commands, in all, so far.
static std::mutex heapHeldLock;
static int heapHolders = 0;
static Clock::time_point heapHeldSince;
static Clock::duration heapHeldBefore = Clock::duration::zero();

void GameHeapHeld(bool held)
{
    std::lock_guard<std::mutex> hold(heapHeldLock);
    const Clock::time_point now = Clock::now();
    if (held && heapHolders++ == 0)
        heapHeldSince = now;
    if (!held && --heapHolders == 0)
        heapHeldBefore += now - heapHeldSince;
}

static Clock::duration HeapHeldSoFar()
{
    std::lock_guard<std::mutex> hold(heapHeldLock);
    return heapHeldBefore + (heapHolders > 0 ? Clock::now() - heapHeldSince : Clock::duration::zero());
}

// The engine's lock is not fair: the second host thread says that it waits,
// and the host's thread lets it in between frames (LetTheSecondThreadIn), as
// a game's other thread gets its turn at the game's lock, rather than
// waiting for as long as frames run.
static void LockEngine()
{
    if (threadServices.currentThread() == engineRun->hostThread) {
        engineLock.lock();
        return;
    }
    engineRun->secondThreadWaiting = true;
    engineLock.lock();
    engineRun->secondThreadWaiting = false;
}

// Runs a call into the module without the engine's lock, which the commands
// of the script threads it may wait for need, and returns how long it held
// the calling thread in real time, in ms, but for the host's own waits.
template <typename Call>
static int64_t RealMsOf(Call call)
{
    engineLock.unlock();
    hostOwnWait = Clock::duration::zero();
    const Clock::duration heapHeldAtStart = HeapHeldSoFar();
    const Clock::time_point start = Clock::now();
    call();
    const Clock::time_point end = Clock::now() - hostOwnWait;
    const Clock::duration heapHeld = HeapHeldSoFar() - heapHeldAtStart;
    LockEngine();
    if (threadServices.currentThread() == engineRun->hostThread)
        CheckHostCallsWithinWindow(start, std::max(start, end - heapHeld));
    return MsBetween(start, end);
}

static void CheckHostCallTime(const std::string& what, int64_t ms)
{
    if (ms > kHostCallBoundMs + kHostCallMarginMs)
        ReportHostError(what + " blocked the host for " + std::to_string(ms) + " ms, over the " +
                        std::to_string(kHostCallBoundMs) + " ms bound");
}

// Records the host's re-initialisation or shutdown call, then makes it within
// the bound.
static void RecordAndCall(const ScenarioEvent& event)
{
    const bool reinit = event.kind == kEventReinit;
    TraceRecord record;
    record.kind = reinit ? kReinitRecord : kShutdownRecord;
    record.fromSecondThread = event.fromSecondThread;
    RecordTrace(record);
    CheckHostCallTime(reinit ? "the re-initialisation call" : "the shutdown call",
                      RealMsOf(reinit ? engineRun->binding.reinit : engineRun->binding.shutdown));
    if (!reinit)
        engineRun->shutDown = true;
}

// The second host thread makes the call afterMs from now, once its call
// before has returned.
static void CallOnSecondThread(const ScenarioEvent& event)
{
    const Clock::time_point due = Clock::now() + std::chrono::milliseconds(event.afterMs);
    std::thread before = std::move(engineRun->secondThread);
    engineRun->secondThread = std::thread(
        [event, due](std::thread before) {
            if (before.joinable())
                before.join();
            std::this_thread::sleep_until(due);
            LockEngine();
            engineRun->secondThreadCalling = true;
            RecordAndCall(event);
            engineRun->secondThreadCalling = false;
            engineLock.unlock();
        },
        std::move(before));
}

// Between frames the host's thread lets in the second thread, waiting for
// the engine's lock (LockEngine). While that thread's call is being made, the
// frames come in real time, as a game's do: the simulated clock would
// otherwise race past the call, with no script stepped meanwhile.
static void LetTheSecondThreadIn()
{
    while (engineRun->secondThreadWaiting) {
        engineLock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        engineLock.lock();
    }
    if (engineRun->secondThreadCalling)
        WaitOutsideTheEngine(std::chrono::milliseconds(engineRun->scenario.frameMs));
}

// The run ends once the second thread's calls have returned.
static void WaitForSecondThread()
{
    std::thread last = std::move(engineRun->secondThread);
    if (!last.joinable())
        return;
    engineLock.unlock();
    last.join();
    engineLock.lock();
}

static void ApplyEvent(const ScenarioEvent& event)
{
    switch (event.kind) {
    case kEventKeyDown:
    case kEventKeyUp:
        for (int key : event.keys)
            engineRun->keys[key] = event.kind == kEventKeyDown ? static_cast<int16_t>(0x8000) : 0;
        break;
    case kEventPlayer:
        engineRun->world.player.x = event.x;
        engineRun->world.player.y = event.y;
        engineRun->world.player.z = event.z;
        break;
    case kEventReinit:
    case kEventShutdown:
        if (event.fromSecondThread)
            CallOnSecondThread(event);
        else
            RecordAndCall(event);
        break;
    case kEventSnapshot:
        SnapshotRecord();
        break;
    case kEventStall:
        engineRun->armedStalls.push_back(event);
        break;
    case kEventBusy:
        // In its own code the host's thread holds none of the engine's state,
        // so a command arriving meanwhile finds no tick.
        engineLock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(event.busyMs));
        engineLock.lock();
        break;
    }
}

void EngineReinitContinuation()
{
    LockEngine();
    std::lock_guard<std::recursive_mutex> hold(engineLock, std::adopt_lock);
    // As a new game does: every host script is dropped and one new first
    // script, numbered 0 again, is started.
    for (std::unique_ptr<EngineScript>& script : engineRun->scripts)
        engineRun->droppedScripts.push_back(std::move(script));
    engineRun->scripts.clear();
    engineRun->nextScriptNumber = 0;
    engineRun->firstHandleOfBoot = engineRun->nextHandle;
    // The next boot lays the city out anew.
    engineRun->world.boxes.clear();
    engineRun->world.objects.clear();
    engineRun->world.carGenerators.clear();
    engineRun->world.cityBounds = HostArea();
    StartHostScript(0);
}

void EngineShutdownContinuation()
{
}

// Up and Down walk along the heading, Left and Right turn it (heading.h).
static void WalkPlayer()
{
    enum { kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };
    HostPlayer& player = engineRun->world.player;
    if (!player.exists || engineRun->world.controlsLocked)
        return;
    const float seconds = engineRun->scenario.frameMs / 1000.0f;
    const float turn =
        ((engineRun->keys[kLeft] ? 1.0f : 0.0f) - (engineRun->keys[kRight] ? 1.0f : 0.0f)) * kPlayerTurnRate;
    player.heading = Turned(player.heading, turn * seconds);
    const float step =
        ((engineRun->keys[kUp] ? 1.0f : 0.0f) - (engineRun->keys[kDown] ? 1.0f : 0.0f)) * kPlayerWalkSpeed * seconds;
    float aheadX, aheadY;
    DirectionOf(player.heading, &aheadX, &aheadY);
    player.x += step * aheadX;
    player.y += step * aheadY;
}

static void StepScripts()
{
    size_t count = engineRun->scripts.size();  // scripts started during this frame wait for the next
    for (size_t n = 0; n < count && n < engineRun->scripts.size(); ++n) {
        EngineScript* script = engineRun->scripts[n].get();
        if (script->wakeAt > engineRun->now || engineRun->secondThreadCalling)
            continue;
        script->wakeAt = engineRun->now + 1;
        engineRun->stepping = script;
        const int64_t ms = RealMsOf([script]() { engineRun->binding.tick(&script->record); });
        if (ms > kHostCallBoundMs + kHostCallMarginMs)
            CheckHostCallTime("a step of script " + std::to_string(script->number), ms);
        engineRun->stepping = nullptr;
    }
}

// While a command is stalled, the simulated clock runs no faster than real
// time from the latest stall's start, as a game's clock would: the frames
// after a tick that blocked for its bound catch up at once, and each stall
// covers about its ms of the scenario, one that began while a thread left
// behind was still in its own too.
static void KeepPaceWithStall()
{
    if (engineRun->stallsInProgress == 0)
        return;
    const std::chrono::steady_clock::time_point due =
        engineRun->stallBeganReal + std::chrono::milliseconds(engineRun->now - engineRun->stallBeganAt);
    engineLock.unlock();
    std::this_thread::sleep_until(due);
    engineLock.lock();
}

void WaitOutsideTheEngine(std::chrono::milliseconds wait)
{
    engineLock.unlock();
    std::this_thread::sleep_for(wait);
    engineLock.lock();
}

// The run's end lets go of the commands still stalled: their waits end and
// they leave the interpreter unrun, since nothing is recorded after the end.
// The run waits for that within the bound; a thread that does not come back
// (one the module terminated inside its stall) is left where it is.
static void LetGoOfStall()
{
    engineRun->ended = true;
    threadServices.releaseStalls(true);
    const std::chrono::steady_clock::time_point giveUpAt =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kHostCallBoundMs);
    while (engineRun->stallsInProgress > 0 && std::chrono::steady_clock::now() < giveUpAt) {
        engineLock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        engineLock.lock();
    }
}

RunResult RunHost(const Scenario& scenario, const EngineBinding& binding, void (*onRecord)(const TraceRecord&),
                  HostFrameCallback beforeFrame, TraceKept kept)
{
    std::unique_lock<std::recursive_mutex> hold(engineLock);
    static EngineRun* previous = nullptr;
    delete previous;
    engineRun = new EngineRun;
    previous = engineRun;
    ++runsStarted;
    engineRun->hostThread = threadServices.currentThread();
    threadServices.releaseStalls(false);
    engineRun->scenario = scenario;
    engineRun->binding = binding;
    engineRun->onRecord = onRecord;
    engineRun->kept = kept;
    StartHostScript(0);

    size_t nextEvent = 0;
    std::vector<ScenarioEvent> events = scenario.events;
    std::stable_sort(events.begin(), events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.t < b.t; });
    int64_t endsAt = scenario.endMs;
    for (engineRun->now = 0; engineRun->now <= scenario.endMs; engineRun->now += scenario.frameMs, ++engineRun->frame) {
        KeepPaceWithStall();
        LetTheSecondThreadIn();
        if (beforeFrame && !beforeFrame(engineRun->now)) {
            endsAt = std::max<int64_t>(0, engineRun->now - scenario.frameMs);
            break;
        }
        while (nextEvent < events.size() && events[nextEvent].t <= engineRun->now)
            ApplyEvent(events[nextEvent++]);
        WalkPlayer();
        StepTraffic(engineRun->world, scenario.frameMs / 1000.0f);
        StepScripts();
    }
    engineRun->now = endsAt;
    WaitForSecondThread();
    LetGoOfStall();
    TraceRecord end;
    end.kind = kEndRecord;
    RecordTrace(end);
    return engineRun->result;
}

RunResult UnreadScenarioRun(const std::string& problem)
{
    RunResult result;
    TraceRecord error;
    error.kind = kErrorRecord;
    error.what = "scenario " + problem;
    result.trace.push_back(error);
    result.errors = 1;
    return result;
}

}  // namespace hostsim
