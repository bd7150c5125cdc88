// Runs of the substitute host for the benchmarks: a binding around the
// module's that times the steps asked for and every boot tick, and the
// scenario lines that bring the studio to its main loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/engine/engine.h"

using namespace hostsim;

static const int kWatchedScripts = 8;

// What the watching binding saw in the run in progress. Touched by the
// host's thread and by the script thread holding the turn, one at a time.
struct Watch {
    int timedScript = -1;  // the script whose steps are timed while timing is set
    bool timing = false;
    int64_t timedSteps = 0;
    int64_t timedNs = 0;
    int64_t commandsWhileTiming = 0;      // of the timed script
    int64_t steps[kWatchedScripts] = {};  // every step, by script number
    std::vector<int64_t> bootNs;          // each boot tick, as long as it took
    std::vector<int> bootCommands;        // the commands sent in it
    bool bootPending = true;              // the next step of script 0 boots
    bool inBoot = false;
    int studioScript = -1;                           // the studio's script, once it showed "!SENTI"
    int64_t mainLoopAt = -1;                         // the studio's first 250 ms wait after "!SENTI"
    void (*onRecord)(const TraceRecord&) = nullptr;  // the benchmark's own look at each record
    void (*beforeReinit)() = nullptr;                // called before each re-initialisation
};

extern Watch watch;

// Runs the scenario against the binding, watched; the watch starts afresh.
// Reports the run's errors on stderr and returns their number.
int RunWatched(const std::string& scenarioText, const EngineBinding& binding, HostFrameCallback beforeFrame = nullptr);

// The scenario lines of a session that starts at `at`: the module boots
// afresh (a re-initialisation at `at`, so that every run starts from a new
// boot), the player walks to the start point after the welcome cut-scene and
// holds Space until the mini-tutorial is skipped. The main loop starts at
// about at + 26.4 s.
std::string SessionToStudio(int64_t at);
std::string At(int64_t t, const std::string& what);

int64_t NowNs();
double Median(std::vector<double> values);
// The value below which the share q (0 to 1) of the values lie.
double Percentile(std::vector<double> values, double q);
