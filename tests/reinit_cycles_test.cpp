// Re-initialisation at random moments of the scripts' life, then shutdown:
// every boot is the same, nothing is sent after the shutdown, and the
// module's events, threads and heap are where the boot before left them.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "host/hook_work.h"
#include "game/car.h"
#include "hostsim/direct/direct_binding.h"
#include "platform/platform.h"
#include "tests/module_heap.h"
#include "tests/reliability_scenarios.h"

using namespace hostsim;

namespace {

#if defined(_WIN32)
const int kCycles = 40;  // the module linked into the test program, under Wine
// TerminateThread does not unwind the thread it stops: a studio terminated
// inside a car's constructor, waiting for the model, leaves that wrapper
// allocated. Natively the thread unwinds and the new-expression frees it.
const int64_t kLeftByAModelWait = sizeof(Car);
#else
const int kCycles = 200;
const int64_t kLeftByAModelWait = 0;
#endif
const size_t kBootCommands = 768;

struct ResourceSample {
    int events;
    int threads;
    int osThreads;  // natively, what the kernel lists for the process; -1 elsewhere
    ModuleHeap heap;
};

int OsThreads()
{
#if defined(__linux__)
    int count = 0;
    for (const std::filesystem::directory_entry& task : std::filesystem::directory_iterator("/proc/self/task"))
        count += task.is_directory() ? 1 : 0;
    return count;
#else
    return -1;
#endif
}

EngineBinding counted;
bool bootComes = false;
std::vector<ResourceSample> samplesAfterBoots;

// The tick after a re-initialisation boots: what the module holds then is
// what this boot made, plus whatever earlier boots left behind.
void SampledTick(HostScript* script)
{
    counted.tick(script);
    if (!bootComes)
        return;
    bootComes = false;
    // Every boot after the first two must come back to what the second left;
    // a sanitizer may keep threads of its own in the process.
    const bool settled = samplesAfterBoots.size() >= 2;
    const int osThreads = OsThreads() < 0 ? -1 : SettledCount(OsThreads, settled ? samplesAfterBoots[1].osThreads : -1);
    samplesAfterBoots.push_back({ CountPlatformEvents(), CountPlatformThreads(), osThreads, CurrentModuleHeap() });
}

void SampledReinit()
{
    counted.reinit();
    bootComes = true;
}

std::string Describe(const ResourceSample& sample)
{
    return std::to_string(sample.events) + " events, " + std::to_string(sample.threads) + " script threads, " +
           std::to_string(sample.osThreads) + " threads of the process, " + std::to_string(sample.heap.bytes) +
           " bytes of module heap in " + std::to_string(sample.heap.blocks) + " blocks";
}

}  // namespace

TEST(LongScenario, ReinitialisedAtRandomMomentsThenShutDown)
{
    const uint64_t seed = TestSeed(20261208);
    ReinitScripts();
    const RunResult probe = RunScenarioText(ReinitProbeScenario());
    ASSERT_EQ(Errors(probe.trace), "");
    CycleTimes times;
    std::string problem;
    ASSERT_TRUE(ReadCycleTimes(probe.trace, &times, &problem)) << problem;
    const ReinitPlan plan = PlanReinitCycles(seed, kCycles, times);

    Scenario scenario;
    ASSERT_TRUE(ParseScenario(plan.scenario, &scenario, &problem)) << problem;
    AttachDirectHost();
    counted = CountingDirectBinding();
    EngineBinding sampled = counted;
    sampled.tick = SampledTick;
    sampled.reinit = SampledReinit;
    const RunResult result = RunHost(scenario, sampled);
    // Only a failure keeps the scenario.
    const auto replay = [&]() { return KeepScenarioForReplay("reinit-cycles", seed, plan.scenario); };
    EXPECT_EQ(Errors(result.trace), "") << replay();
    EXPECT_EQ(ReinitCycleFailures(result.trace, plan, times, kBootCommands), "") << replay();

    // One sample after the first boot, one after each re-initialisation:
    // from the boot after the warm-up on, every boot leaves the same behind.
    ASSERT_EQ(samplesAfterBoots.size(), plan.cycles.size() + 2);
    const ResourceSample& settled = samplesAfterBoots[1];
    std::string changes;
    int modelWaits = 0;
    for (size_t n = 2; n < samplesAfterBoots.size(); ++n) {
        const ResourceSample& sample = samplesAfterBoots[n];
        modelWaits += plan.cycles[n - 2].kind == kInModelWait;
        const int64_t left = kLeftByAModelWait ? modelWaits : 0;
        if (sample.events != settled.events || sample.threads != settled.threads ||
            sample.osThreads != settled.osThreads ||
            sample.heap.bytes != settled.heap.bytes + left * kLeftByAModelWait ||
            sample.heap.blocks != settled.heap.blocks + left)
            changes += "after boot " + std::to_string(n) + ": " + Describe(sample) + "\n";
    }
    EXPECT_EQ(changes, "") << "after boot 1: " << Describe(settled) << "\n" << replay();
    EXPECT_EQ(settled.events, 3);   // the boot record's three events
    EXPECT_EQ(settled.threads, 1);  // the welcome thread

    int kinds[kCycleKindCount] = {};
    for (const ReinitCycle& cycle : plan.cycles)
        ++kinds[cycle.kind];
    std::cout << plan.cycles.size() << " re-initialisations (seed " << seed << "):";
    for (int kind = 0; kind < kCycleKindCount; ++kind)
        std::cout << " " << kinds[kind] << " " << kCycleKindNames[kind] << ";";
    std::cout << " shut down at " << plan.shutdownAt << " ms\nafter every boot: " << Describe(settled) << "\n";
}
