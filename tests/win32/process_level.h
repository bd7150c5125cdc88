// The threads of the process under Wine and the handles of the real module
// in it, as the level one boot leaves: the module's events and threads.
#pragma once

#include <chrono>
#include <string>

#include "hostsim/win32/module_loader.h"
#include "hostsim/win32/process_threads.h"
#include "hostsim/win32/site_binding.h"
#include "tests/reliability_scenarios.h"

struct ProcessLevel {
    int threads;
    int handles;
};

inline bool operator==(const ProcessLevel& a, const ProcessLevel& b)
{
    return a.threads == b.threads && a.handles == b.handles;
}

inline bool operator!=(const ProcessLevel& a, const ProcessLevel& b)
{
    return !(a == b);
}

inline int ThreadsOfProcess()
{
    return static_cast<int>(ThreadsOfThisProcess().size());
}

// The level now, once it has settled at the level expected, if one is given.
inline ProcessLevel SettledProcessLevel(const ProcessLevel* expected = nullptr)
{
    return { SettledCount(ThreadsOfProcess, expected ? expected->threads : -1),
             SettledCount(ModuleHandlesOpen, expected ? expected->handles : -1) };
}

inline std::string Describe(const ProcessLevel& level)
{
    return std::to_string(level.threads) + " threads and " + std::to_string(level.handles) + " module handles";
}

// The level after one more boot, which releases what earlier teardowns left
// once it has ended; the counts settle once the threads on their way out are
// gone, and a thread that a run's end let go of may still be on its way.
inline ProcessLevel ProcessLevelAfterOneMoreBoot(const ProcessLevel* expected = nullptr)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;) {
        RunScenarioTextThroughSites("frame 20\nat 0 reinit\nend 100\n");
        const ProcessLevel level = SettledProcessLevel(expected);
        if (!expected || level == *expected || std::chrono::steady_clock::now() > giveUp)
            return level;
    }
}

// Empty when one more boot is back at the level given.
inline std::string ProcessLevelFailures(const ProcessLevel& oneBoot)
{
    const ProcessLevel after = ProcessLevelAfterOneMoreBoot(&oneBoot);
    if (after == oneBoot)
        return "";
    return "after one more boot: " + Describe(after) + ", not " + Describe(oneBoot);
}
