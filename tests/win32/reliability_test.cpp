// The real brindle_studios.dll through the host's sites under Wine, in
// shorter runs than the native ones: re-initialisations at random moments
// with the process's threads and the module's handles counted, and random
// keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "hostsim/engine/engine.h"
#include "hostsim/win32/module_loader.h"
#include "hostsim/win32/site_binding.h"
#include "tests/reliability_scenarios.h"
#include "tests/win32/process_level.h"

using namespace hostsim;

namespace {

const int kCycles = 40;
const int64_t kFuzzMinutes = 5;
const size_t kBootCommands = 768;

EngineBinding sites;
bool bootComes = false;
std::vector<ProcessLevel> samplesAfterBoots;

void SampledTick(HostScript* script)
{
    sites.tick(script);
    if (!bootComes)
        return;
    bootComes = false;
    // Every boot after the first two must come back to what the second left.
    const bool settled = samplesAfterBoots.size() >= 2;
    samplesAfterBoots.push_back(SettledProcessLevel(settled ? &samplesAfterBoots[1] : nullptr));
}

void SampledReinit()
{
    sites.reinit();
    bootComes = true;
}

}  // namespace

TEST(RealModule, ReinitialisedAtRandomMomentsThenShutDown)
{
    std::string problem;
    ASSERT_TRUE(StartWin32Host(1, &problem)) << problem;
    const uint64_t seed = TestSeed(20261208);
    const RunResult probe = RunScenarioTextThroughSites(ReinitProbeScenario(), SiteBinding());
    ASSERT_EQ(Errors(probe.trace), "");
    CycleTimes times;
    ASSERT_TRUE(ReadCycleTimes(probe.trace, &times, &problem)) << problem;
    const ReinitPlan plan = PlanReinitCycles(seed, kCycles, times);

    sites = SiteBinding();
    EngineBinding sampled = sites;
    sampled.tick = SampledTick;
    sampled.reinit = SampledReinit;
    const RunResult result = RunScenarioTextThroughSites(plan.scenario, sampled);
    const auto replay = [&]() { return KeepScenarioForReplay("reinit-cycles-win32", seed, plan.scenario); };
    EXPECT_EQ(Errors(result.trace), "") << replay();
    EXPECT_EQ(ReinitCycleFailures(result.trace, plan, times, kBootCommands), "") << replay();

    ASSERT_EQ(samplesAfterBoots.size(), plan.cycles.size() + 2);
    const ProcessLevel& settled = samplesAfterBoots[1];
    std::string changes;
    for (size_t n = 2; n < samplesAfterBoots.size(); ++n)
        if (samplesAfterBoots[n] != settled)
            changes += "after boot " + std::to_string(n) + ": " + Describe(samplesAfterBoots[n]) + "\n";
    EXPECT_EQ(changes, "") << "after boot 1: " << Describe(settled);
    EXPECT_GT(settled.handles, 0);
    printf(
        "%d re-initialisations through the sites; after every boot %d threads in the process and %d module handles\n",
        static_cast<int>(plan.cycles.size()), settled.threads, settled.handles);
}

TEST(RealModule, RandomKeysKeepEveryHostInvariant)
{
    std::string problem;
    ASSERT_TRUE(StartWin32Host(1, &problem)) << problem;
    const uint64_t seed = TestSeed(7041);
    const std::string scenario = KeyFuzzScenario(seed, kFuzzMinutes);
    const RunResult result = RunScenarioTextThroughSites(scenario, SiteBinding());
    EXPECT_EQ(Errors(result.trace), "") << KeepScenarioForReplay("key-fuzz-win32", seed, scenario);
    EXPECT_GT(Commands(result.trace).size(), 10000u);
}
