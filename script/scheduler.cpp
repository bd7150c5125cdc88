// Turn-taking between the host's script tick and the module's script threads.
#include "script/scheduler.h"

#include <cstring>

#include "game/command_catalogue.h"
#include "script/command.h"

static const SchedulerState kSchedulerAtLoad = { nullptr, -1, 1, 0, 0, nullptr, nullptr, 0, 0, 0, 0, {} };
SchedulerState scheduler = kSchedulerAtLoad;

// One boot record per bridge: a boot takes both, and they are free again once
// every thread of that boot has ended. Free while the record's next is null.
static ScriptThread bootRecords[kBridges];

template <typename T>
static T Load(const T& field)
{
    return __atomic_load_n(&field, __ATOMIC_SEQ_CST);
}

template <typename T>
static void Store(T& field, T value)
{
    __atomic_store_n(&field, value, __ATOMIC_SEQ_CST);
}

// Moves the word from `from` to `to`; on failure `from` holds what it was.
static bool Claim(ScriptThread* thread, uint32_t& from, uint32_t to)
{
    return __atomic_compare_exchange_n(&thread->state, &from, to, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
}

static void CountLateOrDismissed(int change)
{
    __atomic_add_fetch(&scheduler.threadsLateOrDismissed, static_cast<uint32_t>(change), __ATOMIC_SEQ_CST);
}

void SetScriptBoot(ScriptBoot boot)
{
    scheduler.boot = boot;
}

// --- The thread's side --------------------------------------------------------

// The thread's last act: dismissed, it holds nothing of the game's here.
[[noreturn]] static void EndDismissed(ScriptThread* self)
{
    Store(self->state, static_cast<uint32_t>(kThreadEnded));
    CountLateOrDismissed(-1);
    EndOwnThread();
}

static void Park(ScriptThread* self, uint32_t from)
{
    if (!Claim(self, from, kThreadParked))
        EndDismissed(self);
}

// Parked: its next turn, or its end if a teardown raised the event instead.
// The turn may be late already, if the tick gave up before the thread woke:
// it then parks again at its next command.
static void WaitForTurn(ScriptThread* self)
{
    WaitPlatformEvent(self->resumeEvent, kWaitForever);
    if (Load(self->state) == kThreadDismissed)
        EndDismissed(self);
}

// Back from a late turn's command, or at its yield: no tick waits for it.
static void ParkLateTurn(ScriptThread* self)
{
    Park(self, kThreadLate);
    CountLateOrDismissed(-1);
}

void GoOnOnlyInTurn()
{
    ScriptThread* const self = OwnScriptThread();
    if (!self)
        return;  // the boot script, on the host's thread inside a tick
    for (;;) {
        const uint32_t state = Load(self->state);
        if (state == kThreadDismissed)
            EndDismissed(self);
        if (state != kThreadLate)
            return;
        // Resumed, it may find its tick gone already: it parks again.
        ParkLateTurn(self);
        WaitForTurn(self);
    }
}

void EndIfDismissed()
{
    ScriptThread* const self = OwnScriptThread();
    if (self && Load(self->state) == kThreadDismissed)
        EndDismissed(self);
}

// A tick may have given it its first turn already: the resume is kept.
void WaitForFirstTurn(ScriptThread* self)
{
    uint32_t state = kThreadStarting;
    if (!Claim(self, state, kThreadParked) && state == kThreadDismissed)
        EndDismissed(self);
    WaitForTurn(self);
}

void WaitMs(ScriptThread* self, int32_t ms)
{
    CallCommand(kWait, ms);
    uint32_t state = kThreadInTurn;
    if (Claim(self, state, kThreadParked))
        RaisePlatformEvent(self->yieldEvent);
    else if (state == kThreadLate)
        ParkLateTurn(self);
    else
        EndDismissed(self);
    WaitForTurn(self);
}

// --- The tick's side ----------------------------------------------------------

// How long this tick may wait for a yield: the bound, less what late turns
// spent of it lately.
static uint32_t TurnBound()
{
    if (scheduler.boundSpentMs == 0)
        return kTickBoundMs;
    if (PlatformMs() - scheduler.lastLateAtMs >= kBoundRenewedAfterMs)
        scheduler.boundSpentMs = 0;
    if (scheduler.boundSpentMs + kLeastTurnMs >= kTickBoundMs)
        return kLeastTurnMs;
    return kTickBoundMs - scheduler.boundSpentMs;
}

static void SpendBound(uint32_t ms)
{
    scheduler.boundSpentMs += ms;
    scheduler.lastLateAtMs = PlatformMs();
}

// Resumes the thread and waits, within the bound, for it to give the turn
// back. A thread that keeps it longer has a late turn.
static void GiveTurn(ScriptThread* thread)
{
    // One still starting finds the resume kept at its first wait; one
    // dismissed by a teardown from another host thread gets no turn.
    uint32_t state = Load(thread->state);
    do {
        if (state != kThreadStarting && state != kThreadParked)
            return;
    } while (!Claim(thread, state, kThreadInTurn));
    if (!RaisePlatformEvent(thread->resumeEvent)) {
        state = kThreadInTurn;
        Claim(thread, state, kThreadParked);  // it waits for a resume that never came
        return;
    }
    const uint32_t bound = TurnBound();
    if (WaitPlatformEvent(thread->yieldEvent, bound)) {
        Store(scheduler.lateTurn, static_cast<ScriptThread*>(nullptr));
        return;
    }
    SpendBound(bound);
    // Late, unless it gave the turn back as the bound passed (its yield is
    // then raised at once) or a teardown dismissed it.
    Store(scheduler.lateTurn, thread);
    CountLateOrDismissed(1);
    state = kThreadInTurn;
    if (Claim(thread, state, kThreadLate))
        return;
    CountLateOrDismissed(-1);
    Store(scheduler.lateTurn, static_cast<ScriptThread*>(nullptr));
    if (state == kThreadParked)
        WaitPlatformEvent(thread->yieldEvent, kWaitForever);
}

static int FreeBootSlot();
static void ReleaseEndedBoots(bool current);

// While a turn is late nothing else runs; its own script's tick gives it the
// turn again once it is back. A boot waits while every bridge is held by a
// thread that may still run: it never shares one with such a thread, and
// each later tick tries again.
uint32_t HOST_CALLBACK ScriptTick(HostScript* script)
{
    if (ScriptThread* const late = Load(scheduler.lateTurn)) {
        if (script == scheduler.currentHostScript && Load(late->state) == kThreadParked)
            GiveTurn(late);
        return 1;
    }
    __atomic_store_n(&scheduler.currentHostScript, script, __ATOMIC_RELEASE);
    if (!Load(scheduler.scriptsStarted)) {
        ReleaseEndedBoots(true);
        if (FreeBootSlot() < 0)
            return 1;
        Store(scheduler.scriptsStarted, static_cast<uint8_t>(1));
        scheduler.boot.bootScript();
        return 1;
    }
    ScriptThread* thread = FindScriptThread(ReadInstructionPointer(script));
    if (thread)
        GiveTurn(thread);
    return 1;
}

// --- The list and the boots ---------------------------------------------------

static void SetUpRecord(ScriptThread* thread, int slot)
{
    thread->bootSlot = slot;
    thread->resumeEvent = CreatePlatformEvent();
    thread->yieldEvent = CreatePlatformEvent();
    thread->state = kThreadStarting;
}

static void CloseEvents(ScriptThread* thread)
{
    ClosePlatformEvent(thread->resumeEvent);
    ClosePlatformEvent(thread->yieldEvent);
}

// The first free slot in turn after the current one, which comes last.
static int FreeBootSlot()
{
    for (int n = 1; n <= kBridges; ++n) {
        const int slot = (scheduler.bootSlot + n + kBridges) % kBridges;
        if (!bootRecords[slot].next)
            return slot;
    }
    return -1;
}

// Claims the record for a teardown, wherever it is; one already dismissed
// or ended is left as it is. Raises both its events: a parked thread wakes
// and ends, and a tick on another host thread that waits for it returns.
static void Dismiss(ScriptThread* thread)
{
    uint32_t state = Load(thread->state);
    for (;;) {
        if (state == kThreadDismissed || state == kThreadEnded)
            return;
        const bool counted = state == kThreadLate;
        if (!counted)
            CountLateOrDismissed(1);
        if (Claim(thread, state, kThreadDismissed))
            break;
        if (!counted)
            CountLateOrDismissed(-1);
    }
    RaisePlatformEvent(thread->resumeEvent);
    RaisePlatformEvent(thread->yieldEvent);
}

static ScriptThread* Next(const ScriptThread* thread)
{
    return __atomic_load_n(&thread->next, __ATOMIC_ACQUIRE);
}

static PlatformThread* HandleOf(const ScriptThread* thread)
{
    return __atomic_load_n(&thread->threadHandle, __ATOMIC_ACQUIRE);
}

// A record whose thread ended without EndDismissed (a test's routine that
// returned, or a boot record with no thread) may still be counted.
static void ReleaseRecord(ScriptThread* thread)
{
    if (Load(thread->state) == kThreadDismissed)
        CountLateOrDismissed(-1);
    CloseEvents(thread);
}

// Releases every record of the boot whose thread has ended, its handle and
// events; the boot record goes last, with what the boot made. A record
// whose thread never started has none to wait for.
static void ReleaseEndedThreads(int slot)
{
    ScriptThread* const head = &bootRecords[slot];
    Dismiss(head);
    for (ScriptThread* thread = head->next; thread != head;) {
        ScriptThread* const following = thread->next;
        Dismiss(thread);
        if (ClosePlatformThread(thread->threadHandle)) {
            thread->prev->next = following;
            following->prev = thread->prev;
            ReleaseRecord(thread);
            delete thread;
        }
        thread = following;
    }
    if (head->next != head)
        return;
    if (head->threadHandle && !ClosePlatformThread(head->threadHandle))
        return;
    ReleaseRecord(head);
    memset(head, 0, sizeof *head);
    if (Load(scheduler.scriptThreadList) == head)
        Store(scheduler.scriptThreadList, static_cast<ScriptThread*>(nullptr));
    scheduler.boot.releaseBoot(slot);
}

// Every boot but the current one (and the current one too once it has been
// torn down), unless a teardown is walking a list meanwhile.
static void ReleaseEndedBoots(bool current)
{
    if (Load(scheduler.teardownsUnderway))
        return;
    for (int slot = 0; slot < kBridges; ++slot)
        if (bootRecords[slot].next && (current || slot != scheduler.bootSlot))
            ReleaseEndedThreads(slot);
}

void InitScriptThreadList()
{
    ReleaseEndedBoots(false);
    const int slot = FreeBootSlot();
    ScriptThread* const head = &bootRecords[slot];
    head->next = head;
    head->prev = head;
    head->id = scheduler.threadIdCounter;
    SetUpRecord(head, slot);
    UseBridge(slot);
    scheduler.bootSlot = slot;
    // The list this boot's teardown walks; the boot before is released only
    // once no teardown can still be walking it.
    Store(scheduler.scriptThreadList, head);
    ReleaseEndedBoots(false);
    WriteInstructionPointer(scheduler.currentHostScript, head->id);
}

void SpawnScriptThread(ScriptRoutine routine)
{
    ScriptThread* const head = scheduler.scriptThreadList;
    ScriptThread* thread = new ScriptThread();  // zeroed: no field is ever read before it is set
    thread->id = ++scheduler.threadIdCounter;
    SetUpRecord(thread, scheduler.bootSlot);
    thread->threadHandle = CreatePlatformThread(routine, thread);
    // Listed only now that its thread exists: a teardown may come at any time.
    thread->next = head->next;
    thread->prev = head;
    head->next->prev = thread;
    Store(head->next, thread);
    // A teardown from another host thread that began meanwhile may have
    // walked the list without it.
    if (Load(scheduler.scriptsStopping))
        Dismiss(thread);
    CallCommand(kStartScript, thread->id);
}

ScriptThread* FindScriptThread(uint32_t id)
{
    ScriptThread* const head = Load(scheduler.scriptThreadList);
    if (Load(scheduler.scriptsStopping) || !head)
        return nullptr;
    ScriptThread* thread = head;
    do {
        if (thread->id == id)
            return thread;
        thread = Next(thread);
    } while (thread != head);
    return nullptr;
}

void StartBootThread(ScriptRoutine routine)
{
    ScriptThread* const head = scheduler.scriptThreadList;
    __atomic_store_n(&head->threadHandle, CreatePlatformThread(routine, head), __ATOMIC_RELEASE);
}

// Counted as underway before it looks at the flag: a boot that has seen no
// teardown underway may release the list only once the flag is clear.
void TeardownScriptThreads()
{
    __atomic_add_fetch(&scheduler.teardownsUnderway, 1, __ATOMIC_SEQ_CST);
    ScriptThread* const head = Load(scheduler.scriptsStarted) ? Load(scheduler.scriptThreadList) : nullptr;
    if (head) {
        Store(scheduler.scriptsStopping, static_cast<uint8_t>(1));
        // A late turn has had its bound: it is not waited for again.
        ScriptThread* const late = Load(scheduler.lateTurn);
        ScriptThread* thread = head;
        do {
            Dismiss(thread);
            thread = Next(thread);
        } while (thread != head);
        Store(scheduler.lateTurn, static_cast<ScriptThread*>(nullptr));
        do {
            PlatformThread* const handle = HandleOf(thread);
            if (handle && thread != late)
                WaitForPlatformThreadEnd(handle, kThreadEndGraceMs);
            thread = Next(thread);
        } while (thread != head);
    }
    __atomic_sub_fetch(&scheduler.teardownsUnderway, 1, __ATOMIC_SEQ_CST);
}

void RestartScripts()
{
    Store(scheduler.scriptsStopping, static_cast<uint8_t>(0));
    Store(scheduler.scriptsStarted, static_cast<uint8_t>(0));
    scheduler.boot.scriptsReinitialised();
}

void ResetScheduler()
{
    TeardownScriptThreads();
    ReleaseEndedBoots(true);
    SchedulerState reset = kSchedulerAtLoad;
    reset.boot = scheduler.boot;
    // Threads left behind still run, and their boots are still held.
    reset.threadsLateOrDismissed = scheduler.threadsLateOrDismissed;
    reset.bootSlot = scheduler.bootSlot;
    scheduler = reset;
}
