// What the linked module holds: its events, script threads and heap, as the
// level one boot leaves, for the tests of what teardowns leave behind.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "hostsim/engine/engine.h"
#include "platform/platform.h"
#include "tests/module_heap.h"

struct ModuleLevel {
    int events;
    int threads;
    ModuleHeap heap;
};

inline bool operator==(const ModuleLevel& a, const ModuleLevel& b)
{
    return a.events == b.events && a.threads == b.threads && a.heap.bytes == b.heap.bytes &&
           a.heap.blocks == b.heap.blocks;
}

inline std::string Describe(const ModuleLevel& level)
{
    return std::to_string(level.events) + " events, " + std::to_string(level.threads) + " script threads, " +
           std::to_string(level.heap.bytes) + " bytes of module heap in " + std::to_string(level.heap.blocks) +
           " blocks";
}

// The level after one more boot, which releases what earlier teardowns left
// once it has ended. A thread that a run's end let go of may still be on its
// way out: boot again until the level is the expected one, for a few seconds
// at most. The binding counts the module's heap (CountingDirectBinding).
inline ModuleLevel LevelAfterOneMoreBoot(const EngineBinding& binding, const ModuleLevel* expected = nullptr)
{
    Scenario oneBoot;
    std::string problem;
    ParseScenario("frame 20\nat 0 reinit\nend 100\n", &oneBoot, &problem);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;) {
        RunHost(oneBoot, binding);
        const ModuleLevel level = { CountPlatformEvents(), CountPlatformThreads(), CurrentModuleHeap() };
        if (!expected || level == *expected || std::chrono::steady_clock::now() > giveUp)
            return level;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
