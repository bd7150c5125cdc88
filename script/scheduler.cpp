// Turn-taking between the host's script tick and the module's script threads.
#include "script/scheduler.h"

#include <cstring>

#include "game/command_catalogue.h"
#include "script/command.h"

static const SchedulerState kSchedulerAtLoad = { {}, 1, 0, 0, nullptr, nullptr, nullptr, {} };
SchedulerState scheduler = kSchedulerAtLoad;

void SetScriptBoot(ScriptBoot boot)
{
    scheduler.boot = boot;
}

static void SetLateTurnWithoutTick(ScriptThread* late)
{
    __atomic_store_n(&scheduler.lateTurnWithoutTick, late, __ATOMIC_RELEASE);
}

// Resumes the thread and waits, within the bound, for it to give the turn
// back. A thread that keeps it longer stays the turn holder: its turn is
// late, and it sends no further command until a tick waits for it again.
static void GiveTurn(ScriptThread* thread)
{
    // Listed before the resume, so that a teardown from another host thread
    // knows this thread may be running.
    scheduler.turnHolder = thread;
    if (!RaisePlatformEvent(thread->resumeEvent) || WaitPlatformEvent(thread->yieldEvent, kTickBoundMs))
        scheduler.turnHolder = nullptr;
    else
        SetLateTurnWithoutTick(thread);
}

// While a turn is late no other thread may run, since the late thread is
// still sending commands with the command buffer and its script's record.
// Its own script's step lets it go on and waits for the turn to come back,
// within the bound, and ends there: the thread's next turn is its script's
// next step. Every other step returns at once, as for a host script the
// module did not start.
static void WaitForLateTurn(HostScript* script)
{
    if (script != scheduler.currentHostScript)
        return;
    ScriptThread* const late = scheduler.turnHolder;
    SetLateTurnWithoutTick(nullptr);
    RaisePlatformEvent(late->goOnEvent);
    if (WaitPlatformEvent(late->yieldEvent, kTickBoundMs))
        scheduler.turnHolder = nullptr;
    else
        SetLateTurnWithoutTick(late);
}

// A raise kept from a tick that the thread did not wait for (it was still in
// a command) wakes it once more to no effect; a teardown's raise ends it.
void WaitForATickOfLateTurn(ScriptThread* late)
{
    do {
        WaitPlatformEvent(late->goOnEvent, kWaitForever);
        StopIfDismissed();
    } while (__atomic_load_n(&scheduler.lateTurnWithoutTick, __ATOMIC_ACQUIRE));
}

uint32_t HOST_CALLBACK ScriptTick(HostScript* script)
{
    if (scheduler.turnHolder) {
        WaitForLateTurn(script);
        return 1;
    }
    scheduler.currentHostScript = script;
    if (!scheduler.scriptsStarted) {
        scheduler.scriptsStarted = 1;
        scheduler.boot.bootScript();
        return 1;
    }
    ScriptThread* thread = FindScriptThread(ReadInstructionPointer(script));
    if (thread)
        GiveTurn(thread);
    return 1;
}

static void CreateEvents(ScriptThread* thread)
{
    thread->resumeEvent = CreatePlatformEvent();
    thread->yieldEvent = CreatePlatformEvent();
    thread->goOnEvent = CreatePlatformEvent();
}

// Records, events and threads of an earlier boot: all terminated by the
// teardown that made this boot possible, so they can be released now. False
// when a thread could not be seen to end; what it may touch is kept, its
// command bridge too.
static bool ReleaseThreadsOfEarlierBoot()
{
    if (!scheduler.scriptThreadList.next)
        return true;  // the first boot: nothing was made before
    bool allEnded = true;
    ScriptThread* thread = &scheduler.scriptThreadList;
    do {
        ScriptThread* following = thread->next;
        // A boot record whose thread was never started has none to wait for.
        if (!thread->threadHandle || ClosePlatformThread(thread->threadHandle)) {
            ClosePlatformEvent(thread->resumeEvent);
            ClosePlatformEvent(thread->yieldEvent);
            ClosePlatformEvent(thread->goOnEvent);
            if (thread != &scheduler.scriptThreadList)
                delete thread;
        } else {
            allEnded = false;
        }
        thread = following;
    } while (thread != &scheduler.scriptThreadList);
    if (!allEnded)
        TakeNextBridge();
    return allEnded;
}

