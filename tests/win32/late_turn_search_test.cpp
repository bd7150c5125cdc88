// The late-turn search through the real DLL and the host's sites under Wine,
// each host version in a process of its own with the seeds of its version
// (tests/late_turn_search.h). Once a run has ended and its stalls were let go
// of, one more boot brings the process's threads and the module's handles
// back to one boot's level.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "hostsim/win32/process_threads.h"
#include "hostsim/win32/site_binding.h"
#include "tests/late_turn_search.h"
#include "tests/win32/process_level.h"

namespace {

// About 30 s under Wine, both versions together.
const uint64_t kFixedRuns = 6;
const uint64_t kFirstSeed = 2612091;

class RealLateTurnSearch : public testing::TestWithParam<int> { };

TEST_P(RealLateTurnSearch, EveryRunEndsCleanAndLeavesOneBootBehind)
{
    std::string problem;
    ASSERT_TRUE(StartWin32Host(GetParam(), &problem)) << problem;
    // The threads the process keeps for good once first used: the thread
    // library's for the second host thread, the system's for a stall, a busy
    // host and a late turn, and the test framework's watcher thread, which
    // its first report of a result starts (a failure's would otherwise count
    // against the run after it).
    RunScenarioTextThroughSites("frame 20\nat 0 reinit second-thread\nat 13500 stall 1100 heap\nat 13600 busy 50\n"
                                "at 14000 shutdown second-thread\nat 14300 reinit\nend 16000\n");
    SUCCEED();
    const ProcessLevel oneBoot = ProcessLevelAfterOneMoreBoot();
    ProcessLevel before = oneBoot;
    const uint64_t first = TestSeed(kFirstSeed), runs = SearchRuns(kFixedRuns);
    const auto start = std::chrono::steady_clock::now();
    const SearchTally tally = SearchLateTurns(
        first, runs, GetParam(), [](const Scenario& scenario) { return RunHost(scenario, SiteBinding()); },
        [&]() {
            const ProcessLevel after = ProcessLevelAfterOneMoreBoot(&before);
            std::string failures;
            if (after != before)
                failures = "after one more boot: " + Describe(after) + "; before the run: " + Describe(before) +
                           "; threads begun at " + ThreadStartsOfThisProcess() + "\n";
            before = after;
            return failures;
        });
    printf("%d runs of version %d from seed %llu, %d failed, in %lld s; after one boot: %s\n", tally.ran, GetParam(),
           static_cast<unsigned long long>(first), tally.failed, SecondsSince(start), Describe(oneBoot).c_str());
}

INSTANTIATE_TEST_SUITE_P(HostVersion, RealLateTurnSearch, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Version" + std::to_string(info.param);
                         });

}  // namespace
