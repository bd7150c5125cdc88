// The stall's locks, waits and thread ids in the Windows substitute host.
#include "hostsim/win32/stall_holds.h"

#include <windows.h>

namespace hostsim {

static CRITICAL_SECTION hostLock;
static const bool hostLockReady = (InitializeCriticalSection(&hostLock), true);

void EnterHostLock()
{
    EnterCriticalSection(&hostLock);
}

void LeaveHostLock()
{
    LeaveCriticalSection(&hostLock);
}

// Measured under Wine 8: msvcrt's malloc allocates from the heap that
// _get_heap_handle names, not from the process heap, and a thread terminated
// after HeapLock on it makes the next malloc of every other thread block.
static HANDLE HeapOfMalloc()
{
    typedef intptr_t(__cdecl * GetHeapHandle)();
    GetHeapHandle getHeapHandle =
        reinterpret_cast<GetHeapHandle>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_get_heap_handle"));
    return getHeapHandle ? reinterpret_cast<HANDLE>(getHeapHandle()) : GetProcessHeap();
}

static const HANDLE mallocHeap = HeapOfMalloc();
// Manual-reset: set while the stalls are released.
static const HANDLE stallsReleased = CreateEventA(nullptr, TRUE, FALSE, nullptr);

static uint64_t Win32CurrentThread()
{
    return GetCurrentThreadId();
}

static void Win32Stall(int64_t ms, StallHold holds)
{
    if (holds == kHoldHeap)
        HeapLock(mallocHeap);
    if (holds == kHoldHostLock)
        EnterHostLock();
    WaitForSingleObject(stallsReleased, ms == kStallForever ? INFINITE : static_cast<DWORD>(ms));
    if (holds == kHoldHostLock)
        LeaveHostLock();
    if (holds == kHoldHeap)
        HeapUnlock(mallocHeap);
}

static void Win32ReleaseStalls(bool released)
{
    if (released)
        SetEvent(stallsReleased);
    else
        ResetEvent(stallsReleased);
}

EngineThreadServices Win32ThreadServices()
{
    return { Win32CurrentThread, Win32Stall, Win32ReleaseStalls };
}

}  // namespace hostsim