bool InitScriptThreadList()
{
    const bool earlierBootEnded = ReleaseThreadsOfEarlierBoot();
    memset(&scheduler.scriptThreadList, 0, sizeof scheduler.scriptThreadList);
    scheduler.scriptThreadList.next = &scheduler.scriptThreadList;
    scheduler.scriptThreadList.prev = &scheduler.scriptThreadList;
    scheduler.scriptThreadList.id = scheduler.threadIdCounter;
    CreateEvents(&scheduler.scriptThreadList);
    WriteInstructionPointer(scheduler.currentHostScript, scheduler.scriptThreadList.id);
    return earlierBootEnded;
}

void SpawnScriptThread(ScriptRoutine routine)
{
    ScriptThread* thread = new ScriptThread();  // zeroed: no field is ever read before it is set
    thread->id = ++scheduler.threadIdCounter;
    CreateEvents(thread);
    thread->threadHandle = CreatePlatformThread(routine, thread);
    // Listed only now that its thread exists: a teardown may come at any time.
    thread->next = scheduler.scriptThreadList.next;
    thread->prev = &scheduler.scriptThreadList;
    scheduler.scriptThreadList.next->prev = thread;
    scheduler.scriptThreadList.next = thread;
    CallCommand(kStartScript, thread->id);
}

ScriptThread* FindScriptThread(uint32_t id)
{
    if (scheduler.scriptsStopping)
        return nullptr;
    ScriptThread* thread = &scheduler.scriptThreadList;
    do {
        if (thread->id == id)
            return thread;
        thread = thread->next;
    } while (thread != &scheduler.scriptThreadList);
    return nullptr;
}

void StartBootThread(ScriptRoutine routine)
{
    scheduler.scriptThreadList.threadHandle = CreatePlatformThread(routine, &scheduler.scriptThreadList);
}

void WaitForFirstTurn(ScriptThread* self)
{
    // The full check: a thread terminated in its start-up is flagged alone.
    StopThisThreadIfDismissed();
    WaitPlatformEvent(self->resumeEvent, kWaitForever);
}

// A thread dismissed during its turn ends in the command (CallCommand stops
// it), before it touches its record's events: the boot record's are a newer
// boot's by the time such a thread comes back.
void WaitMs(ScriptThread* self, int32_t ms)
{
    CallCommand(kWait, ms);
    RaisePlatformEvent(self->yieldEvent);
    WaitPlatformEvent(self->resumeEvent, kWaitForever);
}

void RestartScripts()
{
    scheduler.scriptsStopping = 0;
    scheduler.scriptsStarted = 0;
    scheduler.boot.scriptsReinitialised();
}

bool ResetScheduler()
{
    TeardownScriptThreads();
    const bool allEnded = ReleaseThreadsOfEarlierBoot();
    const ScriptBoot boot = scheduler.boot;
    scheduler = kSchedulerAtLoad;
    scheduler.boot = boot;
    return allEnded;
}

void TeardownScriptThreads()
{
    if (!scheduler.scriptsStarted)
        return;
    scheduler.scriptsStopping = 1;
    ScriptThread* const holder = scheduler.turnHolder;
    if (holder) {
        DismissPlatformThread(holder->threadHandle);
        RaisePlatformEvent(holder->goOnEvent);  // it may be held before its next command
        WaitForPlatformThreadEnd(holder->threadHandle, kTickBoundMs);
    }
    ScriptThread* thread = &scheduler.scriptThreadList;
    do {
        // A boot record whose thread was never started has none to stop.
        if (thread != holder && thread->threadHandle) {
            TerminatePlatformThread(thread->threadHandle);
            WaitForPlatformThreadEnd(thread->threadHandle, kThreadEndGraceMs);
        }
        RaisePlatformEvent(thread->yieldEvent);
        thread = thread->next;
    } while (thread != &scheduler.scriptThreadList);
    scheduler.turnHolder = nullptr;
    SetLateTurnWithoutTick(nullptr);
}
