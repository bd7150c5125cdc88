// The late-turn search with the module linked in: a fixed set of seeds here,
// any number with tools/late_turn_search. Besides what every trace must show
// (tests/late_turn_search.h), once a run has ended and its stalls were let
// go of, one more boot brings the module's events, threads and heap back to
// where they were before the run, one boot's level: nothing a teardown left
// behind is forgotten.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "hostsim/direct/direct_binding.h"
#include "tests/late_turn_search.h"
#include "tests/module_level.h"

namespace {

// About 25 s natively.
const uint64_t kFixedRuns = 8;
const uint64_t kFirstSeed = 2612091;

TEST(LateTurnSearch, EveryRunEndsCleanAndLeavesOneBootBehind)
{
    AttachDirectHost();
    const EngineBinding binding = CountingDirectBinding();
    const ModuleLevel oneBoot = LevelAfterOneMoreBoot(binding);
    ModuleLevel before = oneBoot;
    const uint64_t first = TestSeed(kFirstSeed), runs = SearchRuns(kFixedRuns);
    const auto start = std::chrono::steady_clock::now();
    int failed = 0;
    for (uint64_t seed = first; seed < first + runs; ++seed) {
        const std::string text = LateTurnScenario(seed);
        Scenario scenario;
        std::string problem;
        ASSERT_TRUE(ParseScenario(text, &scenario, &problem)) << problem;
        RunResult result;
        {
            HangWatch watch(seed, text, scenario.endMs + kHangAfterMs);
            result = RunHost(scenario, binding);
        }
        std::string failures = LateTurnSearchFailures(result.trace);
        // Each run is judged on its own: after one that left something
        // behind, the next must leave no more.
        const ModuleLevel after = LevelAfterOneMoreBoot(binding, &before);
        if (!(after == before))
            failures += "after one more boot: " + Describe(after) + "; before the run: " + Describe(before) + "\n";
        before = after;
        if (!failures.empty()) {
            ++failed;
            ADD_FAILURE() << failures << KeepScenarioForReplay("late-turn", seed, text);
        }
    }
    printf("%llu runs from seed %llu, %d failed, in %lld s; after one boot: %s\n",
           static_cast<unsigned long long>(runs), static_cast<unsigned long long>(first), failed,
           static_cast<long long>(
               std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count()),
           Describe(oneBoot).c_str());
}

}  // namespace
