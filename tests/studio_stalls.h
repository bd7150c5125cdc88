// The game's interpreter stalling on the studio's turn, with the real studio
// scripts, as in a busy game: the scenarios, and what must hold of their
// traces natively and through the real DLL under Wine. The host reports, as
// errors, any call into the module that blocks it past the bound and a small
// margin, and any command that arrives while another is being run or from a
// thread other than its script's; so a clean trace already says that one
// script thread ran at a time and the host was never held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/scheduler.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

// Turns that run past the bound by a little, and twice in a row.
const int64_t kLateByAFewMs = kTickBoundMs + 300;
const int64_t kLateAgainMs = kTickBoundMs + 200;
// The boot's commands, as every boot sends them.
const size_t kBootCommandCount = 768;
// The studio's main loop runs from about 26.4 s (the tutorial skipped); its
// turn that creates the first ped, from 28420, is the first of any script
// thread from this time on.
const int64_t kStudioTurnAt = 28410;
const int kWelcomeScript = 0;
const int kStudioScript = 1;

// The studio reached on the given host version and told to create a ped,
// then the events; the run ends at endMs.
inline std::string StudioScenario(int version, const std::string& events, int64_t endMs)
{
    return "version " + std::to_string(version) +
           "\n"
           "frame 20\n"
           "at 20000 player 1003.09 -456.49 55.74\n"
           "at 23000 keydown SPACE\n"
           "at 24500 keyup SPACE\n"
           "at 28000 keydown INSERT 1\n"
           "at 28700 keyup INSERT 1\n" +
           events + "end " + std::to_string(endMs) + "\n";
}

// "at T stall HOW" on the studio's turn: "1300", "1500 heap", "forever".
inline std::string StallOnTheStudiosTurn(const std::string& how)
{
    return "at " + std::to_string(kStudioTurnAt) + " stall " + how + "\n";
}

// The host's own thread in its own code from the frame after the stalled
// turn's, when the tick has just given up, until well after the stall ends:
// the late turn must not go on meanwhile.
inline std::string HostBusyAsTheStallEnds()
{
    return "at " + std::to_string(kStudioTurnAt + 30) + " busy 600\n";
}

// A re-initialisation or shutdown in the frame after the stalled turn's, while
// the stall lasts: with a stall of kBackWithinTheTeardownMs the late thread
// comes back within the teardown's bound, with kBackAfterTheTeardownMs it does
// not.
const int64_t kTeardownAt = kStudioTurnAt + 30;
const int64_t kBackWithinTheTeardownMs = kTickBoundMs + 800;
const int64_t kBackAfterTheTeardownMs = 2 * kTickBoundMs + 300;

// The run goes on past the end of either stall, so that the stalled command
// is run, by then in a host that a newer boot may have sent commands to.
inline std::string TeardownDuringAStall(int version, const std::string& stall, const std::string& teardown)
{
    return StudioScenario(version,
                          StallOnTheStudiosTurn(stall) + "at " + std::to_string(kTeardownAt) + " " + teardown + "\n",
                          kStudioTurnAt + kBackAfterTheTeardownMs + 1000);
}

inline size_t FirstOfKind(const std::vector<TraceRecord>& trace, RecordKind kind, size_t from = 0)
{
    while (from < trace.size() && trace[from].kind != kind)
        ++from;
    return from;
}

inline size_t WaitsOfScriptBetween(const std::vector<TraceRecord>& trace, int script, int64_t from, int64_t to)
{
    size_t waits = 0;
    for (const TraceRecord& record : CommandsWithId(trace, kWait.id))
        waits += record.script == script && record.t >= from && record.t < to;
    return waits;
}

// The stalls fell on the studio's turn; from the first to the studio's next
// wait only the studio sent commands; and over the two seconds after that
// wait both the welcome and the studio thread took turns again.
inline std::string LateStudioTurnFailures(const std::vector<TraceRecord>& trace, size_t stalls)
{
    std::string failures = Errors(trace);
    size_t n = FirstOfKind(trace, kStallRecord);
    if (n == trace.size())
        return failures + "no command was stalled\n";
    for (size_t stall = n; stall < trace.size(); stall = FirstOfKind(trace, kStallRecord, stall + 1)) {
        --stalls;
        if (trace[stall].script != kStudioScript)
            failures += "a stall at t=" + std::to_string(trace[stall].t) + " fell on script " +
                        std::to_string(trace[stall].script) + ", not on the studio's\n";
    }
    if (stalls != 0)
        failures += "not every stall was reached\n";
    for (; n < trace.size() && !(IsCommand(trace[n], kWait.id) && trace[n].script == kStudioScript); ++n)
        if (trace[n].kind == kCommandRecord && trace[n].script != kStudioScript)
            failures += "command " + TraceRecordJson(trace[n]) + " of script " + std::to_string(trace[n].script) +
                        " inside the studio's late turn\n";
    if (n == trace.size())
        return failures + "the studio's late turn never waited\n";
    const int64_t back = trace[n].t;
    for (int script : { kWelcomeScript, kStudioScript })
        if (WaitsOfScriptBetween(trace, script, back, back + 2000) < 10)
            failures += "script " + std::to_string(script) + " took " +
                        std::to_string(WaitsOfScriptBetween(trace, script, back, back + 2000)) +
                        " turns in the 2 s after the late turn\n";
    return failures;
}

// The boot after the re-initialisation sent every command of a boot, on the
// new first script, and its thread took turns.
inline std::string BootAfterReinitFailures(const std::vector<TraceRecord>& trace)
{
    std::string failures = Errors(trace);
    const size_t reinit = FirstOfKind(trace, kReinitRecord);
    const size_t firstCommand = FirstOfKind(trace, kCommandRecord, reinit);
    if (firstCommand == trace.size())
        return failures + "nothing was sent after the re-initialisation\n";
    size_t boot = 0;
    for (size_t n = firstCommand; n < trace.size(); ++n)
        boot +=
            trace[n].kind == kCommandRecord && trace[n].t == trace[firstCommand].t && trace[n].script == kWelcomeScript;
    if (boot != kBootCommandCount)
        failures += "the next boot sent " + std::to_string(boot) + " commands\n";
    if (WaitsOfScriptBetween(trace, kWelcomeScript, trace[firstCommand].t + 1, trace.back().t) == 0)
        failures += "the next boot's thread never took a turn\n";
    return failures;
}

// Nothing was sent after the shutdown: the stalled command, sent before it,
// is recorded when it ends.
inline std::string NothingAfterShutdownFailures(const std::vector<TraceRecord>& trace)
{
    std::string failures = Errors(trace);
    const size_t shutdown = FirstOfKind(trace, kShutdownRecord);
    if (shutdown == trace.size())
        return failures + "no shutdown\n";
    const TraceRecord* stalled = nullptr;
    for (size_t n = 0; n < shutdown; ++n)
        if (trace[n].kind == kStallRecord)
            stalled = &trace[n];
    for (size_t n = shutdown; n < trace.size(); ++n) {
        if (stalled && trace[n].kind == kCommandRecord && trace[n].script == stalled->script &&
            trace[n].id == stalled->id) {
            stalled = nullptr;
            continue;
        }
        if (trace[n].kind == kCommandRecord || trace[n].kind == kTextRecord)
            failures += TraceRecordJson(trace[n]) + " after the shutdown\n";
    }
    return failures;
}
