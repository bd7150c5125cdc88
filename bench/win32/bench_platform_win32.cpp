// The benchmarks' counters in the win32 build, under Wine. The module under
// test is the real DLL: its heap is counted at its own imports of malloc and
// its kin from msvcrt.dll, which are pointed at counting functions here, and
// its handles as the substitute host notes them (NoteModuleHandles). The program's own allocation calls are counted at
// its operator new and at its own malloc imports.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

#include "bench/bench_platform.h"
#include "host/host_addresses.h"
#include "hostsim/direct/direct_binding.h"
#include "hostsim/win32/beside_program.h"
#include "hostsim/win32/module_loader.h"
#include "hostsim/win32/site_binding.h"

using namespace hostsim;

typedef void*(__cdecl* MallocFunction)(size_t);
typedef void*(__cdecl* CallocFunction)(size_t, size_t);
typedef void*(__cdecl* ReallocFunction)(void*, size_t);
typedef void(__cdecl* FreeFunction)(void*);

// --- The DLL's heap: every block it allocated and has not freed -------------------

static CRITICAL_SECTION moduleHeapLock;
static std::unordered_map<void*, size_t>* moduleBlocks;
static int64_t moduleBytes = 0;
static MallocFunction realMalloc;
static CallocFunction realCalloc;
static ReallocFunction realRealloc;
static FreeFunction realFree;

static void Track(void* block, size_t size)
{
    if (!block)
        return;
    EnterCriticalSection(&moduleHeapLock);
    (*moduleBlocks)[block] = size;
    moduleBytes += static_cast<int64_t>(size);
    LeaveCriticalSection(&moduleHeapLock);
}

// Blocks allocated before the imports were redirected are not known; their
// release changes nothing.
static void Untrack(void* block)
{
    if (!block)
        return;
    EnterCriticalSection(&moduleHeapLock);
    std::unordered_map<void*, size_t>::iterator found = moduleBlocks->find(block);
    if (found != moduleBlocks->end()) {
        moduleBytes -= static_cast<int64_t>(found->second);
        moduleBlocks->erase(found);
    }
    LeaveCriticalSection(&moduleHeapLock);
}

static void* __cdecl ModuleMalloc(size_t size)
{
    void* block = realMalloc(size);
    Track(block, size);
    return block;
}

static void* __cdecl ModuleCalloc(size_t count, size_t size)
{
    void* block = realCalloc(count, size);
    Track(block, count * size);
    return block;
}

static void* __cdecl ModuleRealloc(void* block, size_t size)
{
    Untrack(block);
    void* moved = realRealloc(block, size);
    Track(moved, size);
    return moved;
}

static void __cdecl ModuleFree(void* block)
{
    Untrack(block);
    realFree(block);
}

static bool CountModuleImports(HMODULE module, std::string* problem)
{
    InitializeCriticalSection(&moduleHeapLock);
    moduleBlocks = new std::unordered_map<void*, size_t>;
    realMalloc = reinterpret_cast<MallocFunction>(
        RedirectImport(module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&ModuleMalloc)));
    realCalloc = reinterpret_cast<CallocFunction>(
        RedirectImport(module, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&ModuleCalloc)));
    realRealloc = reinterpret_cast<ReallocFunction>(
        RedirectImport(module, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&ModuleRealloc)));
    realFree = reinterpret_cast<FreeFunction>(
        RedirectImport(module, "msvcrt.dll", "free", reinterpret_cast<void*>(&ModuleFree)));
    if (!realMalloc || !realCalloc || !realRealloc || !realFree) {
        *problem = "the module lacks one of the imports the benchmarks count";
        return false;
    }
    return true;
}

// --- The program's own allocation calls ----------------------------------------------

static volatile LONG programAllocations = 0;
static MallocFunction programMalloc;
static CallocFunction programCalloc;
static ReallocFunction programRealloc;

static void* __cdecl CountedMalloc(size_t size)
{
    InterlockedIncrement(&programAllocations);
    return programMalloc(size);
}

static void* __cdecl CountedCalloc(size_t count, size_t size)
{
    InterlockedIncrement(&programAllocations);
    return programCalloc(count, size);
}

