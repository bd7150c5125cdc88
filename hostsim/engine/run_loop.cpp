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

// Runs a call into the module without the engine's lock, which the commands
// of the script threads it may wait for need, and returns how long it took in
// real time, in ms.
template <typename Call>
static int64_t RealMsOf(Call call)
{
    engineLock.unlock();
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    call();
    const std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now();
    engineLock.lock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
}

static void CheckHostCallTime(const std::string& what, int64_t ms)
{
    if (ms > kHostCallBoundMs + kHostCallMarginMs)
        ReportHostError(what + " blocked the host for " + std::to_string(ms) + " ms, over the " +
                        std::to_string(kHostCallBoundMs) + " ms bound");
}

// Records the host's call into the module, then makes it within the bound.
static void RecordAndCall(RecordKind kind, const std::string& what, void (*call)())
{
    TraceRecord record;
    record.kind = kind;
    RecordTrace(record);
    CheckHostCallTime(what, RealMsOf(call));
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
        RecordAndCall(kReinitRecord, "the re-initialisation call", engineRun->binding.reinit);
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
    case kEventShutdown:
        RecordAndCall(kShutdownRecord, "the shutdown call", engineRun->binding.shutdown);
        engineRun->shutDown = true;
        break;
    }
}

void EngineReinitContinuation()
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
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
        if (script->wakeAt > engineRun->now)
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
// time from the stall's start, as a game's clock would: the frames after a
// tick that blocked for its bound catch up at once, and the stall covers
// about its ms of the scenario.
static void KeepPaceWithStall()
{
    if (!engineRun->stalledScript)
        return;
    const std::chrono::steady_clock::time_point due =
        engineRun->stallBeganReal + std::chrono::milliseconds(engineRun->now - engineRun->stallBeganAt);
    engineLock.unlock();
    std::this_thread::sleep_until(due);
    engineLock.lock();
}

// The run's end lets go of a command still stalled: its wait ends and it
// leaves the interpreter unrun, since nothing is recorded after the end. The
// run waits for that within the bound; a thread that does not come back (one
// the module terminated inside its stall) is left where it is.
static void LetGoOfStall()
{
    engineRun->ended = true;
    threadServices.releaseStalls(true);
    const std::chrono::steady_clock::time_point giveUpAt =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kHostCallBoundMs);
    while (engineRun->stalledScript && std::chrono::steady_clock::now() < giveUpAt) {
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
