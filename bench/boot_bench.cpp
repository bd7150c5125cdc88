// The boot tick: the first step after each re-initialisation, in which the
// boot script sends its 768 commands and starts the welcome thread.
#include <algorithm>
#include <chrono>
#include <thread>

#include "bench/bench_runs.h"
#include "bench/benches.h"
#include "host/host_addresses.h"
#include "host/hook_work.h"
#include "script/scheduler.h"

using namespace hostsim;

static const int kReinitialisations = 100;
static const int64_t kBootEveryMs = 200;

static void HOST_CALLBACK InterpretNothing(HostScript*)
{
}

// The module under test through the substitute host, which decodes, carries
// out and records every command.
static void BootThroughEngine(BootFigures* figures)
{
    std::string scenario = "frame 20\n" + At(0, "reinit");
    for (int n = 1; n <= kReinitialisations; ++n)
        scenario += At(n * kBootEveryMs, "reinit");
    scenario += "end " + std::to_string((kReinitialisations + 1) * kBootEveryMs - 100) + "\n";
    RunWatched(scenario, ModuleBinding());
    std::vector<double> us;
    for (int64_t ns : watch.bootNs)
        us.push_back(ns / 1000.0);
    figures->boots = static_cast<int>(us.size());
    figures->engineUs = Median(us);
    figures->fewestCommands = *std::min_element(watch.bootCommands.begin(), watch.bootCommands.end());
    figures->mostCommands = *std::max_element(watch.bootCommands.begin(), watch.bootCommands.end());
}

// A thread is terminated wherever it is; under Wine one still starting up
// (not yet at its first wait) may take the process down with it. In the
// host, a re-initialisation never follows a boot this closely.
void LetNewThreadsPark()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// The linked module's own share: the same boots with an interpreter that
// returns at once. Each boot still starts the welcome thread, and releases
// the threads and events of the boot before.
static void BootAlone(BootFigures* figures)
{
    hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&InterpretNothing);
    static HostScript record;
    std::vector<double> us;
    for (int n = 0; n <= kReinitialisations; ++n) {
        ReinitScripts();
        const int64_t start = NowNs();
        ScriptTick(&record);
        us.push_back((NowNs() - start) / 1000.0);
        LetNewThreadsPark();
    }
    figures->aloneUs = Median(us);
}

BootFigures MeasureBoot()
{
    BootFigures figures = {};
    BootThroughEngine(&figures);
    BootAlone(&figures);
    return figures;
}
