// The watching binding and the session scenarios.
#include "bench/bench_runs.h"

#include "game/command_catalogue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace hostsim;

Watch watch;
static EngineBinding inner;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Percentile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * (values.size() - 1) + 0.5)];
}

// The engine hands each step the record inside its EngineScript, which
// holds it first, so the record's address is its script's.
static int ScriptNumber(HostScript* record)
{
    return reinterpret_cast<EngineScript*>(record)->number;
}

static void WatchedTick(HostScript* record)
{
    const int number = ScriptNumber(record);
    if (number >= 0 && number < kWatchedScripts)
        ++watch.steps[number];
    const bool boot = watch.bootPending && number == 0;
    const bool timed = boot || (watch.timing && number == watch.timedScript);
    if (boot) {
        watch.bootPending = false;
        watch.inBoot = true;
        watch.bootCommands.push_back(0);
    }
    const int64_t start = timed ? NowNs() : 0;
    inner.tick(record);
    if (!timed)
        return;
    const int64_t took = NowNs() - start;
    if (boot) {
        watch.inBoot = false;
        watch.bootNs.push_back(took);
    } else {
        ++watch.timedSteps;
        watch.timedNs += took;
    }
}

// A sample taken before the re-initialisation is the bench's own time, not
// the module's: the host's checks of the call leave it out.
static void WatchedReinit()
{
    if (watch.beforeReinit) {
        const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
        watch.beforeReinit();
        HostWaitedInItsOwnCode(std::chrono::steady_clock::now() - start);
    }
    inner.reinit();
    watch.bootPending = true;
}

static void WatchRecord(const TraceRecord& record)
{
    if (record.kind == kCommandRecord) {
        if (watch.inBoot)
            ++watch.bootCommands.back();
        if (watch.timing && record.script == watch.timedScript)
            ++watch.commandsWhileTiming;
        if (record.script == watch.studioScript && watch.mainLoopAt < 0 && record.id == kWait.id &&
            record.args[0].i == 250)
            watch.mainLoopAt = record.t;
    } else if (record.kind == kTextRecord && record.key == "!SENTI") {
        watch.studioScript = record.script;
    }
    if (watch.onRecord)
        watch.onRecord(record);
}

int RunWatched(const std::string& scenarioText, const EngineBinding& binding, HostFrameCallback beforeFrame)
{
    Scenario scenario;
    std::string error;
    if (!ParseScenario(scenarioText, &scenario, &error)) {
        fprintf(stderr, "bench: scenario: %s\n", error.c_str());
        return 1;
    }
    void (*onRecord)(const TraceRecord&) = watch.onRecord;
    void (*beforeReinit)() = watch.beforeReinit;
    watch = Watch();
    watch.onRecord = onRecord;
    watch.beforeReinit = beforeReinit;
    inner = binding;
    EngineBinding watched = { WatchedTick, WatchedReinit, binding.shutdown, binding.lookupText };
    RunResult result = RunHost(scenario, watched, WatchRecord, beforeFrame);
    for (const TraceRecord& record : result.trace)
        if (record.kind == kErrorRecord)
            fprintf(stderr, "bench: host error at %lld ms: %s\n", static_cast<long long>(record.t),
                    record.what.c_str());
    return result.errors;
}

std::string At(int64_t t, const std::string& what)
{
    return "at " + std::to_string(t) + " " + what + "\n";
}

std::string SessionToStudio(int64_t at)
{
    return At(at, "reinit") + At(at + 20000, "player 1003.09 -456.49 55.74") +
           At(at + 20000, "keydown SPACE") +  // "!WELC_3" comes at about 23.9 s
           At(at + 25000, "keyup SPACE");
}
