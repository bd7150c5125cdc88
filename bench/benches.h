// The five benchmarks and their figures. Each figure is measured in the same
// process as the reference it is compared with.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/bench_platform.h"

// 1. The turn: microseconds a host step, and the bare ping-pong of two
// auto-reset events of the same platform layer between two threads.
struct TurnRow {
    bool oneCore;  // every thread on the first core
    const char* what;
    double stepUs;               // median of the blocks' mean steps
    double pingPongUs;           // median of the blocks' mean rounds
    double ratio;                // median of the blocks' ratios
    double ratioLow, ratioHigh;  // their first and third quartiles
    int blocks;
    double commandsPerStep;  // for the studio's loop: commands its script sent a step
};
std::vector<TurnRow> MeasureTurn();

// 2. The boot tick: its 768 commands, a re-initialisation before each boot.
struct BootFigures {
    int boots;
    double engineUs;  // median, through the substitute host's interpreter (module under test)
    int fewestCommands, mostCommands;
    double aloneUs;  // median, against an interpreter that does nothing (linked module)
};
BootFigures MeasureBoot();
// Gives the threads a boot tick started time to reach their first wait.
void LetNewThreadsPark();

// 3. The bridge: CallCommand against an interpreter that does nothing.
struct BridgeFigure {
    const char* form;
    double ns;  // median of the rounds
    int64_t calls;
    int64_t allocations;  // allocation calls made during all of them
};
std::vector<BridgeFigure> MeasureBridge();

// 4. An idle studio: its main loop with no key held.
struct IdleFigures {
    int passes;
    double stepsPerPass;  // host steps of the studio's script per pass
    int fewestSteps, mostSteps;
    double simulatedMsPerPass;
    int framesPerSecond, frameMs;
    double simulatedS, wallS;  // of the paced part
    double scriptCpuS;         // CPU of the module's threads, in the paced part
    double processCpuS;        // CPU of the whole process, substitute host included
};
IdleFigures MeasureIdleStudio(int pacedSimulatedS);

// 5. Memory over time: what the module holds at points of two long runs.
struct MemorySample {
    const char* when;
    ModuleCounts counts;
};
std::vector<MemorySample> MeasureMemory();
