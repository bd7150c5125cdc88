// The studio over time: the idle main loop, its CPU time at real-time
// pacing, and what the module holds after many preview steps and many
// re-initialisations.
#include <algorithm>
#include <chrono>
#include <thread>

#include "bench/bench_runs.h"
#include "game/command_catalogue.h"
#include "bench/benches.h"

using namespace hostsim;

// --- An idle studio ----------------------------------------------------------------

static const int kIdleFrameMs = 17;
static const int kFramesPerSecond = 60;
static const int64_t kCountFromMs = 2000;  // after the main loop's start
static const int64_t kCountForMs = 10000;

struct IdleRun {
    int64_t pacedSimulatedMs;
    int passes = 0;
    int64_t passSteps = 0, passMs = 0;
    int fewestSteps = 0, mostSteps = 0;
    int64_t lastPassSteps = -1, lastPassAt = -1;
    bool paced = false;
    int64_t pacedFrom = 0;  // simulated
    int64_t wallStart = 0, wallEnd = 0;
    int64_t processCpuStart = 0, processCpuEnd = 0;
    int64_t moduleCpuStart = 0, moduleCpuEnd = 0;
};

static IdleRun idle;

static bool Counting(int64_t t)
{
    return watch.mainLoopAt >= 0 && t >= watch.mainLoopAt + kCountFromMs &&
           t < watch.mainLoopAt + kCountFromMs + kCountForMs;
}

// Every 250 ms wait of the studio's main loop begins a pass: the steps and
// the simulated time from one to the next are one pass's.
static void CountPasses(const TraceRecord& record)
{
    if (record.kind != kCommandRecord || record.script != watch.studioScript || record.id != kWait.id ||
        record.args[0].i != 250 || !Counting(record.t))
        return;
    const int64_t steps = watch.steps[watch.studioScript];
    if (idle.lastPassSteps >= 0) {
        const int passSteps = static_cast<int>(steps - idle.lastPassSteps);
        idle.fewestSteps = idle.passes == 0 ? passSteps : std::min(idle.fewestSteps, passSteps);
        idle.mostSteps = std::max(idle.mostSteps, passSteps);
        idle.passSteps += passSteps;
        idle.passMs += record.t - idle.lastPassAt;
        ++idle.passes;
    }
    idle.lastPassSteps = steps;
    idle.lastPassAt = record.t;
}

// Before each frame, on the host's thread: once the passes are counted, the
// frames are paced to real time.
static bool PaceIdleStudio(int64_t t)
{
    if (watch.mainLoopAt < 0)
        return true;
    if (!idle.paced && t >= watch.mainLoopAt + kCountFromMs + kCountForMs) {
        idle.paced = true;
        idle.pacedFrom = t;
        idle.wallStart = NowNs();
        idle.processCpuStart = ProcessCpuNs();
        idle.moduleCpuStart = ModuleThreadsCpuNs();
    }
    if (!idle.paced)
        return true;
    if (t >= idle.pacedFrom + idle.pacedSimulatedMs) {
        idle.wallEnd = NowNs();
        idle.processCpuEnd = ProcessCpuNs();
        idle.moduleCpuEnd = ModuleThreadsCpuNs();
        return false;
    }
    const int64_t frames = (t - idle.pacedFrom) / kIdleFrameMs;
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(idle.wallStart + frames * 1000000000 / kFramesPerSecond)));
    return true;
}

IdleFigures MeasureIdleStudio(int pacedSimulatedS)
{
    idle = IdleRun();
    idle.pacedSimulatedMs = int64_t(pacedSimulatedS) * 1000;
    const std::string scenario = "frame " + std::to_string(kIdleFrameMs) + "\n" + SessionToStudio(0) + "end 10000000\n";
    watch.onRecord = CountPasses;
    RunWatched(scenario, ModuleBinding(), PaceIdleStudio);
    watch.onRecord = nullptr;

    IdleFigures figures = {};
    figures.passes = idle.passes;
    figures.stepsPerPass = idle.passes ? double(idle.passSteps) / idle.passes : 0;
    figures.fewestSteps = idle.fewestSteps;
    figures.mostSteps = idle.mostSteps;
    figures.simulatedMsPerPass = idle.passes ? double(idle.passMs) / idle.passes : 0;
    figures.framesPerSecond = kFramesPerSecond;
    figures.frameMs = kIdleFrameMs;
    figures.simulatedS = idle.pacedSimulatedMs / 1000.0;
    figures.wallS = (idle.wallEnd - idle.wallStart) / 1e9;
    const int64_t process = idle.processCpuEnd - idle.processCpuStart;
    figures.processCpuS = process / 1e9;
    figures.scriptCpuS = (idle.moduleCpuEnd - idle.moduleCpuStart) / 1e9;
    return figures;
}

