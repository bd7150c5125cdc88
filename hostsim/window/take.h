// Takes: what the user does in the window, kept as a scenario that
// tools/hostsim replays to the trace the window saw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/engine/scenario.h"

namespace hostsim {

struct Take {
    Scenario played;                  // the scenario the window runs; its events are part of the take
    std::vector<ScenarioEvent> user;  // the user's key holds and releases and snapshots, in order
};

// A key pressed or released at the start of the frame at time t.
void AddTakeKey(Take& take, int64_t t, int virtualKey, bool down);

// A snapshot written at the start of the frame at time t.
void AddTakeSnapshot(Take& take, int64_t t);

// The scenario text: the played scenario's settings, every event by time
// (the user's before the played ones of the same frame, as the window
// applies them), and the end.
std::string TakeText(const Take& take, int64_t endMs);

}  // namespace hostsim
