// Steps of a studio session for the feature tests: timed key presses, the
// groups and cars a test needs made first, and the studio's own records read
// back from the trace.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/studio_session.h"

using namespace hostsim;

// Times are counted from the main loop's start. One idle pass of the main
// loop takes about 600 ms, so a combination held 700 ms is surely seen, by
// one pass or two; a feature with a loop of its own runs once, its keys being
// up before it ends.
static const int64_t kOnePassMs = 700;

struct FeatureSteps {
    StudioScript script;
    int64_t t = 0;  // the time of the next step

    // Holds the keys for holdMs, then goes on restMs after their release.
    FeatureSteps& Press(const std::string& keys, int64_t holdMs = kOnePassMs, int64_t restMs = 300)
    {
        script.At(t, "keydown " + keys).At(t + holdMs, "keyup " + keys);
        t += holdMs + restMs;
        return *this;
    }
    // The modifier held first, so that the chain polls it alone every step,
    // then the key briefly: the row acts once.
    FeatureSteps& WithModifier(const std::string& modifier, const std::string& key)
    {
        script.At(t, "keydown " + modifier)
            .At(t + kOnePassMs, "keydown " + key)
            .At(t + kOnePassMs + 100, "keyup " + key)
            .At(t + kOnePassMs + 300, "keyup " + modifier);
        t += kOnePassMs + 600;
        return *this;
    }
    // A paging key held for three host steps: one step of a choice loop that
    // is waiting for it (Page Up may step twice in the clock mode, which
    // tests it again two steps later).
    FeatureSteps& Page(const std::string& key) { return Press(key, 60, 240); }
    FeatureSteps& TextsOn() { return Press("INSERT T"); }
    // Insert and the group's digit, then Backspace held through every choice
    // of the group, each taking the model on show.
    FeatureSteps& CreateGroup(int group)
    {
        Press("INSERT " + std::to_string(group));
        return Press("BACK", 1000);
    }
    // Insert + 5 makes Car 1, Insert + 7 Car 2, from the first catalogue.
    FeatureSteps& CreateCar(int car)
    {
        Press(car == 1 ? "INSERT 5" : "INSERT 7");
        return Press("BACK", 1000);
    }
    // The clock mode confirmed at once: the clock frozen at the current hour.
    FeatureSteps& Freeze() { return Press("INSERT 0 BACK"); }
    RunResult Run(int64_t afterLastMs = 1500) const { return script.Run(t + afterLastMs); }
    // The session time of the next step, for cutting the trace.
    int64_t Now() const { return script.session.readyAt + t; }
};

inline FeatureSteps StepsFrom(const StudioSession& session)
{
    return FeatureSteps { StudioScript { session } };
}

// The index of the first record after the time. Records at the main loop's
// start belong to the set-up, so every cut is made after its time.
inline size_t IndexAfter(const std::vector<TraceRecord>& trace, int64_t t)
{
    return IndexAt(trace, t + 1);
}

// The studio script's commands after the time, in order.
inline std::vector<TraceRecord> StudioCommandsAfter(const std::vector<TraceRecord>& trace, int studioScript,
                                                    int64_t after)
{
    return Select(trace, CommandFromScript(studioScript), IndexAfter(trace, after));
}

// The same, leaving out the waits.
inline std::vector<TraceRecord> StudioActionsAfter(const std::vector<TraceRecord>& trace, int studioScript,
                                                   int64_t after)
{
    std::vector<TraceRecord> actions;
    for (const TraceRecord& record : StudioCommandsAfter(trace, studioScript, after))
        if (record.id != kWait.id)
            actions.push_back(record);
    return actions;
}

// The actions after the first time and up to the second.
inline std::vector<TraceRecord> StudioActionsBetween(const std::vector<TraceRecord>& trace, int studioScript,
                                                     int64_t after, int64_t until)
{
    std::vector<TraceRecord> actions;
    for (const TraceRecord& record : StudioActionsAfter(trace, studioScript, after))
        if (record.t <= until)
            actions.push_back(record);
    return actions;
}

// The keys of the texts shown after the time.
inline std::vector<std::string> TextKeysAfter(const std::vector<TraceRecord>& trace, int64_t after)
{
    std::vector<std::string> keys;
    for (size_t n = IndexAfter(trace, after); n < trace.size(); ++n)
        if (trace[n].kind == kTextRecord)
            keys.push_back(trace[n].key);
    return keys;
}

// The handles of the peds made after the time and never taken away again as
// previews, in the order made: the group peds, place by place.
inline std::vector<int32_t> GroupPedHandles(const std::vector<TraceRecord>& trace, int64_t after)
{
    std::vector<int32_t> made, discarded;
    for (size_t n = IndexAfter(trace, after); n < trace.size(); ++n) {
        if (trace[n].kind != kCommandRecord)
            continue;
        if (trace[n].id == kCreatePed.id)
            made.push_back(trace[n].out[0]);
        if (trace[n].id == kDiscardPed.id)
            discarded.push_back(trace[n].args[0].i);
    }
    std::vector<int32_t> kept;
    for (int32_t handle : made)
        if (std::find(discarded.begin(), discarded.end(), handle) == discarded.end())
            kept.push_back(handle);
    return kept;
}

// The handle of the last car made before the time: a car just chosen.
inline int32_t LastCarHandle(const std::vector<TraceRecord>& trace, int64_t before)
{
    const size_t end = IndexAt(trace, before);
    int32_t handle = 0;
    for (size_t n = FindCommand(trace, kCreateCar.id); n < end; n = FindCommand(trace, kCreateCar.id, n + 1))
        handle = trace[n].out[0];
    return handle;
}

// "0372(7,19,2000) 00AD(3,10.0)": commands with their int and variable arguments,
// for comparing whole sequences with readable failures.
inline std::string Described(const std::vector<TraceRecord>& commands)
{
    std::string text;
    for (const TraceRecord& record : commands) {
        text += text.empty() ? "" : " ";
        text += CommandIdText(record.id);
        text += "(";
        for (size_t n = 0; n < record.args.size(); ++n) {
            const TraceArgument& argument = record.args[n];
            if (argument.kind == 'z')
                continue;
            text += n == 0 ? "" : ",";
            if (argument.kind == 'f') {
                char number[32];
                snprintf(number, sizeof number, "%.1f", argument.f);
                text += number;
            } else if (argument.kind == 's')
                text += argument.s;
            else
                text += std::to_string(argument.i);
        }
        text += ")";
    }
    return text;
}
