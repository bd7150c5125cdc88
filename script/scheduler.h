// The script thread scheduler: each of the module's scripts runs on an OS
// thread of its own, and the host's script tick hands the turn to exactly one
// of them at a time. The turn is the only synchronisation: while a script
// thread holds it the host's thread is blocked in the tick, and while the host
// runs every script thread is blocked on its resume event.
#pragma once

#include <cstdint>

#include "host/host_interface.h"
#include "platform/platform.h"

struct ScriptThread {
    ScriptThread* next;
    ScriptThread* prev;
    uint32_t id;                   // rides in the host script's instruction pointer
    PlatformEvent* resumeEvent;    // tick -> thread: your turn
    PlatformEvent* yieldEvent;     // thread -> tick: turn given back
    PlatformEvent* goOnEvent;      // tick -> late thread: a tick of your script waits for you again
    PlatformThread* threadHandle;  // the OS thread running the script routine; set before the record is listed
};

// How long a tick waits for the resumed thread to give the turn back, and
// so the longest any tick blocks the host. A thread that keeps the turn
// longer has a late turn: until it gives the turn back no other thread is
// resumed, and the steps of its own script wait for it, each within the
// bound. A build constant: 1000 ms but in the sanitizer builds.
static const uint32_t kTickBoundMs = BRINDLE_TICK_BOUND_MS;
// How long a teardown waits for each stopped thread to end.
static const uint32_t kThreadEndGraceMs = 100;

// What the scripts above hand the scheduler when the module attaches
// (DllMain, or the substitute host bound straight to the module).
struct ScriptBoot {
    void (*bootScript)();            // run to its end by the first tick after each start of the scripts
    void (*scriptsReinitialised)();  // told of each re-initialisation, once every script thread is stopped
};

// The scheduler's state. Touched by the holder of the turn, or by the host's
// thread outside ticks; while a turn is late, the host's thread touches only
// turnHolder and lateTurnWithoutTick.
struct SchedulerState {
    ScriptThread scriptThreadList;  // sentinel of the circular list, and the boot record
    uint32_t threadIdCounter;       // last id given out; reset only with the whole module
    uint8_t scriptsStarted;         // the boot script has run
    uint8_t scriptsStopping;        // teardown has begun
    HostScript* currentHostScript;  // the host script being stepped, or the late turn's
    ScriptThread* turnHolder;       // resumed and not yet seen to give the turn back: late once its tick has returned
    // The late turn while no tick waits for it, else null; only ever the
    // turn holder. Read by its thread before each command, so atomic.
    ScriptThread* lateTurnWithoutTick;
    ScriptBoot boot;  // handed down at attach
};
extern SchedulerState scheduler;

// Holds a late turn until a tick of its own script waits for it again, so
// that it never sends a command while the host's thread is in its own code.
__attribute__((cold)) void WaitForATickOfLateTurn(ScriptThread* late);
// Before each command: one load while no turn is late.
inline void GoOnOnlyInsideATick()
{
    if (ScriptThread* late = __atomic_load_n(&scheduler.lateTurnWithoutTick, __ATOMIC_ACQUIRE))
        WaitForATickOfLateTurn(late);
}

void SetScriptBoot(ScriptBoot boot);

// The host's patched tick call reaches this with the stepped record. Always 1.
uint32_t HOST_CALLBACK ScriptTick(HostScript* script);

// Releases the records, events and thread handles of an earlier boot, then
// sets up the sentinel. True when every thread of an earlier boot was seen
// to end (and on the first boot): nothing of an earlier boot still runs.
bool InitScriptThreadList();
void SpawnScriptThread(ScriptRoutine routine);
ScriptThread* FindScriptThread(uint32_t id);
// The boot script's last action: the sentinel's own OS thread.
void StartBootThread(ScriptRoutine routine);

// Waits for the thread's first turn; every script routine begins with it.
void WaitForFirstTurn(ScriptThread* self);
// wait N ms: asks the host to step this script again no sooner than N ms
// later, gives the turn back and blocks until the next turn.
void WaitMs(ScriptThread* self, int32_t ms);

// Stops every script thread and releases a tick that may be blocked waiting
// for one of them. The thread whose turn it is may be anywhere in the host's
// code: it is dismissed and given the bound to end at its next command or
// wait; one that does not is left alone. The others are parked and are
// terminated. Blocks for at most the bound and a short grace per thread.
void TeardownScriptThreads();
// After a teardown: the next tick boots again, and the scripts are told.
void RestartScripts();
// Puts the scheduler back to its state at load, but for the boot handed
// down: every thread stopped, and every record, event and thread handle
// released that can be. True when every thread was seen to end.
bool ResetScheduler();