// --- Memory over time ------------------------------------------------------------

static const int kPreviewSteps = 1000;
static const int kReinitialisations = 100;
static const int64_t kCycleMs = 36000;

static std::vector<MemorySample> samples;
static int previews = 0;

// Every preview of the ped model choice creates its ped with kCreatePed.
static void CountPreviews(const TraceRecord& record)
{
    if (record.kind == kCommandRecord && record.script == watch.studioScript && record.id == kCreatePed.id &&
        record.t >= 28000)
        ++previews;
}

// The first preview comes with Insert + '1'; each step with Page Up makes one more.
static bool SamplePreviews(int64_t)
{
    const int steps = previews - 1;
    if (steps == 10 && samples.size() == 0)
        samples.push_back({ "preview steps: 10", CountModule() });
    if (steps == 100 && samples.size() == 1)
        samples.push_back({ "preview steps: 100", CountModule() });
    if (steps == kPreviewSteps && samples.size() == 2) {
        samples.push_back({ "preview steps: 1000", CountModule() });
        return false;
    }
    return true;
}

static void MeasurePreviews()
{
    const std::string scenario = "frame 20\n" + SessionToStudio(0) + At(28000, "keydown INSERT 1") +
                                 At(28700, "keyup INSERT 1") + At(29500, "keydown PRIOR") + "end 100000000\n";
    previews = 0;
    watch.onRecord = CountPreviews;
    RunWatched(scenario, ModuleBinding(), SamplePreviews);
    watch.onRecord = nullptr;
}

// A whole session in each cycle: the welcome cut-scene, the walk to the
// start point, the studio with Group 1 and Car 1 made; then the next
// re-initialisation.
static std::string ReinitCycles()
{
    std::string scenario = "frame 20\n";
    for (int cycle = 0; cycle <= kReinitialisations; ++cycle) {
        const int64_t at = cycle * kCycleMs;
        scenario += SessionToStudio(at) + At(at + 28000, "keydown INSERT 1") + At(at + 28700, "keyup INSERT 1") +
                    At(at + 29500, "keydown BACK") + At(at + 29600, "keyup BACK") + At(at + 31000, "keydown INSERT 5") +
                    At(at + 31700, "keyup INSERT 5") + At(at + 32500, "keydown BACK") + At(at + 32600, "keyup BACK");
    }
    return scenario + At((kReinitialisations + 1) * kCycleMs, "reinit") + "end " +
           std::to_string((kReinitialisations + 1) * kCycleMs) + "\n";
}

static int reinitialisations = 0;

// Before re-initialisation n + 1, all script threads are parked: the module
// holds what n re-initialisations and the session since have left.
static void SampleBeforeReinit()
{
    const int done = reinitialisations++ - 1;  // the first one starts the run's first session
    if (done == 1)
        samples.push_back({ "re-initialisations: 1", CountModule() });
    if (done == 10)
        samples.push_back({ "re-initialisations: 10", CountModule() });
    if (done == kReinitialisations)
        samples.push_back({ "re-initialisations: 100", CountModule() });
}

static void MeasureReinitialisations()
{
    reinitialisations = 0;
    watch.beforeReinit = SampleBeforeReinit;
    RunWatched(ReinitCycles(), ModuleBinding());
    watch.beforeReinit = nullptr;
}

std::vector<MemorySample> MeasureMemory()
{
    samples.clear();
    MeasurePreviews();
    MeasureReinitialisations();
    return samples;
}
