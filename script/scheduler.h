// The script thread scheduler: each of the module's scripts runs on an OS
// thread of its own, and the host's script tick hands the turn to exactly one
// of them at a time. While a script thread holds the turn the host's thread
// is blocked in the tick, within a bound; while the host runs, every script
// thread is parked on its resume event.
//
// Each record carries one state word, touched only by atomic operations: the
// thread sets it around each of its waits, and the tick and the teardown
// read it and claim it with compare-and-swap. Nothing else says where a
// thread is.
//
//   State      What the thread is doing               Left by                                  To
//   ---------  -------------------------------------  ---------------------------------------  ---------
//   starting   made, not yet at its first wait        the thread, at WaitForFirstTurn          parked
//                                                     a tick, which then raises resume (kept   in turn
//                                                     for the thread's first wait)
//   parked     waiting on its resume event; holds     a tick, which then raises resume         in turn
//              nothing (a late turn back at its
//              next command parks too)
//   in turn    resumed; a tick waits for its yield    the thread, at its yield (raises yield)  parked
//                                                     the tick, once the bound has passed      late
//   late       still in its turn, its tick gone       the thread, at its next command or       parked
//                                                     yield (raises nothing: no tick waits)
//   dismissed  claimed by a teardown from any of      the thread, at its next wait or command  ended
//              the four above, which then raises      (or at once if parked), where it holds
//              its resume and yield events            nothing of the game's
//   ended      its last act; the OS thread is going   a boot or reset, which releases it       (released)
//
// While a turn is late no other thread is resumed, since the late thread may
// still be using its boot's bridge and its script's record. Its next turn is
// given by a tick of its own script once it is back and parked; until then
// every tick returns at once, so a command that is stuck costs the game one
// bound, not one a frame.
#pragma once

#include <cstdint>

#include "host/host_interface.h"
#include "platform/platform.h"
#include "script/command.h"

enum ScriptThreadState : uint32_t {
    kThreadStarting,
    kThreadParked,
    kThreadInTurn,
    kThreadLate,
    kThreadDismissed,
    kThreadEnded,
};

struct ScriptThread {
    ScriptThread* next;
    ScriptThread* prev;
    uint32_t id;                   // rides in the host script's instruction pointer
    PlatformEvent* resumeEvent;    // tick -> thread: your turn
    PlatformEvent* yieldEvent;     // thread -> tick: turn given back
    PlatformThread* threadHandle;  // the OS thread running the script routine; set before the record is listed
    uint32_t state;                // a ScriptThreadState, atomic
    int bootSlot;                  // the slot (and bridge) of the boot that made it
};

// How long a tick waits for the resumed thread to give the turn back, and
// so the longest any tick blocks the host. A build constant: 1000 ms but in
// the sanitizer builds.
static const uint32_t kTickBoundMs = BRINDLE_TICK_BOUND_MS;
// A bound that late turns have spent comes back only once this long has
// passed since the last: within it, together they block the host for one
// bound, and a turn is then given what is left, or kLeastTurnMs: enough for
// any turn of a script that is not stuck, and for the tick never to give up
// on a thread between its check and its command but on a stuck machine.
static const uint32_t kBoundRenewedAfterMs = 5 * kTickBoundMs;
static const uint32_t kLeastTurnMs = 50;
// How long a teardown waits for each dismissed thread to end. A parked one
// ends at once; a late one that is not back by then is left behind.
static const uint32_t kThreadEndGraceMs = 100;

// What the scripts above hand the scheduler when the module attaches
// (DllMain, or the substitute host bound straight to the module).
struct ScriptBoot {
    void (*bootScript)();            // run to its end by the first tick after each start of the scripts
    void (*scriptsReinitialised)();  // told of each re-initialisation, once every script thread is stopped
    // Told once every thread of an earlier boot has ended: what that boot
    // made (its slot is the bridge it used) may go now.
    void (*releaseBoot)(int slot);
};

// The scheduler's state. The flags, the late turn, the count and the list's
// head are read and written atomically: a teardown may come from any host
// thread during a tick. currentHostScript is written by a tick and read by
// the thread whose turn it is, atomically too, since a thread that a
// teardown dismissed may read it as a later boot's tick writes it (it then
// ends before using it). The rest is touched by the host's thread in a tick,
// or by the thread whose turn it is.
struct SchedulerState {
    ScriptThread* scriptThreadList;  // the current boot's record, sentinel of its circular list
    int bootSlot;                    // the current boot's slot (and bridge); -1 before the first boot
    uint32_t threadIdCounter;        // last id given out; reset only with the whole module
    uint8_t scriptsStarted;          // the boot script has run
    uint8_t scriptsStopping;         // teardown has begun
    HostScript* currentHostScript;   // the host script being stepped, or the late turn's
    ScriptThread* lateTurn;          // the thread whose word went late, until it gives the turn back
    // Records whose word is late or dismissed: while there are none, a
    // command needs no look at its own thread's word.
    uint32_t threadsLateOrDismissed;
    uint32_t teardownsUnderway;  // a boot releases nothing meanwhile
    uint32_t boundSpentMs;       // by late turns since the bound was last whole
    uint32_t lastLateAtMs;       // when a tick last gave up on a turn
    ScriptBoot boot;             // handed down at attach
};
extern SchedulerState scheduler;

// Before each command: a late turn waits for a tick of its own script, a
// dismissed thread ends. One load while no word is late or dismissed.
__attribute__((cold)) void GoOnOnlyInTurn();
inline void CheckTurnBeforeCommand()
{
    if (__atomic_load_n(&scheduler.threadsLateOrDismissed, __ATOMIC_SEQ_CST))
        GoOnOnlyInTurn();
}
// After each command: a thread dismissed meanwhile ends before it reads
// anything the command left.
__attribute__((cold)) void EndIfDismissed();
inline void CheckTurnAfterCommand()
{
    if (__atomic_load_n(&scheduler.threadsLateOrDismissed, __ATOMIC_SEQ_CST))
        EndIfDismissed();
}

void SetScriptBoot(ScriptBoot boot);

// The host's patched tick call reaches this with the stepped record. Always 1.
uint32_t HOST_CALLBACK ScriptTick(HostScript* script);

// Takes a free slot for this boot (ScriptTick boots only when there is one)
// with its bridge, sets up its record, and releases what earlier boots left
// whose threads have all ended.
void InitScriptThreadList();
void SpawnScriptThread(ScriptRoutine routine);
ScriptThread* FindScriptThread(uint32_t id);
// The boot script's last action: the boot record's own OS thread.
void StartBootThread(ScriptRoutine routine);

// Waits for the thread's first turn; every script routine begins with it.
void WaitForFirstTurn(ScriptThread* self);
// wait N ms: asks the host to step this script again no sooner than N ms
// later, gives the turn back and blocks until the next turn.
void WaitMs(ScriptThread* self, int32_t ms);

// Dismisses every thread of the current boot, and waits a short grace for
// each to end; one that does not is left behind, with its boot's slot, until
// a later boot or reset sees it ended. Terminates none.
void TeardownScriptThreads();
// After a teardown: the next tick boots again, and the scripts are told.
void RestartScripts();
// Puts the scheduler back to its state at load, but for the boot handed
// down and what earlier boots left that still runs: every thread dismissed,
// and every boot whose threads have ended released.
void ResetScheduler();
