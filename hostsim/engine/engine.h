// The substitute host's engine: host script records stepped by a simulated
// clock, a one-command interpreter that decodes and imitates by the host's
// own table of commands (host_commands.h), and just enough of a game
// (host_world.h) to drive every script of the module. One source for the
// native build and the Windows substitute host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_interface.h"
#include "hostsim/engine/host_world.h"
#include "hostsim/engine/scenario.h"
#include "hostsim/record/trace.h"

namespace hostsim {

// How the engine reaches the module. Natively these call the module's
// functions directly; the Windows substitute host calls through the real
// host code sites that the module has patched.
struct EngineBinding {
    void (*tick)(HostScript* script);                // one step of a host script
    void (*reinit)();                                // the host's script re-initialisation call
    void (*shutdown)();                              // the host's shutdown call
    const char16_t* (*lookupText)(const char* key);  // the host's text lookup
};

struct EngineScript {
    HostScript record;    // first, so a record pointer is its script's pointer
    int number;           // place in the host's list: 0 the first, 1 the next started, ...
    int64_t wakeAt;       // stepped again no sooner than this simulated ms
    uint64_t sender = 0;  // the script thread that sends its commands, from its first on; never the host's own
};

// How the engine waits and tells threads apart on script threads. Natively
// through the C++ thread library; the Windows substitute host sets its own
// (hostsim/win32/stall_holds.h), since a thread the real module terminates
// after it waited or asked its id through that library leaves two handles
// behind, and since only there a stall holds a lock.
struct EngineThreadServices {
    uint64_t (*currentThread)();  // nonzero, and unique among the threads alive
    // Blocks the calling thread ms of real time (kStallForever: until the
    // stalls are released), holding what the stall holds; at once while the
    // stalls are released.
    void (*stall)(int64_t ms, StallHold holds);
    void (*releaseStalls)(bool released);  // the run's end releases them, the next run's start takes that back
};
void SetEngineThreadServices(const EngineThreadServices& services);

struct RunResult {
    std::vector<TraceRecord> trace;
    int errors = 0;
};

// The address the module's command bridge uses as script space start: an
// array of the engine's natively; the Windows substitute host moves it to the
// host version's fixed address.
uint8_t* EngineScriptSpace();
void SetEngineScriptSpace(uint8_t* base);
// The one-command interpreter, under the host's calling contract.
void HOST_CALLBACK EngineInterpret(HostScript* script);
// The host's own text lookup, for keys the module does not serve.
const char16_t* HostOwnText(const char* key);
// The key state the module polls.
int16_t EngineKeyState(int virtualKey);

// The host's own code behind the re-initialisation and shutdown calls, reached
// after the module's hooks: re-initialisation drops every host script and
// starts one new first script, numbered 0 again, as a new game does.
void EngineReinitContinuation();
void EngineShutdownContinuation();

// A front end that runs the host in real time: called before each frame,
// with the frame's simulated time, once the previous frame is stepped. It may
// hold and release keys (SetHostKey) and wait. Returning false stops the run
// before this frame; the end record then carries the last stepped frame's time.
typedef bool (*HostFrameCallback)(int64_t frameTime);

// What a run keeps of its trace: all of it, for a scenario run; none, for a
// live front end, which takes each record from onRecord as it comes and
// whose run has no end to bound the trace.
enum TraceKept { kWholeTrace, kNoTrace };

// Runs the scenario to its end. Records are also passed to onRecord as they happen,
// when it is given.
RunResult RunHost(const Scenario& scenario, const EngineBinding& binding,
                  void (*onRecord)(const TraceRecord&) = nullptr, HostFrameCallback beforeFrame = nullptr,
                  TraceKept kept = kWholeTrace);
// The run of a scenario that could not be read: one error record, saying why.
RunResult UnreadScenarioRun(const std::string& problem);

// Holds or releases a key in the run in progress, as keydown and keyup do.
void SetHostKey(int virtualKey, bool held);

// The arrow keys walk (Up, Down) and turn (Left, Right) the player while its
// controls are not locked, once per frame after the frame's events, as the
// game's own controls do; the module never polls them.
static const float kPlayerWalkSpeed = 3.0f;  // units a second
static const float kPlayerTurnRate = 90.0f;  // degrees a second

// The state of the run in progress (or of the last run).
const HostWorld& CurrentHostWorld();
int64_t CurrentHostTime();
// A "world" record of the run in progress: the player, peds, cars, markers,
// clock and weather at the present simulated time. The run also passes it to
// onRecord and keeps it in the trace.
TraceRecord SnapshotRecord();
// Records an error in the run in progress.
void ReportHostError(const std::string& what);

}  // namespace hostsim
