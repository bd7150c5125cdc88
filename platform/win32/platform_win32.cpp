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
};

// Where each script thread finds its own PlatformThread. Taken by the first
// thread made, on the thread that holds the turn, never under the loader's lock.
static DWORD ownThreadSlot = TLS_OUT_OF_INDEXES;

static DWORD WINAPI RunScriptRoutine(LPVOID parameter)
{
    PlatformThread* thread = static_cast<PlatformThread*>(parameter);
    TlsSetValue(ownThreadSlot, thread);
    thread->routine(thread->self);
    return 0;
}

PlatformThread* CreatePlatformThread(ScriptRoutine routine, ScriptThread* self)
{
    if (ownThreadSlot == TLS_OUT_OF_INDEXES)
        ownThreadSlot = TlsAlloc();
    PlatformThread* thread = new PlatformThread;
    thread->routine = routine;
    thread->self = self;
    thread->handle = CreateThread(nullptr, 0, RunScriptRoutine, thread, 0, nullptr);
    InterlockedIncrement(&liveThreads);
    return thread;
}

ScriptThread* OwnScriptThread()
{
    if (ownThreadSlot == TLS_OUT_OF_INDEXES)
        return nullptr;
    const PlatformThread* own = static_cast<const PlatformThread*>(TlsGetValue(ownThreadSlot));
    return own ? own->self : nullptr;
}

// ExitThread unwinds nothing: the frames the thread leaves stay as they are.
void EndOwnThread()
{
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
    delete thread;
    InterlockedDecrement(&liveThreads);
    return true;
}

uint32_t PlatformMs()
{
    return GetTickCount();
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
