// POSIX platform layer for the native build. All events share one lock.
#include "platform/platform.h"

#include <pthread.h>
#include <setjmp.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

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
    jmp_buf end;  // the thread's start routine, where EndOwnThread returns to
    bool ended;   // joined; guarded by joinLock
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
    timespec deadline;
    if (timeoutMs != kWaitForever)
        DeadlineAfter(CLOCK_MONOTONIC, timeoutMs, &deadline);

    pthread_mutex_lock(&platformLock);
    bool timedOut = false;
    while (!event->signalled && !timedOut) {
        if (timeoutMs == kWaitForever)
            pthread_cond_wait(&event->changed, &platformLock);
        else
            timedOut = pthread_cond_timedwait(&event->changed, &platformLock, &deadline) == ETIMEDOUT;
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

// A thread that ends itself comes back here by longjmp and returns: the
// frames between are left as they stand, as ExitThread leaves them in
// Windows. Unwinding them (pthread_exit) would run the destructors of the
// scripts' wrappers, some of which send a command and are noexcept.
static void* RunScriptRoutine(void* parameter)
{
    PlatformThread* thread = static_cast<PlatformThread*>(parameter);
    currentThread = thread;
    if (setjmp(thread->end) == 0)
        thread->routine(thread->self);
    return nullptr;
}

PlatformThread* CreatePlatformThread(ScriptRoutine routine, ScriptThread* self)
{
    PlatformThread* thread = new PlatformThread;
    thread->routine = routine;
    thread->self = self;
    thread->ended = false;
    pthread_mutex_lock(&platformLock);
    ++liveThreads;
    pthread_mutex_unlock(&platformLock);
    pthread_create(&thread->thread, nullptr, RunScriptRoutine, thread);
    return thread;
}

ScriptThread* OwnScriptThread()
{
    return currentThread ? currentThread->self : nullptr;
}

void EndOwnThread()
{
    longjmp(currentThread->end, 1);
}

// Two teardowns, from two host threads, may wait for the same thread: its
// join is theirs in turn.
static pthread_mutex_t joinLock = PTHREAD_MUTEX_INITIALIZER;

bool WaitForPlatformThreadEnd(PlatformThread* thread, uint32_t timeoutMs)
{
    pthread_mutex_lock(&joinLock);
    // A thread joined already must not be joined again.
    if (!thread->ended) {
        timespec deadline;
        DeadlineAfter(CLOCK_REALTIME, timeoutMs, &deadline);  // the join's clock
        thread->ended = pthread_timedjoin_np(thread->thread, nullptr, &deadline) == 0;
    }
    const bool ended = thread->ended;
    pthread_mutex_unlock(&joinLock);
    return ended;
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

uint32_t PlatformMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
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
