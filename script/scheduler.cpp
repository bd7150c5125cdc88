// Turn-taking between the host's script tick and the module's script threads.
#include "script/scheduler.h"

#include <cstring>

#include "game/command_catalogue.h"
#include "script/command.h"
#include "scripts/boot.h"

ScriptThread scriptThreadList;
uint32_t threadIdCounter = 1;
uint8_t scriptsStarted = 0;
uint8_t scriptsStopping = 0;
HostScript* currentHostScript = nullptr;

// Resumes the thread and waits, within the bound, for it to give the turn
// back. A thread that owes a yield still runs: it is resumed only once that
// yield has come, so its late signal never ends a later turn early and the
// host and a script thread never run host code at the same time after it.
static void GiveTurn(ScriptThread* thread)
{
    if (thread->owesYield) {
        if (!WaitPlatformEvent(thread->yieldEvent, kTickBoundMs))
            return;
        thread->owesYield = 0;
    }
    if (RaisePlatformEvent(thread->resumeEvent))
        thread->owesYield = !WaitPlatformEvent(thread->yieldEvent, kTickBoundMs);
}

uint32_t HOST_CALLBACK ScriptTick(HostScript* script)
{
    currentHostScript = script;
    if (!scriptsStarted) {
        scriptsStarted = 1;
        BootScript();
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
}

// Records, events and threads of an earlier boot: all terminated by the
// teardown that made this boot possible, so they can be released now. False
// when a thread could not be seen to end; what it may touch is kept.
static bool ReleaseThreadsOfEarlierBoot()
{
    if (!scriptThreadList.next)
        return true;  // the first boot: nothing was made before
    bool allEnded = true;
    ScriptThread* thread = &scriptThreadList;
    do {
        ScriptThread* following = thread->next;
        if (ClosePlatformThread(thread->threadHandle)) {
            ClosePlatformEvent(thread->resumeEvent);
            ClosePlatformEvent(thread->yieldEvent);
            if (thread != &scriptThreadList)
                delete thread;
        } else {
            allEnded = false;
        }
        thread = following;
    } while (thread != &scriptThreadList);
    return allEnded;
}

bool InitScriptThreadList()
{
    const bool earlierBootEnded = ReleaseThreadsOfEarlierBoot();
    memset(&scriptThreadList, 0, sizeof scriptThreadList);
    scriptThreadList.next = &scriptThreadList;
    scriptThreadList.prev = &scriptThreadList;
    scriptThreadList.id = threadIdCounter;
    CreateEvents(&scriptThreadList);
    WriteInstructionPointer(currentHostScript, scriptThreadList.id);
    return earlierBootEnded;
}

void SpawnScriptThread(ScriptRoutine routine)
{
    ScriptThread* thread = new ScriptThread();  // zeroed: no field is ever read before it is set
    thread->next = scriptThreadList.next;
    thread->prev = &scriptThreadList;
    scriptThreadList.next->prev = thread;
    scriptThreadList.next = thread;
    thread->id = ++threadIdCounter;
    CreateEvents(thread);
    thread->threadHandle = CreatePlatformThread(routine, thread);
    CallCommand(kStartScript, thread->id);
}

ScriptThread* FindScriptThread(uint32_t id)
{
    if (scriptsStopping)
        return nullptr;
    ScriptThread* thread = &scriptThreadList;
    do {
        if (thread->id == id)
            return thread;
        thread = thread->next;
    } while (thread != &scriptThreadList);
    return nullptr;
}

void StartBootThread(ScriptRoutine routine)
{
    scriptThreadList.threadHandle = CreatePlatformThread(routine, &scriptThreadList);
}

void WaitForFirstTurn(ScriptThread* self)
{
    WaitPlatformEvent(self->resumeEvent, kWaitForever);
}

void WaitMs(ScriptThread* self, int32_t ms)
{
    CallCommand(kWait, ms);
    RaisePlatformEvent(self->yieldEvent);
    WaitPlatformEvent(self->resumeEvent, kWaitForever);
}

void TeardownScriptThreads()
{
    if (!scriptsStarted)
        return;
    scriptsStopping = 1;
    ScriptThread* thread = &scriptThreadList;
    do {
        TerminatePlatformThread(thread->threadHandle);
        RaisePlatformEvent(thread->yieldEvent);
        thread = thread->next;
    } while (thread != &scriptThreadList);
}
