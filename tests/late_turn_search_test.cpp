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
    const SearchTally tally = SearchLateTurns(
        first, runs, 0, [&](const Scenario& scenario) { return RunHost(scenario, binding); },
        [&]() {
            const ModuleLevel after = LevelAfterOneMoreBoot(binding, &before);
            std::string failures;
            if (!(after == before))
                failures = "after one more boot: " + Describe(after) + "; before the run: " + Describe(before) + "\n";
            before = after;
            return failures;
        });
    printf("%d runs from seed %llu, %d failed, in %lld s; after one boot: %s\n", tally.ran,
           static_cast<unsigned long long>(first), tally.failed, SecondsSince(start), Describe(oneBoot).c_str());
}

}  // namespace
