// Win32 platform layer for the real module.
#include "platform/platform.h"

#include <windows.h>

#include <cstring>

// Made and not yet closed; changed by the holder of the turn or the host's
// thread, read by tests.
static volatile LONG liveEvents = 0;
static volatile LONG liveThreads = 0;

// An event handle is used as the PlatformEvent pointer itself.
static HANDLE AsHandle(PlatformEvent* event)
{
    return reinterpret_cast<HANDLE>(event);
}

PlatformEvent* CreatePlatformEvent()
{
    InterlockedIncrement(&liveEvents);
    return reinterpret_cast<PlatformEvent*>(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

bool RaisePlatformEvent(PlatformEvent* event)
{
    return SetEvent(AsHandle(event)) != 0;
}

bool WaitPlatformEvent(PlatformEvent* event, uint32_t timeoutMs)
{
    DWORD timeout = timeoutMs == kWaitForever ? INFINITE : timeoutMs;
    return WaitForSingleObject(AsHandle(event), timeout) == WAIT_OBJECT_0;
}

void ClosePlatformEvent(PlatformEvent* event)
{
    CloseHandle(AsHandle(event));
    InterlockedDecrement(&liveEvents);
}

struct PlatformThread {
    HANDLE handle;
    ScriptRoutine routine;
    ScriptThread* self;
    HANDLE started;           // raised once the thread's start-up is behind it; closed once seen
    volatile LONG dismissed;  // set by any thread; read by the thread itself
};

// Where each script thread finds its own PlatformThread. Taken by the first
// thread made, on the thread that holds the turn, never under the loader's lock.
static DWORD ownThreadSlot = TLS_OUT_OF_INDEXES;

static DWORD WINAPI RunScriptRoutine(LPVOID parameter)
{
    PlatformThread* thread = static_cast<PlatformThread*>(parameter);
    TlsSetValue(ownThreadSlot, thread);
    SetEvent(thread->started);
    if (!thread->dismissed)
        thread->routine(thread->self);
    return 0;
}

// Once the thread has raised its start-up event it holds none of the
// loader's or the heap's locks and can be stopped wherever it waits.
static bool StartUpBehind(PlatformThread* thread)
{
    if (thread->started && WaitForSingleObject(thread->started, 0) == WAIT_OBJECT_0) {
        CloseHandle(thread->started);
        thread->started = nullptr;
    }
    return !thread->started;
}

PlatformThread* CreatePlatformThread(ScriptRoutine routine, ScriptThread* self)
{
    if (ownThreadSlot == TLS_OUT_OF_INDEXES)
        ownThreadSlot = TlsAlloc();
    PlatformThread* thread = new PlatformThread;
    thread->routine = routine;
    thread->self = self;
    thread->started = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    thread->dismissed = 0;
    thread->handle = CreateThread(nullptr, 0, RunScriptRoutine, thread, 0, nullptr);
    // Let the thread through its start-up, within the bound, so that a
    // teardown finds it waiting. One that is slower is dismissed rather than
    // terminated (TerminatePlatformThread); its start-up event is kept until
    // it has been seen raised, so the handle can never name a newer event.
    if (WaitForSingleObject(thread->started, 1000) == WAIT_OBJECT_0) {
        CloseHandle(thread->started);
        thread->started = nullptr;
    }
    InterlockedIncrement(&liveThreads);
    return thread;
}

std::atomic<uint32_t> platformDismissals { 0 };

// Flagged before its start-up is looked at: one that is still in it ends at
// its first-turn check (StopThisThreadIfDismissed) instead.
void TerminatePlatformThread(PlatformThread* thread)
{
    InterlockedExchange(&thread->dismissed, 1);
    if (StartUpBehind(thread))
        TerminateThread(thread->handle, 0);
}

void DismissPlatformThread(PlatformThread* thread)
{
    InterlockedExchange(&thread->dismissed, 1);
    platformDismissals.fetch_add(1, std::memory_order_release);
}

void StopThisThreadIfDismissed()
{
    if (ownThreadSlot == TLS_OUT_OF_INDEXES)
        return;
    const PlatformThread* own = static_cast<const PlatformThread*>(TlsGetValue(ownThreadSlot));
    if (own && own->dismissed)
        ExitThread(0);
}

bool WaitForPlatformThreadEnd(PlatformThread* thread, uint32_t timeoutMs)
{
    return WaitForSingleObject(thread->handle, timeoutMs) == WAIT_OBJECT_0;
}

bool ClosePlatformThread(PlatformThread* thread)
{
    if (!WaitForPlatformThreadEnd(thread, 0))
        return false;
    CloseHandle(thread->handle);
    if (thread->started)
        CloseHandle(thread->started);
    delete thread;
    InterlockedDecrement(&liveThreads);
    return true;
}

int CountPlatformEvents()
{
    return liveEvents;
}

int CountPlatformThreads()
{
    return liveThreads;
}

#ifdef BRINDLE_STUDIOS_DLL
// The DLL the player installs reads the keyboard and nothing else.
int16_t PollKeyState(int virtualKey)
{
    return GetAsyncKeyState(virtualKey);
}
#else
// Set by the substitute host's attach alone (hostsim/direct), which every
// run and every test passes through; host's thread only, outside ticks.
static KeyStateSource keyStateSource = nullptr;

void SetKeyStateSource(KeyStateSource source)
{
    keyStateSource = source;
}

int16_t PollKeyState(int virtualKey)
{
    return keyStateSource ? keyStateSource(virtualKey) : GetAsyncKeyState(virtualKey);
}
#endif

bool WriteCodeBytes(uintptr_t address, const void* bytes, size_t count)
{
    void* target = reinterpret_cast<void*>(address);
    DWORD oldProtection;
    if (!VirtualProtect(target, count, PAGE_EXECUTE_READWRITE, &oldProtection))
        return false;
    memcpy(target, bytes, count);
    VirtualProtect(target, count, oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), target, count);
    return true;
}
