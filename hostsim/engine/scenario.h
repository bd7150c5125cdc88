// Scenario files: what the substitute host's user does, and when.
//
//   version 1|2            host version the Windows substitute imitates (default 1)
//   frame MS               simulated ms per host frame (default 20)
//   model-delay N          frames from a model's request until it is available (default 2)
//   model-never M          model M never becomes available, however often it is requested
//   at T keydown KEY...    these keys are held from T on
//   at T keyup KEY...      released at T
//   at T player X Y Z      the player stands at X Y Z from T on
//   at T reinit            the host runs its script re-initialisation call
//   at T shutdown          the host runs its shutdown call
//   at T snapshot          a "world" record of where everything stands at T
//   at T stall MS [HOLDS]  the first command a script thread sends at or after T
//                          takes MS ms of real time in the host's interpreter;
//                          HOLDS (heap or hostlock) is what the Windows host
//                          holds meanwhile
//   at T stall forever     the same, a stall that ends only with the run
//   at T busy MS           the host's own thread spends MS ms of real time in
//                          its own code at T, outside every call into the module
//   end T                  the run stops at T
//
// One directive a line, '#' starts a comment, times in simulated ms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

enum ScenarioEventKind {
    kEventKeyDown,
    kEventKeyUp,
    kEventPlayer,
    kEventReinit,
    kEventShutdown,
    kEventSnapshot,
    kEventStall,
    kEventBusy,
};

// What a stalled command holds while it waits, the way a game's interpreter
// holds its own locks: only the Windows substitute host holds anything.
enum StallHold {
    kHoldNothing,
    kHoldHeap,      // the C heap's lock: every other thread's malloc waits for the stall
    kHoldHostLock,  // the host's own lock, which its re-initialisation and shutdown code take
};

static const int64_t kStallForever = -1;

struct ScenarioEvent {
    int64_t t;
    ScenarioEventKind kind;
    std::vector<int> keys;  // virtual-key codes
    float x, y, z;          // player position
    int64_t stallMs;        // a stall's real ms, or kStallForever
    StallHold stallHolds;
    int64_t busyMs;  // real ms the host's own thread spends in its own code
};

struct Scenario {
    int version = 1;
    int frameMs = 20;
    int modelDelay = 2;
    std::vector<int32_t> neverModels;  // models that never become available
    int64_t endMs = 0;
    std::vector<ScenarioEvent> events;  // in file order; applied by time, stable
};

// Returns false and a message naming the line when the text is not a scenario.
bool ParseScenario(const std::string& text, Scenario* scenario, std::string* error);

// A stall's directive after its time: "stall 1300", "stall 1300 heap",
// "stall forever".
std::string StallDirective(const ScenarioEvent& stall);

// A Windows virtual-key name without VK_ (INSERT, F5, OEM_COMMA, A, 7, ...) or
// a decimal code; -1 when unknown.
int VirtualKeyFromName(const std::string& name);
// The name VirtualKeyFromName reads back as the same code: the table's name,
// the letter, digit or F-key, else the decimal code.
std::string VirtualKeyName(int code);

}  // namespace hostsim
