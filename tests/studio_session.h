// Whole sessions of the module against the substitute host, for the welcome
// and studio tests: a fresh start of the scripts for every run, and a session
// brought to the studio's main loop with times read from its own trace.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/hook_work.h"
#include "hostsim/direct/direct_binding.h"
#include "scripts/studio_key_map.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

static const char kToStartPoint[] = "player 1003.09 -456.49 55.74";
// Well after the welcome cut-scene, which takes about 15 s.
static const int64_t kArrivalMs = 20000;

inline std::string At(int64_t t, const std::string& what)
{
    return "at " + std::to_string(t) + " " + what + "\n";
}

inline std::string EndAt(int64_t t)
{
    return "end " + std::to_string(t) + "\n";
}

// Runs the scenario from a fresh start of the scripts, so that one test may
// run several sessions; the simulated clock makes equal scenario prefixes
// give equal traces.
inline RunResult RunSession(const std::string& scenario)
{
    ReinitScripts();
    return RunScenarioText(scenario);
}

// The player walks to the start point once the cut-scene is over.
inline std::string ArrivalScenario()
{
    return "frame 20\n" + At(kArrivalMs, kToStartPoint);
}

struct StudioSession {
    std::string prefix;              // scenario lines that bring the studio to its main loop
    int64_t readyAt = -1;            // the time of the main loop's first 250 ms wait
    int studioScript = 0;            // the studio's host script number
    std::vector<TraceRecord> trace;  // the trace of the prefix
    // When the first pass of the main loop tests each row of the key map,
    // counted from readyAt: keys pressed at 0 and released just after their
    // row's time are seen by exactly one test.
    int64_t rowTestedAt[kMainLoopRowCount] = {};

    // Just after the test of the row that runs the feature with the argument.
    int64_t JustAfterRow(MainLoopFeature feature, int argument = 0) const
    {
        const MainLoopRow* row = MainLoopRowOf(feature, argument);
        EXPECT_NE(row, nullptr) << "no row of the key map runs feature " << feature << " with " << argument;
        return row ? rowTestedAt[row - kMainLoopRows] + 10 : 0;
    }
};

// The 0 ms waits one idle pass makes before the modifier chain: one before
// each row tested after a host step.
inline int StepsBeforeModifierChain()
{
    int steps = 0;
    for (const MainLoopRow& row : kMainLoopRows)
        steps += row.test == kTestAfterStep;
    return steps;
}

// The index of the studio's first 250 ms wait after "!SENTI": the main
// loop's start (the set-up's last commands share its time). trace.size()
// when the main loop has not started.
inline size_t MainLoopStart(const std::vector<TraceRecord>& trace)
{
    const size_t sentinel = FindText(trace, "!SENTI");
    if (sentinel == trace.size())
        return sentinel;
    for (size_t n = sentinel; n < trace.size(); ++n) {
        const TraceRecord& record = trace[n];
        if (IsCommand(record, kWait.id) && record.script == trace[sentinel].script && record.args[0].i == 250)
            return n;
    }
    return trace.size();
}

// A session at the studio's main loop, the tutorial skipped with Space held
// from the arrival until just after "!WELC_3".
inline StudioSession ReachStudio()
{
    StudioSession session;
    const RunResult watched = RunSession(ArrivalScenario() + EndAt(40000));
    const size_t invitation = FindText(watched.trace, "!WELC_3");
    if (invitation == watched.trace.size()) {
        ADD_FAILURE() << "no \"!WELC_3\" by 40 s";
        return session;
    }
    const int64_t invitedAt = watched.trace[invitation].t;
    session.prefix = ArrivalScenario() + At(kArrivalMs, "keydown SPACE") + At(invitedAt + 100, "keyup SPACE");
    const RunResult skipped = RunSession(session.prefix + EndAt(invitedAt + 20000));
    const size_t ready = MainLoopStart(skipped.trace);
    if (ready == skipped.trace.size()) {
        ADD_FAILURE() << "the main loop did not start within 20 s of \"!WELC_3\"";
        return session;
    }
    session.readyAt = skipped.trace[ready].t;
    session.studioScript = skipped.trace[ready].script;
    // A row is tested as the wait before it ends: the pass's 250 ms wait,
    // which ends right before the first 0 ms wait, or the row's own 0 ms
    // wait or that of a row before it, a host step after it was sent.
    const size_t steps = StepsBeforeModifierChain();
    std::vector<int64_t> stepWaits;
    for (size_t n = ready + 1; n < skipped.trace.size() && stepWaits.size() < steps; ++n) {
        const TraceRecord& record = skipped.trace[n];
        if (IsCommand(record, kWait.id) && record.script == session.studioScript)
            stepWaits.push_back(record.t);
    }
    if (stepWaits.size() < steps) {
        ADD_FAILURE() << "the first pass has no " << steps << " 0 ms waits";
        return session;
    }
    const int64_t step = stepWaits[1] - stepWaits[0];
    size_t waits = 0;
    for (int n = 0; n < kMainLoopRowCount; ++n) {
        waits += kMainLoopRows[n].test == kTestAfterStep;
        const int64_t testedAt = waits == 0 ? stepWaits[0] : stepWaits[waits - 1] + step;
        session.rowTestedAt[n] = testedAt - session.readyAt;
    }
    session.trace = skipped.trace;
    return session;
}

// Runs the session on from the main loop with the given lines, times counted
// from the main loop's start.
struct StudioScript {
    const StudioSession& session;
    std::string lines;

    explicit StudioScript(const StudioSession& from)
        : session(from)
    {
    }

    StudioScript& At(int64_t afterReady, const std::string& what)
    {
        lines += ::At(session.readyAt + afterReady, what);
        return *this;
    }
    RunResult Run(int64_t endAfterReady) const
    {
        return RunSession(session.prefix + lines + EndAt(session.readyAt + endAfterReady));
    }
};

// The index of the first record at or after the time.
inline size_t IndexAt(const std::vector<TraceRecord>& trace, int64_t t)
{
    size_t n = 0;
    while (n < trace.size() && trace[n].t < t)
        ++n;
    return n;
}

// The models of the peds made from the index on, in order: the model number,
// or for a special model the name last loaded into its slot.
inline std::vector<std::string> PedModelsMade(const std::vector<TraceRecord>& trace, size_t from = 0)
{
    std::string specialNames[11];
    std::vector<std::string> models;
    for (size_t n = 0; n < trace.size(); ++n) {
        const TraceRecord& record = trace[n];
        if (record.kind != kCommandRecord)
            continue;
        if (record.id == kLoadSpecialModel.id && record.args[0].i >= 1 && record.args[0].i <= 10)
            specialNames[record.args[0].i] = record.args[1].s;
        if (record.id != kCreatePed.id || n < from)
            continue;
        const int32_t model = record.args[1].i;
        models.push_back(model >= 109 && model <= 118 ? specialNames[model - 108] : std::to_string(model));
    }
    return models;
}

// The handles the placeholder peds of the set-up received, in slot order: the
// ten peds made right after "!SENTI".
inline std::vector<int32_t> PlaceholderPedHandles(const std::vector<TraceRecord>& trace)
{
    std::vector<int32_t> handles;
    for (const TraceRecord& made : CommandsWithId(trace, kCreatePed.id, FindText(trace, "!SENTI")))
        if (handles.size() < 10)
            handles.push_back(made.out[0]);
    return handles;
}
