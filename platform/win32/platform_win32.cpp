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
    HANDLE started;  // raised once the thread's start-up is behind it; closed once unused
};

static DWORD WINAPI RunScriptRoutine(LPVOID parameter)
{
    PlatformThread* thread = static_cast<PlatformThread*>(parameter);
    SetEvent(thread->started);
    thread->routine(thread->self);
    return 0;
}

PlatformThread* CreatePlatformThread(ScriptRoutine routine, ScriptThread* self)
{
    PlatformThread* thread = new PlatformThread;
    thread->routine = routine;
    thread->self = self;
    thread->started = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    thread->handle = CreateThread(nullptr, 0, RunScriptRoutine, thread, 0, nullptr);
    // TerminateThread during a thread's start-up can stop it while it holds
    // the loader's or the heap's lock, which hangs the whole process; so the
    // thread is let through its start-up first. It then only waits.
    // A thread that has not raised it yet still may: the handle is then kept
    // until the thread has ended, so it can never name a newer event.
    if (WaitForSingleObject(thread->started, 1000) == WAIT_OBJECT_0) {
        CloseHandle(thread->started);
        thread->started = nullptr;
    }
    InterlockedIncrement(&liveThreads);
    return thread;
}

void TerminatePlatformThread(PlatformThread* thread)
{
    TerminateThread(thread->handle, 0);
}

bool ClosePlatformThread(PlatformThread* thread)
{
    // TerminateThread does not wait for the thread to end.
    if (WaitForSingleObject(thread->handle, 1000) != WAIT_OBJECT_0)
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

static KeyStateSource keyStateSource = nullptr;

void SetKeyStateSource(KeyStateSource source)
{
    keyStateSource = source;
}

int16_t PollKeyState(int virtualKey)
{
    return keyStateSource ? keyStateSource(virtualKey) : GetAsyncKeyState(virtualKey);
}

void WriteCodeBytes(uintptr_t address, const void* bytes, size_t count)
{
    void* target = reinterpret_cast<void*>(address);
    DWORD oldProtection;
    VirtualProtect(target, count, PAGE_EXECUTE_READWRITE, &oldProtection);
    memcpy(target, bytes, count);
    VirtualProtect(target, count, oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), target, count);
}
