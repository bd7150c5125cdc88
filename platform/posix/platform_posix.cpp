// POSIX platform layer for the native build.
//
// All events and threads share one lock, so that terminating a thread can
// never race with that thread starting a wait. There is no stopping a POSIX
// thread from outside, so termination and dismissal are the same here: the
// thread leaves at its current or next event wait, or at StopIfDismissed,
// whichever comes first, and runs no further script code.
#include "platform/platform.h"

#include <pthread.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

struct PlatformEvent {
    pthread_cond_t changed;
    bool signalled;
};

struct PlatformThread {
    pthread_t thread;
    ScriptRoutine routine;
    ScriptThread* self;
    std::atomic<bool> terminated;  // set under platformLock; read at any time
    PlatformEvent* waitingOn;      // guarded by platformLock
    bool ended;                    // joined
};

static pthread_mutex_t platformLock = PTHREAD_MUTEX_INITIALIZER;
static int liveEvents = 0;   // guarded by platformLock
static int liveThreads = 0;  // guarded by platformLock
static thread_local PlatformThread* currentThread = nullptr;

static void DeadlineAfter(clockid_t clock, uint32_t ms, timespec* deadline)
{
    clock_gettime(clock, deadline);
    deadline->tv_sec += ms / 1000;
    deadline->tv_nsec += (ms % 1000) * 1000000L;
    if (deadline->tv_nsec >= 1000000000L) {
        deadline->tv_sec += 1;
        deadline->tv_nsec -= 1000000000L;
    }
}

PlatformEvent* CreatePlatformEvent()
{
    PlatformEvent* event = new PlatformEvent;
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&event->changed, &attributes);
    pthread_condattr_destroy(&attributes);
    event->signalled = false;
    pthread_mutex_lock(&platformLock);
    ++liveEvents;
    pthread_mutex_unlock(&platformLock);
    return event;
}

bool RaisePlatformEvent(PlatformEvent* event)
{
    pthread_mutex_lock(&platformLock);
    event->signalled = true;
    pthread_cond_signal(&event->changed);
    pthread_mutex_unlock(&platformLock);
    return true;
}

bool WaitPlatformEvent(PlatformEvent* event, uint32_t timeoutMs)
{
    PlatformThread* self = currentThread;
    timespec deadline;
    if (timeoutMs != kWaitForever)
        DeadlineAfter(CLOCK_MONOTONIC, timeoutMs, &deadline);

    pthread_mutex_lock(&platformLock);
    if (self)
        self->waitingOn = event;
    bool timedOut = false;
    while (!event->signalled && !(self && self->terminated) && !timedOut) {
        if (timeoutMs == kWaitForever)
            pthread_cond_wait(&event->changed, &platformLock);
        else
            timedOut = pthread_cond_timedwait(&event->changed, &platformLock, &deadline) == ETIMEDOUT;
    }
    if (self) {
        self->waitingOn = nullptr;
        if (self->terminated) {
            pthread_mutex_unlock(&platformLock);
            pthread_exit(nullptr);
        }
    }
    bool signalled = event->signalled;
    event->signalled = false;
    pthread_mutex_unlock(&platformLock);
    return signalled;
}

void ClosePlatformEvent(PlatformEvent* event)
{
    pthread_cond_destroy(&event->changed);
    delete event;
    pthread_mutex_lock(&platformLock);
    --liveEvents;
    pthread_mutex_unlock(&platformLock);
}

static void* RunScriptRoutine(void* parameter)
{
    PlatformThread* thread = static_cast<PlatformThread*>(parameter);
    currentThread = thread;
    thread->routine(thread->self);
    return nullptr;
}

PlatformThread* CreatePlatformThread(ScriptRoutine routine, ScriptThread* self)
{
    PlatformThread* thread = new PlatformThread;
    thread->routine = routine;
    thread->self = self;
    thread->terminated = false;
    thread->waitingOn = nullptr;
    thread->ended = false;
    pthread_mutex_lock(&platformLock);
    ++liveThreads;
    pthread_mutex_unlock(&platformLock);
    pthread_create(&thread->thread, nullptr, RunScriptRoutine, thread);
    return thread;
}

void TerminatePlatformThread(PlatformThread* thread)
{
    pthread_mutex_lock(&platformLock);
    thread->terminated = true;
    if (thread->waitingOn)
        pthread_cond_broadcast(&thread->waitingOn->changed);
    pthread_mutex_unlock(&platformLock);
}

std::atomic<uint32_t> platformDismissals { 0 };

void DismissPlatformThread(PlatformThread* thread)
{
    TerminatePlatformThread(thread);
    platformDismissals.fetch_add(1, std::memory_order_release);
}

void StopThisThreadIfDismissed()
{
    if (currentThread && currentThread->terminated)
        pthread_exit(nullptr);
}

bool WaitForPlatformThreadEnd(PlatformThread* thread, uint32_t timeoutMs)
{
    // A shutdown followed by a re-initialisation waits twice; a thread
    // joined already must not be joined again.
    if (!thread->ended) {
        timespec deadline;
        DeadlineAfter(CLOCK_REALTIME, timeoutMs, &deadline);  // the join's clock
        thread->ended = pthread_timedjoin_np(thread->thread, nullptr, &deadline) == 0;
    }
    return thread->ended;
}

bool ClosePlatformThread(PlatformThread* thread)
{
    if (!WaitForPlatformThreadEnd(thread, 0))
        return false;
    delete thread;
    pthread_mutex_lock(&platformLock);
    --liveThreads;
    pthread_mutex_unlock(&platformLock);
    return true;
}

int CountPlatformEvents()
{
    pthread_mutex_lock(&platformLock);
    int count = liveEvents;
    pthread_mutex_unlock(&platformLock);
    return count;
}

int CountPlatformThreads()
{
    pthread_mutex_lock(&platformLock);
    int count = liveThreads;
    pthread_mutex_unlock(&platformLock);
    return count;
}

// Set by the substitute host's attach alone (hostsim/direct), which every
// run and every test passes through; host's thread only, outside ticks.
static KeyStateSource keyStateSource = nullptr;

void SetKeyStateSource(KeyStateSource source)
{
    keyStateSource = source;
}

int16_t PollKeyState(int virtualKey)
{
    return keyStateSource ? keyStateSource(virtualKey) : 0;
}

bool WriteCodeBytes(uintptr_t address, const void* bytes, size_t count)
{
    uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t first = address & ~(page - 1);
    size_t length = address + count - first;
    if (mprotect(reinterpret_cast<void*>(first), length, PROT_READ | PROT_WRITE | PROT_EXEC) != 0)
        return false;
    memcpy(reinterpret_cast<void*>(address), bytes, count);
    mprotect(reinterpret_cast<void*>(first), length, PROT_READ | PROT_EXEC);
    return true;
}
