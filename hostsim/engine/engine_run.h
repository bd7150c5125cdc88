// The run in progress, as the engine's own parts share it: the interpreter
// (engine.cpp), the command handlers (commands_*.cpp) and the run loop
// (run_loop.cpp). Front ends and tests read engine.h instead.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "hostsim/engine/engine.h"

namespace hostsim {

// One run at a time. Its state is touched by the host's thread and by the
// script threads' commands, which a stall lets overlap with the host's frames
// or with each other: engineLock guards it. The host's thread holds it for its
// frame work and lets go of it around every call into the module (whose hooks
// may wait for a script thread); the interpreter holds it for a command but
// for a stall's wait. Recursive, since what the host calls back under it (a
// record's listener, the front end's frame callback, the text lookup) may
// report an error or take a snapshot.
extern std::recursive_mutex engineLock;

struct EngineRun {
    Scenario scenario;
    EngineBinding binding;
    void (*onRecord)(const TraceRecord&) = nullptr;
    TraceKept kept = kWholeTrace;
    RunResult result;
    std::deque<std::unique_ptr<EngineScript>> scripts;  // stable addresses
    // Dropped by a re-initialisation, and kept till the run ends: a command
    // stalled on one of them still uses it.
    std::vector<std::unique_ptr<EngineScript>> droppedScripts;
    int nextScriptNumber = 0;
    int64_t now = 0;
    int64_t frame = 0;
    EngineScript* stepping = nullptr;  // the script being ticked, if any
    bool shutDown = false;
    int32_t nextHandle = 1;
    int32_t firstHandleOfBoot = 1;  // handles from here on belong to the module's current boot
    int16_t keys[256] = {};
    HostWorld world;
    uint64_t hostThread = 0;                // the host's own thread, whose commands (the boot's) bind no script
    std::deque<ScenarioEvent> armedStalls;  // stalls whose time has come, for the next commands of script threads
    EngineScript* stalledScript = nullptr;  // whose command is stalled, if one is
    int stallsInProgress = 0;               // more than one when a thread left behind is still in its stall
    int64_t stallBeganAt = 0;               // simulated ms
    std::chrono::steady_clock::time_point stallBeganReal;
    bool ended = false;  // the end is recorded: no command runs any more
    // The host's own thread's calls into the module that ended within the
    // last window of real time (run_loop.cpp): when each began and ended.
    std::deque<std::pair<std::chrono::steady_clock::time_point, std::chrono::steady_clock::time_point>> recentCalls;
    std::chrono::steady_clock::time_point nextWindowReport;  // one report a window
    // The second host thread's latest call; each call waits for the one before.
    std::thread secondThread;
    // The second thread is inside its call, its hook's work or the host's own
    // code after it: the host's thread starts no step meanwhile, as a game
    // steps no script while its list of scripts is being made anew.
    bool secondThreadCalling = false;
    // The second thread waits for the engine's lock: the host's thread lets
    // it in before its next frame.
    std::atomic<bool> secondThreadWaiting { false };
};

extern EngineRun* engineRun;
extern uint64_t runsStarted;  // tells a stall that woke in a later run that its own is gone
extern EngineThreadServices threadServices;

// Adds the record to the run's trace at the present time.
void RecordTrace(TraceRecord record);
EngineScript* StartHostScript(uint32_t instructionPointer);
EngineScript* ScriptOfRecord(HostScript* record);
int32_t NewHostHandle();

}  // namespace hostsim