static void* __cdecl CountedRealloc(void* block, size_t size)
{
    InterlockedIncrement(&programAllocations);
    return programRealloc(block, size);
}

static void* Allocate(size_t size)
{
    InterlockedIncrement(&programAllocations);
    void* block = malloc(size ? size : 1);
    if (!block)
        abort();
    return block;
}

// clang-format off
void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
// clang-format on

int64_t AllocationCalls()
{
    return programAllocations;
}

// --- The module under test --------------------------------------------------------------

const char* BuildDescription()
{
    return "win32: the real brindle_studios.dll under Wine, through the Windows substitute host";
}

bool StartModuleUnderTest(std::string* problem)
{
    HMODULE program = GetModuleHandleA(nullptr);
    programMalloc = reinterpret_cast<MallocFunction>(
        RedirectImport(program, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&CountedMalloc)));
    programCalloc = reinterpret_cast<CallocFunction>(
        RedirectImport(program, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&CountedCalloc)));
    programRealloc = reinterpret_cast<ReallocFunction>(
        RedirectImport(program, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&CountedRealloc)));
    if (!programMalloc || !programCalloc || !programRealloc) {
        *problem = "the benchmark program lacks one of the malloc imports it counts";
        return false;
    }
    if (!StartWin32Host(1, problem))
        return false;
    HMODULE module = GetModuleHandleA("brindle_studios.dll");
    if (!module) {
        *problem = "brindle_studios.dll is not loaded";
        return false;
    }
    if (!CountModuleImports(module, problem))
        return false;
    AttachLinkedModule();
    return true;
}

EngineBinding ModuleBinding()
{
    return SiteBinding();
}

EngineBinding LinkedBinding()
{
    return DirectBinding();
}

void AttachLinkedModule()
{
    AttachDirectHost();
}

// Every thread of the process but the caller, by its id.
static void SetOtherThreads(DWORD_PTR cores)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    if (Thread32First(snapshot, &entry)) {
        do {
            if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId())
                continue;
            HANDLE thread = OpenThread(THREAD_SET_INFORMATION | THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
            if (thread) {
                SetThreadAffinityMask(thread, cores);
                CloseHandle(thread);
            }
        } while (Thread32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
}

void PlaceThreads(bool oneCore)
{
    SetThreadAffinityMask(GetCurrentThread(), 1);
    SetOtherThreads(oneCore ? 1 : 2);
}

void UnplaceThreads()
{
    DWORD_PTR process, system;
    GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
    SetThreadAffinityMask(GetCurrentThread(), system);
    SetOtherThreads(system);
}

static int ProcessThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    int threads = 0;
    if (Thread32First(snapshot, &entry)) {
        do {
            if (entry.th32OwnerProcessID == GetCurrentProcessId())
                ++threads;
        } while (Thread32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return threads;
}

// Wine does not answer GetProcessHandleCount; every handle value that names
// an object is counted instead.
static int ProcessHandles()
{
    int handles = 0;
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++handles;
    }
    return handles;
}

ModuleCounts CountModule()
{
    ModuleCounts counts;
    EnterCriticalSection(&moduleHeapLock);
    counts.heapBytes = moduleBytes;
    counts.heapBlocks = static_cast<int64_t>(moduleBlocks->size());
    LeaveCriticalSection(&moduleHeapLock);
    const ModuleHandleCounts handles = CountModuleHandles();
    counts.events = handles.events;
    counts.threads = handles.threads;
    counts.osThreads = ProcessThreads();
    counts.processHandles = ProcessHandles();
    return counts;
}

// --- CPU time ------------------------------------------------------------------------------

static int64_t Ns(const FILETIME& kernel, const FILETIME& user)
{
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<int64_t>(k.QuadPart + u.QuadPart) * 100;
}

int64_t ProcessCpuNs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Ns(kernel, user);
}

int64_t ModuleThreadsCpuNs()
{
    int64_t ns = 0;
    VisitModuleThreads([&ns](HANDLE thread) {
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user))
            ns += Ns(kernel, user);
    });
    return ns;
}
