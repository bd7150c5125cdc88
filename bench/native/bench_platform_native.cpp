// The benchmarks' counters in the native build. The module is linked in, so
// its heap is told apart from the substitute host's by where each block was
// allocated: on a thread running host code (the host's own thread outside
// ticks, any thread inside the engine's interpreter) or on one running the
// module's code. Events and threads are counted at the module's calls of the
// platform layer (linked with --wrap).
#include <malloc.h>
#include <pthread.h>
#include <dirent.h>
#include <sched.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "bench/bench_platform.h"
#include "host/host_addresses.h"
#include "host/hook_work.h"
#include "hostsim/direct/direct_binding.h"
#include "platform/platform.h"
#include "script/scheduler.h"

using namespace hostsim;

// --- Allocation counting ---------------------------------------------------------
// malloc and its kin pass through to the C library's allocator and count the
// calls; operator new and delete put a header before each block that says
// whose block it is and how large.

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);
extern "C" void __libc_free(void* block);

static std::atomic<int64_t> mallocCalls { 0 };
static std::atomic<int64_t> newCalls { 0 };
static std::atomic<int64_t> moduleBytes { 0 };
static std::atomic<int64_t> moduleBlocks { 0 };

extern "C" void* malloc(size_t size)
{
    mallocCalls.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    mallocCalls.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size)
{
    mallocCalls.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

extern "C" void free(void* block)
{
    __libc_free(block);
}

// Above 0 while the calling thread runs the substitute host's code.
static thread_local int hostCodeDepth = 0;

struct alignas(16) BlockHeader {
    size_t size;
    bool module;
};
static_assert(sizeof(BlockHeader) == 16, "blocks stay 16-byte aligned");

static void* Allocate(size_t size)
{
    newCalls.fetch_add(1, std::memory_order_relaxed);
    BlockHeader* header = static_cast<BlockHeader*>(malloc(sizeof(BlockHeader) + size));
    if (!header)
        abort();
    header->size = size;
    header->module = hostCodeDepth == 0;
    if (header->module) {
        moduleBytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
        moduleBlocks.fetch_add(1, std::memory_order_relaxed);
    }
    return header + 1;
}

static void Release(void* block)
{
    if (!block)
        return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    if (header->module) {
        moduleBytes.fetch_sub(static_cast<int64_t>(header->size), std::memory_order_relaxed);
        moduleBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
    free(header);
}

// clang-format off
void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
// clang-format on

int64_t AllocationCalls()
{
    return mallocCalls.load() + newCalls.load();
}

// --- Events and threads -------------------------------------------------------------

static std::atomic<int> liveEvents { 0 };
static std::atomic<int> liveThreads { 0 };

extern "C" {
PlatformEvent* __real__Z19CreatePlatformEventv();
void __real__Z18ClosePlatformEventP13PlatformEvent(PlatformEvent* event);
PlatformThread* __real__Z20CreatePlatformThreadPFvP12ScriptThreadES0_(ScriptRoutine routine, ScriptThread* self);
bool __real__Z19ClosePlatformThreadP14PlatformThread(PlatformThread* thread);

PlatformEvent* __wrap__Z19CreatePlatformEventv()
{
    ++liveEvents;
    return __real__Z19CreatePlatformEventv();
}

void __wrap__Z18ClosePlatformEventP13PlatformEvent(PlatformEvent* event)
{
    --liveEvents;
    __real__Z18ClosePlatformEventP13PlatformEvent(event);
}

PlatformThread* __wrap__Z20CreatePlatformThreadPFvP12ScriptThreadES0_(ScriptRoutine routine, ScriptThread* self)
{
    ++liveThreads;
    return __real__Z20CreatePlatformThreadPFvP12ScriptThreadES0_(routine, self);
}

bool __wrap__Z19ClosePlatformThreadP14PlatformThread(PlatformThread* thread)
{
    bool closed = __real__Z19ClosePlatformThreadP14PlatformThread(thread);
    if (closed)
        --liveThreads;
    return closed;
}
}

static int ProcessThreads()
{
    FILE* status = fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    int threads = -1;
    while (fgets(line, sizeof line, status))
        if (sscanf(line, "Threads: %d", &threads) == 1)
            break;
    fclose(status);
    return threads;
}

ModuleCounts CountModule()
{
    return { moduleBytes.load(), moduleBlocks.load(), liveEvents.load(), liveThreads.load(), ProcessThreads(), -1 };
}

// --- The module, reached with host code told apart --------------------------------

static void HOST_CALLBACK InterpretAsHost(HostScript* script)
{
    ++hostCodeDepth;
    EngineInterpret(script);
    --hostCodeDepth;
}

static EngineBinding direct;
static pthread_t hostThread;

static void Tick(HostScript* script)
{
    --hostCodeDepth;
    ScriptTick(script);
    ++hostCodeDepth;
}

static void Reinit()
{
    --hostCodeDepth;
    ReinitScripts();
    ++hostCodeDepth;
    EngineReinitContinuation();
}

static void Shutdown()
{
    --hostCodeDepth;
    ShutdownScripts();
    ++hostCodeDepth;
    EngineShutdownContinuation();
}

const char* BuildDescription()
{
    return "native: the module linked in, POSIX platform layer";
}

void AttachLinkedModule()
{
    AttachDirectHost();
    hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&InterpretAsHost);
}

bool StartModuleUnderTest(std::string*)
{
    hostThread = pthread_self();
    hostCodeDepth = 1;  // this is the host's thread
    direct = DirectBinding();
    AttachLinkedModule();
    return true;
}

EngineBinding ModuleBinding()
{
    return { Tick, Reinit, Shutdown, direct.lookupText };
}

EngineBinding LinkedBinding()
{
    return ModuleBinding();
}

static void SetCores(pid_t thread, int first, int last)
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    for (int core = first; core <= last; ++core)
        CPU_SET(core, &cores);
    sched_setaffinity(thread, sizeof cores, &cores);
}

// Every thread of the process is in /proc/self/task; 0 is the caller.
void PlaceThreads(bool oneCore)
{
    SetCores(0, 0, 0);
    DIR* tasks = opendir("/proc/self/task");
    const pid_t self = static_cast<pid_t>(syscall(SYS_gettid));
    while (dirent* task = readdir(tasks)) {
        const pid_t thread = static_cast<pid_t>(atoi(task->d_name));
        if (thread > 0 && thread != self)
            SetCores(thread, oneCore ? 0 : 1, oneCore ? 0 : 1);
    }
    closedir(tasks);
}

void UnplaceThreads()
{
    const int last = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)) - 1;
    SetCores(0, 0, last);
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* task = readdir(tasks)) {
        const pid_t thread = static_cast<pid_t>(atoi(task->d_name));
        if (thread > 0)
            SetCores(thread, 0, last);
    }
    closedir(tasks);
}

// --- CPU time -------------------------------------------------------------------------

static int64_t ClockNs(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t ProcessCpuNs()
{
    return ClockNs(CLOCK_PROCESS_CPUTIME_ID);
}

int64_t ModuleThreadsCpuNs()
{
    clockid_t host;
    pthread_getcpuclockid(hostThread, &host);
    return ProcessCpuNs() - ClockNs(host);
}
